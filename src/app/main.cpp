#include "trichedit.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TRichEditor editor;
    editor.show();
    return app.exec();
}
