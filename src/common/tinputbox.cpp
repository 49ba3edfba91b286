#include "tinputbox.h"

#include <QInputDialog>

namespace {
TInputBox::Handler &currentHandler()
{
    static TInputBox::Handler handler;
    return handler;
}
} // namespace

bool TInputBox::run(QWidget *parent, Request &request)
{
    if (currentHandler()) return currentHandler()(request);
    bool ok = false;
    const QString answer = QInputDialog::getText(
        parent, request.title, request.prompt, QLineEdit::Normal, request.text, &ok);
    if (ok) request.text = answer;
    return ok;
}

void TInputBox::setHandler(Handler handler)
{
    currentHandler() = std::move(handler);
}
