#pragma once

#include <QString>

#include <functional>

class QWidget;

/// The application's one-line input box. Tests install a handler that answers
/// instead of the user.
class TInputBox {
public:
    struct Request {
        QString title;
        QString prompt;
        QString text; ///< default text in, the answer out
    };
    /// Returns true for OK (request.text holds the answer), false for Cancel.
    using Handler = std::function<bool(Request &request)>;

    static bool run(QWidget *parent, Request &request);

    /// Replaces the dialog with handler (an empty handler restores it).
    static void setHandler(Handler handler);
};
