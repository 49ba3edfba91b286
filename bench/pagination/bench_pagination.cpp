// Prints how long the document window takes to rebuild its page strip on the 300-page
// benchmark document: a full rebuild (layout and every page picture) and the rebuild
// after typing one word and a space on page 150. It never fails on timing.
#include "benchdocument.h"
#include "rtfreader.h"
#include "teditorsettings.h"
#include "tmdichild.h"
#include "tpagebuilder.h"
#include "tpgpreview.h"
#include "trichedit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextCursor>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void key(QWidget *target, int k, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, k, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int pages = argc > 1 ? QByteArray(argv[1]).toInt() : 300;
    QTemporaryDir dir;
    TEditorSettings::SetPathOverride(dir.filePath(TEditorSettings::FileName()));

    TMDIChild window(nullptr, QStringLiteral("New Document"));
    RtfReader::read(makeBenchmarkRtf(pages), *window.Editor->document());
    QElapsedTimer t;

    std::vector<double> full;
    for (int round = 0; round < 3; ++round) {
        window.PageBuilder().Invalidate();
        window.Editor->ReleaseFormatRange();
        t.start();
        window.Repaginate();
        full.push_back(t.nsecsElapsed() / 1e6);
    }
    const int pageCount = window.PgPreview1->PageCount();

    // Type a word and a space on page 150 (the middle of a smaller document).
    const int page = std::min(150, pageCount) - 1;
    QTextCursor c = window.Editor->textCursor();
    c.setPosition(window.PageStarts.value(page) + 40);
    window.Editor->setTextCursor(c);
    std::vector<double> keystroke;
    int rendered = 0;
    for (int round = 0; round < 11; ++round) {
        for (const QChar ch : QStringLiteral("word"))
            key(window.Editor, Qt::Key_A + (ch.unicode() - 'a'), QString(ch));
        t.start();
        key(window.Editor, Qt::Key_Space, QStringLiteral(" "));
        keystroke.push_back(t.nsecsElapsed() / 1e6);
        rendered = window.PageBuilder().PagesRendered();
    }

    std::printf("document: %d pages, %d characters\n", pageCount,
        window.Editor->document()->characterCount());
    std::printf("full repaginate:        %8.1f ms median of %zu (target at most 1000 ms)\n",
        median(full), full.size());
    std::printf("word + space repaginate: %7.1f ms median of %zu (target at most 50 ms), "
                "%d page(s) rendered of %d\n",
        median(keystroke), keystroke.size(), rendered, window.PgPreview1->PageCount());
    return 0;
}
