#pragma once

#include <QDialog>
#include <QImage>
#include <QHash>
#include <QList>
#include <QPointer>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QScrollArea;
class TDocumentHost;

/// The window switcher: one picture tile per open document window, in the
/// frame's order; clicking a tile brings its window forward and closes the
/// switcher.
class TFormSelectorForm : public QDialog
{
    Q_OBJECT
public:
    /// area holds the document windows; host brackets the switch with
    /// LockRedraw/UnlockRedraw. Without an area the switcher stays empty
    /// and reports the error.
    TFormSelectorForm(QMdiArea *area, TDocumentHost *host, QWidget *parent = nullptr);

    /// The tiles, left to right; each one's tooltip is its document's name.
    QList<QLabel *> Tiles() const { return m_tiles; }

    /// The name part a tile shows: the whole name when it is narrower than
    /// 129 pixels in the tile font, else its first ten characters and "...".
    static QString VisibleName(const QString &name);
    /// Draws tile number index (0-based) for the document called name onto a
    /// copy of the blank tile.
    static QImage DrawTile(int index, const QString &name);
    /// The blank tile: a 128 x 170 sheet of paper.
    static QImage BlankTile();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildTiles();
    void tileClick(QLabel *tile);

    QMdiArea *m_area = nullptr;
    TDocumentHost *m_host = nullptr;
    QScrollArea *thumbScroller = nullptr;
    QWidget *m_strip = nullptr;
    QList<QLabel *> m_tiles;
    QHash<QLabel *, QPointer<QMdiSubWindow>> m_windows; ///< the window each tile stands for
};
