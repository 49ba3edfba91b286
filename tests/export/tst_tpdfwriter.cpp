#include "tpdfwriter.h"

#include "exporttools_p.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <zlib.h>

namespace {

// What a reader sees in the file: the xref table and every object's place.
struct PdfLayout {
    QMap<int, qint64> objectOffsets; // where "N 0 obj" begins
    QList<qint64> xrefOffsets; // entries 1..n of the cross-reference table
    int xrefCount = 0;
    qint64 startxref = -1;
    qint64 xrefAt = -1;
    int size = -1;
    int root = -1;
};

PdfLayout parse(const QByteArray &pdf)
{
    PdfLayout layout;
    static const QRegularExpression objLine(QStringLiteral("(?:^|\\r\\n)(\\d+) 0 obj\\r\\n"));
    const QString latin = QString::fromLatin1(pdf);
    for (auto it = objLine.globalMatch(latin); it.hasNext();) {
        const auto m = it.next();
        layout.objectOffsets.insert(m.captured(1).toInt(), m.capturedStart(1));
    }
    layout.xrefAt = pdf.lastIndexOf("\r\nxref\r\n") + 2;
    const QList<QByteArray> tail = pdf.mid(layout.xrefAt).split('\n');
    layout.xrefCount = tail.value(1).trimmed().split(' ').value(1).toInt();
    for (int i = 3; i < 2 + layout.xrefCount; ++i)
        layout.xrefOffsets.append(tail.value(i).left(10).toLongLong());
    for (int i = 0; i < tail.size(); ++i) {
        const QByteArray line = tail[i].trimmed();
        if (line.startsWith("<< /Size ")) layout.size = line.mid(9).toInt();
        if (line.startsWith("/Root ")) layout.root = line.mid(6).split(' ').value(0).toInt();
        if (line == "startxref") layout.startxref = tail.value(i + 1).trimmed().toLongLong();
    }
    return layout;
}

// The bytes of object n between "N 0 obj\r\n" and the "endobj" line.
QByteArray objectBody(const QByteArray &pdf, int n)
{
    const QByteArray head = QByteArray::number(n) + " 0 obj\r\n";
    qsizetype at = pdf.startsWith(head) ? 0 : pdf.indexOf("\r\n" + head) + 2;
    at += head.size();
    return pdf.mid(at, pdf.indexOf("endobj\r\n", at) - at);
}

QByteArray streamData(const QByteArray &object)
{
    const qsizetype begin = object.indexOf("stream\r\n") + 8;
    const qsizetype end = object.lastIndexOf("endstream");
    return object.mid(begin, end - begin);
}

QByteArray inflate(const QByteArray &data)
{
    QByteArray out(64 * 1024 * 1024, Qt::Uninitialized);
    uLongf size = uLongf(out.size());
    if (uncompress(reinterpret_cast<Bytef *>(out.data()), &size,
            reinterpret_cast<const Bytef *>(data.constData()), uLong(data.size()))
        != Z_OK)
        return "<not a zlib stream>";
    out.truncate(qsizetype(size));
    return out;
}

QByteArray finish(TPdfWriter &writer)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const TExportResult result = writer.EndDoc(buffer);
    if (!result) qWarning() << result.reason;
    return buffer.data();
}

QStringList leftoverPictureFiles()
{
    return QDir(QDir::tempPath()).entryList({ QStringLiteral("~tmpim*") }, QDir::Files);
}

} // namespace

class TstTPdfWriter : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString saveForTools(const QByteArray &pdf, const QString &name)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size()) return {};
        return path;
    }

    void checkWithQpdf(const QByteArray &pdf)
    {
        const QString path = saveForTools(pdf, QStringLiteral("check.pdf"));
        RUN_TOOL(run, "qpdf", { QStringLiteral("--check"), path });
        QVERIFY2(run.exitCode == 0, run.out + run.err);
        QVERIFY2(!run.out.contains("WARNING") && run.err.isEmpty(), run.out + run.err);
    }

