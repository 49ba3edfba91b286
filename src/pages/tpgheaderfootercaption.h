#pragma once

#include "tpgvalue.h"

#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

/// One of the three captions of a header or footer band: a text that may hold the
/// field tokens of tpgtokens.h, and its font (default Arial, 12 points).
class TPgHeaderFooterCaption
{
public:
    explicit TPgHeaderFooterCaption(TPgValue::ChangeCallback onChange = {});

    TPgHeaderFooterCaption(const TPgHeaderFooterCaption &) = delete;
    TPgHeaderFooterCaption &operator=(const TPgHeaderFooterCaption &) = delete;

    const QString &Caption() const { return m_caption; }
    /// Notifies when the text differs.
    void SetCaption(const QString &text);
    const QFont &Font() const { return m_font; }
    /// Always notifies, as an assignment of the font does.
    void SetFont(const QFont &font);

    /// Copies text and font.
    void Assign(const TPgHeaderFooterCaption &other);

    /// Where the text stands relative to the band rectangle.
    enum Placement {
        StandOnBottom, ///< header: the text's bottom on the band's lower edge
        HangFromTop, ///< footer: the text's top on the band's upper edge
    };

    /// Draws the expanded caption into the band rectangle @p band (device units, right
    /// and bottom exclusive) with alignment 0 left, 1 centre, 2 right. The text is not
    /// clipped to the band.
    void DrawCaption(QPainter &painter, const QRect &band, int pageNumber, int pageCount,
        int alignment, int ppiY, int ppiX, Placement placement) const;

    /// The x of the text's left edge for a text @p textWidth inches wide.
    static int AlignedX(const QRect &band, double textWidth, int alignment, int ppi);

private:
    void changed();

    QString m_caption;
    QFont m_font;
    TPgValue::ChangeCallback m_onChange;
};
