#pragma once

#include "tpgsimplesolidshape.h"

#include <QImage>

class TPgGraphic;

/// A picture stretched into its rectangle on the page. The picture itself lives in the
/// resource table's picture list; the object keeps a reference to the stored copy.
class TPgGraphicObject : public TPgSimpleSolidShape
{
public:
    /// Raster operation "source copy", the default copy mode.
    static constexpr quint32 SourceCopy = 0x00CC0020u;
    static constexpr int KindNumber = 13;

    using TPgSimpleSolidShape::TPgSimpleSolidShape;

    int Kind() const override { return KindNumber; }

    /// Stores @p graphic through the resource table (or reuses an identical stored one)
    /// and refers to it. An empty graphic leaves the object without a picture; it then
    /// draws nothing.
    void SetPicture(const TPgGraphic &graphic);
    const TPgGraphic *Picture() const { return m_picture; }

    /// Raster operation used when drawing; default SourceCopy.
    quint32 CopyMode() const { return m_copyMode; }
    void SetCopyMode(quint32 mode);
    /// The pixel format of a stored bitmap, for printing; default 8 bits indexed.
    QImage::Format PixelFormat() const { return m_pixelFormat; }

    void Draw(QPainter &painter, int ppiX, int ppiY, bool flag) const override;

private:
    const TPgGraphic *m_picture = nullptr;
    quint32 m_copyMode = SourceCopy;
    QImage::Format m_pixelFormat = QImage::Format_Indexed8;
};
