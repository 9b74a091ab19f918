#include "platform/report/PageBuilder.h"

#include "platform/data/DataSet.h"
#include "platform/data/Table.h"
#include "platform/report/Fonts.h"
#include "platform/report/Picture.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Format.h"

#include <QStringList>
#include <climits>

namespace report {

namespace {

constexpr double kEpsilon = 1e-6;

QStringList wrapText(const FontSpec& font, const QString& text, double width)
{
    QStringList lines;
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '))) {
        const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (line.isEmpty() || textWidth(font, candidate) <= width + kEpsilon) {
            line = candidate;
        } else {
            lines << line;
            line = word;
        }
    }
    lines << line;
    return lines;
}

} // namespace

// Notices what others do to the dataset between two steps.
class PageBuilder::Watch : public data::DataLink {
public:
    explicit Watch(data::DataSet* dataSet) : dataSet_(dataSet) { dataSet_->addLink(this); }
    ~Watch() override { dataSet_->removeLink(this); }
    void dataSetChanged() override
    {
        if (!inStep)
            changed = true;
    }

    bool inStep = false;
    bool changed = false;

private:
    data::DataSet* dataSet_;
};

// Bound controls hear nothing while a step walks the rows, and once after;
// the watch ignores what the step itself does. The fields looked up for the
// step are forgotten at its end.
class PageBuilder::StepScope {
public:
    StepScope(data::DataSet* dataSet, std::unique_ptr<Watch>& watch,
              std::map<const Item*, data::Field*>& fields)
        : dataSet_(dataSet), watch_(watch), fields_(fields)
    {
        if (watch_)
            watch_->inStep = true;
        if (dataSet_)
            dataSet_->disableControls();
    }
    ~StepScope()
    {
        fields_.clear();
        if (dataSet_)
            dataSet_->enableControls();
        if (watch_)
            watch_->inStep = false;
    }
    StepScope(const StepScope&) = delete;
    StepScope& operator=(const StepScope&) = delete;

private:
    data::DataSet* dataSet_;
    std::unique_ptr<Watch>& watch_;
    std::map<const Item*, data::Field*>& fields_;
};

PageBuilder::PageBuilder(const LayoutModel& layout, data::DataSet* dataSet)
    : layout_(layout), dataSet_(dataSet)
{
    doc_.orientation = layout.orientation;
    doc_.pageWidth = layout.pageWidth();
    doc_.pageHeight = layout.pageHeight();
}

PageBuilder::~PageBuilder() = default;

int PageBuilder::completedPages() const
{
    const int pages = doc_.pageCount();
    return finished() ? pages : std::max(0, pages - 1);
}

Document PageBuilder::takeDocument()
{
    return std::move(doc_);
}

void PageBuilder::finish()
{
    while (!step(INT_MAX)) {
    }
}

bool PageBuilder::step(int rows)
{
    if (phase_ == Phase::Done)
        return true;
    const bool walking = dataSet_ && dataSet_->active();
    StepScope scope(walking ? dataSet_ : nullptr, watch_, fields_);

    if (phase_ == Phase::Start) {
        start();
        if (phase_ == Phase::Done)
            return true;
        watch_->inStep = true;
    } else {
        // Someone else ran, closed or changed the dataset: the rows we were
        // walking are gone, so the document ends here.
        if (watch_->changed || !dataSet_->active()) {
            interrupt();
            return true;
        }
        // The dataset may have made its fields again without telling us.
        resolveFields();
        // A bound grid may have moved the current row; walk on from ours.
        if (dataSet_->bookmark() != *position_)
            dataSet_->gotoBookmark(*position_);
    }

    // Between steps the current row is the next one to print.
    while (rows-- > 0 && !dataSet_->eof()) {
        detail(false);
        dataSet_->next();
    }
    if (dataSet_->eof()) {
        close();
        return true;
    }
    position_ = std::make_unique<data::Bookmark>(*dataSet_->bookmark());
    return false;
}

