#include "shell/program/Program.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    return shell::runProgram();
}
