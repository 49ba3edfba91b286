// Live pagination of the document window: the page builder, the typing trigger, the
// paper-type menu, the remembered page, and the settings file with the zoom table.
#include "teditorsettings.h"
#include "tmdichild.h"
#include "tpagebuilder.h"
#include "tpggraphic.h"
#include "tpggraphicobject.h"
#include "tpgpage.h"
#include "tpgpreview.h"
#include "tpgprinter.h"
#include "tpgthumbnail.h"
#include "tpgthumbnails.h"
#include "trichedit.h"

#include <QColorDialog>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QProcess>
#include <QSlider>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <QtTest>

namespace {

void fillParagraphs(TRichEditor *editor, int paragraphs)
{
    QTextCursor c(editor->document());
    c.movePosition(QTextCursor::End);
    for (int i = 0; i < paragraphs; ++i) {
        if (i > 0 || !editor->document()->isEmpty())
            c.insertBlock();
        c.insertText(QStringLiteral("Paragraph %1: the quick brown fox jumps over the lazy dog "
                                    "and keeps running across the wide green field.")
                         .arg(i + 1));
    }
}

// Every page of a container as it looks: drawn at 100 dpi (what a reader of the strip
// or of the paper sees; the recorded commands may differ outside the page's clip).
QList<QImage> pageImages(TPgPreview *preview)
{
    QList<QImage> images;
    for (int n = 1; n <= preview->PageCount(); ++n) {
        const TPgPage *page = preview->GetPage(n);
        QImage image(qRound(page->PageSize().width * 100), qRound(page->PageSize().height * 100),
            QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(100 / 0.0254));
        image.setDotsPerMeterY(qRound(100 / 0.0254));
        image.fill(Qt::white);
        QPainter painter(&image);
        page->DrawPage(painter, 100, 100, false);
        painter.end();
        images << image;
    }
    return images;
}

// The box around the dark pixels of an image.
QRect inkBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(row[x]) < 128)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

} // namespace

class TstPagination : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void emptyDocumentHasOnePage();
    void onlyWordEndsRepaginate_data();
    void onlyWordEndsRepaginate();
    void heldKeyRepaginatesOnce();
    void envelopeAndBack();
    void rememberedPageIsClamped();
    void landscapePagesFitOrScroll();
    void incrementalBuildEqualsFullBuild_data();
    void incrementalBuildEqualsFullBuild();
    void thumbnailClickMovesCaret();
    void settingsDefaults();
    void storedZoom_data();
    void storedZoom();
    void settingsFileText();
    void marginsWiderThanThePaper();
    void editorBackgroundIsKept();
    void pagesFillTheirPaper_data();
    void pagesFillTheirPaper();
    void printedPageMatchesTheStrip_data();
    void printedPageMatchesTheStrip();

private:
    QTemporaryDir m_dir;
    QString m_ini;
};

void TstPagination::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_ini = m_dir.filePath(QStringLiteral("TessaryEditor.ini"));
    TEditorSettings::SetPathOverride(m_ini);
}

void TstPagination::init()
{
    QFile::remove(m_ini);
}

void TstPagination::emptyDocumentHasOnePage()
{
    TMDIChild window(nullptr, QStringLiteral("New Document"));
    window.Repaginate();
    QCOMPARE(window.PgPreview1->PageCount(), 1);
    QCOMPARE(window.PageStarts, QList<int> { 0 });
    QCOMPARE(window.PgThumbnails1->ThumbnailCount(), 1);
}

void TstPagination::onlyWordEndsRepaginate_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("repaginates");
    QTest::newRow("letter") << int(Qt::Key_A) << false;
    QTest::newRow("digit") << int(Qt::Key_5) << false;
    QTest::newRow("space") << int(Qt::Key_Space) << true;
    QTest::newRow("enter") << int(Qt::Key_Return) << true;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << true;
    QTest::newRow("delete") << int(Qt::Key_Delete) << true;
    QTest::newRow("tab") << int(Qt::Key_Tab) << true;
    QTest::newRow("arrow") << int(Qt::Key_Left) << false;
}

