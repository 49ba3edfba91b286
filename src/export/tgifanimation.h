#pragma once

#include "texportresult.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QSize>
#include <QStringList>

class QIODevice;

/*!
 * One frame of a TGifAnimation: its picture, already reduced to 256 colours,
 * its position on the logical screen and its display time.
 */
class TGifAnimationFrame {
public:
    explicit TGifAnimationFrame(const QImage &indexed)
        : m_picture(indexed)
    {
    }

    //! The frame's Indexed8 picture with its 256-entry palette.
    const QImage &picture() const { return m_picture; }
    QPoint position() const { return m_position; }
    void setPosition(QPoint at) { m_position = at; }
    //! Milliseconds; the file holds hundredths of a second (the value / 10).
    quint16 DisplayTime() const { return m_displayTime; }
    void setDisplayTime(quint16 milliseconds) { m_displayTime = milliseconds; }

private:
    QImage m_picture;
    QPoint m_position;
    quint16 m_displayTime = 0;
};

/*!
 * An animated GIF89a picture in memory: frames, comment lines, background
 * colour and looping, encoded with our own LZW coder when saved.
 *
 * Frames are reduced to 256 colours as they are added (TGifColourReducer), so
 * that a long document holds one byte per pixel per page, not four. The first
 * frame's palette becomes the global colour table, every later frame carries
 * a local one. A frame with a display time gets a graphic control extension;
 * with looping on and more than one frame the file carries the NETSCAPE2.0
 * looping extension; the comment lines come last.
 */
class TGifAnimation {
public:
    TGifAnimation() = default;

    QStringList &Comments() { return m_comments; }
    const QStringList &Comments() const { return m_comments; }

    QRgb BackgroundColour() const { return m_background; }
    void setBackgroundColour(QRgb colour) { m_background = colour; }
    //! With transparency on, the background colour is transparent in every frame
    //! whose palette holds it.
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool on) { m_transparent = on; }
    bool Looping() const { return m_looping; }
    void setLooping(bool on) { m_looping = on; }
    //! 0 repeats for ever.
    quint16 RepeatCount() const { return m_repeatCount; }
    void setRepeatCount(quint16 count) { m_repeatCount = count; }

    //! Adds a frame at (0, 0) holding its own copy of bitmap; returns its index.
    //! A null bitmap is refused with -1.
    int addFrame(const QImage &bitmap);
    int frameCount() const { return int(m_frames.size()); }
    TGifAnimationFrame &frame(int index) { return m_frames[index]; }
    const TGifAnimationFrame &frame(int index) const { return m_frames[index]; }

    //! The largest extent of the frames.
    QSize logicalScreenSize() const;

    TExportResult saveToStream(QIODevice &device) const;
    //! An existing file is replaced only when the new one is complete.
    TExportResult saveToFile(const QString &fileName) const;

private:
    QList<TGifAnimationFrame> m_frames;
    QStringList m_comments;
    QRgb m_background = 0xFFFFFFFF;
    bool m_transparent = false;
    bool m_looping = false;
    quint16 m_repeatCount = 0;
};
