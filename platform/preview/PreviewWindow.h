#pragma once

#include "platform/report/Document.h"

#include <QPrinter>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QScrollArea;

namespace report {

class BuildScheduler;
class Layout;
class PageView;

// The preview window: shows the pages of a layout while they are built and
// prints them. Made and run by Report::preview(). Printing builds the pages
// again from the dataset, unless the pages on show can no longer be made
// from it (it was closed since, or they were loaded from a file): then it
// prints them as they are, and refuses pages that are incomplete.
class PreviewWindow : public QWidget {
    Q_OBJECT
public:
    enum class Zoom { Fit, Percent100, PageWidth };

    explicit PreviewWindow(Layout& report);
    ~PreviewWindow() override;

    // Builds the first page, then shows the window and goes on building
    // through the event loop once the page is painted.
    void start();

    const Document& document() const;
    bool building() const;
    int currentPage() const { return page_; } // from 0
    Zoom zoom() const { return zoom_; }
    double pixelsPerMm() const;
    // The settings of the printer set-up: the printer chosen in any preview
    // of the run, with one copy, all pages and the layout's orientation.
    QPrinter& printer();

    void showPage(int index);
    void setZoom(Zoom zoom);
    void printerSetup();
    void print();
    void saveTo(const QString& path);
    void loadFrom(const QString& path);

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class DataWatch;

    void updateControls();
    QPushButton* addButton(const char* objectName, const QString& caption, std::function<void()> work);
    // Runs a button's work; an error goes to the application's error window.
    void run(const std::function<void()>& work);

    Layout& report_;
    BuildScheduler* pages_ = nullptr;
    int page_ = 0;
    Zoom zoom_ = Zoom::PageWidth;
    std::unique_ptr<QPrinter> printer_;
    QScrollArea* scroll_ = nullptr;
    PageView* view_ = nullptr;
    QLabel* status_ = nullptr;
    std::unique_ptr<DataWatch> dataWatch_;
    bool dataClosed_ = false; // the dataset was closed since the pages were built
    bool loaded_ = false;     // the pages on show come from a file
};

} // namespace report
