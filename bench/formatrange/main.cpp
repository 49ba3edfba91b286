// Lays a generated document of about 300 pages out page by page, as the page
// builder and the exports do, and compares the cost with one layout of it.
#include "tformatrange.h"

#include <QElapsedTimer>
#include <climits>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>

namespace {
void generate(QTextDocument &doc, int paragraphs)
{
    const QStringList fonts = {"Liberation Serif", "Liberation Sans", "Liberation Mono"};
    const QString words = QStringLiteral(
        "Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor "
        "incididunt ut labore et dolore magna aliqua. Ut enim ad minim veniam, quis nostrud "
        "exercitation ullamco laboris nisi ut aliquip ex ea commodo consequat. Grüße, café, ");
    QTextCursor c(&doc);
    for (int i = 0; i < paragraphs; ++i) {
        if (i > 0)
            c.insertBlock();
        QTextCharFormat f;
        f.setFontFamilies({fonts[i % fonts.size()]});
        if (i % 25 == 0) {
            f.setFontPointSize(16);
            f.setFontWeight(QFont::Bold);
            c.insertText(QStringLiteral("Heading %1").arg(i / 25 + 1), f);
            continue;
        }
        f.setFontPointSize(11);
        for (int run = 0; run < 6; ++run) {
            f.setFontWeight(run % 3 == 0 ? QFont::Bold : QFont::Normal);
            f.setFontItalic(run % 2 == 1);
            f.setForeground(run == 4 ? QColor(160, 0, 0) : QColor(Qt::black));
            c.insertText(words.mid(run * 30, 60), f);
        }
    }
}
} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTextDocument doc;
    generate(doc, 2400);
    const int dpi = 600; // page pictures are recorded at printer resolution
    const QRect layout(0, 0, 9000, 13000); // about A4 inside the margins, in twips

    // One layout of the whole document: a single call with a rectangle that
    // holds everything.
    TFormatRange once(&doc);
    QElapsedTimer timer;
    timer.start();
    once.measure(dpi, dpi, QRect(0, 0, layout.width(), INT_MAX / 2), 0, -1);
    const qint64 layoutMs = timer.elapsed();

    // Page by page with drawing, as the exports do.
    TFormatRange pages(&doc);
    QImage image(200, 200, QImage::Format_RGB32); // small: drawing cost is clipped away
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    timer.restart();
    int start = 0, count = 0;
    while (start < pages.length()) {
        QPainter painter(&image);
        const int next = pages.render(&painter, layout, start, -1);
        if (next <= start)
            break;
        start = next;
        ++count;
    }
    const qint64 pagedMs = timer.elapsed();

    std::printf("document: %d characters, %d paragraphs\n", pages.length(), doc.blockCount());
    std::printf("one layout:    %lld ms\n", static_cast<long long>(layoutMs));
    std::printf("page by page:  %lld ms for %d pages (%.1f pages/s), %d layout(s)\n",
                static_cast<long long>(pagedMs), count,
                pagedMs > 0 ? count * 1000.0 / pagedMs : 0.0, pages.layoutCount());
    std::printf("ratio page-by-page / one layout: %.2f (target at most 2)\n",
                layoutMs > 0 ? double(pagedMs) / layoutMs : 0.0);
    return 0;
}
