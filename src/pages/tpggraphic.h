#pragma once

/// @file tpggraphic.h
/// A picture as the page engine stores it.

#include <QByteArray>
#include <QImage>
#include <QPicture>

class QIcon;
class QPainter;

/// A stored picture: a bitmap (QImage), a vector picture (QPicture, the page pictures
/// recorded for a page) or a JPEG picture (its encoded bytes plus the decoded image).
///
/// A vector picture is stretched by its boundingRect(); whoever records a page picture
/// should set the bounding rectangle to the full page frame (QPicture::setBoundingRect),
/// so that blank borders keep their place.
class TPgGraphic
{
public:
    enum Kind { Empty, Bitmap, Metafile, Jpeg };

    TPgGraphic() = default;
    static TPgGraphic FromImage(const QImage &image);
    static TPgGraphic FromPicture(const QPicture &picture);
    /// Empty when @p data does not decode as JPEG.
    static TPgGraphic FromJpeg(const QByteArray &data);
    /// An icon is drawn onto a bitmap of @p size and stored as that bitmap.
    static TPgGraphic FromIcon(const QIcon &icon, const QSize &size);

    Kind kind() const { return m_kind; }
    bool isNull() const { return m_kind == Empty; }
    int width() const;
    int height() const;
    /// The bitmap, or the decoded JPEG; null for the other kinds.
    const QImage &image() const { return m_image; }
    const QPicture &picture() const { return m_picture; }
    const QByteArray &jpegData() const { return m_jpeg; }

    /// Same kind, same size and the same saved bytes.
    bool sameAs(const TPgGraphic &other) const;

    /// Stretches the picture into @p target (device units of the painter's current map).
    void draw(QPainter &painter, const QRect &target) const;

private:
    Kind m_kind = Empty;
    QImage m_image;
    QPicture m_picture;
    QByteArray m_jpeg;
};
