#include "platform/ui/DBGrid.h"

#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

namespace ui {

DBGrid::DBGrid(QWidget* parent)
    : QAbstractScrollArea(parent),
      link_([this](bool recordOnly) { invalidate(recordOnly ? Dirty::Record : Dirty::Full); })
{
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, &DBGrid::onScrollAction);
    connect(horizontalScrollBar(), &QAbstractSlider::valueChanged, viewport(), qOverload<>(&QWidget::update));
}

DBGrid::~DBGrid() = default;

void DBGrid::setDataSource(data::DataSource* source)
{
    if (link_.setDataSource(source))
        invalidate(Dirty::Full);
}

data::DataSet* DBGrid::dataSet() const
{
    return link_.dataSet();
}

void DBGrid::setColumns(std::vector<DBGridColumn> columns)
{
    ownColumns_ = std::move(columns);
    invalidate(Dirty::Full);
}

void DBGrid::setShowTitles(bool on)
{
    showTitles_ = on;
    invalidate(Dirty::Full);
}

void DBGrid::setShowIndicator(bool on)
{
    showIndicator_ = on;
    invalidate(Dirty::Full);
}

void DBGrid::setColumnLines(bool on)
{
    columnLines_ = on;
    viewport()->update();
}

void DBGrid::setRowLines(bool on)
{
    rowLines_ = on;
    viewport()->update();
}

// ---- bringing the shown rows up to date ----------------------------------

// Bound datasets tell the grid in the middle of their own operations, so it
// only notes what changed and catches up later, before it paints or answers.
void DBGrid::invalidate(Dirty level)
{
    if (level > dirty_)
        dirty_ = level;
    viewport()->update();
    scheduleSync();
}

void DBGrid::scheduleSync()
{
    if (syncQueued_)
        return;
    syncQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            syncQueued_ = false;
            if (isVisible())
                ensureSynced();
        },
        Qt::QueuedConnection);
}

void DBGrid::synchronize()
{
    ensureSynced();
}

void DBGrid::ensureSynced()
{
    if (dirty_ == Dirty::None || syncing_)
        return;
    const Dirty level = dirty_;
    dirty_ = Dirty::None;
    syncing_ = true;
    try {
        sync(level);
    } catch (const std::exception& e) {
        // A grid that cannot read its rows shows none; the error goes to the
        // error window once the current event is done.
        clearRows();
        const QString message = QString::fromUtf8(e.what());
        QMetaObject::invokeMethod(this, [message] { showError(message); }, Qt::QueuedConnection);
    }
    syncing_ = false;
    updateScrollBars();
    viewport()->update();
}

void DBGrid::clearRows()
{
    rows_.clear();
    top_ = 0;
    cur_ = -1;
    exact_ = true;
    atStart_ = atEnd_ = true;
    insertShown_ = false;
}

int DBGrid::indexOf(const data::Bookmark& bookmark) const
{
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].bookmark == bookmark)
            return int(i);
    }
    return -1;
}

void DBGrid::sync(Dirty level)
{
    if (level == Dirty::Full)
        resolveColumns();
    data::DataSet* ds = dataSet();
    const int screenPos = cur_ >= 0 ? cur_ - top_ : 0;
    if (!ds || !ds->active()) {
        clearRows();
        return;
    }
    if (ds->state() == data::DataSetState::Insert) {
        showPendingInsert();
        return;
    }
    if (insertShown_) {
        // The pending row was posted or dropped: where it went is the table's.
        insertShown_ = false;
        level = Dirty::Full;
    }
    const std::optional<data::Bookmark> current = ds->bookmark();
    if (!current) {
        clearRows();
        return;
    }
    if (level == Dirty::Record) {
        const int i = indexOf(*current);
        if (i >= 0) {
            rows_[size_t(i)].values = ds->buffer();
            cur_ = i;
            const int fit = rowsThatFit();
            if (cur_ < top_)
                top_ = cur_;
            else if (cur_ >= top_ + fit)
                top_ = cur_ - fit + 1;
            // Keep a fetched row beyond each edge of the window, so a move by
            // one row past it scrolls by one row.
            const bool roomBelow = atEnd_ || top_ + fit < int(rows_.size());
            const bool roomAbove = atStart_ || top_ > 0;
            if (exact_ || (roomBelow && roomAbove))
                return;
            reloadAround(*current, cur_ - top_);
            return;
        }
        if (!exact_) {
            reloadAround(*current, screenPos);
            return;
        }
    }
    reloadWhole(*current, screenPos);
}

