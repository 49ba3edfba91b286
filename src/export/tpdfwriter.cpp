#include "tpdfwriter.h"

#include "tsavetofile_p.h"

#include <QDir>
#include <QImage>
#include <QTemporaryFile>

#include <zlib.h>

using namespace TessaryExport;

namespace {

const char *const kBaseFonts[14] = {
    "Helvetica",
    "Helvetica-Bold",
    "Helvetica-Oblique",
    "Helvetica-BoldOblique",
    "Courier",
    "Courier-Bold",
    "Courier-Oblique",
    "Courier-BoldOblique",
    "Times-Roman",
    "Times-Bold",
    "Times-Italic",
    "Times-BoldItalic",
    "Symbol",
    "ZapfDingbats",
};

// Every line of the file ends with CR LF.
void line(QByteArray &to, const QByteArray &text)
{
    to += text;
    to += "\r\n";
}

QByteArray num(qint64 n)
{
    return QByteArray::number(n);
}

// Code points of WinAnsiEncoding bytes 0x80 to 0x9F; 0 marks an unused byte.
const char16_t kWinAnsiHigh[32] = {
    0x20AC,
    0,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0,
    0x017D,
    0,
    0,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0,
    0x017E,
    0x0178,
};

char toWinAnsi(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return char(c);
    for (int i = 0; i < 32; ++i)
        if (kWinAnsiHigh[i] != 0 && kWinAnsiHigh[i] == c) return char(0x80 + i);
    return '?';
}

// A PDF literal string's contents: backslash and both parentheses escaped, and
// line ends and other control bytes written as escapes so that a reader does
// not normalise them.
QByteArray escapeLiteral(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size() + 8);
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        switch (b) {
        case '\\':
            out += "\\\\";
            break;
        case '(':
            out += "\\(";
            break;
        case ')':
            out += "\\)";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            if (b < 0x20) {
                char esc[5];
                qsnprintf(esc, sizeof esc, "\\%03o", b);
                out += esc;
            } else {
                out += ch;
            }
        }
    }
    return out;
}

QByteArray winAnsiLiteral(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (char32_t c : text.toUcs4())
        bytes += toWinAnsi(c);
    return escapeLiteral(bytes);
}

// Information texts are PDF text strings: plain ASCII stays as it is, anything
// else goes out as UTF-16BE with its byte order mark.
QByteArray textStringLiteral(const QString &text)
{
    bool ascii = true;
    for (QChar c : text)
        if (c.unicode() >= 0x80) ascii = false;
    if (ascii) return escapeLiteral(text.toLatin1());
    QByteArray utf16("\xFE\xFF", 2);
    for (QChar c : text) {
        utf16 += char(c.unicode() >> 8);
        utf16 += char(c.unicode() & 0xFF);
    }
    return escapeLiteral(utf16);
}

QByteArray deflate(const QByteArray &data)
{
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef *>(out.data()), &size,
            reinterpret_cast<const Bytef *>(data.constData()), uLong(data.size()),
            Z_DEFAULT_COMPRESSION)
        != Z_OK)
        qFatal("zlib refused to compress %lld bytes", qint64(data.size()));
    out.truncate(qsizetype(size));
    return out;
}

} // namespace

TPdfWriter::TPdfWriter()
    : m_author(defaultCreditText())
    , m_creator(defaultCreditText())
    , m_producer(defaultCreditText())
{
}

TPdfWriter::~TPdfWriter() = default;

QString TPdfWriter::defaultCreditText()
{
    return QStringLiteral("Ondaro Office Software - Ondaro Tessary Editor");
}

void TPdfWriter::setScreenResolution(int horizontal, int vertical)
{
    m_screenX = qMax(1, horizontal);
    m_screenY = qMax(1, vertical);
}

int TPdfWriter::nextObject()
{
    return ++m_lastObject;
}

void TPdfWriter::appendObject()
{
    m_output += m_object;
    m_offsets.append(m_output.size());
    m_object.clear();
}

