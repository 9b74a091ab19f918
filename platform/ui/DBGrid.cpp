#include "platform/ui/DBGrid.h"

#include "platform/data/DataSet.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/GridPainter.h"
#include "platform/ui/KeptLooks.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>

namespace ui {

namespace {

// Beyond this many rows the scroll bar's steps stand for several rows each.
constexpr int kBarMax = std::numeric_limits<int>::max() / 2;
constexpr int kMinColumnWidth = 4;
constexpr int kBorderGrip = 3;

// The grid's vertical bar. Its looks are kept for the few states it was last
// in, so a save that lists the same lines again does not run the style's
// gradient fills (threaded, dearer than the bar's pixels) for a bar that looks
// as it did. The bar fills all of its rectangle, so the widgets behind it are
// not painted with it.
class GridScrollBar : public QScrollBar {
public:
    explicit GridScrollBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent) {}

protected:
    bool event(QEvent* event) override
    {
        const bool done = QScrollBar::event(event);
        // After the style's polish, which makes a scroll bar see-through.
        if (event->type() == QEvent::Polish || event->type() == QEvent::StyleChange)
            setAttribute(Qt::WA_OpaquePaintEvent);
        return done;
    }
    void paintEvent(QPaintEvent* event) override
    {
        QPainter p(this);
        // While the mouse is on it the style shows which part it is over or
        // holds; those looks are not kept.
        if (pressed_ || underMouse()) {
            p.fillRect(rect(), palette().brush(QPalette::Window));
            p.end();
            QScrollBar::paintEvent(event);
            return;
        }
        QStyleOptionSlider opt;
        initStyleOption(&opt);
        opt.subControls = QStyle::SC_All;
        opt.activeSubControls = QStyle::SC_None;
        const Looks key{size(),         devicePixelRatioF(), opt.minimum,          opt.maximum,
                        opt.pageStep,   opt.sliderPosition,  opt.sliderValue,      int(opt.state),
                        opt.upsideDown, int(opt.direction),  palette().cacheKey(), style()};
        const QPixmap& look = kept_.look(key, size(), devicePixelRatioF(), [&](QPainter& pp) {
            pp.fillRect(rect(), palette().brush(QPalette::Window));
            style()->drawComplexControl(QStyle::CC_ScrollBar, &opt, &pp, this);
        });
        p.drawPixmap(0, 0, look);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        pressed_ = true;
        QScrollBar::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QScrollBar::mouseReleaseEvent(event);
        pressed_ = event->buttons() != Qt::NoButton;
        update();
    }

private:
    struct Looks {
        QSize size;
        qreal ratio;
        int minimum, maximum, pageStep, position, value, state;
        bool upsideDown;
        int direction;
        qint64 palette;
        const QStyle* style;
        bool operator==(const Looks&) const = default;
    };
    KeptLooks<Looks, 8> kept_;
    bool pressed_ = false;
};

} // namespace

DBGrid::DBGrid(QWidget* parent) : QAbstractScrollArea(parent), model_(&rows_)
{
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBar(new GridScrollBar(this));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setMouseTracking(true); // the resize cursor over title borders
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, &DBGrid::onScrollAction);
    connect(horizontalScrollBar(), &QAbstractSlider::valueChanged, viewport(), qOverload<>(&QWidget::update));
    connect(&rows_, &GridRows::invalidated, this, &DBGrid::onInvalidated);
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] {
        layoutColumns();
        updateScrollBars();
        if (painting_)
            resetWhilePainting_ = true;
        else
            updateChanged(QRegion());
    });
    connect(&rows_, &GridRows::measured, this, [this] {
        updateScrollBars();
        updateChanged(QRegion());
    });
    // A grid that cannot read its rows shows none; the error goes to the
    // error window once the current event is done.
    connect(&rows_, &GridRows::failed, this, [this](const QString& message) {
        QMetaObject::invokeMethod(
            this, [message] { showError(message); }, Qt::QueuedConnection);
    });
}

