#pragma once

#include <QDateTime>

namespace rtl {

// "Now" for the whole program. Tests install a fixed clock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const;

    static const Clock& current();
    // Installs a clock (not owned); nullptr restores the system clock.
    static void install(const Clock* clock);
};

QDateTime now();
QDate today();

} // namespace rtl