private slots:
    void emptyDocument_data();
    void emptyDocument();
    void crossReferenceMatchesObjects_data();
    void crossReferenceMatchesObjects();
    void textOutLines();
    void literalStringsAreEscaped_data();
    void literalStringsAreEscaped();
    void informationTextsReachReaders();
    void pictureScaleAndPixels();
    void picturesFollowResources();
    void writersDoNotShareTemporaryFiles();
    void failedSaveRemovesTemporaryFileAndKeepsOldFile();
};

void TstTPdfWriter::emptyDocument_data()
{
    QTest::addColumn<bool>("compress");
    QTest::newRow("compressed") << true;
    QTest::newRow("uncompressed") << false;
}

void TstTPdfWriter::emptyDocument()
{
    QFETCH(bool, compress);
    TPdfWriter writer;
    writer.setCompress(compress);
    writer.BeginDoc();
    QCOMPARE(writer.PageNumber(), 1);
    const QByteArray pdf = finish(writer);

    QVERIFY(pdf.startsWith("%PDF-1.4\r\n1 0 obj\r\n"));
    QVERIFY(
        pdf.endsWith("startxref\r\n" + QByteArray::number(parse(pdf).xrefAt) + "\r\n%%EOF\r\n"));
    const PdfLayout layout = parse(pdf);
    QCOMPARE(layout.objectOffsets.value(1), 10);
    QCOMPARE(layout.size, 23);
    QCOMPARE(layout.root, 22);
    QVERIFY(
        objectBody(pdf, 22).startsWith("<< /Type /Catalog\r\n/Pages 19 0 R\r\n/Outlines 4 0 R"));
    QCOMPARE(objectBody(pdf, 21),
        QByteArray("<< /Type /Page\r\n/Parent 19 0 R\r\n/MediaBox [ 0 0 612 792]\r\n"
                   "/Contents 2 0 R\r\n/Resources 20 0 R\r\n>>\r\n"));

    const QByteArray content = objectBody(pdf, 2);
    QCOMPARE(content.contains("/Filter [/FlateDecode]"), compress);
    QCOMPARE(pdf.contains("/Filter"), compress);
    QVERIFY(content.startsWith("<< /Length 3 0 R\r\n"));
    const QByteArray data = streamData(content);
    QCOMPARE(objectBody(pdf, 3), QByteArray::number(data.size()) + "\r\n");
    QCOMPARE(compress ? inflate(data) : data, QByteArray());
    checkWithQpdf(pdf);
}

void TstTPdfWriter::crossReferenceMatchesObjects_data()
{
    QTest::addColumn<int>("pages");
    QTest::addColumn<bool>("withPictures");
    QTest::newRow("one page") << 1 << false;
    QTest::newRow("three pages of text") << 3 << false;
    QTest::newRow("three pages with pictures") << 3 << true;
}

void TstTPdfWriter::crossReferenceMatchesObjects()
{
    QFETCH(int, pages);
    QFETCH(bool, withPictures);
    TPdfWriter writer;
    writer.setTITLE(QStringLiteral("Report.pdf"));
    writer.BeginDoc();
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    for (int p = 1; p <= pages; ++p) {
        if (p > 1) writer.NewPage();
        writer.TextOut(45, 54, QStringLiteral("Page %1").arg(p));
        if (withPictures) QVERIFY(writer.Draw(25, 20, picture));
    }
    QCOMPARE(writer.PageNumber(), pages);
    const QByteArray pdf = finish(writer);
    const PdfLayout layout = parse(pdf);
    const int pictures = withPictures ? pages : 0;

    QCOMPARE(layout.size, 3 * pages + pictures + 20);
    QCOMPARE(layout.xrefCount, layout.size);
    QCOMPARE(layout.objectOffsets.size(), layout.size - 1);
    QCOMPARE(layout.startxref, layout.xrefAt);
    for (int n = 1; n < layout.size; ++n)
        QCOMPARE(layout.xrefOffsets.value(n - 1), layout.objectOffsets.value(n));
    // Every cross-reference line is 20 bytes with its CR LF.
    const qsizetype table = pdf.indexOf("0000000000 65535 f\r\n", layout.xrefAt);
    QCOMPARE(pdf.indexOf("trailer\r\n", table), table + 20 * layout.size);
    checkWithQpdf(pdf);

    const QString path = saveForTools(pdf, QStringLiteral("pages.pdf"));
    RUN_TOOL(text, "pdftotext", { path, QStringLiteral("-") });
    for (int p = 1; p <= pages; ++p)
        QVERIFY2(text.out.contains(QByteArray("Page ") + QByteArray::number(p)), text.out);
    QCOMPARE(text.out.count('\f'), pages);
}