// A result that fits kExactLimit is held whole; a larger one as a window.
void DBGrid::reloadWhole(const data::Bookmark& current, int screenPos)
{
    data::DataSet* ds = dataSet();
    std::vector<data::Row> head = ds->fetchRows(std::nullopt, kExactLimit + 1, true);
    if (int(head.size()) <= kExactLimit) {
        rows_ = std::move(head);
        const int i = indexOf(current);
        if (i >= 0) {
            exact_ = true;
            atStart_ = atEnd_ = true;
            cur_ = i;
            rows_[size_t(i)].values = ds->buffer();
            placeCurrent(screenPos);
            return;
        }
    }
    reloadAround(current, screenPos);
}

void DBGrid::reloadAround(const data::Bookmark& current, int screenPos)
{
    data::DataSet* ds = dataSet();
    const int fit = rowsThatFit();
    std::vector<data::Row> before = ds->fetchRows(current, fit, false);
    std::vector<data::Row> after = ds->fetchRows(current, fit, true);
    atStart_ = int(before.size()) < fit;
    atEnd_ = int(after.size()) < fit;
    exact_ = false;
    rows_.clear();
    rows_.reserve(before.size() + 1 + after.size());
    for (auto it = before.rbegin(); it != before.rend(); ++it)
        rows_.push_back(std::move(*it));
    cur_ = int(rows_.size());
    rows_.push_back(data::Row{current, ds->buffer()});
    for (auto& r : after)
        rows_.push_back(std::move(r));
    placeCurrent(screenPos);
}

// An appended row that is not stored yet shows where the current row was.
void DBGrid::showPendingInsert()
{
    data::DataSet* ds = dataSet();
    const int screenPos = cur_ >= 0 ? cur_ - top_ : 0;
    if (!insertShown_) {
        const int at = std::clamp(cur_, 0, int(rows_.size()));
        rows_.insert(rows_.begin() + at, data::Row{data::Bookmark{}, ds->buffer()});
        cur_ = at;
        insertShown_ = true;
    } else {
        rows_[size_t(cur_)].values = ds->buffer();
    }
    placeCurrent(screenPos);
}

void DBGrid::placeCurrent(int screenPos)
{
    const int fit = rowsThatFit();
    const int n = int(rows_.size());
    top_ = cur_ - std::clamp(screenPos, 0, fit - 1);
    top_ = std::clamp(top_, 0, std::max(0, n - fit));
    if (cur_ < top_)
        top_ = cur_;
    else if (cur_ >= top_ + fit)
        top_ = cur_ - fit + 1;
    top_ = std::max(0, top_);
}

// ---- columns -----------------------------------------------------------------

void DBGrid::resolveColumns()
{
    data::DataSet* ds = dataSet();
    std::vector<ShownColumn> shown;
    auto add = [&](const QString& fieldName, const DBGridColumn* own) {
        ShownColumn c;
        c.fieldName = fieldName;
        c.field = ds ? ds->findField(fieldName) : nullptr;
        c.title = own && !own->title.isEmpty() ? own->title : fieldName;
        c.titleFont = own && own->titleFont ? *own->titleFont : font();
        c.color = own ? own->color : QColor();
        c.rightAligned = c.field
            && (c.field->dataType() == data::FieldType::Float || c.field->dataType() == data::FieldType::Integer
                || c.field->dataType() == data::FieldType::AutoInc);
        c.width = own && own->width >= 0 ? own->width : -1;
        shown.push_back(std::move(c));
        if (shown.back().width < 0)
            shown.back().width = defaultWidth(shown.back().field, shown.back().title);
    };
    if (!ownColumns_.empty()) {
        for (const auto& own : ownColumns_)
            add(own.fieldName, &own);
    } else if (ds) {
        for (const auto& f : ds->fields())
            add(f->fieldName(), nullptr);
    }
    columns_ = std::move(shown);
    if (curCol_ >= int(columns_.size()))
        curCol_ = std::max(0, int(columns_.size()) - 1);
}

// Wide enough for the field's usual display text, and for its title.
int DBGrid::defaultWidth(const data::Field* field, const QString& title) const
{
    int chars = 15;
    if (field) {
        switch (field->dataType()) {
        case data::FieldType::String:
            chars = field->size() > 0 ? field->size() : 15;
            break;
        case data::FieldType::Float:
        case data::FieldType::Date:
            chars = 10;
            break;
        case data::FieldType::Integer:
        case data::FieldType::AutoInc:
            chars = 11;
            break;
        }
    }
    int w = chars * fontMetrics().horizontalAdvance(QLatin1Char('0')) + 4;
    if (showTitles_)
        w = std::max(w, QFontMetrics(font()).horizontalAdvance(title) + 4);
    return w;
}

