// Feeds arbitrary bytes to the RTF reader and to the compressed-RTF reader
// (the same bytes inflated first), writes what was read back as RTF and
// reads that again. Any crash, hang or runaway allocation is a finding.

#include "rtfreader.h"
#include "rtfwriter.h"
#include "tdocumentfile.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // damaged pictures make the image readers talk: keep the output to findings
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static QGuiApplication app(*argc, *argv);
    return 0;
}

static void readAndWrite(const QByteArray &data)
{
    QTextDocument doc;
    if (!RtfReader::read(data, doc).ok)
        return;
    QTextDocument again;
    RtfReader::read(RtfWriter::write(doc), again);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char *>(bytes), qsizetype(size));
    readAndWrite(data);
    QByteArray inflated;
    QString error;
    if (TDocumentFile::decompress(data, &inflated, &error))
        readAndWrite(inflated);
    return 0;
}
