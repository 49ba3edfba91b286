#include "teditorsettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPalette>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

QString g_pathOverride;

// The file as an ordered list of lines: section headers, keys and anything else.
struct IniText {
    struct Line {
        QString section; // the section this line belongs to (its own name for a header)
        QString key; // empty for headers and other lines
        QString text; // the line as written
        bool header = false;
    };
    QList<Line> lines;

    void parse(const QString &text)
    {
        QString section;
        for (const QString &raw : text.split(QLatin1Char('\n'))) {
            QString line = raw;
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            const QString t = line.trimmed();
            Line l;
            l.text = line;
            if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'))) {
                section = t.mid(1, t.size() - 2).trimmed();
                l.header = true;
            } else if (const qsizetype eq = t.indexOf(QLatin1Char('=')); eq > 0) {
                l.key = t.left(eq).trimmed();
            }
            l.section = section;
            lines << l;
        }
        while (!lines.isEmpty() && lines.last().text.trimmed().isEmpty() && !lines.last().header)
            lines.removeLast();
    }

    // Keys and sections compare without case, as the platform's settings files do.
    qsizetype find(const QString &section, const QString &key) const
    {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (!lines[i].header && lines[i].section.compare(section, Qt::CaseInsensitive) == 0
                && lines[i].key.compare(key, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }

    QString value(const QString &section, const QString &key, bool *found) const
    {
        const qsizetype i = find(section, key);
        *found = i >= 0;
        if (i < 0)
            return QString();
        const QString t = lines[i].text.trimmed();
        return t.mid(t.indexOf(QLatin1Char('=')) + 1).trimmed();
    }

    void set(const QString &section, const QString &key, const QString &value)
    {
        const QString text = key + QLatin1Char('=') + value;
        if (const qsizetype i = find(section, key); i >= 0) {
            lines[i].text = text;
            return;
        }
        // Append to the section's last line, or start the section at the end.
        qsizetype insertAt = -1;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines[i].section.compare(section, Qt::CaseInsensitive) == 0
                && !lines[i].text.trimmed().isEmpty())
                insertAt = i + 1;
        }
        Line l;
        l.section = section;
        l.key = key;
        l.text = text;
        if (insertAt < 0) {
            if (!lines.isEmpty())
                lines << Line { QString(), QString(), QString(), false };
            lines << Line { section, QString(), QLatin1Char('[') + section + QLatin1Char(']'), true };
            lines << l;
        } else {
            lines.insert(insertAt, l);
        }
    }

    QString text() const
    {
        QString out;
        for (const Line &l : lines)
            out += l.text + QStringLiteral("\r\n");
        return out;
    }
};

const QString PageView = QStringLiteral("Page View");
const QString FontSettings = QStringLiteral("Font Settings");
const QString PrintPreview = QStringLiteral("Print Preview");

void readInt(const IniText &ini, const QString &section, const QString &key, int *target)
{
    bool found = false;
    const QString v = ini.value(section, key, &found);
    bool ok = false;
    const int n = v.toInt(&ok);
    if (found && ok)
        *target = n;
}

bool writable(const QString &dir)
{
    QTemporaryFile probe(dir + QStringLiteral("/.tessary-write-XXXXXX"));
    return probe.open();
}

} // namespace

TEditorSettings TEditorSettings::Load(const QString &path)
{
    TEditorSettings s;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return s;
    IniText ini;
    ini.parse(QString::fromLocal8Bit(file.readAll()));
    readInt(ini, PageView, QStringLiteral("Editor Colour"), &s.EditorColour);
    readInt(ini, FontSettings, QStringLiteral("Size"), &s.DefaultFontSize);
    bool found = false;
    const QString name = ini.value(FontSettings, QStringLiteral("Name"), &found);
    if (found && !name.isEmpty())
        s.DefaultFontName = name;
    readInt(ini, FontSettings, QStringLiteral("Zoom"), &s.Zoom);
    readInt(ini, PrintPreview, QStringLiteral("Top Margin"), &s.TopMarginMm);
    readInt(ini, PrintPreview, QStringLiteral("Left Margin"), &s.LeftMarginMm);
    readInt(ini, PrintPreview, QStringLiteral("Bottom Margin"), &s.BottomMarginMm);
    readInt(ini, PrintPreview, QStringLiteral("Right Margin"), &s.RightMarginMm);
    readInt(ini, PrintPreview, QStringLiteral("Header Margin"), &s.HeaderMarginMm);
    readInt(ini, PrintPreview, QStringLiteral("Footer Margin"), &s.FooterMarginMm);
    // A negative length (or one beyond any paper) is no geometry: it gets the default.
    const TEditorSettings defaults;
    const auto length = [](int &value, int fallback) {
        if (value < 0 || value > 1000)
            value = fallback;
    };
    length(s.TopMarginMm, defaults.TopMarginMm);
    length(s.LeftMarginMm, defaults.LeftMarginMm);
    length(s.BottomMarginMm, defaults.BottomMarginMm);
    length(s.RightMarginMm, defaults.RightMarginMm);
    length(s.HeaderMarginMm, defaults.HeaderMarginMm);
    length(s.FooterMarginMm, defaults.FooterMarginMm);
    // A size the font dialog could never give falls back to the default.
    if (s.DefaultFontSize <= 0 || s.DefaultFontSize > 1638)
        s.DefaultFontSize = TEditorSettings().DefaultFontSize;
    return s;
}