DBGrid::~DBGrid() = default;

void DBGrid::setDataSource(data::DataSource* source)
{
    userWidths_.clear();
    rows_.setDataSource(source);
}

void DBGrid::setColumns(std::vector<DBGridColumn> columns)
{
    userWidths_.clear();
    model_.setColumns(std::move(columns));
}

void DBGrid::setShowTitles(bool on)
{
    showTitles_ = on;
    layoutColumns();
    onInvalidated();
}

void DBGrid::setShowIndicator(bool on)
{
    showIndicator_ = on;
    layoutColumns();
    viewport()->update();
}

void DBGrid::setColumnLines(bool on)
{
    columnLines_ = on;
    updateScrollBars();
    viewport()->update();
}

void DBGrid::setRowLines(bool on)
{
    rowLines_ = on;
    viewport()->update();
}

void DBGrid::setGridLines(bool on)
{
    setColumnLines(on);
    setRowLines(on);
}

// ---- bringing the shown rows up to date ----------------------------------

void DBGrid::onInvalidated()
{
    // The rows are read later, so which of them changed is not known yet;
    // a pixel (below the rows, mostly) marks the viewport now, so that its
    // paint comes in the same pass as the reading, which adds the rows that
    // changed.
    if (!painting_)
        viewport()->update(0, viewport()->height() - 1, 1, 1);
    if (syncQueued_)
        return;
    syncQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            syncQueued_ = false;
            if (isVisible())
                ensureSynced(); // a change of rows marks them (modelReset)
        },
        Qt::QueuedConnection);
}

DBGrid::Looks DBGrid::looks() const
{
    Looks l;
    l.frame = {viewport()->size(),
               horizontalScrollBar()->value(),
               rowHeight(),
               titleHeight(),
               showTitles_,
               showIndicator_,
               columnLines_,
               rowLines_,
               hasFocus() ? curCol_ : -1,
               palette().cacheKey(),
               int(palette().currentColorGroup()),
               font(),
               model_.columnCount()};
    for (int w : widths_)
        l.frame.emplace_back(w);
    for (int c = 0; c < model_.columnCount(); ++c) {
        l.frame.push_back(model_.headerData(c, Qt::Horizontal));
        l.frame.push_back(model_.headerData(c, Qt::Horizontal, Qt::FontRole));
    }
    const int shown = model_.rowCount();
    const int current = rows_.currentRow();
    l.rows.resize(size_t(shown));
    for (int r = 0; r < shown; ++r) {
        auto& row = l.rows[size_t(r)];
        row.emplace_back(r == current);
        for (int c = 0; c < model_.columnCount(); ++c) {
            const QModelIndex index = model_.index(r, c);
            row.push_back(model_.data(index));
            row.push_back(model_.data(index, Qt::BackgroundRole));
            row.push_back(model_.data(index, Qt::TextAlignmentRole));
        }
    }
    return l;
}

// Marks for a paint what differs from the last paint and lies outside
// `painted`; what the viewport shows becomes the last paint.
void DBGrid::updateChanged(const QRegion& painted)
{
    Looks now = looks();
    QRegion changed;
    if (now.frame != painted_.frame) {
        changed = viewport()->rect();
    } else {
        const int th = titleHeight(), rh = rowHeight();
        for (size_t r = 0; r < std::max(now.rows.size(), painted_.rows.size()); ++r) {
            const bool same =
                r < now.rows.size() && r < painted_.rows.size() && now.rows[r] == painted_.rows[r];
            if (!same)
                changed += QRect(0, th + int(r) * rh, viewport()->width(), rh);
        }
    }
    painted_ = std::move(now);
    changed -= painted;
    if (!changed.isEmpty())
        viewport()->update(changed);
}

void DBGrid::ensureSynced()
{
    rows_.setVisibleRows(rowsThatFit());
    rows_.synchronize();
}

