#pragma once

#include "texportresult.h"
#include "tpdffont.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>

class QIODevice;
class QImage;
class QTemporaryFile;

/*!
 * Writes one PDF 1.4 file of fixed-size pages holding lines of text in the
 * standard fonts and RGB pictures.
 *
 * Calling order: set the properties, BeginDoc(), any number of TextOut() and
 * Draw() calls with NewPage() between pages, then EndDoc(). The information
 * texts and Compress are read by BeginDoc() and hold for the whole document.
 *
 * The file is assembled in memory and written by EndDoc() only. Pictures wait
 * in a private, uniquely named temporary file until EndDoc(), which removes it
 * whether or not writing succeeds (as does the destructor).
 *
 * Text goes out in WinAnsiEncoding; a character the encoding lacks becomes '?'.
 * Backslashes and parentheses in every literal string are escaped, so any text
 * reaches the reader as it was given.
 */
class TPdfWriter {
public:
    TPdfWriter();
    ~TPdfWriter();
    TPdfWriter(const TPdfWriter &) = delete;
    TPdfWriter &operator=(const TPdfWriter &) = delete;

    QString FileName() const { return m_fileName; }
    void setFileName(const QString &name) { m_fileName = name; }
    QString TITLE() const { return m_title; }
    void setTITLE(const QString &title) { m_title = title; }
    QString Author() const { return m_author; }
    void setAuthor(const QString &text) { m_author = text; }
    QString Creator() const { return m_creator; }
    void setCreator(const QString &text) { m_creator = text; }
    QString Keywords() const { return m_keywords; }
    void setKeywords(const QString &text) { m_keywords = text; }
    QString Subject() const { return m_subject; }
    void setSubject(const QString &text) { m_subject = text; }
    QString Producer() const { return m_producer; }
    void setProducer(const QString &text) { m_producer = text; }

    int PageNumber() const { return m_pageNumber; }
    int PageWidth() const { return m_pageWidth; }
    void setPageWidth(int points) { m_pageWidth = points; }
    int PageHeight() const { return m_pageHeight; }
    void setPageHeight(int points) { m_pageHeight = points; }

    TPDFFont &Font() { return m_font; }
    const TPDFFont &Font() const { return m_font; }
    void setFont(const TPDFFont &font) { m_font = font; }

    bool Compress() const { return m_compress; }
    void setCompress(bool on) { m_compress = on; }

    //! The creation date written by BeginDoc(); an invalid value (the default)
    //! means the local time at BeginDoc().
    void setCreationDate(const QDateTime &when) { m_creationDate = when; }
    //! Screen pixels per inch, from which Draw() scales pictures (default 96).
    void setScreenResolution(int horizontal, int vertical);

    //! The fixed credit text that Author, Creator and Producer start with.
    static QString defaultCreditText();

    void BeginDoc();
    void TextOut(int x, int y, const QString &text);
    //! Places bitmap with its top-left corner at (x, y) points from the
    //! top-left of the page. Fails only when the picture cannot be parked.
    TExportResult Draw(int x, int y, const QImage &bitmap);
    void NewPage();
    //! Finishes the document and writes it to FileName, replacing an existing
    //! file only when the new one was written completely.
    TExportResult EndDoc();
    //! Finishes the document and writes it to device.
    TExportResult EndDoc(QIODevice &device);

private:
    void openContentStream();
    void closeContentStream();
    void appendObject();
    int nextObject();
    QByteArray finishDocument(TExportResult &result);
    QByteArray infoLine(const char *key, const QString &text) const;

    QString m_fileName;
    QString m_title;
    QString m_author;
    QString m_creator;
    QString m_keywords;
    QString m_subject;
    QString m_producer;
    int m_pageNumber = 1;
    int m_pageWidth = 612;
    int m_pageHeight = 792;
    TPDFFont m_font;
    bool m_compress = true;
    QDateTime m_creationDate;
    int m_screenX = 96;
    int m_screenY = 96;

    // Working state of the open document.
    bool m_inDocument = false;
    bool m_docCompress = true;
    QByteArray m_output;
    QByteArray m_object;
    QByteArray m_content;
    QList<qint64> m_offsets;
    int m_lastObject = 0;
    int m_pictureCount = 0;
    int m_headSize = 0;
    int m_contentObject = 0;
    std::unique_ptr<QTemporaryFile> m_pictures;
    QList<qint64> m_pictureEnds; // end offset of each picture body in m_pictures
};
