#include "platform/ui/GridRows.h"

#include "platform/data/Query.h"

#include <QCoreApplication>
#include <QEvent>
#include <algorithm>
#include <cstdlib>

namespace ui {

namespace {

const QEvent::Type kMeasureEvent = QEvent::Type(QEvent::registerEventType());
// A query's count goes on in steps of this long between events, so that no
// key waits for a large result to be counted.
constexpr double kCountStepMs = 4;

} // namespace

GridRows::GridRows(QObject* parent)
    : QObject(parent),
      link_([this](bool recordOnly) { invalidate(recordOnly ? Dirty::Record : Dirty::Full); })
{
}

GridRows::~GridRows() = default;

void GridRows::setDataSource(data::DataSource* source)
{
    if (link_.setDataSource(source))
        invalidate(Dirty::Full);
}

void GridRows::setVisibleRows(int rows)
{
    rows = std::max(1, rows);
    if (rows == visible_)
        return;
    visible_ = rows;
    invalidate(Dirty::Record);
}

void GridRows::invalidate(Dirty level)
{
    if (level > dirty_)
        dirty_ = level;
    // A step of the count already queued would come before the new rows'
    // paint is done; the next one is queued once they are read.
    if (level == Dirty::Full && measureQueued_ && !measuring_) {
        QCoreApplication::removePostedEvents(this, kMeasureEvent);
        measureQueued_ = false;
    }
    emit invalidated(level == Dirty::Full);
}

void GridRows::synchronize()
{
    if (dirty_ == Dirty::None || syncing_)
        return;
    const Dirty level = dirty_;
    dirty_ = Dirty::None;
    syncing_ = true;
    emit aboutToChange();
    QString error;
    try {
        sync(level);
    } catch (const std::exception& e) {
        clear();
        error = QString::fromUtf8(e.what());
    }
    expected_.reset();
    syncing_ = false;
    emit changed(level == Dirty::Full);
    if (!error.isEmpty())
        emit failed(error);
    else if (size_ < 0 || (cur_ >= 0 && !insertShown_ && firstPos_ < 0))
        scheduleMeasure();
}

// Counting can take as long as reading the whole result, so it waits until
// the rows are on screen: a low-priority event comes after the paint.
void GridRows::scheduleMeasure()
{
    if (measureQueued_ || measuring_)
        return;
    measureQueued_ = true;
    QCoreApplication::postEvent(this, new QEvent(kMeasureEvent), Qt::LowEventPriority);
}

bool GridRows::event(QEvent* event)
{
    if (event->type() != kMeasureEvent)
        return QObject::event(event);
    measureQueued_ = false;
    measure(true);
    return true;
}

void GridRows::measure()
{
    measure(false);
}

void GridRows::measure(bool inSteps)
{
    synchronize();
    data::DataSet* ds = dataSet();
    if (!ds || !ds->active() || insertShown_ || cur_ < 0 || (size_ >= 0 && firstPos_ >= 0))
        return;
    measuring_ = true;
    QString error;
    try {
        if (inSteps && size_ < 0 && !countStep(*ds)) {
            measuring_ = false;
            scheduleMeasure(); // the rest after the events that came meanwhile
            return;
        }
        countRows(*ds);
        if (firstPos_ < 0) {
            const qint64 p = ds->positionOf(rows_[size_t(cur_)].bookmark);
            if (p >= 0)
                firstPos_ = p - cur_;
        }
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
    }
    measuring_ = false;
    emit measured();
    if (!error.isEmpty())
        emit failed(error);
}

bool GridRows::countStep(data::DataSet& ds)
{
    auto* query = dynamic_cast<data::Query*>(&ds);
    return !query || query->countStep(kCountStepMs).has_value();
}

void GridRows::countRows(data::DataSet& ds)
{
    if (size_ < 0 && !insertShown_) {
        size_ = std::max(ds.recordCount(), qint64(rows_.size()));
        derivePlace();
    }
}

void GridRows::clear()
{
    rows_.clear();
    top_ = 0;
    cur_ = -1;
    atStart_ = atEnd_ = true;
    firstPos_ = -1;
    size_ = 0;
    insertShown_ = false;
}

int GridRows::indexOf(const data::Bookmark& bookmark) const
{
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].bookmark == bookmark)
            return int(i);
    }
    return -1;
}

void GridRows::sync(Dirty level)
{
    data::DataSet* ds = dataSet();
    const int screenPos = cur_ >= 0 ? cur_ - top_ : 0;
    if (!ds || !ds->active()) {
        clear();
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
        clear();
        return;
    }
    if (level == Dirty::Full) {
        size_ = -1;
        firstPos_ = -1;
    } else if (const int i = indexOf(*current); i >= 0) {
        rows_[size_t(i)].values = ds->buffer();
        cur_ = i;
        top_ = std::clamp(top_, cur_ - visible_ + 1, cur_);
        // Keep a held row beyond each edge of the screen, so a move by one
        // row past it scrolls by one row.
        const bool roomBelow = atEnd_ || top_ + visible_ < int(rows_.size());
        const bool roomAbove = atStart_ || top_ > 0;
        if (roomBelow && roomAbove)
            return;
        if (firstPos_ >= 0)
            expected_ = Expected{*current, firstPos_ + i};
        reloadAround(*ds, *current, cur_ - top_);
        return;
    }
    reloadAround(*ds, *current, screenPos);
}

