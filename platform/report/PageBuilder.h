#pragma once

#include "platform/report/Document.h"
#include "platform/report/Model.h"

#include <QDateTime>
#include <map>
#include <memory>
#include <optional>

namespace data {
class DataSet;
class Field;
struct Bookmark;
} // namespace data

namespace report {

// Lays a layout's bands out on pages while it walks the dataset from its
// first row to its last. It can work in steps, so that a preview shows the
// first page before a long document is complete; between steps the dataset
// may be used by others: a moved current row is put back, and a dataset that
// is closed, reopened or changed ends the document where it stands, without
// its summary and marked incomplete. No field is held from one step to the
// next, since closing a dataset may free its fields.
class PageBuilder {
public:
    // `dataSet` may be nullptr or closed: the document is then the page
    // printed for an empty dataset.
    PageBuilder(const LayoutModel& layout, data::DataSet* dataSet);
    ~PageBuilder();
    PageBuilder(const PageBuilder&) = delete;
    PageBuilder& operator=(const PageBuilder&) = delete;

    // Lays out up to `rows` more rows; true once the document is complete.
    bool step(int rows);
    void finish();
    // Stops without completing the document and without reading further
    // rows: a table is left at its last row, as a complete run leaves it; any
    // other dataset stays on its current row.
    void abandon();
    bool finished() const { return phase_ == Phase::Done; }

    // Pages that take no more bands.
    int completedPages() const;
    const Document& document() const { return doc_; }
    Document takeDocument();

private:
    enum class Phase { Start, Rows, Done };
    class Watch;
    class StepScope;

    void start();
    void newPage(bool withColumnHeader);
    void placeBand(const Band& band, double top, bool emptyRow);
    void placeText(const TextItem& item, const QRectF& bandRect, const QString& text);
    void placeImage(const Image& item, const QRectF& bandRect);
    QString textOf(const Item& item, bool emptyRow) const;
    void resolveFields();
    void detail(bool emptyRow);
    void summary();
    void close();
    void interrupt();

    const LayoutModel& layout_;
    data::DataSet* dataSet_;
    Document doc_;
    Phase phase_ = Phase::Start;
    bool hasRows_ = false;
    double y_ = 0;
    qint64 rowNo_ = 0;
    QDateTime builtAt_;
    std::map<const Item*, data::Field*> fields_; // valid during one step only
    std::map<const Item*, int> images_;
    std::unique_ptr<Watch> watch_;
    std::unique_ptr<data::Bookmark> position_;
};

} // namespace report
