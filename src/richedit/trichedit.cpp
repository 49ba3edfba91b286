#include "trichedit.h"

#include "rtfreader.h"
#include "rtfwriter.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

TRichEditor::TRichEditor(QWidget *parent) : QTextEdit(parent)
{
    connect(this, &QTextEdit::textChanged, this, &TRichEditor::Change);
    connect(this, &QTextEdit::cursorPositionChanged, this, &TRichEditor::SelectionChange);
}

TRichEditor::~TRichEditor() = default;

bool TRichEditor::LoadFromStream(QIODevice &device, StreamFormat format, QString *error)
{
    const QByteArray data = device.readAll();
    switch (format) {
    case StreamFormat::Rtf: {
        const RtfReadResult r = RtfReader::read(data, *document());
        if (!r.ok && error) *error = r.error;
        return r.ok;
    }
    case StreamFormat::PlainAnsi:
    case StreamFormat::PlainUtf16: {
        auto enc = QStringConverter::encodingForData(data);
        QStringDecoder dec(enc.value_or(QStringConverter::Utf8));
        setPlainText(dec.decode(data));
        return true;
    }
    }
    Q_UNUSED(error);
    return false;
}

bool TRichEditor::SaveToStream(QIODevice &device, StreamFormat format, QString *error) const
{
    QByteArray data;
    if (format == StreamFormat::Rtf) {
        data = RtfWriter::write(*document());
    } else {
        QStringEncoder enc(format == StreamFormat::PlainUtf16 ? QStringConverter::Utf16LE
                                                              : QStringConverter::Utf8,
                           format == StreamFormat::PlainUtf16 ? QStringConverter::Flag::WriteBom
                                                              : QStringConverter::Flag::Default);
        data = enc.encode(Text());
    }
    if (device.write(data) != data.size()) {
        if (error) *error = device.errorString();
        return false;
    }
    return true;
}

bool TRichEditor::LoadFromFile(const QString &path, StreamFormat format, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = f.errorString();
        return false;
    }
    return LoadFromStream(f, format, error);
}

bool TRichEditor::SaveToFile(const QString &path, StreamFormat format, QString *error) const
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error) *error = f.errorString();
        return false;
    }
    if (!SaveToStream(f, format, error))
        return false;
    if (!f.commit()) {
        if (error) *error = f.errorString();
        return false;
    }
    return true;
}

QString TRichEditor::Text() const
{
    return toPlainText();
}

bool TRichEditor::Modified() const
{
    return document()->isModified();
}

void TRichEditor::SetModified(bool modified)
{
    document()->setModified(modified);
}
