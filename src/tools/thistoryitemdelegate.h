#pragma once

#include <QStyledItemDelegate>

class QFontMetrics;

/// Draws a row of the document history: the file-type picture, the full path on one
/// line shortened in its middle when it does not fit, and a selected row as a rounded
/// warm gradient with a grey outline.
class THistoryItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int RowHeight = 35;
    static constexpr int PictureCount = 7;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    /// The 32 x 32 row picture number index (0 to 6), drawn once and kept.
    static QPixmap Picture(int index);
    /// path as it fits into width pixels: whole, or with folders next to the file name
    /// replaced by an ellipsis, or, when even the file name is too long, shortened in
    /// its middle.
    static QString PathEllipsis(const QString &path, const QFontMetrics &metrics, int width);
};
