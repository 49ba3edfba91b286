#pragma once

// Appending little-endian integers, as BMP, TIFF, EMF and GIF files store them.

#include <QByteArray>
#include <QtEndian>

namespace TessaryExport {

inline void put16(QByteArray &to, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    to.append(b, 2);
}

inline void put32(QByteArray &to, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    to.append(b, 4);
}

} // namespace TessaryExport
