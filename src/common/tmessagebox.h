#pragma once

#include <QMessageBox>

#include <functional>

/// The one way the application shows a message box. Tests install a handler
/// that answers instead of the user and can check the text.
class TMessageBox
{
public:
    enum class Kind { Information, Warning, Error, Confirmation };

    using Handler = std::function<QMessageBox::StandardButton(Kind kind, const QString &text,
                                                              QMessageBox::StandardButtons buttons)>;

    /// Shows text and returns the button chosen. Without explicit buttons a
    /// confirmation offers Yes/No, every other kind OK.
    static QMessageBox::StandardButton show(QWidget *parent, Kind kind, const QString &text,
                                            QMessageBox::StandardButtons buttons = QMessageBox::NoButton);

    static void information(QWidget *parent, const QString &text) { show(parent, Kind::Information, text); }
    static void warning(QWidget *parent, const QString &text) { show(parent, Kind::Warning, text); }
    static void error(QWidget *parent, const QString &text) { show(parent, Kind::Error, text); }
    /// Yes/No/Cancel confirmation.
    static QMessageBox::StandardButton askYesNoCancel(QWidget *parent, const QString &text)
    {
        return show(parent, Kind::Confirmation, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    }

    /// Replaces the dialogs with handler (an empty handler restores them).
    static void setHandler(Handler handler);
};
