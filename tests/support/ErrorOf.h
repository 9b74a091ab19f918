#pragma once

#include "QStringPrinter.h"

#include "platform/rtl/Errors.h"

#include <QString>
#include <functional>

// The message of the error the step raises (what the error window would
// show), or "<no error>". An error of another class than E is not caught, so
// it fails the test.
template <class E = rtl::Error> QString errorOf(const std::function<void()>& step)
{
    try {
        step();
    } catch (const E& e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}