QByteArray TPdfWriter::infoLine(const char *key, const QString &text) const
{
    return QByteArray(key) + " (" + textStringLiteral(text) + ")";
}

void TPdfWriter::BeginDoc()
{
    m_pageNumber = 1;
    m_lastObject = 0;
    m_pictureCount = 0;
    m_headSize = 0;
    m_output.clear();
    m_object.clear();
    m_content.clear();
    m_offsets.clear();
    m_pictures.reset();
    m_pictureEnds.clear();
    m_docCompress = m_compress;
    m_inDocument = true;

    line(m_output, "%PDF-1.4");
    m_offsets.append(m_output.size());

    const QDateTime when = m_creationDate.isValid() ? m_creationDate : QDateTime::currentDateTime();
    nextObject();
    line(m_object, "1 0 obj");
    line(m_object, "<<");
    line(m_object, infoLine("/Producer", m_producer));
    line(m_object, infoLine("/Author", m_author));
    line(m_object, "/CreationDate (D:" + when.toString(u"yyyyMMddHHmmss").toLatin1() + ")");
    line(m_object, infoLine("/Creator", m_creator));
    line(m_object, infoLine("/Keywords", m_keywords));
    line(m_object, infoLine("/Subject", m_subject));
    line(m_object, infoLine("/Title", m_title));
    line(m_object, "/ModDate ()");
    line(m_object, ">>");
    line(m_object, "endobj");
    appendObject();

    openContentStream();
}

void TPdfWriter::openContentStream()
{
    m_contentObject = nextObject();
    m_object.clear();
    line(m_object, num(m_contentObject) + " 0 obj");
    line(m_object, "<< /Length " + num(m_contentObject + 1) + " 0 R");
    if (m_docCompress) line(m_object, "/Filter [/FlateDecode]");
    line(m_object, " >>");
    m_headSize = int(m_object.size());
    line(m_object, "stream");
    m_content.clear();
}

void TPdfWriter::closeContentStream()
{
    m_object += m_docCompress ? deflate(m_content) : m_content;
    m_content.clear();
    line(m_object, "endstream");
    line(m_object, "endobj");
    const qint64 length = m_object.size() - m_headSize - 27;
    appendObject();

    const int lengthObject = nextObject();
    line(m_object, num(lengthObject) + " 0 obj");
    line(m_object, num(length));
    line(m_object, "endobj");
    appendObject();
}

void TPdfWriter::TextOut(int x, int y, const QString &text)
{
    Q_ASSERT_X(m_inDocument, "TPdfWriter::TextOut", "called outside BeginDoc/EndDoc");
    if (!m_inDocument) return;
    const int font = qMin<int>(m_font.Number, 13);
    line(m_content, "BT");
    line(m_content, "/F" + num(font + 1) + " " + num(m_font.Size) + " Tf");
    line(m_content, num(x) + " " + num(m_pageHeight - y) + " Td");
    line(m_content, "(" + winAnsiLiteral(text) + ") Tj");
    line(m_content, "ET");
}