void PageBuilder::abandon()
{
    // Stopping costs the same at any size. A table finds its last row
    // through its key at once; a query would have to read every row left to
    // reach its last, so it stays on its current row (its windows close or
    // run it again when the preview closes).
    if (phase_ == Phase::Rows && !watch_->changed && dataSet_->active() &&
        dynamic_cast<data::Table*>(dataSet_))
        dataSet_->last();
    phase_ = Phase::Done;
    watch_.reset();
    position_.reset();
}

void PageBuilder::start()
{
    builtAt_ = rtl::now();
    hasRows_ = false;
    if (dataSet_ && dataSet_->active()) {
        resolveFields();
        dataSet_->first();
        hasRows_ = !dataSet_->isEmpty();
    }

    newPage(false);
    if (const Band* title = layout_.band(BandType::Title)) {
        placeBand(*title, y_, false);
        y_ += title->height;
    }
    if (hasRows_) {
        if (const Band* header = layout_.band(BandType::ColumnHeader)) {
            placeBand(*header, y_, false);
            y_ += header->height;
        }
        watch_ = std::make_unique<Watch>(dataSet_);
        phase_ = Phase::Rows;
        return;
    }
    if (!layout_.printIfEmpty) {
        doc_.pages.clear();
    } else {
        detail(true);
        summary();
    }
    phase_ = Phase::Done;
}

void PageBuilder::resolveFields()
{
    fields_.clear();
    for (const auto& band : layout_.bands())
        for (const auto& item : band->items())
            if (item->kind() == Item::Kind::DBText)
                fields_[item.get()] = dataSet_->fieldByName(static_cast<const DBText&>(*item).dataField);
}

void PageBuilder::close()
{
    summary();
    phase_ = Phase::Done;
    watch_.reset();
    position_.reset();
}

// The rows that were left cannot be read any more. The summary stays off:
// under a cut-off list it would pass the pages off as the whole document.
void PageBuilder::interrupt()
{
    doc_.complete = false;
    phase_ = Phase::Done;
    watch_.reset();
    position_.reset();
}

void PageBuilder::newPage(bool withColumnHeader)
{
    doc_.pages.emplace_back();
    y_ = layout_.marginTop;
    if (withColumnHeader) {
        if (const Band* header = layout_.band(BandType::ColumnHeader)) {
            placeBand(*header, y_, false);
            y_ += header->height;
        }
    }
}

void PageBuilder::detail(bool emptyRow)
{
    if (!emptyRow)
        ++rowNo_;
    const Band* band = layout_.band(BandType::Detail);
    if (!band)
        return;
    const double bottom = layout_.pageHeight() - layout_.marginBottom;
    if (y_ + band->height > bottom + kEpsilon)
        newPage(hasRows_);
    placeBand(*band, y_, emptyRow);
    y_ += band->height;
}

void PageBuilder::summary()
{
    const Band* band = layout_.band(BandType::Summary);
    if (!band)
        return;
    const double bottom = layout_.pageHeight() - layout_.marginBottom;
    if (y_ + band->height > bottom + kEpsilon)
        newPage(hasRows_);
    const double top = band->alignToBottom ? bottom - band->height : y_;
    placeBand(*band, top, false);
    y_ = top + band->height;
}

QString PageBuilder::textOf(const Item& item, bool emptyRow) const
{
    switch (item.kind()) {
    case Item::Kind::Label:
        return static_cast<const Label&>(item).caption();
    case Item::Kind::DBText: {
        if (emptyRow)
            return QString();
        const auto it = fields_.find(&item);
        return it == fields_.end() ? QString() : it->second->displayText();
    }
    case Item::Kind::SysData: {
        const auto& sys = static_cast<const SysData&>(item);
        if (sys.data == SysDataKind::DateTime)
            return sys.text + rtl::dateTimeToStr(builtAt_);
        return emptyRow ? QString() : sys.text + rtl::intToStr(rowNo_);
    }
    default:
        return QString();
    }
}

