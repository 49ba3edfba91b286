#pragma once

/// @file tpgfontmapper.h
/// Resolution-independent text measurement and placement.

#include <QFont>
#include <QSizeF>
#include <QString>
#include <QVector>

class QPainter;

/// Measures and places text so that it keeps its proportions at every resolution: the
/// advance of every character is taken at a high reference resolution and scaled to the
/// target, instead of letting each target's hinting decide the widths.
///
/// Fonts are given by their attributes with a point size (a font set in pixels is taken at
/// 96 per inch). One shared instance, Instance(), serves the whole program.
class TPgFontMapper
{
public:
    static TPgFontMapper &Instance();

    /// Device units per inch at which widths are measured (7200).
    int ReferenceResolution() const { return m_reference; }

    /// Width and height of @p text in @p font, in inches.
    QSizeF MeasureText(const QFont &font, const QString &text) const;

    /// Draws @p text with its text cell's top-left corner at (@p x, @p y) in device units of
    /// a target with @p resolution units per inch (for a painter mapped to 600 units per
    /// inch, 600), placing each character by its scaled reference advance.
    void PlaceText(QPainter &painter, const QFont &font, int resolution, int x, int y,
        const QString &text) const;

    /// The integer advance of every character of @p text at @p resolution (one entry per
    /// code point).
    QVector<int> Advances(const QFont &font, int resolution, const QString &text) const;

    /// Turns exact advances into integer ones: each is truncated and the dropped
    /// fractions are carried, so that the sum never drifts more than one unit from the
    /// exact total.
    static QVector<int> SpreadAdvances(const QVector<double> &exact);

    /// The text-metrics height (ascent plus descent) of @p font in whole device units at
    /// @p resolution units per inch.
    static int TextMetricsHeight(const QFont &font, int resolution);

    /// @p font with a point size (pixel sizes converted at 96 per inch).
    static QFont PointFont(const QFont &font);

private:
    TPgFontMapper();

    int m_reference = 7200;
};
