#include "tfiledialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>

namespace {
TFileDialog::Handler &currentHandler()
{
    static TFileDialog::Handler handler;
    return handler;
}

// The first pattern of a filter such as "Rich Text Format (*.rtf)": "rtf".
QString suffixOfFilter(const QString &filter)
{
    static const QRegularExpression re(QStringLiteral("\\(\\*\\.([A-Za-z0-9]+)"));
    const auto m = re.match(filter);
    return m.hasMatch() ? m.captured(1) : QString();
}
} // namespace

QString TFileDialog::run(QWidget *parent, Request &request)
{
    if (currentHandler())
        return currentHandler()(request);

    // On the heap: a parent closed while the dialog runs takes the dialog
    // with it, which a dialog on the stack would not survive.
    QPointer<QFileDialog> guard = new QFileDialog(parent, request.title);
    QFileDialog &dialog = *guard;
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(request.filters);
    dialog.setOption(QFileDialog::DontUseNativeDialog, false);
    const int index = qBound(1, request.filterIndex, int(qMax<qsizetype>(1, request.filters.size())));
    if (!request.filters.isEmpty())
        dialog.selectNameFilter(request.filters.at(index - 1));
    if (!request.suggestedPath.isEmpty())
        dialog.selectFile(request.suggestedPath);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (!guard)
        return {};
    const QStringList files = guard->selectedFiles();
    const QString nameFilter = guard->selectedNameFilter();
    delete guard;
    if (!accepted || files.isEmpty())
        return {};
    request.filterIndex = int(request.filters.indexOf(nameFilter)) + 1;
    if (request.filterIndex < 1)
        request.filterIndex = index;
    QString path = files.constFirst();
    if (request.save && QFileInfo(path).suffix().isEmpty()) {
        // A name typed without extension takes the chosen type's extension.
        QString suffix = suffixOfFilter(request.filters.value(request.filterIndex - 1));
        if (suffix.isEmpty())
            suffix = request.defaultSuffix;
        if (!suffix.isEmpty())
            path += QLatin1Char('.') + suffix;
    }
    return path;
}

void TFileDialog::setHandler(Handler handler)
{
    currentHandler() = std::move(handler);
}
