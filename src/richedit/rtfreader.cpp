#include "rtfreader.h"

#include <QIODevice>
#include <QTextCursor>
#include <QTextDocument>

// Placeholder until the real reader lands: keeps the text between control words.
static QString roughText(const QByteArray &data)
{
    QString out;
    int depth = 0;
    for (int i = 0; i < data.size(); ++i) {
        const char c = data[i];
        if (c == '{') { ++depth; continue; }
        if (c == '}') { --depth; continue; }
        if (c == '\\') {
            ++i;
            while (i < data.size() && (std::isalpha(uchar(data[i])) || data[i] == '-' || std::isdigit(uchar(data[i]))))
                ++i;
            if (i < data.size() && data[i] != ' ')
                --i;
            continue;
        }
        if (c != '\r' && c != '\n')
            out += QChar::fromLatin1(c);
    }
    return out;
}

RtfReadResult RtfReader::read(const QByteArray &data, QTextDocument &document)
{
    document.setPlainText(roughText(data));
    return {true, {}, {}};
}

RtfReadResult RtfReader::read(QIODevice &device, QTextDocument &document)
{
    return read(device.readAll(), document);
}

RtfReadResult RtfReader::insert(const QByteArray &data, QTextCursor &cursor)
{
    cursor.insertText(roughText(data));
    return {true, {}, {}};
}

bool RtfReader::looksLikeRtf(const QByteArray &data)
{
    return data.trimmed().startsWith("{\\rtf");
}
