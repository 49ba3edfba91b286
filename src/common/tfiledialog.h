#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

/// The application's open and save dialogs. Filters are given as
/// "Display text (*.ext)" strings; indices count from 1 as the file type
/// rules expect. Tests install a handler that answers instead of the user.
class TFileDialog
{
public:
    struct Request {
        bool save = false;
        QString title;
        QString suggestedPath;
        QStringList filters;
        int filterIndex = 1;
        QString defaultSuffix;
    };
    /// Returns the chosen path (empty for cancel) and may change filterIndex.
    using Handler = std::function<QString(Request &request)>;

    /// Runs the dialog; returns the chosen path or an empty string on cancel.
    /// filterIndex goes in as the preselected filter and comes out as the chosen one.
    static QString run(QWidget *parent, Request &request);

    static void setHandler(Handler handler);
};
