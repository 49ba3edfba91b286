#pragma once

#include <QColor>
#include <QList>
#include <QRect>
#include <QString>

class QPainter;

/// Paints rect with a multi-stop linear gradient through colours (at least two),
/// one-pixel line after line: top to bottom, or left to right when horizontal.
/// The extent is split into colours.size() - 1 segments of round(extent / segments)
/// lines (ties to even); the last segment takes what is left. Each channel runs
/// from one stop to the next, truncated toward zero. Nothing is painted outside rect.
/// Returns false with error set, and paints nothing, when fewer than two colours are given.
bool GradientFill(QPainter &canvas, const QRect &rect, const QList<QColor> &colours,
    bool horizontal, QString *error = nullptr);