bool TEditorSettings::Save(const QString &path, QString *error) const
{
    IniText ini;
    {
        QFile old(path);
        if (old.open(QIODevice::ReadOnly))
            ini.parse(QString::fromLocal8Bit(old.readAll()));
    }
    const auto num = [](int v) { return QString::number(v); };
    ini.set(PageView, QStringLiteral("Editor Colour"), num(EditorColour));
    ini.set(FontSettings, QStringLiteral("Size"), num(DefaultFontSize));
    ini.set(FontSettings, QStringLiteral("Name"), DefaultFontName);
    ini.set(FontSettings, QStringLiteral("Zoom"), num(Zoom));
    ini.set(PrintPreview, QStringLiteral("Top Margin"), num(TopMarginMm));
    ini.set(PrintPreview, QStringLiteral("Left Margin"), num(LeftMarginMm));
    ini.set(PrintPreview, QStringLiteral("Bottom Margin"), num(BottomMarginMm));
    ini.set(PrintPreview, QStringLiteral("Right Margin"), num(RightMarginMm));
    ini.set(PrintPreview, QStringLiteral("Header Margin"), num(HeaderMarginMm));
    ini.set(PrintPreview, QStringLiteral("Footer Margin"), num(FooterMarginMm));
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(ini.text().toLocal8Bit()) < 0
        || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

void TEditorSettings::SetPathOverride(const QString &path)
{
    g_pathOverride = path;
}

QString TEditorSettings::Path()
{
    if (!g_pathOverride.isEmpty())
        return g_pathOverride;
    const QString beside = QCoreApplication::applicationDirPath();
    if (!beside.isEmpty() && writable(beside))
        return beside + QLatin1Char('/') + FileName();
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return config + QLatin1Char('/') + FileName();
}

QColor TEditorSettings::ToColor(int value)
{
    if (value < 0) {
        // System colours: the index in the low byte, as the platform numbers them.
        const QPalette pal = QGuiApplication::palette();
        switch (value & 0xFF) {
        case 5: // window background
            return pal.color(QPalette::Base);
        case 8: // window text
            return pal.color(QPalette::Text);
        case 15: // button face
            return pal.color(QPalette::Button);
        case 13: // highlight
            return pal.color(QPalette::Highlight);
        default:
            return pal.color(QPalette::Base);
        }
    }
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

int TEditorSettings::FromColor(const QColor &c)
{
    return c.red() + 256 * c.green() + 65536 * c.blue();
}

TZoomStep ZoomForPosition(int position)
{
    struct Row {
        int upTo, num, den, percent;
    };
    static constexpr Row rows[] = {
        { 50, 1, 2, 50 }, { 69, 3, 5, 60 }, { 79, 7, 10, 70 }, { 89, 4, 5, 80 },
        { 99, 9, 10, 90 }, { 109, 0, 0, 100 }, { 119, 11, 10, 110 }, { 129, 6, 5, 120 },
        { 139, 13, 10, 130 }, { 149, 7, 5, 140 }, { 159, 3, 2, 150 }, { 169, 8, 5, 160 },
        { 179, 17, 10, 170 }, { 189, 9, 5, 180 }, { 195, 19, 10, 190 }, { 200, 2, 1, 200 },
    };
    TZoomStep step;
    for (const Row &r : rows) {
        if (position <= r.upTo) {
            step.applies = true;
            step.numerator = r.num;
            step.denominator = r.den;
            step.status = QStringLiteral("Zoom Factor: %1%").arg(r.percent);
            step.label = QStringLiteral("Zoom: %1%").arg(r.percent);
            break;
        }
    }
    return step;
}
