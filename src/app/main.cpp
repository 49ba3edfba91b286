#include "tmainform.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ondaro Tessary Editor"));
    QApplication::setOrganizationName(QStringLiteral("Ondaro"));

    TMainForm frame;
    const QStringList args = QApplication::arguments();
    if (args.size() > 1)
        frame.SetCommandLineFile(QFileInfo(args.at(1)).absoluteFilePath());
    frame.show();
    return app.exec();
}