void DBGrid::synchronize()
{
    ensureSynced();
    rows_.measure();
}

// ---- columns -------------------------------------------------------------------

QFont DBGrid::titleFont(int column) const
{
    const QVariant f = model_.headerData(column, Qt::Horizontal, Qt::FontRole);
    return f.isValid() ? f.value<QFont>() : font();
}

// The field's display width in digits "0" of the grid's font, or the title
// where titles show and it is wider; each with the cell margins.
int DBGrid::defaultWidth(int column) const
{
    int width = model_.displayChars(column) * fontMetrics().horizontalAdvance(QLatin1Char('0')) + kCellMargin;
    if (showTitles_) {
        const QString title = model_.headerData(column, Qt::Horizontal).toString();
        const QFont font = titleFont(column);
        // Every reading lays the columns out again, mostly with the same titles.
        auto known = std::find_if(titleWidths_.begin(), titleWidths_.end(),
                                  [&](const TitleWidth& t) { return t.title == title && t.font == font; });
        if (known == titleWidths_.end()) {
            if (titleWidths_.size() >= 64)
                titleWidths_.clear();
            titleWidths_.push_back({font, title, QFontMetrics(font).horizontalAdvance(title)});
            known = titleWidths_.end() - 1;
        }
        width = std::max(width, known->width + kCellMargin);
    }
    return width;
}

void DBGrid::layoutColumns()
{
    const int n = model_.columnCount();
    widths_.assign(size_t(n), 0);
    for (int c = 0; c < n; ++c) {
        const auto user = userWidths_.find(c);
        widths_[size_t(c)] = user != userWidths_.end() ? user->second
                             : model_.width(c) >= 0    ? model_.width(c)
                                                       : defaultWidth(c);
    }
    if (curCol_ >= n)
        curCol_ = std::max(0, n - 1);
}

int DBGrid::columnCount()
{
    ensureSynced();
    return model_.columnCount();
}

QString DBGrid::columnTitle(int column)
{
    ensureSynced();
    return model_.headerData(column, Qt::Horizontal).toString();
}

int DBGrid::columnWidth(int column)
{
    ensureSynced();
    return column >= 0 && column < int(widths_.size()) ? widths_[size_t(column)] : 0;
}

QString DBGrid::columnFieldName(int column)
{
    ensureSynced();
    return model_.fieldName(column);
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
    for (int c = 0; c < model_.columnCount(); ++c)
        h = std::max(h, QFontMetrics(titleFont(c)).height() + 3);
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
    return model_.rowCount();
}

QString DBGrid::cellText(int row, int column)
{
    ensureSynced();
    return model_.data(model_.index(row, column)).toString();
}

int DBGrid::currentRow()
{
    ensureSynced();
    return rows_.currentRow();
}

void DBGrid::setCurrentColumn(int column)
{
    if (column < 0 || column >= int(widths_.size()))
        return;
    curCol_ = column;
    ensureColumnVisible(column);
    viewport()->update();
}

int DBGrid::fetchedRowCount()
{
    ensureSynced();
    return rows_.heldCount();
}

int DBGrid::dataLeft() const
{
    return showIndicator_ ? kIndicatorWidth : 0;
}

int DBGrid::columnLeft(int column) const
{
    int x = dataLeft();
    for (int c = 0; c < column && c < int(widths_.size()); ++c)
        x += widths_[size_t(c)] + (columnLines_ ? 1 : 0);
    return x;
}

int DBGrid::totalWidth() const
{
    return columnLeft(int(widths_.size()));
}

QRect DBGrid::cellRect(int row, int column)
{
    ensureSynced();
    if (column < 0 || column >= int(widths_.size()))
        return {};
    const int x = columnLeft(column) - horizontalScrollBar()->value();
    const int y = titleHeight() + row * rowHeight();
    return QRect(x, y, widths_[size_t(column)], rowHeight() - (rowLines_ ? 1 : 0));
}

