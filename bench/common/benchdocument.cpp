#include "benchdocument.h"

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
