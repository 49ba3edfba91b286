#include "tconverter.h"

#include "tdocumentfile.h"
#include "trichedit.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {
const char Usage[] = "usage: tessary-convert [--to rtf|rtc|mvt|txt|utf16] INPUT OUTPUT";

bool kindForName(const QString &name, DocumentKind *kind)
{
    static const QList<QPair<QString, DocumentKind>> formats = {
        {"rtf", DocumentKind::Rtf},      {"rtc", DocumentKind::Compressed},
        {"mvt", DocumentKind::Template}, {"txt", DocumentKind::PlainAnsi},
        {"utf16", DocumentKind::PlainUtf16}};
    for (const auto &[n, k] : formats) {
        if (n == name.toLower()) {
            *kind = k;
            return true;
        }
    }
    return false;
}
} // namespace

int TConverter::run(const QStringList &arguments, QTextStream &err)
{
    QStringList positional;
    QString format;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == QLatin1String("--to")) {
            if (i + 1 >= arguments.size()) {
                err << Usage << Qt::endl;
                return 2;
            }
            format = arguments[++i];
        } else if (a.startsWith(QLatin1String("--to="))) {
            format = a.mid(5);
        } else if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            err << Usage << Qt::endl;
            return 2;
        } else if (a.startsWith(QLatin1String("--"))) {
            err << "tessary-convert: unknown option " << a << Qt::endl;
            return 2;
        } else {
            positional.append(a);
        }
    }
    if (positional.size() != 2) {
        err << Usage << Qt::endl;
        return 2;
    }
    const QString input = positional[0];
    const QString output = positional[1];

    DocumentKind outKind;
    if (!format.isEmpty()) {
        if (!kindForName(format, &outKind)) {
            err << "tessary-convert: unknown format " << format << " (rtf, rtc, mvt, txt, utf16)" << Qt::endl;
            return 2;
        }
    } else {
        // Without a format the output's extension decides, in any letter case.
        const QString ext = TDocumentFile::extensionOf(output).toLower();
        outKind = TDocumentFile::kindForSave(ext.isEmpty() ? output : QStringLiteral("x") + ext);
    }

    if (!QFileInfo(input).isFile()) {
        err << "tessary-convert: cannot read " << QDir::toNativeSeparators(input) << ": no such file" << Qt::endl;
        return 1;
    }
    TRichEditor editor;
    QString error;
    if (!TDocumentFile::load(editor, input, TDocumentFile::kindForLoad(input), &error)) {
        err << "tessary-convert: cannot read " << QDir::toNativeSeparators(input) << ": " << error << Qt::endl;
        return 1;
    }
    if (!TDocumentFile::save(editor, output, outKind, &error)) {
        err << "tessary-convert: cannot write " << QDir::toNativeSeparators(output) << ": " << error << Qt::endl;
        return 1;
    }
    return 0;
}
