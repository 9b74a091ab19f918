#pragma once

#include <QDate>
#include <QDateTime>

// The one fixed clock of the tests: from the call to the end of the running
// test, rtl::now() and rtl::today() answer this moment. The test runner
// (main.cpp) puts the system clock back after every test.
void setClock(const QDateTime& now);
void setClock(const QDate& today); // at noon
void resetClock();
