#include "tmessagebox.h"

#include <QApplication>
#include <QPointer>

namespace {
TMessageBox::Handler &currentHandler()
{
    static TMessageBox::Handler handler;
    return handler;
}
} // namespace

QMessageBox::StandardButton TMessageBox::show(QWidget *parent, Kind kind, const QString &text,
                                              QMessageBox::StandardButtons buttons)
{
    if (buttons == QMessageBox::NoButton)
        buttons = kind == Kind::Confirmation ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok;
    if (currentHandler())
        return currentHandler()(kind, text, buttons);

    QMessageBox::Icon icon = QMessageBox::Information;
    switch (kind) {
    case Kind::Information: icon = QMessageBox::Information; break;
    case Kind::Warning: icon = QMessageBox::Warning; break;
    case Kind::Error: icon = QMessageBox::Critical; break;
    case Kind::Confirmation: icon = QMessageBox::Question; break;
    }
    const QString title = QApplication::applicationDisplayName().isEmpty()
                              ? QStringLiteral("Ondaro Tessary Editor")
                              : QApplication::applicationDisplayName();
    // On the heap: a parent closed while the box is up takes the box with it,
    // which a box on the stack would not survive. The answer is then the
    // most cautious one offered.
    QPointer<QMessageBox> box = new QMessageBox(icon, title, text, buttons, parent);
    const int answer = box->exec();
    if (!box)
        return buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel
               : buttons.testFlag(QMessageBox::No)   ? QMessageBox::No
                                                     : QMessageBox::NoButton;
    delete box;
    return QMessageBox::StandardButton(answer);
}

void TMessageBox::setHandler(Handler handler)
{
    currentHandler() = std::move(handler);
}
