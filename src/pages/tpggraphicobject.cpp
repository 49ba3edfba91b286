#include "tpggraphicobject.h"

#include "tpggraphic.h"
#include "tpgresourcetable.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>

namespace {

// The named raster operations that have a composition counterpart; every other copy
// mode draws as source copy.
QPainter::CompositionMode compositionFor(quint32 rop)
{
    switch (rop) {
    case 0x008800C6u: // source-and
        return QPainter::RasterOp_SourceAndDestination;
    case 0x00EE0086u: // source-paint
        return QPainter::RasterOp_SourceOrDestination;
    case 0x00660046u: // source-invert
        return QPainter::RasterOp_SourceXorDestination;
    case 0x00330008u: // not-source-copy
        return QPainter::RasterOp_NotSource;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

} // namespace

void TPgGraphicObject::SetPicture(const TPgGraphic &graphic)
{
    m_picture = Resources() ? Resources()->Graphics().AddGraphic(graphic) : nullptr;
    if (m_picture && m_picture->kind() == TPgGraphic::Bitmap)
        m_pixelFormat = m_picture->image().format();
    Changed();
}

void TPgGraphicObject::SetCopyMode(quint32 mode)
{
    if (mode == m_copyMode)
        return;
    m_copyMode = mode;
    Changed();
}

void TPgGraphicObject::Draw(QPainter &painter, int ppiX, int ppiY, bool) const
{
    if (!m_picture)
        return;
    const QRect target = DeviceRect(ppiX, ppiY);
    painter.save();
    // Raster operations exist only on raster targets; elsewhere the picture is copied.
    const bool raster = painter.paintEngine()
        && painter.paintEngine()->type() == QPaintEngine::Raster;
    painter.setCompositionMode(raster ? compositionFor(m_copyMode)
                                      : QPainter::CompositionMode_SourceOver);
    const bool printer = painter.device() && painter.device()->devType() == QInternal::Printer;
    if (printer && m_picture->kind() != TPgGraphic::Metafile
        && m_picture->image().format() != m_pixelFormat) {
        painter.drawImage(target, m_picture->image().convertToFormat(m_pixelFormat));
    } else {
        m_picture->draw(painter, target);
    }
    painter.restore();
}