void TstPagination::onlyWordEndsRepaginate()
{
    QFETCH(int, key);
    QFETCH(bool, repaginates);
    TMDIChild window(nullptr, QStringLiteral("New Document"));
    fillParagraphs(window.Editor, 3);
    int rebuilds = 0;
    connect(window.PgPreview1, &TPgPreview::OnClear, [&] { ++rebuilds; });
    QTest::keyClicks(window.Editor, QStringLiteral("word"));
    QCOMPARE(rebuilds, 0);
    QTest::keyClick(window.Editor, Qt::Key(key));
    QCOMPARE(rebuilds, repaginates ? 1 : 0);
    QVERIFY(window.FollowThumbnails);
    if (repaginates)
        QCOMPARE(window.PageStarts.value(0, -1), 0);
}

void TstPagination::heldKeyRepaginatesOnce()
{
    TMDIChild window(nullptr, QStringLiteral("New Document"));
    fillParagraphs(window.Editor, 3);
    int rebuilds = 0;
    connect(window.PgPreview1, &TPgPreview::OnClear, [&] { ++rebuilds; });
    // A held key brings a release with every repeat; only the real one counts.
    for (int i = 0; i < 5; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), i > 0);
        QApplication::sendEvent(window.Editor, &press);
        QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
        QApplication::sendEvent(window.Editor, &repeat);
    }
    QCOMPARE(rebuilds, 0);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), false);
    QApplication::sendEvent(window.Editor, &release);
    QCOMPARE(rebuilds, 1);
}

void TstPagination::envelopeAndBack()
{
    TMDIChild window(nullptr, QStringLiteral("New Document"));
    fillParagraphs(window.Editor, 10);
    TPgPreview *p = window.PgPreview1;
    QCOMPARE(qRound(p->Margins().LeftMargin().AsMillimeters()), 25);

    window.SelectPaperType(QStringLiteral("Envelope_DL"));
    QCOMPARE(p->PaperSize(), TPgPaperSize::Envelope_DL);
    QCOMPARE(p->Orientation(), pgLandscape);
    for (const TPgValue *v : { &p->Margins().LeftMargin(), &p->Margins().TopMargin(),
             &p->Margins().RightMargin(), &p->Margins().BottomMargin() })
        QCOMPARE(qRound(v->AsMillimeters() * 1000), 3000);
    QCOMPARE(qRound(p->Header().Height(pgMillimeters) * 1000), 3000);
    QCOMPARE(window.PgThumbnails1->toolTip(), QStringLiteral("Print Preview - Envelope_DL Paper"));
    QVERIFY(!window.PaperChanging);
    QVERIFY(!p->IsUpdating());
    QVERIFY(window.PgThumbnails1->Thumbnail(0)->width() > window.PgThumbnails1->Thumbnail(0)->height());

    window.SelectPaperType(QStringLiteral("A4"));
    QCOMPARE(p->PaperSize(), TPgPaperSize::A4);
    QCOMPARE(p->Orientation(), pgLandscape);
    QCOMPARE(qRound(p->Margins().LeftMargin().AsMillimeters() * 1000), 25000);
    QCOMPARE(qRound(p->Margins().TopMargin().AsMillimeters() * 1000), 15000);
    QCOMPARE(qRound(p->Header().Height(pgMillimeters) * 1000), 10000);
    QCOMPARE(window.PgThumbnails1->toolTip(), QStringLiteral("Print Preview - A4 Paper"));
}

void TstPagination::rememberedPageIsClamped()
{
    TMDIChild window(nullptr, QStringLiteral("New Document"));
    fillParagraphs(window.Editor, 200);
    window.Repaginate();
    QVERIFY(window.PgPreview1->PageCount() >= 7);
    window.FollowThumbnails = false;
    window.PgPreview1->SetCurrentPage(7);
    // Cut the document down to five pages.
    QTextCursor c(window.Editor->document());
    c.setPosition(window.PageStarts.at(4) + 10);
    c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    c.removeSelectedText();
    window.Repaginate();
    QCOMPARE(window.PgPreview1->PageCount(), 5);
    QCOMPARE(window.PgPreview1->CurrentPage(), 5);
    QCOMPARE(window.PgThumbnails1->SelectedIndex(), 4);
}

