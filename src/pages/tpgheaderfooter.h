#pragma once

#include "tpgheaderfootercaption.h"

#include <QPen>

#include <memory>

class QPainter;
class TPgMargins;

/// A header or footer band: three captions, a separating line and a height that is set
/// explicitly or follows the largest caption font. The band's height is reserved in the
/// page geometry whether or not the band is visible.
///
/// Any change of a caption, the pen, a flag or the height calls the owner callback.
class TPgHeaderFooter
{
public:
    explicit TPgHeaderFooter(TPgValue::ChangeCallback onChange = {});
    virtual ~TPgHeaderFooter();

    TPgHeaderFooter(const TPgHeaderFooter &) = delete;
    TPgHeaderFooter &operator=(const TPgHeaderFooter &) = delete;

    TPgHeaderFooterCaption &CaptionLeft() { return *m_captions[0]; }
    TPgHeaderFooterCaption &CaptionCenter() { return *m_captions[1]; }
    TPgHeaderFooterCaption &CaptionRight() { return *m_captions[2]; }
    /// Caption 0 left, 1 centre, 2 right; nullptr for other indexes.
    TPgHeaderFooterCaption *Caption(int index);
    const TPgHeaderFooterCaption *Caption(int index) const;

    /// The separating line; default black, solid, width 1.
    const QPen &Pen() const { return m_pen; }
    void SetPen(const QPen &pen);
    bool ShowLine() const { return m_showLine; }
    void SetShowLine(bool on);
    bool Visible() const { return m_visible; }
    void SetVisible(bool on);

    /// The explicit height in @p unit if one is set, else the automatic height.
    double Height(TPgMeasurement unit) const;
    /// Sets the explicit height; 0 returns to the automatic height. An equal value sends
    /// nothing.
    void SetHeight(TPgMeasurement unit, double value);
    /// The height of the largest caption font (ties: left over centre over right), from
    /// its text metrics at 600 units per inch, in inches.
    double AutomaticHeight() const;

    /// Copies the three captions (text and font) only.
    void Assign(const TPgHeaderFooter &other);

    /// The band rectangle in device units (right and bottom exclusive).
    virtual QRect BandRect(const TPgMargins &margins, const TPgPageSize &pageSize, int ppiX,
        int ppiY) const = 0;

    /// Draws the band onto a page drawn at (@p ppiX, @p ppiY); nothing when not Visible().
    void DrawBand(QPainter &painter, const TPgMargins &margins, const TPgPageSize &pageSize,
        int ppiX, int ppiY, int pageNumber, int pageCount) const;

protected:
    virtual TPgHeaderFooterCaption::Placement placement() const = 0;
    /// The y of the separating line inside @p band.
    virtual int lineY(const QRect &band) const = 0;

private:
    void changed();

    std::unique_ptr<TPgHeaderFooterCaption> m_captions[3];
    QPen m_pen;
    bool m_showLine = true;
    bool m_visible = false;
    TPgValue m_height;
    TPgValue::ChangeCallback m_onChange;
};
