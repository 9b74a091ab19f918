#pragma once

#include <QString>
#include <ostream>

// Readable QString values in test failure messages. Every kit header includes
// it, so each test file prints QStrings the same way.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