int DBGrid::columnCount()
{
    ensureSynced();
    return int(columns_.size());
}

QString DBGrid::columnTitle(int column)
{
    ensureSynced();
    return column >= 0 && column < int(columns_.size()) ? columns_[size_t(column)].title : QString();
}

int DBGrid::columnWidth(int column)
{
    ensureSynced();
    return column >= 0 && column < int(columns_.size()) ? columns_[size_t(column)].width : 0;
}

QString DBGrid::columnFieldName(int column)
{
    ensureSynced();
    return column >= 0 && column < int(columns_.size()) ? columns_[size_t(column)].fieldName : QString();
}

// ---- what is shown -----------------------------------------------------------

int DBGrid::rowHeight() const
{
    return fontMetrics().height() + 3;
}

int DBGrid::titleHeight() const
{
    if (!showTitles_)
        return 0;
    int h = rowHeight();
    for (const auto& c : columns_)
        h = std::max(h, QFontMetrics(c.titleFont).height() + 3);
    return h;
}

int DBGrid::rowsThatFit() const
{
    const int h = viewport()->height() - titleHeight();
    return std::max(1, h / rowHeight());
}

int DBGrid::rowCount()
{
    ensureSynced();
    return std::clamp(int(rows_.size()) - top_, 0, rowsThatFit());
}

QString DBGrid::cellText(int row, int column)
{
    ensureSynced();
    const int i = top_ + row;
    if (row < 0 || row >= rowCount() || column < 0 || column >= int(columns_.size()))
        return QString();
    const ShownColumn& c = columns_[size_t(column)];
    const auto& values = rows_[size_t(i)].values;
    if (!c.field || c.field->index() < 0 || c.field->index() >= int(values.size()))
        return QString();
    return c.field->displayTextOf(values[size_t(c.field->index())]);
}

int DBGrid::currentRow()
{
    ensureSynced();
    return cur_ >= 0 ? cur_ - top_ : -1;
}

void DBGrid::setCurrentColumn(int column)
{
    if (column < 0 || column >= int(columns_.size()))
        return;
    curCol_ = column;
    ensureColumnVisible(column);
    viewport()->update();
}

bool DBGrid::exactScrollBar()
{
    ensureSynced();
    return exact_;
}

int DBGrid::fetchedRowCount()
{
    ensureSynced();
    return int(rows_.size());
}

int DBGrid::dataLeft() const
{
    return showIndicator_ ? kIndicatorWidth : 0;
}

int DBGrid::columnLeft(int column) const
{
    int x = dataLeft();
    for (int c = 0; c < column && c < int(columns_.size()); ++c)
        x += columns_[size_t(c)].width + (columnLines_ ? 1 : 0);
    return x;
}

int DBGrid::totalWidth() const
{
    return columnLeft(int(columns_.size()));
}

QRect DBGrid::cellRect(int row, int column)
{
    ensureSynced();
    if (column < 0 || column >= int(columns_.size()))
        return {};
    const int x = columnLeft(column) - horizontalScrollBar()->value();
    const int y = titleHeight() + row * rowHeight();
    return QRect(x, y, columns_[size_t(column)].width, rowHeight() - (rowLines_ ? 1 : 0));
}

void DBGrid::updateScrollBars()
{
    settingScrollBar_ = true;
    QScrollBar* vb = verticalScrollBar();
    if (exact_) {
        vb->setRange(0, std::max(0, int(rows_.size()) - 1));
        vb->setPageStep(std::max(1, rowsThatFit()));
        vb->setSingleStep(1);
        vb->setValue(std::max(0, cur_));
    } else {
        const bool first = atStart_ && cur_ == 0;
        const bool last = atEnd_ && cur_ == int(rows_.size()) - 1;
        vb->setRange(0, 2);
        vb->setPageStep(1);
        vb->setSingleStep(1);
        vb->setValue(first ? 0 : last ? 2 : 1);
    }
    vb->setSliderPosition(vb->value());
    QScrollBar* hb = horizontalScrollBar();
    hb->setRange(0, std::max(0, totalWidth() - viewport()->width()));
    hb->setPageStep(std::max(1, viewport()->width()));
    hb->setSingleStep(8);
    settingScrollBar_ = false;
}

// ---- painting -------------------------------------------------------------------