void TstPagination::landscapePagesFitOrScroll()
{
    TMDIChild window(nullptr, QStringLiteral("New Document"));
    window.resize(1000, 700);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    fillParagraphs(window.Editor, 20);
    window.Repaginate();
    TPgThumbnails *strip = window.PgThumbnails1;
    const auto reachable = [strip] {
        const int right = strip->Thumbnail(0)->geometry().right(); // in the scrolled canvas
        const int reach = strip->viewport()->width() - 1
            + (strip->horizontalScrollBar()->isVisible() ? strip->horizontalScrollBar()->maximum() : 0);
        return right <= reach;
    };
    QVERIFY(reachable());
    window.SelectOrientation(QStringLiteral("Landscape"));
    QApplication::processEvents();
    QVERIFY2(reachable(), "the right edge of a landscape page can be scrolled to");
    window.SelectPaperType(QStringLiteral("Legal"));
    QApplication::processEvents();
    QVERIFY(reachable());
}

void TstPagination::incrementalBuildEqualsFullBuild_data()
{
    QTest::addColumn<int>("edit");
    QTest::newRow("word and space") << 0;
    QTest::newRow("red word, same layout") << 1;
    QTest::newRow("paragraph across a page break centred and indented") << 2;
    QTest::newRow("paragraph joined with the first item of a long list") << 3;
    QTest::newRow("item removed from a list of every other paragraph") << 4;
}

void TstPagination::incrementalBuildEqualsFullBuild()
{
    QFETCH(int, edit);
    TMDIChild window(nullptr, QStringLiteral("New Document"));
    fillParagraphs(window.Editor, 300);
    if (edit == 4) {
        // Every other paragraph of the second half is an item of one numbered list.
        QTextCursor list(window.Editor->document()->findBlockByNumber(150));
        QTextListFormat numbered;
        numbered.setStyle(QTextListFormat::ListDecimal);
        QTextList *items = list.createList(numbered);
        for (int b = 152; b < 300; b += 2)
            items->add(window.Editor->document()->findBlockByNumber(b));
    }
    if (edit == 3) {
        // The second half is one numbered list.
        QTextCursor list(window.Editor->document()->findBlockByNumber(150));
        QTextListFormat numbered;
        numbered.setStyle(QTextListFormat::ListDecimal);
        QTextList *items = list.createList(numbered);
        for (int b = 151; b < 300; ++b)
            items->add(window.Editor->document()->findBlockByNumber(b));
    }
    window.Repaginate();
    const int pages = window.PgPreview1->PageCount();
    QVERIFY(pages > 10);
    // Type a word and a space in the middle of the document.
    QTextCursor c = window.Editor->textCursor();
    c.setPosition(window.PageStarts.at(pages / 2) + 30);
    window.Editor->setTextCursor(c);
    if (edit == 0) {
        QTest::keyClicks(window.Editor, QStringLiteral("inserted"));
        QTest::keyClick(window.Editor, Qt::Key_Space);
    } else if (edit == 4) {
        // From the end of a plain paragraph to the end of the item after it: the item is
        // gone, plain paragraphs surround the edit, and later items are numbered anew.
        const QTextBlock plain = window.Editor->document()->findBlockByNumber(151);
        const QTextBlock item = plain.next();
        c.setPosition(plain.position() + plain.length() - 1);
        c.setPosition(item.position() + item.length() - 1, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        window.Repaginate();
    } else if (edit == 3) {
        // From inside the paragraph before the list to the end of the list's first item:
        // what remains is a plain paragraph, and every item after it is numbered anew.
        const QTextBlock before = window.Editor->document()->findBlockByNumber(149);
        const QTextBlock first = before.next();
        c.setPosition(before.position() + 10);
        c.setPosition(first.position() + first.length() - 1, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        window.Repaginate();
    } else if (edit == 2) {
        // The paragraph holding the last line of the middle page's predecessor.
        c.setPosition(window.PageStarts.at(pages / 2) - 1);
        QTextBlockFormat centred = c.blockFormat();
        centred.setAlignment(Qt::AlignHCenter);
        centred.setLeftMargin(200);
        c.setBlockFormat(centred);
        window.Repaginate();
    } else {
        c.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, 5);
        QTextCharFormat red;
        red.setForeground(QColor(200, 0, 0));
        c.mergeCharFormat(red);
        window.Repaginate();
    }
    if (edit < 3) // list numbers reach any page of the list: it may render all
        QVERIFY2(window.PageBuilder().PagesRendered() < pages,
            "pages before and after the edit are reused");

    // The same document built from scratch.
    TPgPreview fresh;
    fresh.Margins().Assign(window.PgPreview1->Margins());
    fresh.Header().SetHeight(pgTwips, window.PgPreview1->Header().Height(pgTwips));
    fresh.Footer().SetHeight(pgTwips, window.PgPreview1->Footer().Height(pgTwips));
    QList<int> starts;
    TPageBuilder builder(window.Editor);
    fresh.BeginUpdate();
    fresh.Clear();
    builder.PaginateInto(&fresh, starts, qRound(fresh.ContentWidth(pgTwips)) - 14,
        qRound(fresh.ContentHeight(pgTwips)));
    fresh.EndUpdate();
    QCOMPARE(builder.PagesRendered(), fresh.PageCount());
    QCOMPARE(window.PageStarts, starts);
    const QList<QImage> incremental = pageImages(window.PgPreview1);
    const QList<QImage> full = pageImages(&fresh);
    QCOMPARE(incremental.size(), full.size());
    for (int i = 0; i < full.size(); ++i)
        QVERIFY2(incremental.at(i) == full.at(i), qPrintable(QStringLiteral("page %1").arg(i + 1)));
}

void TstPagination::thumbnailClickMovesCaret()
{
    TMDIChild window(nullptr, QStringLiteral("New Document"));
    fillParagraphs(window.Editor, 100);
    window.Repaginate();
    QVERIFY(window.PgPreview1->PageCount() >= 3);
    window.FollowThumbnails = true;
    QTest::mouseClick(window.PgThumbnails1->Thumbnail(2), Qt::LeftButton);
    QCOMPARE(window.PgPreview1->CurrentPage(), 3);
    QCOMPARE(window.Editor->textCursor().selectionStart(), window.PageStarts.at(2));
    QCOMPARE(window.Editor->textCursor().selectionEnd(), window.PageStarts.at(2) + 1);

    window.FollowThumbnails = false;
    QTest::mouseClick(window.PgThumbnails1->Thumbnail(0), Qt::LeftButton);
    QCOMPARE(window.Editor->textCursor().selectionStart(), window.PageStarts.at(2));
}

void TstPagination::settingsDefaults()
{
    TMDIChild window(nullptr, QStringLiteral("New Document"));
    const TEditorSettings &s = window.Settings();
    QCOMPARE(s, TEditorSettings());
    QCOMPARE(window.Editor->font().family(), QStringLiteral("Arial"));
    QCOMPARE(window.Editor->font().pointSize(), 12);
    QCOMPARE(window.ZoomBar->value(), 100);
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("StatusPanel7"))->text(),
        QStringLiteral("Zoom Factor: 100%"));
    TPgPreview *p = window.PgPreview1;
    QCOMPARE(qRound(p->Margins().TopMargin().AsMillimeters()), 15);
    QCOMPARE(qRound(p->Margins().LeftMargin().AsMillimeters()), 25);
    QCOMPARE(qRound(p->Margins().BottomMargin().AsMillimeters()), 15);
    QCOMPARE(qRound(p->Margins().RightMargin().AsMillimeters()), 25);
    QCOMPARE(qRound(p->Header().Height(pgMillimeters)), 10);
    QCOMPARE(qRound(p->Footer().Height(pgMillimeters)), 10);
}