void PageBuilder::placeBand(const Band& band, double top, bool emptyRow)
{
    Page& page = doc_.pages.back();
    page.bands.push_back(PlacedBand{band.name(), band.type(), top, band.height});
    const QRectF bandRect(layout_.marginLeft, top, layout_.bandWidth(), band.height);

    auto rule = [&](QPointF from, QPointF to) {
        Primitive p;
        p.kind = Primitive::Kind::Line;
        p.item = band.name();
        p.rect = QRectF(from, to);
        p.penWidth = layout_.rulePenWidth;
        page.primitives.push_back(std::move(p));
    };
    if (band.frame.top)
        rule(bandRect.topLeft(), bandRect.topRight());
    if (band.frame.bottom)
        rule(bandRect.bottomLeft(), bandRect.bottomRight());
    if (band.frame.left)
        rule(bandRect.topLeft(), bandRect.bottomLeft());
    if (band.frame.right)
        rule(bandRect.topRight(), bandRect.bottomRight());

    for (const auto& item : band.items()) {
        switch (item->kind()) {
        case Item::Kind::Label:
        case Item::Kind::DBText:
        case Item::Kind::SysData:
            placeText(static_cast<const TextItem&>(*item), bandRect, textOf(*item, emptyRow));
            break;
        case Item::Kind::Shape: {
            const auto& shape = static_cast<const Shape&>(*item);
            const double y = bandRect.top() + shape.top + shape.height / 2;
            const double x = bandRect.left() + shape.left;
            Primitive p;
            p.kind = Primitive::Kind::Line;
            p.item = shape.name();
            p.rect = QRectF(QPointF(x, y), QPointF(x + shape.width, y));
            p.penWidth = shape.penWidth;
            page.primitives.push_back(std::move(p));
            break;
        }
        case Item::Kind::Image:
            placeImage(static_cast<const Image&>(*item), bandRect);
            break;
        }
    }
}

void PageBuilder::placeText(const TextItem& item, const QRectF& bandRect, const QString& text)
{
    if (text.isEmpty())
        return;
    Page& page = doc_.pages.back();
    const double x0 = bandRect.left() + item.left;
    const double y0 = bandRect.top() + item.top;
    const double lh = lineHeight(item.font);

    auto add = [&](const QString& line, double y, const QRectF& clip) {
        const double w = textWidth(item.font, line);
        const double x = item.alignment == Alignment::Left ? x0 : x0 + item.width - w;
        Primitive p;
        p.kind = Primitive::Kind::Text;
        p.item = item.name();
        p.rect = QRectF(x, y, w, lh);
        if (!clip.contains(p.rect))
            p.clip = clip;
        p.text = line;
        p.font = item.font;
        page.primitives.push_back(std::move(p));
    };

    if (item.autoSize) {
        // A text that sizes itself may run past the band's sides into the
        // margins (a date-time stamp near the right edge does); the paper's
        // edges and the band's height still bound it.
        add(text, y0, QRectF(0, bandRect.top(), layout_.pageWidth(), bandRect.height()));
        return;
    }
    // A fixed box: the text wraps at its width and what does not fit is cut.
    const QRectF box(x0, y0, item.width, item.height > 0 ? item.height : lh);
    const QRectF clip = box.intersected(bandRect);
    const QStringList lines = item.wordWrap ? wrapText(item.font, text, item.width) : QStringList{text};
    for (int i = 0; i < lines.size(); ++i) {
        const double y = y0 + i * lh;
        if (y >= clip.bottom())
            break;
        add(lines[i], y, clip);
    }
}

void PageBuilder::placeImage(const Image& item, const QRectF& bandRect)
{
    if (item.picture.isNull())
        return;
    auto found = images_.find(&item);
    if (found == images_.end()) {
        doc_.images.push_back(item.picture);
        found = images_.emplace(&item, int(doc_.images.size()) - 1).first;
    }
    const QRectF box(bandRect.left() + item.left, bandRect.top() + item.top, item.width, item.height);
    Primitive p;
    p.kind = Primitive::Kind::Image;
    p.item = item.name();
    p.image = found->second;
    if (item.stretch) {
        p.rect = box;
    } else {
        const double mmPerPixel = 25.4 / kPicturePixelsPerInch;
        p.rect = QRectF(box.topLeft(),
                        QSizeF(item.picture.width() * mmPerPixel, item.picture.height() * mmPerPixel));
    }
    const QRectF clip = box.intersected(bandRect);
    if (!clip.contains(p.rect))
        p.clip = clip;
    doc_.pages.back().primitives.push_back(std::move(p));
}

} // namespace report
