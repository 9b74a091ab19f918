#include "platform/preview/BuildScheduler.h"

#include "platform/report/Model.h"
#include "platform/report/PageBuilder.h"

#include <QElapsedTimer>
#include <QTimer>

namespace report {

namespace {

constexpr int kStepBudgetMs = 25; // building in the background stays out of the user's way
constexpr int kRowsPerStep = 100;
constexpr int kFirstPageRowsPerStep = 8; // the first page shows at once: few rows past it

} // namespace

BuildScheduler::BuildScheduler(const LayoutModel& layout, data::DataSet* dataSet, Guard guard,
                               QObject* parent)
    : QObject(parent), layout_(layout), dataSet_(dataSet), guard_(std::move(guard))
{
    document_.orientation = layout.orientation;
    document_.pageWidth = layout.pageWidth();
    document_.pageHeight = layout.pageHeight();

    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, &BuildScheduler::buildMore);
}

BuildScheduler::~BuildScheduler() = default;

const Document& BuildScheduler::document() const
{
    return builder_ ? builder_->document() : document_;
}

void BuildScheduler::start()
{
    builder_ = std::make_unique<PageBuilder>(layout_, dataSet_);
    while (!builder_->step(kFirstPageRowsPerStep) && builder_->completedPages() < 1) {
    }
    if (builder_->finished()) {
        document_ = builder_->takeDocument();
        builder_.reset();
    }
}

void BuildScheduler::goOn()
{
    if (builder_ && !timer_->isActive())
        timer_->start();
}

void BuildScheduler::buildMore()
{
    if (!builder_)
        return;
    const int before = document().pageCount();
    QElapsedTimer timer;
    timer.start();
    bool ok = true;
    guard_([&] {
        try {
            while (!builder_->step(kRowsPerStep) && timer.elapsed() < kStepBudgetMs) {
            }
        } catch (...) {
            ok = false;
            throw;
        }
    });
    if (!ok || builder_->finished()) {
        // After an error the pages built so far stay on show.
        document_ = builder_->takeDocument();
        if (!ok)
            document_.complete = false;
        builder_.reset();
    }
    if (document().pageCount() != before || !builder_)
        emit progressed();
    if (builder_)
        timer_->start();
}

void BuildScheduler::finish()
{
    if (!builder_)
        return;
    builder_->finish();
    document_ = builder_->takeDocument();
    builder_.reset();
    emit progressed();
}

void BuildScheduler::stop()
{
    timer_->stop();
    if (!builder_)
        return;
    std::unique_ptr<PageBuilder> builder = std::move(builder_);
    document_ = builder->takeDocument();
    builder->abandon();
}

void BuildScheduler::replace(Document document)
{
    stop();
    document_ = std::move(document);
}

} // namespace report
