#pragma once

#include <QByteArray>
#include <QString>

/// Windows code pages as RTF names them (\ansicpg, \fcharset), decoded
/// through the C library's iconv. Code pages iconv does not know decode as
/// Windows-1252, so no byte is ever dropped.
class CodePage
{
public:
    /// The code page a font's \fcharset stands for; 0 when the charset does
    /// not name one (default, symbol, unknown), so that \ansicpg applies.
    static int fromCharset(int charset);

    /// A charset that names codePage, for writing \fcharset; 0 (ANSI) otherwise.
    static int charsetFor(int codePage);

    /// True for code pages where a lead byte takes a second byte (cp932,
    /// cp936, cp949, cp950, Johab).
    static bool isDoubleByte(int codePage);

    /// True when codePage can be decoded as itself (not through the fallback).
    static bool isSupported(int codePage);

    /// Decodes bytes in codePage. Invalid or incomplete sequences decode
    /// byte by byte as Windows-1252.
    static QString decode(const QByteArray &bytes, int codePage);
    static QString decode(const char *bytes, qsizetype size, int codePage);

    /// The Windows-1252 byte for ch, or 0 when ch has none (ASCII included).
    static char toWindows1252(char16_t ch);
};
