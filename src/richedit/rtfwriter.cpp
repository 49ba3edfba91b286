#include "rtfwriter.h"

#include <QIODevice>
#include <QTextCursor>
#include <QTextDocument>

// Placeholder until the real writer lands.
QByteArray RtfWriter::write(const QTextDocument &document, int from, int to)
{
    QTextCursor c(const_cast<QTextDocument *>(&document));
    c.setPosition(from);
    c.setPosition(to < 0 ? document.characterCount() - 1 : to, QTextCursor::KeepAnchor);
    QByteArray out = "{\\rtf1\\ansi ";
    for (QChar ch : c.selectedText()) {
        if (ch == QChar::ParagraphSeparator) out += "\\par\n";
        else if (ch == '\\' || ch == '{' || ch == '}') { out += '\\'; out += char(ch.unicode()); }
        else if (ch.unicode() < 128) out += char(ch.unicode());
        else out += "\\u" + QByteArray::number(qint16(ch.unicode())) + "?";
    }
    return out + "}";
}

bool RtfWriter::write(const QTextDocument &document, QIODevice &device, QString *error)
{
    const QByteArray data = write(document);
    if (device.write(data) != data.size()) {
        if (error) *error = device.errorString();
        return false;
    }
    return true;
}