QRect DBGrid::titleRect(int column)
{
    ensureSynced();
    if (!showTitles_ || column < 0 || column >= int(widths_.size()))
        return {};
    return QRect(columnLeft(column) - horizontalScrollBar()->value(), 0, widths_[size_t(column)],
                 titleHeight());
}

// The bar's range is the result's rows; a result too large for its integers
// is scaled down.
int DBGrid::toBar(qint64 position) const
{
    if (barSize_ - 1 <= kBarMax)
        return int(position);
    return int(std::llround(double(position) / double(barSize_ - 1) * kBarMax));
}

qint64 DBGrid::fromBar(int value) const
{
    if (barSize_ - 1 <= kBarMax)
        return value;
    return std::llround(double(value) / kBarMax * double(barSize_ - 1));
}

void DBGrid::updateScrollBars()
{
    settingScrollBar_ = true;
    QScrollBar* vb = verticalScrollBar();
    // An unknown place or size keeps the bar as it was until it is found.
    if (rows_.resultSize() >= 0) {
        barSize_ = rows_.resultSize();
        vb->setRange(0, toBar(std::max<qint64>(0, barSize_ - 1)));
        vb->setPageStep(std::max(1, toBar(rowsThatFit())));
        vb->setSingleStep(1);
    }
    if (rows_.currentPosition() >= 0)
        vb->setValue(toBar(rows_.currentPosition()));
    vb->setSliderPosition(vb->value());
    QScrollBar* hb = horizontalScrollBar();
    hb->setRange(0, std::max(0, totalWidth() - viewport()->width()));
    hb->setPageStep(std::max(1, viewport()->width()));
    hb->setSingleStep(8);
    settingScrollBar_ = false;
}

// ---- painting -------------------------------------------------------------------

void DBGrid::paintEvent(QPaintEvent* event)
{
    painting_ = true;
    resetWhilePainting_ = false;
    ensureSynced();
    painting_ = false;
    // A whole paint also takes what changed without a reading (focus,
    // options, scrolling) as the last paint.
    if (resetWhilePainting_ || (QRegion(viewport()->rect()) - event->region()).isEmpty())
        updateChanged(event->region());
    GridPainter::Layout layout;
    layout.widths = widths_;
    layout.scrolled = horizontalScrollBar()->value();
    layout.rowHeight = rowHeight();
    layout.titleHeight = titleHeight();
    layout.indicatorWidth = dataLeft();
    layout.cellMargin = kCellMargin;
    layout.titles = showTitles_;
    layout.indicator = showIndicator_;
    layout.columnLines = columnLines_;
    layout.rowLines = rowLines_;
    layout.currentRow = rows_.currentRow();
    layout.highlightedColumn = hasFocus() ? curCol_ : -1;
    QPainter p(viewport());
    GridPainter(model_, layout).paint(p, viewport()->rect(), event->rect(), palette(), font());
}

void DBGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    onInvalidated();
}

// The rows are read once the window's opening is done: its activation may
// run the dataset again, and the rows of the run it replaces are not wanted
// (nor an error of theirs beside the new run's).
void DBGrid::showEvent(QShowEvent* event)
{
    QAbstractScrollArea::showEvent(event);
    onInvalidated();
}

void DBGrid::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        layoutColumns();
        onInvalidated();
    }
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

void DBGrid::onScrollAction(int action)
{
    if (settingScrollBar_)
        return;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        userAction([this] { rows_.moveBy(1); });
        break;
    case QAbstractSlider::SliderSingleStepSub:
        userAction([this] { rows_.moveBy(-1); });
        break;
    case QAbstractSlider::SliderPageStepAdd:
        userAction([this] { rows_.moveBy(rowsThatFit()); });
        break;
    case QAbstractSlider::SliderPageStepSub:
        userAction([this] { rows_.moveBy(-rowsThatFit()); });
        break;
    case QAbstractSlider::SliderToMinimum:
        userAction([this] { rows_.moveToFirst(); });
        break;
    case QAbstractSlider::SliderToMaximum:
        userAction([this] { rows_.moveToLast(); });
        break;
    case QAbstractSlider::SliderMove: {
        const qint64 target = fromBar(verticalScrollBar()->sliderPosition());
        userAction([this, target] { rows_.moveToPosition(target); });
        break;
    }
    default:
        break;
    }
    updateScrollBars();
}

