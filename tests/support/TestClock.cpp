#include "TestClock.h"

#include "platform/rtl/Clock.h"

namespace {

class FixedClock : public rtl::Clock {
public:
    QDateTime now() const override { return now_; }
    QDateTime now_;
};

FixedClock fixedClock;

} // namespace

void setClock(const QDateTime& now)
{
    fixedClock.now_ = now;
    rtl::Clock::install(&fixedClock);
}

void setClock(const QDate& today)
{
    setClock(QDateTime(today, QTime(12, 0)));
}

void resetClock()
{
    rtl::Clock::install(nullptr);
}
