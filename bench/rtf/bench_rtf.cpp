// Prints how fast RTF is read and written; it never fails on timing.
#include "benchdocument.h"
#include "rtfreader.h"
#include "rtfwriter.h"
#include "trichedit.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int pages = argc > 1 ? QByteArray(argv[1]).toInt() : 300;
    const QByteArray rtf = makeBenchmarkRtf(pages);
    const double mb = rtf.size() / 1e6;

    QTextDocument doc;
    QElapsedTimer t;
    double readMs = 1e9, writeMs = 1e9, loadMs = 1e9;
    QByteArray written;
    TRichEditor editor;
    editor.resize(800, 600);
    for (int round = 0; round < 5; ++round) {
        t.start();
        RtfReader::read(rtf, doc);
        readMs = qMin(readMs, t.nsecsElapsed() / 1e6);
        t.start();
        written = RtfWriter::write(doc);
        writeMs = qMin(writeMs, t.nsecsElapsed() / 1e6);
        // What opening a file costs the editor: reading plus taking the document over.
        QBuffer buffer(const_cast<QByteArray *>(&rtf));
        buffer.open(QIODevice::ReadOnly);
        t.start();
        editor.LoadFromStream(buffer, StreamFormat::Rtf);
        loadMs = qMin(loadMs, t.nsecsElapsed() / 1e6);
    }
    std::printf("document: %d pages, %.2f MB of RTF, %d characters\n", pages, mb, doc.characterCount());
    std::printf("read:  %8.1f ms  %7.1f MB/s\n", readMs, mb / (readMs / 1000));
    std::printf("load into the editor: %8.1f ms  %7.1f MB/s\n", loadMs, mb / (loadMs / 1000));
    std::printf("write: %8.1f ms  %7.1f MB/s (%.2f MB written)\n", writeMs,
                written.size() / 1e6 / (writeMs / 1000), written.size() / 1e6);
    return 0;
}