void TstTPdfWriter::textOutLines()
{
    TPdfWriter writer;
    writer.setCompress(false);
    writer.setPageWidth(596);
    writer.setPageHeight(842);
    writer.BeginDoc();
    writer.Font() = TPDFFont { 0, 12 };
    writer.TextOut(45, 54, QStringLiteral("Hello"));
    writer.Font().Number = 9;
    writer.Font().Size = 20;
    writer.TextOut(45, 789, QStringLiteral("World"));
    const QByteArray pdf = finish(writer);
    QCOMPARE(streamData(objectBody(pdf, 2)),
        QByteArray("BT\r\n/F1 12 Tf\r\n45 788 Td\r\n(Hello) Tj\r\nET\r\n"
                   "BT\r\n/F10 20 Tf\r\n45 53 Td\r\n(World) Tj\r\nET\r\n"));
    QVERIFY(objectBody(pdf, 14).contains("/Name /F10\r\n/BaseFont /Times-Bold\r\n"
                                         "/Encoding /WinAnsiEncoding"));
}

void TstTPdfWriter::literalStringsAreEscaped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("literal");
    QTest::addColumn<QString>("extracted");
    QTest::newRow("backslash") << QStringLiteral("C:\\Docs\\n1") << QByteArray("(C:\\\\Docs\\\\n1)")
                               << QStringLiteral("C:\\Docs\\n1");
    QTest::newRow("unbalanced open")
        << QStringLiteral("a (b") << QByteArray("(a \\(b)") << QStringLiteral("a (b");
    QTest::newRow("unbalanced close")
        << QStringLiteral("a) b") << QByteArray("(a\\) b)") << QStringLiteral("a) b");
    QTest::newRow("balanced") << QStringLiteral("f(x)") << QByteArray("(f\\(x\\))")
                              << QStringLiteral("f(x)");
    QTest::newRow("WinAnsi letters") << QStringLiteral("\u00e9t\u00e9 \u20ac5")
                                     << QByteArray("(\xe9t\xe9 \x80"
                                                   "5)")
                                     << QStringLiteral("\u00e9t\u00e9 \u20ac5");
    QTest::newRow("outside WinAnsi")
        << QStringLiteral("\u0416x\U0001F600") << QByteArray("(?x?)") << QStringLiteral("?x?");
    QTest::newRow("line end") << QStringLiteral("a\rb") << QByteArray("(a\\rb)") << QString();
}