void TstPagination::storedZoom_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("numerator");
    QTest::addColumn<int>("denominator");
    QTest::addColumn<QString>("label");
    QTest::newRow("55") << "55" << 55 << 3 << 5 << "Zoom: 60%";
    QTest::newRow("250 clamps to 200") << "250" << 200 << 2 << 1 << "Zoom: 200%";
    QTest::newRow("20 clamps to 50") << "20" << 50 << 1 << 2 << "Zoom: 50%";
    QTest::newRow("195") << "195" << 195 << 19 << 10 << "Zoom: 190%";
    QTest::newRow("109 is 100 %") << "109" << 109 << 0 << 0 << "Zoom: 100%";
    QTest::newRow("unreadable") << "lots" << 100 << 0 << 0 << "Zoom: 100%";
}

void TstPagination::storedZoom()
{
    QFETCH(QString, stored);
    QFETCH(int, position);
    QFETCH(int, numerator);
    QFETCH(int, denominator);
    QFETCH(QString, label);
    {
        QFile f(m_ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("[Font Settings]\r\nZoom=%1\r\n").arg(stored).toLatin1());
    }
    TMDIChild window(nullptr, QStringLiteral("New Document"));
    QCOMPARE(window.ZoomBar->value(), position);
    QCOMPARE(window.ZoomPosition, position);
    QCOMPARE(window.Editor->ZoomNumerator(), numerator);
    QCOMPARE(window.Editor->ZoomDenominator(), denominator);
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Label1"))->text(), label);
}