TExportResult TPdfWriter::Draw(int x, int y, const QImage &bitmap)
{
    Q_ASSERT_X(m_inDocument, "TPdfWriter::Draw", "called outside BeginDoc/EndDoc");
    if (!m_inDocument || bitmap.isNull()) return TExportResult::success();

    if (!m_pictures) {
        m_pictures
            = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/~tmpimXXXXXX"));
        if (!m_pictures->open()) {
            const QString why = m_pictures->errorString();
            m_pictures.reset();
            return TExportResult::failure(
                QStringLiteral("Could not create a temporary picture file: %1").arg(why));
        }
    }

    const int count = m_pictureCount + 1;
    // One division of exact integer products keeps the whole parts exact.
    const int w = int(double(bitmap.width()) * m_pageWidth / (8.0 * m_screenX));
    const int hgt = int(double(bitmap.height()) * m_pageHeight / (10.625 * m_screenY));

    const QImage rgb = bitmap.convertToFormat(QImage::Format_RGB888);
    const qsizetype rowBytes = qsizetype(rgb.width()) * 3;
    QByteArray pixels(rowBytes * rgb.height(), Qt::Uninitialized);
    for (int row = 0; row < rgb.height(); ++row)
        memcpy(pixels.data() + row * rowBytes, rgb.constScanLine(row), size_t(rowBytes));
    const QByteArray data = m_docCompress ? deflate(pixels) : pixels;

    QByteArray body;
    line(body, "<< /Type /XObject");
    line(body, "/Subtype /Image");
    line(body, "/Width " + num(rgb.width()));
    line(body, "/Height " + num(rgb.height()));
    line(body, "/ColorSpace /DeviceRGB");
    line(body, "/BitsPerComponent 8");
    line(body, "/Length " + num(data.size()));
    line(body, "/Name /Im" + num(count));
    if (m_docCompress) line(body, "/Filter [/FlateDecode]");
    line(body, ">>");
    line(body, "stream");
    body += data;

    if (!m_pictures->seek(m_pictureEnds.isEmpty() ? 0 : m_pictureEnds.last())
        || !writeAll(*m_pictures, body))
        return TExportResult::failure(QStringLiteral("Could not write a temporary picture file: %1")
                                          .arg(m_pictures->errorString()));
    m_pictureEnds.append(m_pictures->pos());
    m_pictureCount = count;

    line(m_content, "q");
    line(m_content,
        num(w) + " 0 0 " + num(hgt) + " " + num(x) + " " + num(m_pageHeight - y - hgt) + " cm");
    line(m_content, "/Im" + num(count) + " Do");
    line(m_content, "Q");
    return TExportResult::success();
}

void TPdfWriter::NewPage()
{
    Q_ASSERT_X(m_inDocument, "TPdfWriter::NewPage", "called outside BeginDoc/EndDoc");
    if (!m_inDocument) return;
    ++m_pageNumber;
    closeContentStream();
    openContentStream();
}