static void drawFixedCell(QPainter& p, const QRect& r, const QPalette& pal)
{
    p.fillRect(r, pal.color(QPalette::Button));
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

void DBGrid::paintEvent(QPaintEvent*)
{
    ensureSynced();
    QPainter p(viewport());
    const QPalette& pal = palette();
    const int rh = rowHeight();
    const int th = titleHeight();
    const int xOff = horizontalScrollBar()->value();
    const int shown = std::clamp(int(rows_.size()) - top_, 0, rowsThatFit());
    const int vw = viewport()->width();
    const bool focused = hasFocus();

    p.fillRect(viewport()->rect(), pal.color(QPalette::Base));

    for (int c = 0; c < int(columns_.size()); ++c) {
        const ShownColumn& col = columns_[size_t(c)];
        const int x = columnLeft(c) - xOff;
        if (x > vw)
            break;
        if (x + col.width < dataLeft())
            continue;
        p.save();
        p.setClipRect(QRect(dataLeft(), 0, vw - dataLeft(), viewport()->height()));
        if (showTitles_) {
            const QRect tr(x, 0, col.width + (columnLines_ ? 1 : 0), th);
            drawFixedCell(p, tr, pal);
            p.setFont(col.titleFont);
            p.setPen(pal.color(QPalette::ButtonText));
            p.drawText(tr.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, col.title);
        }
        p.setFont(font());
        for (int r = 0; r < shown; ++r) {
            const QRect cell(x, th + r * rh, col.width, rh - (rowLines_ ? 1 : 0));
            const bool highlighted = focused && top_ + r == cur_ && c == curCol_;
            p.fillRect(cell, highlighted ? pal.color(QPalette::Highlight)
                                         : col.color.isValid() ? col.color : pal.color(QPalette::Base));
            p.setPen(pal.color(highlighted ? QPalette::HighlightedText : QPalette::Text));
            const auto& values = rows_[size_t(top_ + r)].values;
            QString text;
            if (col.field && col.field->index() >= 0 && col.field->index() < int(values.size()))
                text = col.field->displayTextOf(values[size_t(col.field->index())]);
            p.drawText(cell.adjusted(2, 0, -2, 0),
                       (col.rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter | Qt::TextSingleLine,
                       text);
            if (columnLines_) {
                p.setPen(pal.color(QPalette::Mid));
                p.drawLine(cell.right() + 1, cell.top(), cell.right() + 1, cell.bottom() + (rowLines_ ? 1 : 0));
            }
            if (rowLines_) {
                p.setPen(pal.color(QPalette::Mid));
                p.drawLine(cell.left(), cell.bottom() + 1, cell.right() + (columnLines_ ? 1 : 0), cell.bottom() + 1);
            }
        }
        p.restore();
    }

    if (showIndicator_) {
        if (showTitles_)
            drawFixedCell(p, QRect(0, 0, kIndicatorWidth, th), pal);
        for (int r = 0; r < shown; ++r) {
            const QRect ir(0, th + r * rh, kIndicatorWidth, rh);
            drawFixedCell(p, ir, pal);
            if (top_ + r == cur_) {
                // A small solid triangle pointing at the current row.
                const int cx = ir.left() + 3;
                const int cy = ir.center().y();
                const QPoint tri[3] = {QPoint(cx, cy - 4), QPoint(cx + 4, cy), QPoint(cx, cy + 4)};
                p.setPen(Qt::NoPen);
                p.setBrush(pal.color(QPalette::ButtonText));
                p.drawPolygon(tri, 3);
            }
        }
    }
}

void DBGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    invalidate(Dirty::Full);
}

void DBGrid::showEvent(QShowEvent* event)
{
    QAbstractScrollArea::showEvent(event);
    ensureSynced();
}

void DBGrid::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        invalidate(Dirty::Full);
}

void DBGrid::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void DBGrid::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

// ---- user moves -------------------------------------------------------------------

void DBGrid::userAction(const std::function<void()>& action)
{
    ensureSynced();
    data::DataSet* ds = dataSet();
    if (!ds || !ds->active())
        return;
    runHandler(action);
    ensureSynced();
}

void DBGrid::moveBy(int rows)
{
    userAction([this, rows] {
        data::DataSet* ds = dataSet();
        const std::optional<data::Bookmark> current = ds->bookmark();
        if (!current || rows == 0)
            return;
        if (rows == 1) {
            ds->next();
        } else if (rows == -1) {
            ds->prior();
        } else {
            const std::vector<data::Row> got = ds->fetchRows(current, std::abs(rows), rows > 0);
            if (!got.empty())
                ds->gotoBookmark(got.back().bookmark);
        }
    });
}

void DBGrid::moveToFirst()
{
    userAction([this] { dataSet()->first(); });
}

