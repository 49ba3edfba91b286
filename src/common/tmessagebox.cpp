#include "tmessagebox.h"

#include <QApplication>

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
    QMessageBox box(icon, title, text, buttons, parent);
    return QMessageBox::StandardButton(box.exec());
}

void TMessageBox::setHandler(Handler handler)
{
    currentHandler() = std::move(handler);
}
