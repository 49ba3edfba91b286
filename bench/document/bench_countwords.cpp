// Prints what the status bar's word count costs on every caret move: taking
// the editor's plain text and counting it. It never fails on timing.
#include "benchdocument.h"
#include "rtfreader.h"
#include "tformatrules.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    const int pages = argc > 1 ? QByteArray(argv[1]).toInt() : 300;
    QTextDocument doc;
    RtfReader::read(makeBenchmarkRtf(pages), doc);

    QElapsedTimer t;
    double textMs = 1e9, countMs = 1e9;
    TFormatRules::WordCount count;
    for (int round = 0; round < 5; ++round) {
        t.start();
        const QString text = doc.toPlainText();
        textMs = qMin(textMs, t.nsecsElapsed() / 1e6);
        t.start();
        count = TFormatRules::CountWords(text);
        countMs = qMin(countMs, t.nsecsElapsed() / 1e6);
    }
    std::printf("document: %d pages, %d words, %d characters\n", pages, count.words, count.characters);
    std::printf("plain text: %8.2f ms\n", textMs);
    std::printf("count:      %8.2f ms  %7.1f M characters/s\n", countMs, count.characters / 1e6 / (countMs / 1000));
    return 0;
}