void DBGrid::moveToLast()
{
    userAction([this] { dataSet()->last(); });
}

void DBGrid::moveToShownRow(int row)
{
    ensureSynced();
    const int i = top_ + row;
    if (row < 0 || i >= int(rows_.size()) || i == cur_ || insertShown_)
        return;
    const data::Bookmark target = rows_[size_t(i)].bookmark;
    userAction([this, target] { dataSet()->gotoBookmark(target); });
}

void DBGrid::onScrollAction(int action)
{
    if (settingScrollBar_)
        return;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        moveBy(1);
        break;
    case QAbstractSlider::SliderSingleStepSub:
        moveBy(-1);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        moveBy(rowsThatFit());
        break;
    case QAbstractSlider::SliderPageStepSub:
        moveBy(-rowsThatFit());
        break;
    case QAbstractSlider::SliderToMinimum:
        moveToFirst();
        break;
    case QAbstractSlider::SliderToMaximum:
        moveToLast();
        break;
    case QAbstractSlider::SliderMove: {
        const int pos = verticalScrollBar()->sliderPosition();
        if (exact_) {
            if (pos >= 0 && pos < int(rows_.size()) && pos != cur_) {
                const data::Bookmark target = rows_[size_t(pos)].bookmark;
                userAction([this, target] { dataSet()->gotoBookmark(target); });
            }
        } else if (pos == verticalScrollBar()->minimum()) {
            moveToFirst();
        } else if (pos == verticalScrollBar()->maximum()) {
            moveToLast();
        }
        break;
    }
    default:
        break;
    }
    updateScrollBars();
}

void DBGrid::ensureColumnVisible(int column)
{
    if (column < 0 || column >= int(columns_.size()))
        return;
    QScrollBar* hb = horizontalScrollBar();
    const int left = columnLeft(column) - dataLeft();
    const int right = left + columns_[size_t(column)].width;
    const int room = viewport()->width() - dataLeft();
    if (left < hb->value())
        hb->setValue(left);
    else if (right > hb->value() + room)
        hb->setValue(std::min(left, right - room));
}

bool DBGrid::focusNextPrevChild(bool next)
{
    // Tab walks the columns first, then leaves the grid.
    if (tabs_) {
        ensureSynced();
        const int target = curCol_ + (next ? 1 : -1);
        if (target >= 0 && target < int(columns_.size())) {
            setCurrentColumn(target);
            return true;
        }
    }
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void DBGrid::keyPressEvent(QKeyEvent* event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Up:
        moveBy(-1);
        break;
    case Qt::Key_Down:
        moveBy(1);
        break;
    case Qt::Key_PageUp:
        moveBy(-rowsThatFit());
        break;
    case Qt::Key_PageDown:
        moveBy(rowsThatFit());
        break;
    case Qt::Key_Home:
        if (ctrl)
            moveToFirst();
        else
            setCurrentColumn(0);
        break;
    case Qt::Key_End:
        if (ctrl)
            moveToLast();
        else
            setCurrentColumn(int(columns_.size()) - 1);
        break;
    case Qt::Key_Left:
        setCurrentColumn(curCol_ - 1);
        break;
    case Qt::Key_Right:
        setCurrentColumn(curCol_ + 1);
        break;
    default: {
        // Nothing is typed into a grid: cell editing is not offered. A typed
        // character stops here, so it never clicks the button that carries
        // it; Alt+letter and Ctrl keys go on to the window.
        const QString text = event->text();
        const bool typed = !text.isEmpty() && text.at(0).isPrint() &&
                           !(event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier));
        if (!typed) {
            QAbstractScrollArea::keyPressEvent(event);
            return;
        }
        break;
    }
    }
    event->accept();
}

void DBGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    ensureSynced();
    const QPoint pos = event->position().toPoint();
    const int th = titleHeight();
    if (pos.y() < th)
        return;
    const int row = (pos.y() - th) / rowHeight();
    if (row >= rowCount())
        return;
    const int x = pos.x() + horizontalScrollBar()->value();
    if (pos.x() >= dataLeft()) {
        for (int c = 0; c < int(columns_.size()); ++c) {
            if (x >= columnLeft(c) && x < columnLeft(c + 1)) {
                setCurrentColumn(c);
                break;
            }
        }
    }
    moveToShownRow(row);
}

void DBGrid::wheelEvent(QWheelEvent* event)
{
    wheelDelta_ += event->angleDelta().y();
    const int steps = wheelDelta_ / 120;
    wheelDelta_ -= steps * 120;
    if (steps != 0)
        moveBy(-steps);
    event->accept();
}

} // namespace ui