void TstTPdfWriter::literalStringsAreEscaped()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, literal);
    QFETCH(QString, extracted);
    TPdfWriter writer;
    writer.setCompress(false);
    writer.BeginDoc();
    writer.TextOut(45, 54, text);
    const QByteArray pdf = finish(writer);
    const QByteArray content = streamData(objectBody(pdf, 2));
    QVERIFY2(content.contains("\r\n" + literal + " Tj\r\n"), content);
    checkWithQpdf(pdf);
    if (extracted.isEmpty()) return;
    const QString path = saveForTools(pdf, QStringLiteral("escaped.pdf"));
    RUN_TOOL(run, "pdftotext",
        { QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-") });
    QCOMPARE(QString::fromUtf8(run.out).trimmed(), extracted);
}

void TstTPdfWriter::informationTextsReachReaders()
{
    TPdfWriter writer;
    writer.setTITLE(QStringLiteral("Budget (draft.pdf"));
    writer.setSubject(QStringLiteral("C:\\Out\\a) b"));
    writer.setKeywords(QStringLiteral("RTF Export to PDF"));
    writer.setAuthor(QStringLiteral("Zo\u00eb \u0416"));
    writer.setCreationDate(QDateTime(QDate(2024, 1, 31), QTime(9, 45, 1)));
    writer.BeginDoc();
    const QByteArray pdf = finish(writer);
    const QByteArray info = objectBody(pdf, 1);
    QVERIFY2(info.contains("\r\n/CreationDate (D:20240131094501)\r\n"), info);
    QVERIFY2(info.contains("\r\n/Title (Budget \\(draft.pdf)\r\n"), info);
    QVERIFY2(info.contains("\r\n/ModDate ()\r\n>>\r\n"), info);
    QVERIFY(info.startsWith("<<\r\n/Producer ("));

    const QString path = saveForTools(pdf, QStringLiteral("info.pdf"));
    RUN_TOOL(run, "pdfinfo", { QStringLiteral("-enc"), QStringLiteral("UTF-8"), path });
    QVERIFY2(run.exitCode == 0, run.err);
    QMap<QString, QString> fields;
    for (const QString &line : QString::fromUtf8(run.out).split(u'\n')) {
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0) fields.insert(line.left(colon), line.mid(colon + 1).trimmed());
    }
    QCOMPARE(fields.value(QStringLiteral("Title")), QStringLiteral("Budget (draft.pdf"));
    QCOMPARE(fields.value(QStringLiteral("Subject")), QStringLiteral("C:\\Out\\a) b"));
    QCOMPARE(fields.value(QStringLiteral("Author")), QStringLiteral("Zo\u00eb \u0416"));
    QCOMPARE(fields.value(QStringLiteral("Pages")), QStringLiteral("1"));
}

void TstTPdfWriter::pictureScaleAndPixels()
{
    TPdfWriter writer;
    writer.setPageWidth(596);
    writer.setPageHeight(842);
    writer.setScreenResolution(96, 96);
    writer.BeginDoc();
    QImage page(693, 950, QImage::Format_RGB32);
    page.fill(Qt::white);
    page.setPixel(0, 0, qRgb(10, 20, 30)); // first pixel of the top row
    page.setPixel(692, 949, qRgb(200, 100, 50)); // last pixel of the bottom row
    QVERIFY(writer.Draw(25, 20, page));
    const QByteArray pdf = finish(writer);

    QCOMPARE(inflate(streamData(objectBody(pdf, 2))),
        QByteArray("q\r\n537 0 0 784 25 38 cm\r\n/Im1 Do\r\nQ\r\n"));
    // One page, one picture: the picture is object 2P + 19 = 21, right after
    // the resources object that names it.
    QVERIFY(objectBody(pdf, 20).contains("/XObject << \r\n/Im1 21 0 R\r\n>>"));
    const QByteArray image = objectBody(pdf, 21);
    QVERIFY2(
        image.startsWith("<< /Type /XObject\r\n/Subtype /Image\r\n/Width 693\r\n/Height 950\r\n"
                         "/ColorSpace /DeviceRGB\r\n/BitsPerComponent 8\r\n/Length "),
        image.left(200));
    QVERIFY(image.endsWith("\r\nendstream\r\n"));
    const QByteArray data = image.mid(
        image.indexOf("stream\r\n") + 8, image.size() - image.indexOf("stream\r\n") - 8 - 13);
    QVERIFY(image.contains("/Length " + QByteArray::number(data.size()) + "\r\n"));
    const QByteArray pixels = inflate(data);
    QCOMPARE(pixels.size(), 693 * 950 * 3);
    QCOMPARE(pixels.left(6), QByteArray("\x0a\x14\x1e\xff\xff\xff"));
    QCOMPARE(pixels.right(3), QByteArray("\xc8\x64\x32"));
    checkWithQpdf(pdf);

    const QString path = saveForTools(pdf, QStringLiteral("picture.pdf"));
    RUN_TOOL(run, "pdfimages", { QStringLiteral("-list"), path });
    QVERIFY2(run.out.contains("image     693   950  rgb     3   8  image"), run.out);
}

