#pragma once

#include "tpgmarginvalues.h"
#include "tpgvalue.h"

#include <QPen>

class QPainter;
class TPgPrinterMetrics;

/// The four page margins with their frame pens and flags.
///
/// Any change of a margin, a pen, a pen mode or a flag calls the owner callback; writes
/// of an equal value send nothing, Assign() always sends.
class TPgMargins
{
public:
    /// @p printer may be null (no printer: printer margins are never drawn); it must
    /// outlive the margins.
    explicit TPgMargins(const TPgPrinterMetrics *printer = nullptr,
        TPgValue::ChangeCallback onChange = {});

    TPgMargins(const TPgMargins &) = delete;
    TPgMargins &operator=(const TPgMargins &) = delete;

    TPgValue &LeftMargin() { return m_left; }
    TPgValue &TopMargin() { return m_top; }
    TPgValue &RightMargin() { return m_right; }
    TPgValue &BottomMargin() { return m_bottom; }
    const TPgValue &LeftMargin() const { return m_left; }
    const TPgValue &TopMargin() const { return m_top; }
    const TPgValue &RightMargin() const { return m_right; }
    const TPgValue &BottomMargin() const { return m_bottom; }

    /// The margin frame pen; default silver (12632256), dotted, width 1.
    const QPen &Pen() const { return m_pen; }
    void SetPen(const QPen &pen);
    /// Pen mode ordinal of Pen() (copy = 4).
    int PenMode() const { return m_penMode; }
    void SetPenMode(int mode);

    const QPen &PrinterMarginPen() const { return m_printerPen; }
    void SetPrinterMarginPen(const QPen &pen);
    int PrinterMarginPenMode() const { return m_printerPenMode; }
    void SetPrinterMarginPenMode(int mode);

    bool ClipMargins() const { return m_clip; }
    void SetClipMargins(bool on);
    bool ShowPrinterMargins() const { return m_showPrinter; }
    void SetShowPrinterMargins(bool on);
    bool Visible() const { return m_visible; }
    void SetVisible(bool on);

    TPgMarginValues &Values() { return m_values; }

    /// Copies the four margins, both pens, ShowPrinterMargins and Visible (not
    /// ClipMargins), then notifies once more.
    void Assign(const TPgMargins &other);

    /// The margin rectangle in device units at @p ppi for a page of @p pageSize inches;
    /// right and bottom are exclusive edges (QRect width = right - left).
    QRect MarginRect(const TPgPageSize &pageSize, int ppi) const;

    /// Draws the margin frame, and the printer's unprintable margins if asked for, onto a
    /// page drawn at @p ppi device units per inch. Nothing when not Visible().
    void DrawMargins(QPainter &painter, const TPgPageSize &pageSize,
        TPgOrientation orientation, int ppi) const;
    /// Clips the painter to the margin rectangle when ClipMargins() is on.
    void ClipToMargins(QPainter &painter, const TPgPageSize &pageSize,
        TPgOrientation orientation, int ppi) const;

    /// The margins as one comma text: left, top, right, bottom in twips, then each pen as
    /// a quoted list of colour, width, style ordinal and mode ordinal.
    QString MarginValues() const;
    /// Reads a text written by MarginValues(). Exactly four items set the margins only;
    /// six or more also set both pens. On any failure (an item that is not a decimal
    /// integer, fewer than four or exactly five items, a bad pen list) nothing changes,
    /// false is returned and @p error, if given, says why.
    bool SetMarginValues(const QString &text, QString *error = nullptr);

    void SetPrinter(const TPgPrinterMetrics *printer) { m_printer = printer; }
    const TPgPrinterMetrics *Printer() const { return m_printer; }

private:
    void changed();

    TPgValue m_left;
    TPgValue m_top;
    TPgValue m_right;
    TPgValue m_bottom;
    QPen m_pen;
    QPen m_printerPen;
    int m_penMode = pgPenModeCopy;
    int m_printerPenMode = pgPenModeCopy;
    bool m_clip = false;
    bool m_showPrinter = false;
    bool m_visible = false;
    TPgMarginValues m_values;
    const TPgPrinterMetrics *m_printer = nullptr;
    TPgValue::ChangeCallback m_onChange;
};