void GridRows::reloadAround(data::DataSet& ds, const data::Bookmark& current, int screenPos)
{
    std::vector<data::Row> before = ds.fetchRows(current, visible_, false);
    std::vector<data::Row> after = ds.fetchRows(current, visible_, true);
    atStart_ = int(before.size()) < visible_;
    atEnd_ = int(after.size()) < visible_;
    rows_.clear();
    rows_.reserve(before.size() + 1 + after.size());
    for (auto it = before.rbegin(); it != before.rend(); ++it)
        rows_.push_back(std::move(*it));
    cur_ = int(rows_.size());
    rows_.push_back(data::Row{current, ds.buffer()});
    for (auto& r : after)
        rows_.push_back(std::move(r));
    firstPos_ = expected_ && expected_->bookmark == current ? expected_->position - cur_ : -1;
    derivePlace();
    placeCurrent(screenPos);
}

// What the held rows tell without asking the dataset.
void GridRows::derivePlace()
{
    if (insertShown_)
        return;
    if (atStart_ && atEnd_)
        size_ = qint64(rows_.size());
    if (firstPos_ >= 0)
        return;
    if (atStart_)
        firstPos_ = 0;
    else if (atEnd_ && size_ >= 0)
        firstPos_ = size_ - qint64(rows_.size());
}

// An appended row that is not stored yet shows where the current row was.
void GridRows::showPendingInsert()
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

void GridRows::placeCurrent(int screenPos)
{
    const int n = int(rows_.size());
    top_ = cur_ - std::clamp(screenPos, 0, visible_ - 1);
    top_ = std::clamp(top_, 0, std::max(0, n - visible_));
    top_ = std::max(0, std::clamp(top_, cur_ - visible_ + 1, cur_));
}

int GridRows::shownCount() const
{
    return std::clamp(int(rows_.size()) - top_, 0, visible_);
}

const std::vector<QVariant>* GridRows::shownValues(int row) const
{
    if (row < 0 || row >= shownCount())
        return nullptr;
    return &rows_[size_t(top_ + row)].values;
}

qint64 GridRows::currentPosition() const
{
    return insertShown_ || cur_ < 0 || firstPos_ < 0 ? -1 : firstPos_ + cur_;
}

// ---- moves -------------------------------------------------------------------

void GridRows::goTo(const data::Bookmark& target, qint64 position)
{
    if (position >= 0)
        expected_ = Expected{target, position};
    try {
        dataSet()->gotoBookmark(target);
    } catch (...) {
        expected_.reset();
        throw;
    }
}

void GridRows::moveBy(int rows)
{
    synchronize();
    data::DataSet* ds = dataSet();
    if (!ds || !ds->active() || rows == 0)
        return;
    const qint64 pos = currentPosition();
    if (!insertShown_ && cur_ >= 0) {
        // Within the held rows, or at most to the result's first or last row.
        int target = cur_ + rows;
        if (atEnd_)
            target = std::min(target, int(rows_.size()) - 1);
        if (atStart_)
            target = std::max(target, 0);
        if (target >= 0 && target < int(rows_.size())) {
            if (target != cur_)
                goTo(rows_[size_t(target)].bookmark, pos >= 0 ? pos + target - cur_ : -1);
            return;
        }
    }
    const std::optional<data::Bookmark> current = ds->bookmark();
    if (!current)
        return;
    const std::vector<data::Row> got = ds->fetchRows(current, std::abs(rows), rows > 0);
    if (got.empty())
        return;
    const qint64 step = rows > 0 ? qint64(got.size()) : -qint64(got.size());
    goTo(got.back().bookmark, pos >= 0 ? pos + step : -1);
}

void GridRows::moveToFirst()
{
    if (data::DataSet* ds = dataSet(); ds && ds->active())
        ds->first();
}

void GridRows::moveToLast()
{
    if (data::DataSet* ds = dataSet(); ds && ds->active())
        ds->last();
}

void GridRows::moveToShownRow(int row)
{
    synchronize();
    const int i = top_ + row;
    if (row < 0 || row >= shownCount() || i == cur_ || insertShown_)
        return;
    goTo(rows_[size_t(i)].bookmark, firstPos_ >= 0 ? firstPos_ + i : -1);
}

void GridRows::moveToPosition(qint64 position)
{
    synchronize();
    data::DataSet* ds = dataSet();
    if (!ds || !ds->active())
        return;
    countRows(*ds); // the place is not needed, only the size
    if (size_ <= 0)
        return;
    position = std::clamp<qint64>(position, 0, size_ - 1);
    if (position == 0) {
        ds->first();
        return;
    }
    if (position == size_ - 1) {
        ds->last();
        return;
    }
    if (!insertShown_ && firstPos_ >= 0 && position >= firstPos_ &&
        position < firstPos_ + qint64(rows_.size())) {
        goTo(rows_[size_t(position - firstPos_)].bookmark, position);
        return;
    }
    const std::vector<data::Row> got = ds->fetchRowsFrom(position, 1);
    if (got.empty()) { // fewer rows than counted: the result changed meanwhile
        ds->last();
        return;
    }
    goTo(got.front().bookmark, position);
}

} // namespace ui
