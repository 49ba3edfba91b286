#include "codepage.h"

#include <QHash>
#include <QMutex>
#include <QSysInfo>

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace {

// Windows-1252 0x80..0x9F; the five unassigned bytes map to themselves as
// Windows does.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t cp1252(uchar b)
{
    return (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : char16_t(b);
}

void appendCp1252(QString &out, const char *bytes, qsizetype size)
{
    for (qsizetype i = 0; i < size; ++i)
        out += QChar(cp1252(uchar(bytes[i])));
}

const char *iconvName(int codePage)
{
    switch (codePage) {
    case 437: return "CP437";
    case 850: return "CP850";
    case 852: return "CP852";
    case 860: return "CP860";
    case 862: return "CP862";
    case 863: return "CP863";
    case 865: return "CP865";
    case 866: return "CP866";
    case 874: return "CP874";
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 950: return "CP950";
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    case 1255: return "CP1255";
    case 1256: return "CP1256";
    case 1257: return "CP1257";
    case 1258: return "CP1258";
    case 1361: return "JOHAB";
    case 10000: return "MACINTOSH";
    case 10001: return "SHIFT_JIS";
    case 10003: return "EUC-KR";
    case 10004: return "MACARABIC";
    case 10005: return "MACHEBREW";
    case 10006: return "MACGREEK";
    case 10007: return "MACCYRILLIC";
    case 10008: return "GB2312";
    case 10029: return "MACCENTRALEUROPE";
    case 10079: return "MACICELAND";
    case 10081: return "MACTURKISH";
    case 20127: return "ASCII";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 28591: return "ISO-8859-1";
    case 28592: return "ISO-8859-2";
    case 28595: return "ISO-8859-5";
    case 65001: return "UTF-8";
    default: return nullptr;
    }
}

// One converter per code page, opened on first use and kept for the life of
// the program; iconv conversions are stateful, so they are serialised.
struct Converters {
    QMutex mutex;
    QHash<int, iconv_t> open;

    iconv_t get(int codePage)
    {
        auto it = open.constFind(codePage);
        if (it != open.constEnd())
            return *it;
        iconv_t cd = iconv_t(-1);
        if (const char *name = iconvName(codePage))
            cd = iconv_open(QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE", name);
        open.insert(codePage, cd);
        return cd;
    }
};

Converters &converters()
{
    static Converters c;
    return c;
}

} // namespace

int CodePage::fromCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 77: return 10000;
    case 78: return 10001;
    case 79: return 10003;
    case 80: return 10008;
    case 81: return 950; // Mac traditional Chinese is Big5
    case 83: return 10005;
    case 84: return 10004;
    case 85: return 10006;
    case 86: return 10081;
    case 88: return 10029;
    case 89: return 10007;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0; // 1 default, 2 symbol, 3 Mac default, unknown
    }
}

int CodePage::charsetFor(int codePage)
{
    switch (codePage) {
    case 932: return 128;
    case 949: return 129;
    case 936: return 134;
    case 950: return 136;
    case 1250: return 238;
    case 1251: return 204;
    case 1253: return 161;
    case 1254: return 162;
    case 1255: return 177;
    case 1256: return 178;
    case 1257: return 186;
    case 1258: return 163;
    case 874: return 222;
    case 10000: return 77;
    default: return 0;
    }
}

bool CodePage::isDoubleByte(int codePage)
{
    switch (codePage) {
    case 932: case 936: case 949: case 950: case 1361:
    case 10001: case 10003: case 10008:
        return true;
    default:
        return false;
    }
}

bool CodePage::isSupported(int codePage)
{
    if (codePage == 1252)
        return true;
    QMutexLocker lock(&converters().mutex);
    return converters().get(codePage) != iconv_t(-1);
}

QString CodePage::decode(const QByteArray &bytes, int codePage)
{
    return decode(bytes.constData(), bytes.size(), codePage);
}

QString CodePage::decode(const char *bytes, qsizetype size, int codePage)
{
    QString out;
    if (size <= 0)
        return out;
    bool ascii = true;
    for (qsizetype i = 0; i < size && ascii; ++i)
        ascii = uchar(bytes[i]) < 0x80;
    if (ascii)
        return QString::fromLatin1(bytes, size);
    if (codePage == 1252 || codePage <= 0) {
        out.reserve(size);
        appendCp1252(out, bytes, size);
        return out;
    }

    QMutexLocker lock(&converters().mutex);
    iconv_t cd = converters().get(codePage);
    if (cd == iconv_t(-1)) {
        appendCp1252(out, bytes, size);
        return out;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    out.resize(size * 2 + 4); // every byte gives at most one surrogate pair
    char *in = const_cast<char *>(bytes);
    size_t inLeft = size_t(size);
    char *dst = reinterpret_cast<char *>(out.data());
    size_t dstLeft = size_t(out.size()) * 2;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &dstLeft) != size_t(-1))
            break;
        if (errno == E2BIG)
            break; // cannot happen with the size above; stop rather than loop
        // An invalid or incomplete sequence: take its first byte as
        // Windows-1252 and go on after it (after what the converter held back).
        iconv(cd, nullptr, nullptr, &dst, &dstLeft);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (dstLeft < 2)
            break;
        const char16_t c = cp1252(uchar(*in));
        std::memcpy(dst, &c, 2);
        dst += 2;
        dstLeft -= 2;
        ++in;
        --inLeft;
    }
    // Converters that compose (Windows-1255, -1258) hold the last character
    // back until they know no combining mark follows: let it out.
    iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    out.resize((dst - reinterpret_cast<char *>(out.data())) / 2);
    return out;
}

char CodePage::toWindows1252(char16_t ch)
{
    if (ch < 0x80)
        return 0;
    if (ch >= 0xA0 && ch <= 0xFF)
        return char(ch);
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == ch && ch > 0xFF)
            return char(0x80 + i);
    }
    return 0;
}