void DBGrid::ensureColumnVisible(int column)
{
    if (column < 0 || column >= int(widths_.size()))
        return;
    QScrollBar* hb = horizontalScrollBar();
    const int left = columnLeft(column) - dataLeft();
    const int right = left + widths_[size_t(column)];
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
        if (target >= 0 && target < int(widths_.size())) {
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
        userAction([this] { rows_.moveBy(-1); });
        break;
    case Qt::Key_Down:
        userAction([this] { rows_.moveBy(1); });
        break;
    case Qt::Key_PageUp:
        userAction([this] { rows_.moveBy(-rowsThatFit()); });
        break;
    case Qt::Key_PageDown:
        userAction([this] { rows_.moveBy(rowsThatFit()); });
        break;
    case Qt::Key_Home:
        if (ctrl)
            userAction([this] { rows_.moveToFirst(); });
        else
            setCurrentColumn(0);
        break;
    case Qt::Key_End:
        if (ctrl)
            userAction([this] { rows_.moveToLast(); });
        else
            setCurrentColumn(int(widths_.size()) - 1);
        break;
    case Qt::Key_Left:
        setCurrentColumn(curCol_ - 1);
        break;
    case Qt::Key_Right:
        setCurrentColumn(curCol_ + 1);
        break;
    default: {
        // A typed character stops here, so it never clicks the button that
        // carries it; Alt+letter and Ctrl keys go on to the window.
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

int DBGrid::borderAt(const QPoint& pos) const
{
    if (!resizable_ || !showTitles_ || pos.y() >= titleHeight())
        return -1;
    const int x = pos.x() + horizontalScrollBar()->value();
    for (int c = 0; c < int(widths_.size()); ++c) {
        const int border = columnLeft(c) + widths_[size_t(c)];
        if (std::abs(x - border) <= kBorderGrip)
            return c;
    }
    return -1;
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
    if (const int c = borderAt(pos); c >= 0) {
        resizing_ = c;
        resizeFrom_ = pos.x() - widths_[size_t(c)];
        return;
    }
    const int th = titleHeight();
    if (pos.y() < th)
        return;
    const int row = (pos.y() - th) / rowHeight();
    if (row >= model_.rowCount())
        return;
    const int x = pos.x() + horizontalScrollBar()->value();
    if (pos.x() >= dataLeft()) {
        for (int c = 0; c < int(widths_.size()); ++c) {
            if (x >= columnLeft(c) && x < columnLeft(c + 1)) {
                setCurrentColumn(c);
                break;
            }
        }
    }
    userAction([this, row] { rows_.moveToShownRow(row); });
}

void DBGrid::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (resizing_ >= 0) {
        const int w = std::max(kMinColumnWidth, pos.x() - resizeFrom_);
        userWidths_[resizing_] = w;
        widths_[size_t(resizing_)] = w;
        updateScrollBars();
        viewport()->update();
        event->accept();
        return;
    }
    if (borderAt(pos) >= 0)
        viewport()->setCursor(Qt::SplitHCursor);
    else
        viewport()->unsetCursor();
    event->accept();
}

void DBGrid::mouseReleaseEvent(QMouseEvent* event)
{
    resizing_ = -1;
    event->accept();
}

void DBGrid::wheelEvent(QWheelEvent* event)
{
    wheelDelta_ += event->angleDelta().y();
    const int steps = wheelDelta_ / 120;
    wheelDelta_ -= steps * 120;
    if (steps != 0)
        userAction([this, steps] { rows_.moveBy(-steps); });
    event->accept();
}

} // namespace ui
