// Prints how fast RTF is read and written; it never fails on timing.
#include "benchdocument.h"
#include "rtfreader.h"
#include "rtfwriter.h"
#include "trichedit.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

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

    // The same document with 200 pictures and 50 tables: opening it should
    // take at most twice as long, and hold one decoded image per picture.
    const int pictures = 200, tables = 50;
    const QByteArray rich = makeBenchmarkRtf(pages, pictures, tables);
    double richMs = 1e9;
    QTextDocument richDoc;
    for (int round = 0; round < 3; ++round) {
        t.start();
        RtfReader::read(rich, richDoc);
        richMs = qMin(richMs, t.nsecsElapsed() / 1e6);
    }
    int pictureChars = 0;
    QSet<QString> names;
    QSet<qint64> images;
    qint64 decodedBytes = 0;
    for (QTextBlock b = richDoc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isImageFormat())
                continue;
            ++pictureChars;
            const QString name = f.toImageFormat().name();
            if (names.contains(name))
                continue;
            names.insert(name);
            const QImage image = richDoc.resource(QTextDocument::ImageResource, QUrl(name)).value<QImage>();
            if (!images.contains(image.cacheKey()))
                decodedBytes += image.sizeInBytes();
            images.insert(image.cacheKey());
        }
    }
    int tableCount = 0;
    for (QTextFrame *f : richDoc.rootFrame()->childFrames())
        tableCount += qobject_cast<QTextTable *>(f) ? 1 : 0;
    std::printf("with %d pictures and %d tables: %.2f MB of RTF\n", pictures, tables, rich.size() / 1e6);
    std::printf("read:  %8.1f ms  %.2f x the time without them (goal: at most 2)\n", richMs, richMs / readMs);
    std::printf("pictures in the text: %d, decoded images: %d, %.1f MB (one copy of %d x %d pixels each: %.1f MB)\n",
                pictureChars, int(images.size()), decodedBytes / 1e6, 160, 120, pictures * 160 * 120 * 4 / 1e6);
    std::printf("tables: %d\n", tableCount);
    return 0;
}