void TstPagination::marginsWiderThanThePaper()
{
    {
        QFile f(m_ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        // 150 mm each side of a 210 mm sheet; a negative header cannot be meant at all.
        f.write("[Print Preview]\r\nLeft Margin=150\r\nRight Margin=150\r\nTop Margin=200\r\n"
                "Bottom Margin=200\r\nHeader Margin=-40\r\n");
    }
    TMDIChild window(nullptr, QStringLiteral("New Document"));
    QCOMPARE(window.Settings().HeaderMarginMm, 10);
    QCOMPARE(window.Settings().LeftMarginMm, 150);
    fillParagraphs(window.Editor, 30);
    window.Repaginate();
    // No room for text still gives pages of readable lines, not one word per page.
    QVERIFY2(window.PgPreview1->PageCount() < 100,
        qPrintable(QString::number(window.PgPreview1->PageCount())));
    for (int i = 1; i < window.PageStarts.size(); ++i)
        QVERIFY(window.PageStarts.at(i) > window.PageStarts.at(i - 1));
}

void TstPagination::settingsFileText()
{
    {
        QFile f(m_ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Other]\r\nKeep=1\r\n[Print Preview]\r\nLeft Margin=30\r\n");
    }
    {
        TMDIChild window(nullptr, QStringLiteral("New Document"));
        QCOMPARE(window.Settings().LeftMarginMm, 30);
        window.ZoomBar->setValue(130);
    }
    QFile f(m_ini);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(f.readAll());
    const QString expected = QStringLiteral(
        "[Other]\r\nKeep=1\r\n[Print Preview]\r\nLeft Margin=30\r\nTop Margin=15\r\n"
        "Bottom Margin=15\r\nRight Margin=25\r\nHeader Margin=10\r\nFooter Margin=10\r\n"
        "\r\n[Page View]\r\nEditor Colour=-2147483643\r\n"
        "\r\n[Font Settings]\r\nSize=12\r\nName=Arial\r\nZoom=130\r\n");
    QCOMPARE(text, expected);
}

// The chosen background colours the editor and its strips, and the file keeps it.
void TstPagination::editorBackgroundIsKept()
{
    const QColor chosen(200, 220, 240);
    {
        TMDIChild window(nullptr, QStringLiteral("New Document"));
        QTimer::singleShot(0, [chosen] {
            auto *dialog = qobject_cast<QColorDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->setCurrentColor(chosen);
            dialog->accept();
        });
        window.EditorBackground1Click();
        QCOMPARE(window.Editor->palette().color(QPalette::Base), chosen);
        QCOMPARE(window.findChild<QWidget *>(QStringLiteral("Panel6"))->palette().color(QPalette::Window),
                 chosen);
    }
    QFile f(m_ini);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString colour = QString::number(200 + 256 * 220 + 65536 * 240);
    QVERIFY(QString::fromLatin1(f.readAll()).contains(QStringLiteral("Editor Colour=") + colour));

    // A cancelled dialog changes nothing.
    TMDIChild window(nullptr, QStringLiteral("New Document"));
    QCOMPARE(window.Editor->palette().color(QPalette::Base), chosen);
    QTimer::singleShot(0, [] {
        if (QWidget *dialog = QApplication::activeModalWidget())
            dialog->close();
    });
    window.EditorBackground1Click();
    QCOMPARE(window.Editor->palette().color(QPalette::Base), chosen);
}

void TstPagination::pagesFillTheirPaper_data()
{
    QTest::addColumn<QString>("paper");
    QTest::addColumn<QString>("orientation");
    QTest::newRow("A4") << QStringLiteral("A4") << QStringLiteral("Portrait");
    QTest::newRow("A4 landscape") << QStringLiteral("A4") << QStringLiteral("Landscape");
    QTest::newRow("Legal") << QStringLiteral("Legal") << QStringLiteral("Portrait");
    QTest::newRow("Legal landscape") << QStringLiteral("Legal") << QStringLiteral("Landscape");
    QTest::newRow("Envelope_DL") << QStringLiteral("Envelope_DL") << QStringLiteral("Landscape");
}

// The first page's text reaches down to the last line that fits above the bottom margin
// and across to the right margin: nothing of the content area is cut off.
void TstPagination::pagesFillTheirPaper()
{
    QFETCH(QString, paper);
    QFETCH(QString, orientation);
    TMDIChild window(nullptr, QStringLiteral("New Document"));
    QTextCursor c(window.Editor->document());
    for (int i = 0; i < 40; ++i) { // long paragraphs: every line but the last is full
        if (i > 0)
            c.insertBlock();
        for (int k = 0; k < 12; ++k)
            c.insertText(QStringLiteral("words fill the line from margin to margin "));
    }
    window.SelectPaperType(paper);
    window.SelectOrientation(orientation);
    window.Repaginate();
    QVERIFY(window.PgPreview1->PageCount() >= 2);
    const QImage page = pageImages(window.PgPreview1).at(0);
    const QRect ink = inkBox(page);
    const TPgRectF content = window.PgPreview1->ContentRect();
    const int lineHeight = 25; // a 12 point line at 100 dpi, with room
    QVERIFY2(ink.bottom() > content.bottom * 100 - 2 * lineHeight,
        qPrintable(QStringLiteral("text ends at %1, content at %2").arg(ink.bottom()).arg(content.bottom * 100)));
    QVERIFY2(ink.right() > content.right * 100 - 4 * lineHeight,
        qPrintable(QStringLiteral("text ends at x %1, content at %2").arg(ink.right()).arg(content.right * 100)));
}

void TstPagination::printedPageMatchesTheStrip_data()
{
    QTest::addColumn<QString>("paper");
    QTest::addColumn<QString>("orientation");
    QTest::newRow("A4 portrait") << QStringLiteral("A4") << QStringLiteral("Portrait");
    QTest::newRow("A4 landscape") << QStringLiteral("A4") << QStringLiteral("Landscape");
    QTest::newRow("Letter") << QStringLiteral("Letter") << QStringLiteral("Portrait");
    QTest::newRow("Envelope_DL") << QStringLiteral("Envelope_DL") << QStringLiteral("Landscape");
}

void TstPagination::printedPageMatchesTheStrip()
{
    QFETCH(QString, paper);
    QFETCH(QString, orientation);
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        QSKIP("no printer: scripts/test.sh starts a cupsd with the PDF queue");
    TMDIChild window(nullptr, QStringLiteral("New Document"));
    fillParagraphs(window.Editor, 80);
    window.SelectPaperType(paper);
    window.SelectOrientation(orientation);
    window.Repaginate();
    QVERIFY(window.PgPreview1->PageCount() >= 2);
    const QImage shown = pageImages(window.PgPreview1).at(1).convertToFormat(QImage::Format_RGB32);

    const QString pdf = m_dir.filePath(QStringLiteral("page2.pdf"));
    TPgPrinter &printer = window.PgPreview1->PgPrinter();
    printer.SetOutputFileName(pdf);
    QVERIFY(window.PgPreview1->PrintRange(2, 2));
    printer.SetOutputFileName(QString());
    QProcess raster;
    raster.start(QStringLiteral("pdftoppm"), { QStringLiteral("-r"), QStringLiteral("100"),
        QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, m_dir.filePath(QStringLiteral("page2")) });
    QVERIFY(raster.waitForFinished(60000));
    const QImage printed(m_dir.filePath(QStringLiteral("page2.png")));
    QVERIFY(!printed.isNull());
    QVERIFY(qAbs(printed.width() - shown.width()) <= 1 && qAbs(printed.height() - shown.height()) <= 1);
    const QRect a = inkBox(shown), b = inkBox(printed.convertToFormat(QImage::Format_RGB32));
    QVERIFY(!a.isEmpty());
    // The text lies where the strip shows it, to a pixel or two of rasterisation.
    const auto near = [](int x, int y) { return qAbs(x - y) <= 2; };
    QVERIFY2(near(a.left(), b.left()) && near(a.top(), b.top()) && near(a.right(), b.right())
            && near(a.bottom(), b.bottom()),
        qPrintable(QStringLiteral("strip %1,%2 %3x%4, printed %5,%6 %7x%8")
                       .arg(a.x()).arg(a.y()).arg(a.width()).arg(a.height())
                       .arg(b.x()).arg(b.y()).arg(b.width()).arg(b.height())));
}

QTEST_MAIN(TstPagination)
#include "tst_pagination.moc"
