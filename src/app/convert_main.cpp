#include "tconverter.h"

#include <QApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    // The converter never shows a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream err(stderr);
    return TConverter::run(QApplication::arguments().mid(1), err);
}
