#pragma once

#include "platform/ui/Form.h"

#include <QChar>
#include <functional>

namespace data {
class DataSource;
class Query;
} // namespace data
namespace report {
class Report;
}
namespace ui {
class Button;
class DBGrid;
class MaskEdit;
} // namespace ui

// The receipt and issue report windows are twins: the same controls and the
// same six handlers, written here once. Each lists the movements of a date
// range through its query and previews its layout; their forms, queries and
// layouts are their own.
class DateRangeWindow : public ui::Form {
    Q_OBJECT
public:
    void FormActivate();
    void MaskEdit1KeyPress(QChar& Key);
    void MaskEdit2KeyPress(QChar& Key);
    void Button1Click(); // "&Proses"
    void Button2Click(); // "&Cetak"
    void Button3Click(); // "&Tutup"

protected:
    explicit DateRangeWindow(QWidget* parent);

    // A window's own controls, query and layout.
    struct Parts {
        ui::MaskEdit* from;  // the first day
        ui::MaskEdit* to;    // the last day
        ui::Button* process; // "&Proses"
        ui::Button* print;   // "&Cetak"
        ui::Button* close;   // "&Tutup"
        ui::DBGrid* grid;
        data::DataSource* source; // the grid's
        data::Query* query;
        // The layout is made after the window at start-up: looked up when
        // "&Cetak" asks for it.
        std::function<report::Report*()> layout;
    };
    // After setupUi: binds the grid to its data source and the handlers to
    // the controls.
    void bindSteps(const Parts& parts);

private:
    Parts w_{};
};
