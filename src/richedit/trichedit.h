#pragma once

#include <QTextEdit>

class QIODevice;

/// How content goes in and out of the editor.
enum class StreamFormat {
    Rtf,        ///< RTF code, read as formatted text
    PlainAnsi,  ///< plain text in the system code page (UTF-8 here)
    PlainUtf16, ///< plain UTF-16 little-endian text with a byte-order mark
};

/// The rich-text control every document window edits in. Positions count a
/// paragraph break as one character.
class TRichEditor : public QTextEdit
{
    Q_OBJECT
public:
    explicit TRichEditor(QWidget *parent = nullptr);
    ~TRichEditor() override;

    // Content in and out. Loading returns false with *error set and keeps the
    // previous content when nothing could be read.
    bool LoadFromStream(QIODevice &device, StreamFormat format, QString *error = nullptr);
    bool SaveToStream(QIODevice &device, StreamFormat format, QString *error = nullptr) const;
    bool LoadFromFile(const QString &path, StreamFormat format, QString *error = nullptr);
    bool SaveToFile(const QString &path, StreamFormat format, QString *error = nullptr) const;

    /// The format that stream-in and stream-out use when none is given; the
    /// document window switches it to PlainAnsi for plain-text files.
    StreamFormat PlainTextMode() const { return m_streamFormat; }
    void SetStreamFormat(StreamFormat format) { m_streamFormat = format; }
    StreamFormat streamFormat() const { return m_streamFormat; }

    QString Text() const;

    void FindDialog(const QString &initial) { Q_UNUSED(initial); }
    void ReplaceDialog(const QString &initial) { Q_UNUSED(initial); }

    bool Modified() const;
    void SetModified(bool modified);

signals:
    /// Text or formatting changed.
    void Change();
    /// The selection or the caret moved.
    void SelectionChange();

private:
    StreamFormat m_streamFormat = StreamFormat::Rtf;
};
