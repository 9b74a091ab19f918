#include "shell/UDm.h"
#include "platform/rtl/Errors.h"

#include <QApplication>
#include <cstdio>

// Start-up until the windows arrive: the data module is loaded, so a broken
// database already ends the program with its error.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    try {
        FDM = new TFDM();
    } catch (const rtl::Error& e) {
        std::fprintf(stderr, "Exception %s in module %s at %p.\n%s\n", e.kind(), "torambu-kesti",
                     static_cast<const void*>(&e), e.message().toLocal8Bit().constData());
        return 1;
    }
    delete FDM;
    return 0;
}