QByteArray TPdfWriter::finishDocument(TExportResult &result)
{
    if (!m_inDocument) BeginDoc();
    m_inDocument = false;
    closeContentStream();

    const int pages = m_pageNumber;
    const int pictures = m_pictureCount;

    const int outlines = nextObject();
    line(m_object, num(outlines) + " 0 obj");
    line(m_object, "<< /Type /Outlines");
    line(m_object, "/Count 0");
    line(m_object, ">>");
    line(m_object, "endobj");
    appendObject();

    QList<int> fontObjects;
    for (int k = 1; k <= 14; ++k) {
        const int n = nextObject();
        fontObjects.append(n);
        line(m_object, num(n) + " 0 obj");
        line(m_object, "<< /Type /Font");
        line(m_object, "/Subtype /Type1");
        line(m_object, "/Name /F" + num(k));
        line(m_object, QByteArray("/BaseFont /") + kBaseFonts[k - 1]);
        line(m_object, "/Encoding /WinAnsiEncoding");
        line(m_object, ">>");
        line(m_object, "endobj");
        appendObject();
    }

    const int tree = nextObject();
    line(m_object, num(tree) + " 0 obj");
    line(m_object, "<< /Type /Pages");
    line(m_object, "/Kids [");
    for (int k = 1; k <= pages; ++k)
        line(m_object, num(tree + 1 + pictures + k) + " 0 R");
    line(m_object, "]");
    line(m_object, "/Count " + num(pages));
    line(m_object, ">>");
    line(m_object, "endobj");
    appendObject();

    const int resources = nextObject();
    line(m_object, num(resources) + " 0 obj");
    line(m_object, "<< /ProcSet [ /PDF /Text /ImageC]");
    line(m_object, "/XObject << ");
    for (int i = 1; i <= pictures; ++i)
        line(m_object, "/Im" + num(i) + " " + num(resources + i) + " 0 R");
    line(m_object, ">>");
    line(m_object, "/Font << ");
    for (int k = 1; k <= 14; ++k)
        line(m_object, "/F" + num(k) + " " + num(fontObjects[k - 1]) + " 0 R ");
    line(m_object, ">>");
    line(m_object, ">>");
    line(m_object, "endobj");
    appendObject();

    if (pictures > 0 && !m_pictures->seek(0)) {
        result
            = TExportResult::failure(QStringLiteral("Could not read the temporary picture file: %1")
                                         .arg(m_pictures->errorString()));
    }
    for (int i = 1; i <= pictures && result; ++i) {
        const qint64 begin = i == 1 ? 0 : m_pictureEnds[i - 2];
        const qint64 size = m_pictureEnds[i - 1] - begin;
        const QByteArray body = m_pictures->read(size);
        if (body.size() != size) {
            result = TExportResult::failure(
                QStringLiteral("Could not read the temporary picture file: %1")
                    .arg(m_pictures->errorString()));
            break;
        }
        line(m_object, num(nextObject()) + " 0 obj");
        m_object += body;
        m_object += "\r\n";
        line(m_object, "endstream");
        line(m_object, "endobj");
        appendObject();
    }
    m_pictures.reset(); // removes the temporary file, also after a failure
    m_pictureEnds.clear();
    if (!result) {
        m_output.clear();
        return {};
    }

    for (int k = 1; k <= pages; ++k) {
        line(m_object, num(nextObject()) + " 0 obj");
        line(m_object, "<< /Type /Page");
        line(m_object, "/Parent " + num(tree) + " 0 R");
        line(m_object, "/MediaBox [ 0 0 " + num(m_pageWidth) + " " + num(m_pageHeight) + "]");
        line(m_object, "/Contents " + num(2 * k) + " 0 R");
        line(m_object, "/Resources " + num(resources) + " 0 R");
        line(m_object, ">>");
        line(m_object, "endobj");
        appendObject();
    }

    const int catalog = nextObject();
    line(m_object, num(catalog) + " 0 obj");
    line(m_object, "<< /Type /Catalog");
    line(m_object, "/Pages " + num(tree) + " 0 R");
    line(m_object, "/Outlines " + num(outlines) + " 0 R");
    line(m_object, ">>");
    line(m_object, "endobj");
    appendObject();

    // The last offset recorded is where the cross-reference section begins.
    const int size = catalog + 1;
    line(m_output, "xref");
    line(m_output, "0 " + num(size));
    line(m_output, "0000000000 65535 f");
    for (int n = 0; n < catalog; ++n)
        line(m_output, QByteArray::number(m_offsets[n]).rightJustified(10, '0') + " 00000 n");
    line(m_output, "trailer");
    line(m_output, "<< /Size " + num(size));
    line(m_output, "/Root " + num(catalog) + " 0 R");
    line(m_output, "/Info 1 0 R");
    line(m_output, ">>");
    line(m_output, "startxref");
    line(m_output, num(m_offsets[catalog]));
    line(m_output, "%%EOF");

    QByteArray file;
    file.swap(m_output);
    m_offsets.clear();
    return file;
}

TExportResult TPdfWriter::EndDoc(QIODevice &device)
{
    TExportResult result;
    const QByteArray file = finishDocument(result);
    if (!result) return result;
    if (!writeAll(device, file)) return writeFailure(device);
    return result;
}

TExportResult TPdfWriter::EndDoc()
{
    // The document is finished (and its temporary file removed) before the
    // output file is even opened, so a file error never leaves a page open.
    TExportResult result;
    const QByteArray file = finishDocument(result);
    if (!result) return result;
    return saveToFile(m_fileName, defaultOpenError(m_fileName), [&file](QIODevice &device) {
        return writeAll(device, file) ? TExportResult::success() : writeFailure(device);
    });
}