void TstTPdfWriter::picturesFollowResources()
{
    TPdfWriter writer;
    writer.setCompress(false);
    writer.BeginDoc();
    QImage a(4, 3, QImage::Format_RGB888);
    a.fill(Qt::red);
    QImage b(5, 2, QImage::Format_ARGB32);
    b.fill(Qt::green);
    QVERIFY(writer.Draw(0, 0, a));
    writer.NewPage();
    QVERIFY(writer.Draw(0, 0, b));
    const QByteArray pdf = finish(writer);
    const PdfLayout layout = parse(pdf);
    QCOMPARE(layout.size, 28);
    QCOMPARE(layout.root, 27);
    QVERIFY(objectBody(pdf, 23).contains("/Width 4\r\n/Height 3\r\n"));
    QVERIFY(objectBody(pdf, 24).contains("/Width 5\r\n/Height 2\r\n"));
    QVERIFY(objectBody(pdf, 24).contains("/Name /Im2\r\n>>\r\nstream\r\n"
        + QByteArray("\x00\xff\x00", 3).repeated(10) + "\r\nendstream"));
    QVERIFY(objectBody(pdf, 25).contains("/Contents 2 0 R"));
    QVERIFY(objectBody(pdf, 26).contains("/Contents 4 0 R"));
    QVERIFY(objectBody(pdf, 21).contains("/Kids [\r\n25 0 R\r\n26 0 R\r\n]\r\n/Count 2"));
    checkWithQpdf(pdf);
}

void TstTPdfWriter::writersDoNotShareTemporaryFiles()
{
    const QStringList before = leftoverPictureFiles();
    TPdfWriter first;
    TPdfWriter second;
    first.setCompress(false);
    second.setCompress(false);
    first.BeginDoc();
    second.BeginDoc();
    QImage red(2, 2, QImage::Format_RGB32);
    red.fill(Qt::red);
    QImage blue(2, 2, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    QVERIFY(first.Draw(0, 0, red));
    QVERIFY(second.Draw(0, 0, blue));
    const QByteArray a = finish(first);
    const QByteArray b = finish(second);
    QVERIFY(streamData(objectBody(a, 21)).startsWith(QByteArray("\xff\x00\x00", 3)));
    QVERIFY(streamData(objectBody(b, 21)).startsWith(QByteArray("\x00\x00\xff", 3)));
    QCOMPARE(leftoverPictureFiles(), before);
}

void TstTPdfWriter::failedSaveRemovesTemporaryFileAndKeepsOldFile()
{
    const QStringList before = leftoverPictureFiles();
    TPdfWriter writer;
    writer.setFileName(m_dir.filePath(QStringLiteral("no/such/folder/a.pdf")));
    writer.BeginDoc();
    QImage picture(3, 3, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QVERIFY(writer.Draw(0, 0, picture));
    const TExportResult result = writer.EndDoc();
    QVERIFY(!result.ok);
    QVERIFY2(
        result.reason.contains(QStringLiteral("no/such/folder/a.pdf")), qPrintable(result.reason));
    QCOMPARE(leftoverPictureFiles(), before);

    // A good save replaces the file; a second document is not mixed with the first.
    const QString path = m_dir.filePath(QStringLiteral("good.pdf"));
    writer.setFileName(path);
    writer.BeginDoc();
    writer.TextOut(10, 10, QStringLiteral("x"));
    QVERIFY(writer.EndDoc());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(parse(file.readAll()).size, 23);
}

QTEST_GUILESS_MAIN(TstTPdfWriter)
#include "tst_tpdfwriter.moc"
