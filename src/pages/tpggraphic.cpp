#include "tpggraphic.h"

#include <QPaintDevice>

#include <QIcon>
#include <QPainter>

TPgGraphic TPgGraphic::FromImage(const QImage &image)
{
    TPgGraphic g;
    if (!image.isNull()) {
        g.m_kind = Bitmap;
        g.m_image = image;
    }
    return g;
}

TPgGraphic TPgGraphic::FromPicture(const QPicture &picture)
{
    TPgGraphic g;
    if (!picture.isNull()) {
        g.m_kind = Metafile;
        g.m_picture = picture;
    }
    return g;
}

TPgGraphic TPgGraphic::FromJpeg(const QByteArray &data)
{
    TPgGraphic g;
    QImage decoded;
    if (decoded.loadFromData(data, "JPEG")) {
        g.m_kind = Jpeg;
        g.m_jpeg = data;
        g.m_image = decoded;
    }
    return g;
}

TPgGraphic TPgGraphic::FromIcon(const QIcon &icon, const QSize &size)
{
    if (icon.isNull() || size.isEmpty())
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    icon.paint(&p, QRect(QPoint(0, 0), size));
    p.end();
    return FromImage(image);
}

int TPgGraphic::width() const
{
    return m_kind == Metafile ? m_picture.boundingRect().width() : m_image.width();
}

int TPgGraphic::height() const
{
    return m_kind == Metafile ? m_picture.boundingRect().height() : m_image.height();
}

bool TPgGraphic::sameAs(const TPgGraphic &other) const
{
    if (m_kind != other.m_kind || width() != other.width() || height() != other.height())
        return false;
    switch (m_kind) {
    case Bitmap:
        return m_image == other.m_image;
    case Metafile:
        return m_picture.size() == other.m_picture.size()
            && QByteArray::fromRawData(m_picture.data(), int(m_picture.size()))
            == QByteArray::fromRawData(other.m_picture.data(), int(other.m_picture.size()));
    case Jpeg:
        return m_jpeg == other.m_jpeg;
    case Empty:
        return true;
    }
    return false;
}

void TPgGraphic::draw(QPainter &painter, const QRect &target) const
{
    switch (m_kind) {
    case Bitmap:
    case Jpeg:
        painter.drawImage(target, m_image);
        break;
    case Metafile: {
        const QRect frame = m_picture.boundingRect();
        if (frame.isEmpty())
            break;
        painter.save();
        painter.translate(target.left(), target.top());
        painter.scale(double(target.width()) / frame.width(),
            double(target.height()) / frame.height());
        painter.translate(-frame.left(), -frame.top());
        // QPicture scales its playback by the device's resolution over its own; the
        // stretch above already maps the picture, so that scaling is taken back out.
        if (const QPaintDevice *device = painter.device()) {
            if (device->logicalDpiX() > 0 && device->logicalDpiY() > 0)
                painter.scale(double(m_picture.logicalDpiX()) / device->logicalDpiX(),
                    double(m_picture.logicalDpiY()) / device->logicalDpiY());
        }
        painter.drawPicture(0, 0, m_picture);
        painter.restore();
        break;
    }
    case Empty:
        break;
    }
}
