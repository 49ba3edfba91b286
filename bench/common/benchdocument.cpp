#include "benchdocument.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

namespace {
QByteArray picture(int n)
{
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((n * 37) % 360, 160, 230));
    QPainter p(&image);
    p.setPen(Qt::black);
    p.drawEllipse(10 + n % 40, 10, 100, 80);
    p.drawText(20, 60, QString::number(n));
    p.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    QByteArray out = "{\\pict\\pngblip\\picw160\\pich120\\picwgoal2400\\pichgoal1800\n";
    const QByteArray hex = png.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128)
        out += hex.mid(i, 128) + '\n';
    return out + "}";
}

QByteArray table(int n)
{
    QByteArray out;
    for (int r = 0; r < 5; ++r) {
        out += "\\trowd\\trgaph108\\clbrdrt\\brdrs\\clbrdrb\\brdrs\\cellx2000\\cellx4000\\cellx6000\\cellx8000\n";
        for (int c = 0; c < 4; ++c)
            out += "\\pard\\intbl {\\b t" + QByteArray::number(n) + "} r" + QByteArray::number(r) + " c"
                   + QByteArray::number(c) + " cell text\\cell\n";
        out += "\\row\n";
    }
    return out + "\\pard\n";
}
} // namespace

QByteArray makeBenchmarkRtf(int pages, int pictures, int tables)
{
    const QByteArray plain = makeBenchmarkRtf(pages);
    if (pictures <= 0 && tables <= 0)
        return plain;
    // after paragraph ends spread evenly over the text
    QList<qsizetype> ends;
    for (qsizetype at = plain.indexOf("\\par\n"); at >= 0; at = plain.indexOf("\\par\n", at + 1))
        ends << at + 5;
    QByteArray out;
    out.reserve(plain.size() + pictures * 12000 + tables * 1500);
    qsizetype from = 0;
    const int places = pictures + tables;
    int placedPictures = 0, placedTables = 0;
    for (int i = 0; i < places && !ends.isEmpty(); ++i) {
        const qsizetype at = ends[qsizetype(i) * ends.size() / places];
        out += plain.mid(from, at - from);
        from = at;
        if (placedPictures * qMax(1, tables) <= placedTables * qMax(1, pictures) && placedPictures < pictures)
            out += "\\pard\\qc " + picture(placedPictures++) + "\\par\n";
        else if (placedTables < tables)
            out += table(placedTables++);
        else
            out += "\\pard\\qc " + picture(placedPictures++) + "\\par\n";
    }
    out += plain.mid(from);
    return out;
}

QByteArray makeBenchmarkRtf(int pages)
{
    static const char *const words[] = {"lorem", "ipsum", "dolor", "sit", "amet", "consectetur",
                                        "adipiscing", "elit", "sed", "do", "eiusmod", "tempor",
                                        "incididunt", "ut", "labore", "et", "dolore", "magna"};
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1"
                     "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fcharset0 Times New Roman;}"
                     "{\\f2\\fmodern\\fcharset0 Courier New;}{\\f3\\froman\\fcharset204 Liberation Serif;}}"
                     "{\\colortbl;\\red0\\green0\\blue0;\\red192\\green0\\blue0;\\red0\\green96\\blue160;}\n";
    out.reserve(pages * 4800 + 512);
    unsigned seed = 12345;
    auto next = [&seed] { seed = seed * 1103515245u + 12345u; return (seed >> 16) & 0x7FFF; };
    for (int page = 0; page < pages; ++page) {
        out += "\\pard\\sb240\\sa120\\keepn\\s1{\\f0\\fs32\\b Heading " + QByteArray::number(page + 1) + "}\\par\n";
        for (int para = 0; para < 6; ++para) {
            out += "\\pard\\qj\\fi360\\sa120 ";
            while (out.size() % 4800 < 4800 && para < 6) {
                const int kind = next() % 8;
                out += kind == 0 ? "{\\b " : kind == 1 ? "{\\i " : kind == 2 ? "{\\cf2 "
                     : kind == 3 ? "{\\f1\\fs26 " : kind == 4 ? "{\\f2\\ul " : "{";
                for (int w = 0; w < 6; ++w) {
                    out += words[next() % 18];
                    out += ' ';
                }
                if (kind == 5)
                    out += "\\u8220?quoted\\u8221? \\u1055\\'cf ";
                out += '}';
                if (next() % 16 == 0)
                    break;
            }
            out += "\\par\n";
        }
    }
    out += "}";
    return out;
}
