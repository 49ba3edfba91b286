#include "rtfreader.h"

#include "codepage.h"
#include "richtextproperties.h"
#include "rtfreader_p.h"
#include "rtfpicture.h"

#include <QColor>
#include <QHash>
#include <QIODevice>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <QTextDocument>
#include <QTextTable>

#include <array>
#include <cctype>
#include <climits>
#include <cstring>
#include <unordered_map>
#include <vector>

using namespace RtfInternal;

namespace RtfInternal {

WordInfo lookupWord(std::string_view name)
{
    using W = Word;
    static const std::unordered_map<std::string_view, WordInfo> table = {
        {"fonttbl", {W::FontTable}}, {"colortbl", {W::ColorTable}}, {"field", {W::Field}},
        {"fldinst", {W::FieldInst}}, {"fldrslt", {W::FieldResult}}, {"upr", {W::Upr}},
        {"ud", {W::Ud}}, {"pntext", {W::PnText}}, {"listtext", {W::PnText}}, {"pn", {W::Pn}},
        {"shppict", {W::ShpPict}}, {"shprslt", {W::ShapeResult}}, {"shp", {W::Transparent}},
        {"shpinst", {W::ShapeInst}}, {"sn", {W::ShapeName}}, {"sv", {W::ShapeValue}},
        {"nonshppict", {W::NonShpPict}}, {"pict", {W::Pict}},
        {"pngblip", {W::PictProp, PwPng}}, {"jpegblip", {W::PictProp, PwJpeg}},
        {"emfblip", {W::PictProp, PwEmf}}, {"wmetafile", {W::PictProp, PwWmf}},
        {"dibitmap", {W::PictProp, PwDib}}, {"wbitmap", {W::PictProp, PwBitmap}},
        {"macpict", {W::PictProp, PwMac}}, {"pmmetafile", {W::PictProp, PwPm}},
        {"picw", {W::PictProp, PwPicW}}, {"pich", {W::PictProp, PwPicH}},
        {"picwgoal", {W::PictProp, PwGoalW}}, {"pichgoal", {W::PictProp, PwGoalH}},
        {"picscalex", {W::PictProp, PwScaleX}}, {"picscaley", {W::PictProp, PwScaleY}},
        {"wbmbitspixel", {W::PictProp, PwBitsPixel}}, {"wbmwidthbytes", {W::PictProp, PwWidthBytes}},
        {"object", {W::Transparent}}, {"result", {W::Transparent}},
        {"stylesheet", {W::Skip}}, {"info", {W::Skip}}, {"header", {W::Skip}},
        {"headerl", {W::Skip}}, {"headerr", {W::Skip}}, {"headerf", {W::Skip}},
        {"footer", {W::Skip}}, {"footerl", {W::Skip}}, {"footerr", {W::Skip}},
        {"footerf", {W::Skip}}, {"footnote", {W::Skip}}, {"annotation", {W::Skip}},
        {"listtable", {W::ListTable}}, {"list", {W::ListDef}}, {"listlevel", {W::ListDefLevel}},
        {"levelnfc", {W::LevelNfc}}, {"levelnfcn", {W::LevelNfc}}, {"listid", {W::ListId}},
        {"listoverride", {W::ListOverrideDef}}, {"leveltext", {W::Skip}}, {"levelnumbers", {W::Skip}},
        {"listname", {W::Skip}}, {"pnlvlblt", {W::PnStyle, 23}}, {"pnlvlbody", {W::PnStyle, 0}}, {"pndec", {W::PnStyle, 0}},
        {"pnucrm", {W::PnStyle, 1}}, {"pnlcrm", {W::PnStyle, 2}}, {"pnucltr", {W::PnStyle, 3}},
        {"pnlcltr", {W::PnStyle, 4}}, {"pntxtb", {W::Skip}}, {"pntxta", {W::Skip}},
 {"listoverridetable", {W::ListTable}}, {"revtbl", {W::Skip}}, {"rsidtbl", {W::Skip}},
        {"ftnsep", {W::Skip}}, {"ftnsepc", {W::Skip}}, {"ftncn", {W::Skip}},
        {"aftnsep", {W::Skip}}, {"aftnsepc", {W::Skip}}, {"aftncn", {W::Skip}},
        {"pnseclvl", {W::Skip}}, {"objdata", {W::Skip}}, {"objclass", {W::Skip}},
        {"objname", {W::Skip}}, {"bkmkstart", {W::Skip}}, {"bkmkend", {W::Skip}},
        {"author", {W::Skip}}, {"operator", {W::Skip}}, {"title", {W::Skip}},
        {"subject", {W::Skip}}, {"keywords", {W::Skip}}, {"comment", {W::Skip}},
        {"doccomm", {W::Skip}}, {"company", {W::Skip}}, {"xe", {W::Skip}}, {"tc", {W::Skip}},
        {"txe", {W::Skip}}, {"rxe", {W::Skip}}, {"template", {W::Skip}},
        {"creatim", {W::Skip}}, {"revtim", {W::Skip}}, {"printim", {W::Skip}},
        {"buptim", {W::Skip}}, {"atnid", {W::Skip}}, {"atnauthor", {W::Skip}},
        {"atnref", {W::Skip}}, {"atndate", {W::Skip}}, {"filetbl", {W::Skip}},
        {"generator", {W::Skip}}, {"datafield", {W::Skip}}, {"themedata", {W::Skip}},
        {"colorschememapping", {W::Skip}}, {"latentstyles", {W::Skip}},
        {"datastore", {W::Skip}}, {"pgdsctbl", {W::Skip}}, {"listpicture", {W::Skip}},
        {"xmlnstbl", {W::Skip}}, {"userprops", {W::Skip}}, {"docvar", {W::Skip}},
        {"rtf", {W::Rtf}}, {"ansi", {W::Ansi}}, {"mac", {W::Mac}}, {"pc", {W::Pc}},
        {"pca", {W::Pca}}, {"ansicpg", {W::AnsiCodePage}}, {"deff", {W::DefaultFont}},
        {"uc", {W::Uc}}, {"u", {W::U}}, {"bin", {W::Bin}}, {"fcharset", {W::FontCharset}},
        {"red", {W::Red}}, {"green", {W::Green}}, {"blue", {W::Blue}},
        {"plain", {W::Plain}}, {"b", {W::Bold}}, {"i", {W::Italic}}, {"ul", {W::Underline}},
        {"ulw", {W::Underline}}, {"uldb", {W::Underline}}, {"ulth", {W::Underline}},
        {"uld", {W::UnderlineDotted}}, {"ulthd", {W::UnderlineDotted}},
        {"uldash", {W::UnderlineDashed}}, {"uldashd", {W::UnderlineDashed}},
        {"uldashdd", {W::UnderlineDashed}}, {"ulwave", {W::UnderlineWave}},
        {"ulhwave", {W::UnderlineWave}}, {"ululdbwave", {W::UnderlineWave}},
        {"ulnone", {W::UnderlineNone}}, {"strike", {W::Strike}}, {"striked", {W::Strike}},
        {"f", {W::Font}}, {"fs", {W::FontSize}}, {"cf", {W::ForeColor}}, {"cb", {W::BackColor}},
        {"highlight", {W::BackColor}}, {"chcbpat", {W::BackColor}}, {"super", {W::Super}},
        {"sub", {W::Sub}}, {"nosupersub", {W::NoSuperSub}}, {"up", {W::Up}}, {"dn", {W::Dn}},
        {"v", {W::Hidden}}, {"protect", {W::Protect}}, {"disabled", {W::Disabled}},
        {"kerning", {W::Kerning}}, {"expnd", {W::Expand}}, {"expndtw", {W::ExpandTwips}},
        {"caps", {W::Caps}}, {"scaps", {W::SmallCaps}},
        {"pard", {W::Pard}}, {"ql", {W::AlignLeft}}, {"qc", {W::AlignCentre}},
        {"qr", {W::AlignRight}}, {"qj", {W::AlignJustify}}, {"qd", {W::AlignJustify}},
        {"fi", {W::FirstIndent}}, {"li", {W::LeftIndent}}, {"lin", {W::LeftIndent}},
        {"ri", {W::RightIndent}}, {"rin", {W::RightIndent}}, {"sb", {W::SpaceBefore}},
        {"sa", {W::SpaceAfter}}, {"sl", {W::LineSpacing}}, {"slmult", {W::LineMultiple}},
        {"tx", {W::TabStop}}, {"tb", {W::TabStop}}, {"tqr", {W::TabRight}},
        {"tqc", {W::TabCentre}}, {"tqdec", {W::TabDecimal}}, {"keepn", {W::KeepNext}},
        {"s", {W::Style}}, {"intbl", {W::InTable}}, {"pagebb", {W::PageBreakBefore}},
        {"ls", {W::ListOverride}}, {"ilvl", {W::ListLevel}},
        {"par", {W::Par}}, {"sect", {W::Sect}}, {"page", {W::Page}}, {"line", {W::Line}},
        {"lbr", {W::Line}}, {"tab", {W::Tab}}, {"cell", {W::Cell}}, {"nestcell", {W::NestCell}},
        {"row", {W::Row}}, {"nestrow", {W::NestRow}}, {"nesttableprops", {W::NestTableProps}},
        {"nonesttables", {W::Skip}}, {"trowd", {W::Trowd}}, {"cellx", {W::Cellx}},
        {"clmgf", {W::CellMerge, 1}}, {"clmrg", {W::CellMerge, 2}}, {"clvmgf", {W::CellMerge, 3}},
        {"clvmrg", {W::CellMerge, 4}}, {"clcbpat", {W::CellShading}},
        {"clbrdrt", {W::CellBorder}}, {"clbrdrl", {W::CellBorder}}, {"clbrdrb", {W::CellBorder}},
        {"clbrdrr", {W::CellBorder}}, {"trbrdrt", {W::RowBorder}}, {"trbrdrl", {W::RowBorder}},
        {"trbrdrb", {W::RowBorder}}, {"trbrdrr", {W::RowBorder}}, {"trbrdrh", {W::RowBorder}},
        {"trbrdrv", {W::RowBorder}}, {"brdrnone", {W::BorderNone}}, {"brdrnil", {W::BorderNone}},
        {"trgaph", {W::RowGap}}, {"itap", {W::Itap}},
        {"emdash", {W::Character, 0x2014}}, {"endash", {W::Character, 0x2013}},
        {"bullet", {W::Character, 0x2022}}, {"lquote", {W::Character, 0x2018}},
        {"rquote", {W::Character, 0x2019}}, {"ldblquote", {W::Character, 0x201C}},
        {"rdblquote", {W::Character, 0x201D}}, {"emspace", {W::Character, 0x2003}},
        {"enspace", {W::Character, 0x2002}}, {"qmspace", {W::Character, 0x2005}},
        {"zwj", {W::Character, 0x200D}}, {"zwnj", {W::Character, 0x200C}},
        {"ltrmark", {W::Character, 0x200E}}, {"rtlmark", {W::Character, 0x200F}},
    };
    auto it = table.find(name);
    return it == table.end() ? WordInfo{} : it->second;
}

size_t qHash(const CharProps &c, size_t seed)
{
    return qHashMulti(seed, c.font, c.size, c.fg, c.bg, c.kerning, c.spacing, c.href,
                      (c.bold << 0) | (c.italic << 1) | (c.strike << 2) | (c.hidden << 3)
                          | (c.protect << 4) | (c.disabled << 5) | (c.underline << 8)
                          | (int(c.vpos) << 12) | (c.caps << 20));
}

} // namespace RtfInternal

namespace {

constexpr int kMaxDepth = 20000;   // deeper groups share their parent's state
constexpr int kMaxTabs = 64;
constexpr int kMaxWarnings = 50;
constexpr int kMaxLength = 31680 * 4; // twips; anything larger is damage
constexpr qsizetype kMaxCachedFormats = 4096;

struct FontInfo {
    QString family;
    int charset = -1;
};

int clampLength(int v) { return qBound(-kMaxLength, v, kMaxLength); }

bool isAscii(const QByteArray &bytes)
{
    const char *p = bytes.constData();
    const qsizetype n = bytes.size();
    quint64 any = 0;
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 word;
        std::memcpy(&word, p + i, 8);
        any |= word;
    }
    for (; i < n; ++i)
        any |= uchar(p[i]);
    return (any & 0x8080808080808080ull) == 0;
}

// Bytes that end a stretch of plain text in the body.
constexpr std::array<bool, 256> kTextStop = [] {
    std::array<bool, 256> stop {};
    for (const char c : {'\\', '{', '}', '\r', '\n', '\t', '\0'})
        stop[uchar(c)] = true;
    return stop;
}();

class Parser
{
public:
    Parser(const QByteArray &data, QTextCursor &cursor, bool wholeDocument)
        : m_data(data), m_cursor(cursor), m_wholeDocument(wholeDocument) {}

    void run(qsizetype start);
    QStringList warnings;

private:
    GroupState &st() { return m_stack.back(); }
    void warn(const QString &w)
    {
        if (warnings.size() < kMaxWarnings && !warnings.contains(w))
            warnings << w;
    }

    void controlWord(std::string_view name, bool hasParam, int param);
    void skipGroup();
    void pushGroup();
    void popGroup();

    int codePage();
    void addBytes(const char *p, qsizetype n);
    void addUnit(char16_t u);
    void beginText();
    void flushBytes();
    void flushRun();
    void ensureParagraph();
    void endParagraph(bool pageBreakAfter);
    void commitFont();
    void attachToList();
    void commitListDef();
    void pictureWord(char16_t which, bool hasParam, int param);
    void addHex(const char *p, qsizetype n);
    void finishPicture();

    // tables
    struct TableState {
        QTextTable *table = nullptr;
        int row = 0, col = 0;
        bool moveNeeded = false; ///< a \cell ended cell col - 1: the next content goes into col
        bool rowDone = false;    ///< a \row ended row: the next content starts a row
        int widthsFor = 0;          /// the column count the widths were set for
        QList<int> vStart;       ///< per column, the row its vertical merge began in, -1 none
        QList<int> vEnd;         ///< per column, the last row of that merge so far
        QList<QRect> merges;     ///< cells to merge when the table is complete (x column, y row)
        QList<int> gridRights;   ///< right edges of the cells of the row that gave the widths
        QList<QList<int>> rowRights; ///< right edges of each row's cells
    };
    void finishTable(TableState &t);
    void closeVerticalMerge(TableState &t, int column);
    int paraLevel() { return paraLevelOf(st()); }
    int paraLevelOf(const GroupState &state) const;
    void syncTable(int level);
    bool enterTable();
    void leaveTable();
    void placeInTable(TableState &t);
    void endCell(int level);
    void endRow(int level);
    RowDef &rowDef() { return m_rowDefs[size_t(m_rowDefLevel)]; }
    QTextCharFormat charFormat(const CharProps &c);
    QTextBlockFormat blockFormat(const ParaProps &p);

    const QByteArray &m_data;
    qsizetype m_pos = 0;
    QTextCursor &m_cursor;
    bool m_wholeDocument;
    std::vector<GroupState> m_stack;
    int m_overflowDepth = 0;
    bool m_star = false;
    int m_ucSkip = 0;
    bool m_done = false;

    int m_ansiCodePage = 1252;
    int m_defaultFont = -1;
    QHash<int, FontInfo> m_fonts;
    QList<QColor> m_colors;
    QStringList m_hrefs;
    int m_lastFieldHref = -1;
    QByteArray m_fieldInst;

    // font table entry being read
    int m_fontNumber = -1;
    int m_fontCharset = -1;
    QByteArray m_fontName;
    // colour table entry being read
    int m_red = -1, m_green = -1, m_blue = -1;

    // text of the current run
    QByteArray m_bytes;
    int m_bytesCodePage = 1252;
    QString m_text;
    CharProps m_runProps;
    char16_t m_highSurrogate = 0;
    int m_cpFont = INT_MIN;
    int m_cpValue = 1252;

    bool m_pendingPar = false;
    QTextCharFormat m_pendingParFormat;
    bool m_pageBreakBefore = false;
    bool m_paraHasLabel = false;
    bool m_blockTouched = false;

    // One format per property set: documents use few sets, over and over.
    QHash<CharProps, QTextCharFormat> m_formats;

    std::array<RowDef, kMaxTableLevel + 1> m_rowDefs;
    int m_rowDefLevel = 1;
    bool m_rowOpen = false;  ///< a \trowd came and its \row has not
    std::vector<TableState> m_tables;
    qint64 m_cellBudget = 0; ///< table cells this read may still make
    int m_tableCount = 0; ///< tables this read has made

    // lists: \listtable levels' number formats by \listid, \ls to \listid
    QHash<int, QList<int>> m_listFormats;
    QHash<int, int> m_listOverrides;
    int m_listMode = 0; ///< 1 reading a \list, 2 a \listoverride
    int m_defListId = -1, m_defLs = -1;
    QList<int> m_defLevels;
    QHash<qint64, QPointer<QTextList>> m_lists; ///< by \ls and \ilvl
    int m_pnStyle = -1;                 ///< number format of the paragraph's \pn, -1 none

    // picture being read
    PictureData m_pict;
    int m_hexNibble = -1;
    bool m_pictureJustPlaced = false; ///< the next \nonshppict or \shprslt repeats it
    QByteArray m_shapeName;
    RtfPicture::Work m_pictureWork; ///< picture decoding this read may still do
};

void Parser::pushGroup()
{
    // The text before the group goes on in it when its properties stay the
    // same; beginText() ends the run when they change.
    m_ucSkip = 0;
    if (m_stack.size() >= size_t(kMaxDepth)) {
        if (m_overflowDepth++ == 0)
            warn(QStringLiteral("Groups nested deeper than %1 levels share their formatting.").arg(kMaxDepth));
        return;
    }
    m_stack.push_back(m_stack.back());
}

void Parser::popGroup()
{
    m_ucSkip = 0;
    m_star = false;
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return;
    }
    const Destination dest = st().dest;
    if (m_stack.size() <= 1) {
        warn(QStringLiteral("A closing brace without an opening one was ignored."));
        return;
    }
    // A run goes on across groups, but not into another table level: text read
    // inside {\intbl ...} belongs to the table even when it is written later.
    if ((!m_text.isEmpty() || !m_bytes.isEmpty() || m_highSurrogate)
        && paraLevelOf(m_stack.back()) != paraLevelOf(m_stack[m_stack.size() - 2]))
        flushRun();
    m_stack.pop_back();
    if (dest == Destination::FontTable)
        commitFont();
    if (dest == Destination::Pict && st().dest != Destination::Pict)
        finishPicture();
    if (dest == Destination::ListTable && st().dest != Destination::ListTable)
        commitListDef();
    if (dest == Destination::FieldInst && st().dest != Destination::FieldInst) {
        // HYPERLINK "target" [\l "anchor"]
        const QString inst = QString::fromLatin1(m_fieldInst).trimmed();
        if (inst.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive)) {
            QString target;
            const int q1 = inst.indexOf(QLatin1Char('"'));
            const int q2 = q1 >= 0 ? inst.indexOf(QLatin1Char('"'), q1 + 1) : -1;
            if (q2 > q1)
                target = inst.mid(q1 + 1, q2 - q1 - 1);
            else
                target = inst.mid(9).trimmed().section(QLatin1Char(' '), 0, 0);
            if (inst.contains(QLatin1String("\\l")) && q1 >= 0 && inst.lastIndexOf(QLatin1String("\\l")) < q1)
                target.prepend(QLatin1Char('#'));
            if (!target.isEmpty()) {
                m_hrefs << target;
                m_lastFieldHref = int(m_hrefs.size() - 1);
            }
        }
    }
    if (m_stack.size() == 1)
        m_done = true; // the document's outermost group has closed
}

int Parser::codePage()
{
    const int f = st().chr.font;
    if (f != m_cpFont) {
        m_cpFont = f;
        const auto it = m_fonts.constFind(f);
        const int cp = it == m_fonts.constEnd() ? 0 : CodePage::fromCharset(it->charset);
        m_cpValue = cp ? cp : m_ansiCodePage;
    }
    return m_cpValue;
}

void Parser::addBytes(const char *p, qsizetype n)
{
    switch (st().dest) {
    case Destination::Body: {
        beginText();
        if (m_highSurrogate) {
            flushBytes();
            m_text += QChar(0xFFFD);
            m_highSurrogate = 0;
        }
        const int cp = codePage();
        if (!m_bytes.isEmpty() && cp != m_bytesCodePage)
            flushBytes();
        m_bytesCodePage = cp;
        m_bytes.append(p, n);
        break;
    }
    case Destination::FontTable:
        for (qsizetype i = 0; i < n; ++i) {
            if (p[i] == ';')
                commitFont();
            else
                m_fontName += p[i];
        }
        break;
    case Destination::ColorTable:
        for (qsizetype i = 0; i < n; ++i) {
            if (p[i] != ';')
                continue;
            if (m_red < 0 && m_green < 0 && m_blue < 0)
                m_colors << QColor();
            else
                m_colors << QColor(qBound(0, m_red, 255), qBound(0, m_green, 255), qBound(0, m_blue, 255));
            m_red = m_green = m_blue = -1;
            m_formats.clear(); // a colour index may now mean another colour
        }
        break;
    case Destination::FieldInst:
        if (m_fieldInst.size() < 4096)
            m_fieldInst.append(p, n);
        break;
    case Destination::Pict:
        addHex(p, n);
        break;
    case Destination::ShapeName:
        if (m_shapeName.size() < 64)
            m_shapeName.append(p, qMin<qsizetype>(n, 64));
        break;
    case Destination::Upr: case Destination::Shape: case Destination::ListTable: case Destination::Pn:
        break;
    }
}

void Parser::addHex(const char *p, qsizetype n)
{
    static const auto table = [] {
        std::array<signed char, 256> t;
        t.fill(-1);
        for (int i = 0; i < 10; ++i)
            t['0' + i] = char(i);
        for (int i = 0; i < 6; ++i)
            t['a' + i] = t['A' + i] = char(10 + i);
        return t;
    }();
    QByteArray &out = m_pict.bytes;
    const qsizetype start = out.size();
    out.resize(start + n / 2 + 1);
    char *o = out.data() + start;
    for (qsizetype i = 0; i < n; ++i) {
        const int v = table[uchar(p[i])];
        if (v < 0)
            continue;
        if (m_hexNibble < 0) {
            m_hexNibble = v;
        } else {
            *o++ = char(m_hexNibble << 4 | v);
            m_hexNibble = -1;
        }
    }
    out.truncate(o - out.constData());
}

void Parser::pictureWord(char16_t which, bool hasParam, int param)
{
    PictureData &d = m_pict;
    const int v = hasParam ? param : 0;
    switch (which) {
    case PwPng: d.kind = PictureKind::Png; break;
    case PwJpeg: d.kind = PictureKind::Jpeg; break;
    case PwEmf: d.kind = PictureKind::Emf; break;
    case PwWmf: d.kind = PictureKind::Wmf; d.mapMode = hasParam ? v : 8; break;
    case PwDib: d.kind = PictureKind::Dib; break;
    case PwBitmap: d.kind = PictureKind::Bitmap; break;
    case PwMac: case PwPm: // kept as it came, never drawn
        d.kind = PictureKind::Other;
        d.typeWord = which == PwMac ? QByteArrayLiteral("\\macpict") : QByteArrayLiteral("\\pmmetafile");
        if (hasParam)
            d.typeWord += QByteArray::number(param);
        break;
    case PwPicW: d.picw = qMax(0, v); break;
    case PwPicH: d.pich = qMax(0, v); break;
    case PwGoalW: d.goalw = qMax(0, v); break;
    case PwGoalH: d.goalh = qMax(0, v); break;
    case PwScaleX: d.scalex = qBound(1, v, 10000); break;
    case PwScaleY: d.scaley = qBound(1, v, 10000); break;
    case PwBitsPixel: d.bitsPerPixel = qBound(0, v, 64); break;
    case PwWidthBytes: d.widthBytes = qBound(0, v, 0xFFFF); break;
    default: break;
    }
}

// A picture's group has closed: show it where it stood.
void Parser::finishPicture()
{
    PictureData d = std::move(m_pict);
    m_pict = PictureData();
    m_hexNibble = -1;
    const Destination outer = st().dest;
    if ((outer != Destination::Body && outer != Destination::Shape) || d.bytes.isEmpty())
        return;
    if (d.kind == PictureKind::None)
        d.kind = PictureKind::Other;
    bool drawn = false;
    const QImage image = RtfPicture::decode(d, &drawn, RtfPicture::kMaxPixels, &m_pictureWork);
    if (!drawn)
        warn(QStringLiteral("A picture that cannot be shown keeps its place and size and is saved unchanged."));
    flushRun();
    syncTable(paraLevel());
    ensureParagraph();
    RtfPicture::insert(m_cursor, d, image, charFormat(st().chr));
    m_pictureJustPlaced = true;
}

void Parser::addUnit(char16_t u)
{
    if (st().dest != Destination::Body) {
        if (st().dest == Destination::FontTable || st().dest == Destination::FieldInst) {
            const QByteArray utf8 = QString(QChar(u)).toUtf8();
            if (st().dest == Destination::FontTable)
                m_fontName += utf8;
            else
                m_fieldInst += utf8;
        }
        return;
    }
    beginText();
    flushBytes();
    if (QChar::isHighSurrogate(u)) {
        if (m_highSurrogate)
            m_text += QChar(0xFFFD);
        m_highSurrogate = u;
        return;
    }
    if (QChar::isLowSurrogate(u)) {
        if (m_highSurrogate) {
            m_text += QChar(m_highSurrogate);
            m_text += QChar(u);
        } else {
            m_text += QChar(0xFFFD);
        }
        m_highSurrogate = 0;
        return;
    }
    if (m_highSurrogate) {
        m_text += QChar(0xFFFD);
        m_highSurrogate = 0;
    }
    m_text += QChar(u);
}

void Parser::beginText()
{
    if ((!m_text.isEmpty() || !m_bytes.isEmpty() || m_highSurrogate) && !(st().chr == m_runProps))
        flushRun();
    m_runProps = st().chr;
}

void Parser::flushBytes()
{
    if (m_bytes.isEmpty())
        return;
    if (isAscii(m_bytes))
        m_text.append(QLatin1StringView(m_bytes)); // the same in every code page
    else
        m_text += CodePage::decode(m_bytes, m_bytesCodePage);
    m_bytes.resize(0); // keeps the buffer for the next run
}

void Parser::flushRun()
{
    flushBytes();
    if (m_highSurrogate) {
        m_text += QChar(0xFFFD);
        m_highSurrogate = 0;
    }
    if (m_text.isEmpty())
        return;
    syncTable(paraLevel());
    ensureParagraph();
    m_cursor.insertText(m_text, charFormat(m_runProps));
    m_text.resize(0); // keeps the buffer for the next run
    m_pictureJustPlaced = false;
}

void Parser::ensureParagraph()
{
    if (m_pendingPar) {
        m_pendingPar = false;
        m_cursor.insertBlock(m_cursor.blockFormat(), m_pendingParFormat);
    }
    m_blockTouched = true;
}

void Parser::endParagraph(bool pageBreakAfter)
{
    flushRun();
    syncTable(paraLevel());
    ensureParagraph();
    const QTextBlockFormat bf = blockFormat(st().para);
    m_cursor.setBlockFormat(bf);
    if (bf.boolProperty(RichTextProperty::Bullets))
        attachToList();
    m_pendingParFormat = charFormat(st().chr);
    m_pendingPar = true;
    m_paraHasLabel = false;
    m_pnStyle = -1;
    m_pageBreakBefore = pageBreakAfter;
    m_pictureJustPlaced = false; // a fallback in the next paragraph stands alone
}

namespace {
// A list style for an RTF number format (\levelnfc, \pndec ...).
QTextListFormat::Style listStyle(int nfc)
{
    switch (nfc) {
    case 0: return QTextListFormat::ListDecimal;
    case 1: return QTextListFormat::ListUpperRoman;
    case 2: return QTextListFormat::ListLowerRoman;
    case 3: return QTextListFormat::ListUpperAlpha;
    case 4: return QTextListFormat::ListLowerAlpha;
    case 255: return QTextListFormat::ListStyleUndefined; // no number at all
    case 23: default: return QTextListFormat::ListDisc;
    }
}
} // namespace

// Shows a numbered or bulleted paragraph as an item of a list. Paragraphs of
// one \ls and level share one list, wherever they are, so numbers go on
// after other text as in the word processors; old-style \pn items join the
// list of the paragraph before them when it has their style.
void Parser::attachToList()
{
    QTextBlock block = m_cursor.block();
    if (block.textList())
        return;
    const ParaProps &p = st().para;
    if (p.list > 0) {
        const qint64 key = qint64(p.list) * 16 + p.level;
        if (QTextList *list = m_lists.value(key)) {
            list->add(block);
            return;
        }
        const QList<int> levels = m_listFormats.value(m_listOverrides.value(p.list, -1));
        const QTextListFormat::Style style = listStyle(p.level < levels.size() ? levels[p.level] : 23);
        if (style == QTextListFormat::ListStyleUndefined)
            return;
        QTextListFormat lf;
        lf.setStyle(style);
        lf.setIndent(p.level + 1);
        m_lists.insert(key, m_cursor.createList(lf));
        return;
    }
    const QTextListFormat::Style style = listStyle(m_pnStyle < 0 ? 23 : m_pnStyle);
    const QTextBlock previous = block.previous();
    if (previous.isValid() && previous.textList() && previous.textList()->format().style() == style) {
        previous.textList()->add(block);
    } else if (style != QTextListFormat::ListStyleUndefined) {
        QTextListFormat lf;
        lf.setStyle(style);
        m_cursor.createList(lf);
    }
}

void Parser::commitListDef()
{
    if (m_listMode == 1 && m_defListId >= 0 && m_listFormats.size() < 10000)
        m_listFormats.insert(m_defListId, m_defLevels);
    if (m_listMode == 2 && m_defListId >= 0 && m_defLs >= 0 && m_listOverrides.size() < 10000)
        m_listOverrides.insert(m_defLs, m_defListId);
    m_listMode = 0;
    m_defListId = m_defLs = -1;
    m_defLevels.clear();
}

void Parser::commitFont()
{
    if (m_fontNumber >= 0 || !m_fontName.isEmpty()) {
        const int cp = CodePage::fromCharset(m_fontCharset);
        QString name = CodePage::decode(m_fontName, cp ? cp : m_ansiCodePage).trimmed();
        if (m_fontNumber >= 0 && !m_fonts.contains(m_fontNumber))
            m_fonts.insert(m_fontNumber, {name, m_fontCharset});
        else if (m_fontNumber >= 0 && !name.isEmpty())
            m_fonts[m_fontNumber] = {name, m_fontCharset}; // a \ud table replaces the \upr one
        m_cpFont = INT_MIN;
        m_formats.clear();
    }
    m_fontNumber = -1;
    m_fontCharset = -1;
    m_fontName.clear();
}

QTextCharFormat Parser::charFormat(const CharProps &c)
{
    if (const auto cached = m_formats.constFind(c); cached != m_formats.constEnd())
        return *cached;
    QTextCharFormat f;
    const auto font = m_fonts.constFind(c.font);
    if (font != m_fonts.constEnd()) {
        if (!font->family.isEmpty())
            f.setFontFamilies(QStringList{font->family});
        if (font->charset >= 0)
            f.setProperty(RichTextProperty::Charset, font->charset);
    }
    f.setFontPointSize(qBound(1, c.size, 3276) / 2.0);
    if (c.bold)
        f.setFontWeight(QFont::Bold);
    if (c.italic)
        f.setFontItalic(true);
    switch (c.underline) {
    case 1: f.setFontUnderline(true); break;
    case 2: f.setUnderlineStyle(QTextCharFormat::DotLine); break;
    case 3: f.setUnderlineStyle(QTextCharFormat::DashUnderline); break;
    case 4: f.setUnderlineStyle(QTextCharFormat::WaveUnderline); break;
    default: break;
    }
    if (c.strike)
        f.setFontStrikeOut(true);
    if (c.fg > 0 && c.fg < m_colors.size() && m_colors[c.fg].isValid())
        f.setForeground(m_colors[c.fg]);
    if (c.bg > 0 && c.bg < m_colors.size() && m_colors[c.bg].isValid())
        f.setBackground(m_colors[c.bg]);
    if (c.vpos > 0)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (c.vpos < 0)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (c.caps == 1)
        f.setFontCapitalization(QFont::AllUppercase);
    else if (c.caps == 2)
        f.setFontCapitalization(QFont::SmallCaps);
    if (c.hidden)
        f.setProperty(RichTextProperty::Hidden, true);
    if (c.protect)
        f.setProperty(RichTextProperty::Protected, true);
    if (c.disabled)
        f.setProperty(RichTextProperty::Disabled, true);
    if (c.kerning > 0) {
        f.setProperty(RichTextProperty::KerningThreshold, (c.kerning + 1) / 2);
        f.setFontKerning(true);
    }
    if (c.spacing != 0) {
        f.setProperty(RichTextProperty::Spacing, c.spacing);
        f.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        f.setFontLetterSpacing(c.spacing / 20.0);
    }
    if (c.href >= 0 && c.href < m_hrefs.size()) {
        f.setAnchor(true);
        f.setAnchorHref(m_hrefs[c.href]);
    }
    if (m_formats.size() >= kMaxCachedFormats)
        m_formats.clear();
    m_formats.insert(c, f);
    return f;
}

QTextBlockFormat Parser::blockFormat(const ParaProps &p)
{
    QTextBlockFormat b;
    static const Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter,
                                           Qt::AlignJustify};
    b.setAlignment(aligns[p.align & 3]);
    if (p.firstIndent)
        b.setTextIndent(p.firstIndent / 20.0);
    if (p.leftIndent)
        b.setLeftMargin(p.leftIndent / 20.0);
    if (p.rightIndent)
        b.setRightMargin(p.rightIndent / 20.0);
    if (p.spaceBefore)
        b.setTopMargin(p.spaceBefore / 20.0);
    if (p.spaceAfter)
        b.setBottomMargin(p.spaceAfter / 20.0);
    if (p.lineSpacing != 0) {
        LineSpacing rule;
        int amount = 0;
        if (p.lineMultiple && p.lineSpacing > 0) {
            rule = p.lineSpacing == 240   ? LineSpacing::Single
                   : p.lineSpacing == 360 ? LineSpacing::OneAndHalf
                   : p.lineSpacing == 480 ? LineSpacing::Double
                                          : LineSpacing::Multiple;
            if (rule == LineSpacing::Multiple)
                amount = p.lineSpacing / 12;
            b.setLineHeight(p.lineSpacing * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
        } else if (p.lineSpacing > 0) {
            rule = LineSpacing::AtLeast;
            amount = p.lineSpacing;
            b.setLineHeight(amount / 20.0, QTextBlockFormat::MinimumHeight);
        } else {
            rule = LineSpacing::Exactly;
            amount = -p.lineSpacing;
            b.setLineHeight(amount / 20.0, QTextBlockFormat::FixedHeight);
        }
        if (rule != LineSpacing::Single) {
            b.setProperty(RichTextProperty::LineSpacingRule, int(rule));
            b.setProperty(RichTextProperty::LineSpacingAmount, amount);
        }
    }
    if (!p.tabs.isEmpty())
        b.setTabPositions(p.tabs);
    if (p.keepWithNext)
        b.setProperty(RichTextProperty::KeepWithNext, true);
    if (p.style)
        b.setProperty(RichTextProperty::StyleNumber, p.style);
    if (p.pageBreakBefore || m_pageBreakBefore)
        b.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    if (m_paraHasLabel || p.list > 0)
        b.setProperty(RichTextProperty::Bullets, true);
    return b;
}

// Skips the rest of the current group, whose state is on the stack: its
// braces are counted, escaped braces and \bin data are stepped over.
void Parser::skipGroup()
{
    flushRun();
    int depth = 1;
    const qsizetype n = m_data.size();
    const char *d = m_data.constData();
    while (m_pos < n) {
        const char c = d[m_pos++];
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0)
                break;
        } else if (c == '\\' && m_pos < n) {
            if (d[m_pos] == 'b' && m_pos + 3 <= n && d[m_pos + 1] == 'i' && d[m_pos + 2] == 'n'
                && (m_pos + 3 == n || !std::isalpha(uchar(d[m_pos + 3])))) {
                m_pos += 3;
                qint64 len = 0;
                while (m_pos < n && std::isdigit(uchar(d[m_pos])) && len < (qint64(1) << 40))
                    len = len * 10 + (d[m_pos++] - '0');
                if (m_pos < n && d[m_pos] == ' ')
                    ++m_pos;
                m_pos += qsizetype(qMin<qint64>(len, n - m_pos));
            } else {
                ++m_pos; // an escaped brace or backslash, or a word's first letter
            }
        }
    }
    if (depth > 0)
        warn(QStringLiteral("The document ends inside a group."));
    // the skipped group's own state
    m_ucSkip = 0;
    m_star = false;
    if (m_overflowDepth > 0)
        --m_overflowDepth;
    else if (m_stack.size() > 1)
        m_stack.pop_back();
    if (m_stack.size() == 1)
        m_done = true;
}

// The table level of the paragraph being read: \itap, else 1 for \intbl or
// for any text between a \trowd and its \row.
int Parser::paraLevelOf(const GroupState &state) const
{
    if (state.dest != Destination::Body)
        return int(m_tables.size());
    const ParaProps &p = state.para;
    const int level = p.itap > 0 ? p.itap : (p.inTable || m_rowOpen) ? 1 : 0;
    return qMin(level, kMaxTableLevel);
}

// Brings the cursor to where content of the given table level goes: leaves
// deeper tables, starts tables up to that level, and goes to the next cell
// or row after a \cell or \row.
void Parser::syncTable(int level)
{
    while (int(m_tables.size()) > level)
        leaveTable();
    if (!m_tables.empty())
        placeInTable(m_tables.back());
    while (int(m_tables.size()) < level && enterTable()) {
    }
}

// Starts a table unless the read has made too many: past that its
// paragraphs are read as plain text.
bool Parser::enterTable()
{
    // A nested row's definition follows its cells: it grows as they come.
    const size_t level = qMin(m_tables.size() + 1, m_rowDefs.size() - 1);
    if (level > 1)
        m_rowDefs[level] = RowDef();
    const RowDef &def = m_rowDefs[level];
    const int columns = int(qBound(qsizetype(1), def.cells.size(), qsizetype(kMaxColumns)));
    bool border = def.border;
    for (const CellDef &c : def.cells)
        border = border || c.border;
    QTextTableFormat tf;
    tf.setCellSpacing(0);
    tf.setCellPadding(qBound(1.0, def.gap / 15.0, 12.0));
    tf.setBorder(border ? 1 : 0);
    tf.setBorderStyle(border ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_None);
    tf.setBorderBrush(Qt::black);
    tf.setBorderCollapse(true);
    tf.setAlignment(Qt::AlignLeft);
    if (m_pendingPar && m_cursor.block().length() == 1) {
        // an empty paragraph before the table stays a paragraph of its own
        m_cursor.insertBlock(m_cursor.blockFormat(), m_pendingParFormat);
    }
    if (m_cellBudget < columns || m_tableCount >= kMaxTables) {
        warn(QStringLiteral("The document has too many tables; the rest are read as plain text."));
        return false;
    }
    ++m_tableCount;
    m_pendingPar = false; // the table follows the paragraph the cursor is at
    m_cellBudget -= columns;
    QTextTable *table = m_cursor.insertTable(1, columns, tf);
    TableState t;
    t.table = table;
    t.vStart = QList<int>(columns, -1);
    t.vEnd = QList<int>(columns, -1);
    m_tables.push_back(t);
    m_cursor = table->cellAt(0, 0).firstCursorPosition();
    return true;
}

void Parser::leaveTable()
{
    TableState &t = m_tables.back();
    finishTable(t);
    m_cursor.setPosition(t.table->lastPosition() + 1);
    m_tables.pop_back();
    m_pendingPar = false;
    m_paraHasLabel = false;
}

// Rows are added ahead in growing batches and merges wait for the end: a
// text table rebuilds its whole grid after each change of its shape, so this
// keeps a table of n rows from costing n rebuilds.
void Parser::finishTable(TableState &t)
{
    QTextTable *table = t.table;
    const int used = t.row + 1;
    if (table->rows() > used)
        table->removeRows(used, table->rows() - used);
    for (int c = 0; c < t.vStart.size(); ++c)
        closeVerticalMerge(t, c);
    // A row of fewer cells than the table whose last cell reaches further
    // (a heading over several columns, as converters write it): that cell
    // spans the columns up to its right edge.
    for (int r = 0; r < t.rowRights.size() && r < table->rows(); ++r) {
        const QList<int> &rights = t.rowRights[r];
        const int k = int(rights.size());
        if (k == 0 || k >= t.gridRights.size())
            continue;
        bool aligned = true;
        for (int c = 0; c + 1 < k && aligned; ++c)
            aligned = qAbs(rights[c] - t.gridRights[c]) <= 30;
        int end = k - 1;
        while (end + 1 < t.gridRights.size() && t.gridRights[end] < rights[k - 1] - 30)
            ++end;
        if (aligned && end > k - 1)
            t.merges << QRect(k - 1, r, end - k + 2, 1);
    }
    // each merge rebuilds the table's grid: past a bound the rest stay apart
    const qint64 cells = qMax<qint64>(1, qint64(table->rows()) * table->columns());
    qint64 allowed = qMax<qint64>(64, 200'000'000 / cells);
    for (const QRect &r : std::as_const(t.merges)) {
        if (allowed-- <= 0) {
            warn(QStringLiteral("A table has too many merged cells; some are shown apart."));
            break;
        }
        if (r.bottom() < table->rows() && r.right() < table->columns())
            table->mergeCells(r.y(), r.x(), r.height(), r.width());
    }
    t.merges.clear();
}

void Parser::closeVerticalMerge(TableState &t, int c)
{
    if (t.vStart[c] >= 0 && t.vEnd[c] > t.vStart[c])
        t.merges << QRect(c, t.vStart[c], 1, t.vEnd[c] - t.vStart[c] + 1);
    t.vStart[c] = t.vEnd[c] = -1;
}

void Parser::placeInTable(TableState &t)
{
    if (!t.rowDone && !t.moveNeeded)
        return;
    QTextTable *table = t.table;
    if (t.rowDone) {
        if (t.row + 1 < table->rows()) {
            ++t.row;
        } else {
            const int batch = int(qMin<qint64>(qBound(1, table->rows(), 256), m_cellBudget / table->columns()));
            if (batch > 0) {
                m_cellBudget -= qint64(batch) * table->columns();
                table->appendRows(batch);
                ++t.row;
            }
        }
        t.col = 0;
    } else if (t.col >= table->columns()) {
        if (table->columns() < kMaxColumns && m_cellBudget >= table->rows()) {
            m_cellBudget -= table->rows();
            table->appendColumns(1);
            t.vStart << -1;
            t.vEnd << -1;
        }
        t.col = table->columns() - 1;
    }
    t.rowDone = t.moveNeeded = false;
    const QTextTableCell cell = table->cellAt(t.row, t.col);
    if (cell.row() == t.row && cell.column() == t.col) {
        m_cursor = cell.firstCursorPosition();
        m_pendingPar = false;
    } else {
        // out of cells: what follows joins the last one as new paragraphs
        m_cursor = cell.lastCursorPosition();
        m_pendingPar = true;
    }
    m_paraHasLabel = false;
}

void Parser::endCell(int level)
{
    flushRun();
    syncTable(level);
    if (int(m_tables.size()) < level) { // a table that was not made: a paragraph ends
        endParagraph(false);
        return;
    }
    ensureParagraph();
    const QTextBlockFormat bf = blockFormat(st().para);
    m_cursor.setBlockFormat(bf);
    if (bf.boolProperty(RichTextProperty::Bullets))
        attachToList();
    m_paraHasLabel = false;
    m_pnStyle = -1;
    TableState &t = m_tables.back();
    ++t.col;
    t.moveNeeded = true;
}

// A \row or \nestrow: the row's definition gives the table its column
// widths, the row's merged cells and their shading.
void Parser::endRow(int level)
{
    flushRun();
    if (int(m_tables.size()) < level || m_tables.back().rowDone)
        syncTable(level);
    if (int(m_tables.size()) < level) { // a table that was not made
        if (level == 1)
            m_rowOpen = false;
        if (!m_pendingPar && m_cursor.block().length() > 1)
            endParagraph(false);
        return;
    }
    while (int(m_tables.size()) > level)
        leaveTable();
    TableState &t = m_tables.back();
    if (level == 1)
        m_rowOpen = false;
    QTextTable *table = t.table;
    const RowDef &def = m_rowDefs[size_t(level)];
    const int columns = table->columns();
    const int n = int(qMin<qsizetype>(def.cells.size(), columns));
    if (t.widthsFor < columns && n == columns) { // the first row with every column
        QList<QTextLength> widths;
        int left = 0;
        for (int c = 0; c < n; ++c) {
            const int w = qMax(def.cells[c].right - left, 15);
            widths << QTextLength(QTextLength::FixedLength, w / 15.0);
            left = qMax(left, def.cells[c].right);
        }
        QTextTableFormat tf = table->format();
        tf.setColumnWidthConstraints(widths);
        bool border = def.border;
        for (const CellDef &c : def.cells)
            border = border || c.border;
        tf.setBorder(border ? 1 : 0);
        tf.setBorderStyle(border ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_None);
        table->setFormat(tf);
        t.widthsFor = columns;
        t.gridRights.clear();
        for (int c = 0; c < n; ++c)
            t.gridRights << def.cells[c].right;
    }
    if (n > 0 && !def.cells[n - 1].vmerge && !def.cells[n - 1].hmerge) {
        while (t.rowRights.size() < t.row)
            t.rowRights << QList<int>();
        QList<int> rights;
        for (int c = 0; c < n; ++c)
            rights << def.cells[c].right;
        if (t.rowRights.size() == t.row)
            t.rowRights << rights;
    }
    for (int c = 0; c < n; ++c) {
        const CellDef &d = def.cells[c];
        if (d.shading > 0 && d.shading < m_colors.size() && m_colors[d.shading].isValid()) {
            QTextTableCell cell = table->cellAt(t.row, c);
            QTextTableCellFormat f = cell.format().toTableCellFormat();
            f.setBackground(m_colors[d.shading]);
            cell.setFormat(f);
        }
    }
    for (int c = 0; c < n; ++c) {
        const CellDef &d = def.cells[c];
        if (d.vmerge == 2 && t.vStart[c] >= 0 && t.vEnd[c] == t.row - 1) {
            t.vEnd[c] = t.row;
        } else {
            closeVerticalMerge(t, c);
            if (d.vmerge == 1)
                t.vStart[c] = t.vEnd[c] = t.row;
        }
    }
    for (int c = n; c < t.vStart.size(); ++c)
        closeVerticalMerge(t, c);
    for (int c = 0; c < n;) {
        int end = c + 1;
        while (end < n && def.cells[end].hmerge == 2)
            ++end;
        if (end - c > 1 && def.cells[c].vmerge == 0)
            t.merges << QRect(c, t.row, end - c, 1);
        c = end;
    }
    t.rowDone = true;
    t.moveNeeded = false;
}

void Parser::controlWord(std::string_view name, bool hasParam, int param)
{
    const bool star = m_star;
    m_star = false;
    const WordInfo info = lookupWord(name);
    if (m_ucSkip > 0 && info.word != Word::Bin) {
        --m_ucSkip;
        return;
    }
    GroupState &s = st();
    CharProps &c = s.chr;
    ParaProps &p = s.para;
    const bool on = !hasParam || param != 0;
    const bool inGroup = m_stack.size() > 2 || (m_stack.size() == 2 && m_overflowDepth > 0);

    if (info.word == Word::Unknown || info.word == Word::Skip) {
        if ((star || info.word == Word::Skip) && inGroup)
            skipGroup();
        return;
    }
    // Character properties end the run only when text follows (beginText).
    const bool charProperty = info.word >= Word::Plain && info.word <= Word::SmallCaps
                              && s.dest == Destination::Body;
    if (info.word != Word::Character && info.word != Word::U && info.word != Word::Tab && !charProperty)
        flushRun();

    switch (info.word) {
    case Word::FontTable:
        s.dest = Destination::FontTable;
        m_fontNumber = -1;
        m_fontName.clear();
        break;
    case Word::ColorTable:
        s.dest = Destination::ColorTable;
        m_colors.clear();
        m_red = m_green = m_blue = -1;
        break;
    case Word::Field: m_lastFieldHref = -1; break;
    case Word::FieldInst:
        s.dest = Destination::FieldInst;
        m_fieldInst.clear();
        break;
    case Word::FieldResult:
        s.dest = Destination::Body;
        c.href = m_lastFieldHref;
        break;
    case Word::Upr:
        s.uprOuter = s.dest;
        s.dest = Destination::Upr;
        break;
    case Word::Ud:
        if (s.dest == Destination::Upr)
            s.dest = s.uprOuter;
        break;
    case Word::PnText:
        m_paraHasLabel = true;
        if (inGroup)
            skipGroup();
        break;
    case Word::Pn:
        m_paraHasLabel = true;
        s.dest = Destination::Pn;
        break;
    case Word::PnStyle:
        if (s.dest == Destination::Pn)
            m_pnStyle = info.character;
        break;
    case Word::ListTable:
        s.dest = Destination::ListTable;
        break;
    case Word::ListDef: case Word::ListOverrideDef:
        if (s.dest == Destination::ListTable) {
            commitListDef();
            m_listMode = info.word == Word::ListDef ? 1 : 2;
        }
        break;
    case Word::ListDefLevel:
        if (s.dest == Destination::ListTable && m_listMode == 1 && m_defLevels.size() < 9)
            m_defLevels << 0;
        break;
    case Word::LevelNfc:
        if (s.dest == Destination::ListTable && !m_defLevels.isEmpty())
            m_defLevels.last() = param;
        break;
    case Word::ListId:
        if (s.dest == Destination::ListTable)
            m_defListId = param;
        break;
    case Word::Transparent: break;
    case Word::Pict:
        s.dest = Destination::Pict;
        m_pict = PictureData();
        m_hexNibble = -1;
        break;
    case Word::PictProp:
        if (s.dest == Destination::Pict)
            pictureWord(info.character, hasParam, param);
        break;
    case Word::ShpPict: // a picture of its own, whatever came before
        m_pictureJustPlaced = false;
        break;
    case Word::NonShpPict: case Word::ShapeResult:
        // the fallback of a picture or shape shown already
        if (m_pictureJustPlaced && inGroup)
            skipGroup();
        break;
    case Word::ShapeInst:
        m_pictureJustPlaced = false;
        s.dest = Destination::Shape;
        break;
    case Word::ShapeName:
        s.dest = Destination::ShapeName;
        m_shapeName.clear();
        break;
    case Word::ShapeValue:
        // of a shape's properties only its picture ("pib") is read
        if (s.dest != Destination::Shape || m_shapeName.trimmed() != "pib") {
            if (inGroup)
                skipGroup();
        }
        break;
    case Word::Skip: case Word::Unknown: break;
    case Word::Rtf: break;
    case Word::Ansi: m_ansiCodePage = 1252; m_cpFont = INT_MIN; break;
    case Word::Mac: m_ansiCodePage = 10000; m_cpFont = INT_MIN; break;
    case Word::Pc: m_ansiCodePage = 437; m_cpFont = INT_MIN; break;
    case Word::Pca: m_ansiCodePage = 850; m_cpFont = INT_MIN; break;
    case Word::AnsiCodePage:
        if (hasParam && param > 0 && param < 100000 && CodePage::isSupported(param))
            m_ansiCodePage = param;
        else
            warn(QStringLiteral("Unknown code page %1; Windows-1252 is used.").arg(param));
        m_cpFont = INT_MIN;
        break;
    case Word::DefaultFont:
        m_defaultFont = param;
        for (GroupState &g : m_stack)
            if (g.chr.font < 0)
                g.chr.font = param;
        m_cpFont = INT_MIN;
        break;
    case Word::Uc: s.uc = quint8(qBound(0, param, 16)); break;
    case Word::U: {
        int v = param;
        if (v < 0)
            v += 65536;
        if (v >= 0 && v <= 0xFFFF) {
            addUnit(char16_t(v));
        } else if (v > 0xFFFF && v <= 0x10FFFF) {
            addUnit(QChar::highSurrogate(uint(v)));
            addUnit(QChar::lowSurrogate(uint(v)));
        }
        m_ucSkip = s.uc;
        break;
    }
    case Word::Bin: {
        const qsizetype len = qsizetype(qBound<qint64>(qint64(0), qint64(param), qint64(m_data.size() - m_pos)));
        if (s.dest == Destination::Pict)
            m_pict.bytes.append(m_data.constData() + m_pos, len);
        m_pos += len;
        if (m_ucSkip > 0)
            --m_ucSkip;
        break;
    }
    case Word::FontCharset:
        if (s.dest == Destination::FontTable)
            m_fontCharset = param;
        break;
    case Word::Red: m_red = param; break;
    case Word::Green: m_green = param; break;
    case Word::Blue: m_blue = param; break;
    case Word::Plain: {
        const int href = c.href;
        c = CharProps();
        c.font = m_defaultFont;
        c.href = href;
        break;
    }
    case Word::Bold: c.bold = on; break;
    case Word::Italic: c.italic = on; break;
    case Word::Underline: c.underline = on ? 1 : 0; break;
    case Word::UnderlineDotted: c.underline = on ? 2 : 0; break;
    case Word::UnderlineDashed: c.underline = on ? 3 : 0; break;
    case Word::UnderlineWave: c.underline = on ? 4 : 0; break;
    case Word::UnderlineNone: c.underline = 0; break;
    case Word::Strike: c.strike = on; break;
    case Word::Font:
        if (s.dest == Destination::FontTable) {
            if (m_fontNumber >= 0 || !m_fontName.isEmpty())
                commitFont();
            m_fontNumber = param;
        } else {
            c.font = param;
        }
        break;
    case Word::FontSize: c.size = hasParam ? qBound(1, param, 3276) : 24; break;
    case Word::ForeColor: c.fg = qMax(0, param); break;
    case Word::BackColor: c.bg = qMax(0, param); break;
    case Word::Super: c.vpos = on ? 1 : 0; break;
    case Word::Sub: c.vpos = on ? -1 : 0; break;
    case Word::NoSuperSub: c.vpos = 0; break;
    case Word::Up: c.vpos = (!hasParam || param > 0) ? 1 : 0; break;
    case Word::Dn: c.vpos = (!hasParam || param > 0) ? -1 : 0; break;
    case Word::Hidden: c.hidden = on; break;
    case Word::Protect: c.protect = on; break;
    case Word::Disabled: c.disabled = on; break;
    case Word::Kerning: c.kerning = qBound(0, param, 3276); break;
    case Word::Expand: c.spacing = clampLength(param * 5); break;
    case Word::ExpandTwips: c.spacing = clampLength(param); break;
    case Word::Caps: c.caps = on ? 1 : 0; break;
    case Word::SmallCaps: c.caps = on ? 2 : 0; break;
    case Word::Pard: p = ParaProps(); break;
    case Word::AlignLeft: p.align = 0; break;
    case Word::AlignRight: p.align = 1; break;
    case Word::AlignCentre: p.align = 2; break;
    case Word::AlignJustify: p.align = 3; break;
    case Word::FirstIndent: p.firstIndent = clampLength(param); break;
    case Word::LeftIndent: p.leftIndent = clampLength(param); break;
    case Word::RightIndent: p.rightIndent = clampLength(param); break;
    case Word::SpaceBefore: p.spaceBefore = clampLength(param); break;
    case Word::SpaceAfter: p.spaceAfter = clampLength(param); break;
    case Word::LineSpacing: p.lineSpacing = clampLength(param); break;
    case Word::LineMultiple: p.lineMultiple = on; break;
    case Word::TabStop:
        if (p.tabs.size() < kMaxTabs) {
            static const QTextOption::TabType types[] = {QTextOption::LeftTab, QTextOption::RightTab,
                                                         QTextOption::CenterTab,
                                                         QTextOption::DelimiterTab};
            QTextOption::Tab tab(qBound(0, param, kMaxLength) / 20.0, types[p.pendingTabType & 3]);
            if (p.pendingTabType == 3)
                tab.delimiter = QLatin1Char('.');
            p.tabs << tab;
        }
        p.pendingTabType = 0;
        break;
    case Word::TabRight: p.pendingTabType = 1; break;
    case Word::TabCentre: p.pendingTabType = 2; break;
    case Word::TabDecimal: p.pendingTabType = 3; break;
    case Word::KeepNext: p.keepWithNext = on; break;
    case Word::Style: if (s.dest == Destination::Body) p.style = qMax(0, param); break;
    case Word::InTable: p.inTable = on; break;
    case Word::PageBreakBefore: p.pageBreakBefore = on; break;
    case Word::ListOverride:
        if (s.dest == Destination::ListTable)
            m_defLs = param;
        else
            p.list = qMax(0, param);
        break;
    case Word::ListLevel: p.level = qBound(0, param, 8); break;
    case Word::Par: case Word::Sect:
        if (s.dest == Destination::Body)
            endParagraph(false);
        break;
    case Word::Cell: case Word::NestCell:
        if (s.dest == Destination::Body && info.word == Word::Cell && m_tables.empty() && paraLevel() == 0)
            addUnit(u'\t'); // a cell of no table: a tab keeps its text apart
        else if (s.dest == Destination::Body)
            endCell(info.word == Word::Cell ? 1 : qBound(2, paraLevel(), kMaxTableLevel));
        break;
    case Word::Row:
        if (s.dest == Destination::Body)
            endRow(1);
        break;
    case Word::NestRow:
        if (s.dest == Destination::Body)
            endRow(qBound(2, paraLevel(), kMaxTableLevel));
        break;
    case Word::NestTableProps:
        s.nestProps = true;
        break;
    case Word::Trowd:
        m_rowDefLevel = s.nestProps ? qBound(2, paraLevel(), kMaxTableLevel) : 1;
        rowDef() = RowDef();
        if (m_rowDefLevel == 1)
            m_rowOpen = true;
        break;
    case Word::Cellx: {
        RowDef &r = rowDef();
        if (r.cells.size() < kMaxColumns) {
            r.next.right = clampLength(param);
            r.cells << r.next;
        }
        r.next = CellDef();
        r.borderIsCell = false;
        break;
    }
    case Word::CellMerge: {
        CellDef &n = rowDef().next;
        if (info.character <= 2)
            n.hmerge = quint8(info.character);
        else
            n.vmerge = quint8(info.character - 2);
        break;
    }
    case Word::CellShading: rowDef().next.shading = qMax(0, param); break;
    case Word::CellBorder: rowDef().next.border = true; rowDef().borderIsCell = true; break;
    case Word::RowBorder: rowDef().border = true; rowDef().borderIsCell = false; break;
    case Word::BorderNone:
        if (rowDef().borderIsCell)
            rowDef().next.border = false;
        break;
    case Word::RowGap: rowDef().gap = qBound(0, param, 1440); break;
    case Word::Itap: p.itap = qBound(0, param, 1000); break;
    case Word::Page:
        if (s.dest == Destination::Body)
            endParagraph(true);
        break;
    case Word::Line: addUnit(QChar::LineSeparator); break;
    case Word::Tab: addUnit(u'\t'); break;
    case Word::Character: addUnit(info.character); break;
    }
}

void Parser::run(qsizetype start)
{
    m_stack.reserve(64);
    m_stack.push_back(GroupState());
    m_cellBudget = 100'000 + m_data.size() / 4;
    m_pos = start;
    const char *d = m_data.constData();
    const qsizetype n = m_data.size();
    m_cursor.beginEditBlock();
    while (m_pos < n && !m_done) {
        const char ch = d[m_pos];
        if (ch == '{') {
            ++m_pos;
            m_star = false;
            pushGroup();
        } else if (ch == '}') {
            ++m_pos;
            popGroup();
        } else if (ch == '\\') {
            ++m_pos;
            if (m_pos >= n)
                break;
            const char c = d[m_pos];
            if (std::isalpha(uchar(c))) {
                const qsizetype begin = m_pos;
                while (m_pos < n && std::isalpha(uchar(d[m_pos])))
                    ++m_pos;
                const std::string_view name(d + begin, size_t(qMin<qsizetype>(m_pos - begin, 40)));
                bool hasParam = false;
                bool negative = false;
                qint64 value = 0;
                if (m_pos < n && d[m_pos] == '-' && m_pos + 1 < n && std::isdigit(uchar(d[m_pos + 1]))) {
                    negative = true;
                    ++m_pos;
                }
                while (m_pos < n && std::isdigit(uchar(d[m_pos]))) {
                    hasParam = true;
                    if (value < (qint64(1) << 40))
                        value = value * 10 + (d[m_pos] - '0');
                    ++m_pos;
                }
                if (m_pos < n && d[m_pos] == ' ')
                    ++m_pos;
                if (negative)
                    value = -value;
                const int param = int(qBound<qint64>(qint64(INT_MIN), value, qint64(INT_MAX)));
                controlWord(name, hasParam, param);
            } else {
                ++m_pos;
                if (c == '*') {
                    m_star = true;
                    continue;
                }
                m_star = false;
                if (m_ucSkip > 0 && c != '\r' && c != '\n') {
                    --m_ucSkip;
                    if (c == '\'')
                        m_pos = qMin(n, m_pos + 2);
                    continue;
                }
                switch (c) {
                case '\'': {
                    int v = 0, digits = 0;
                    while (digits < 2 && m_pos < n && std::isxdigit(uchar(d[m_pos]))) {
                        const char h = d[m_pos++];
                        v = v * 16 + (std::isdigit(uchar(h)) ? h - '0' : (h | 0x20) - 'a' + 10);
                        ++digits;
                    }
                    if (digits) {
                        const char b = char(v);
                        addBytes(&b, 1);
                    }
                    break;
                }
                case '\\': case '{': case '}': addBytes(&c, 1); break;
                case '~': addUnit(0x00A0); break;
                case '-': addUnit(0x00AD); break;
                case '_': addUnit(0x2011); break;
                case '\r': case '\n':
                    if (st().dest == Destination::Body)
                        endParagraph(false);
                    break;
                case '\t': addUnit(u'\t'); break;
                default: break; // \: \| and unknown symbols
                }
            }
        } else if (ch == '\r' || ch == '\n' || ch == 0) {
            ++m_pos;
        } else {
            m_star = false;
            if (m_ucSkip > 0) {
                --m_ucSkip;
                ++m_pos;
                continue;
            }
            if (ch == '\t') {
                addUnit(u'\t');
                ++m_pos;
                continue;
            }
            const qsizetype begin = m_pos;
            while (m_pos < n && !kTextStop[uchar(d[m_pos])])
                ++m_pos;
            addBytes(d + begin, m_pos - begin);
            continue;
        }
    }
    flushRun();
    while (!m_tables.empty())
        leaveTable();
    if (m_wholeDocument && (m_blockTouched || !m_pendingPar)) {
        QTextBlockFormat f = blockFormat(st().para);
        if (QTextList *list = m_cursor.block().textList()) // a finished item stays one
            f.setObjectIndex(list->objectIndex());
        m_cursor.setBlockFormat(f);
    }
    if (!m_done) {
        if (m_stack.size() + m_overflowDepth > 1)
            warn(QStringLiteral("The document ends before all its groups are closed; what was there has been read."));
    } else {
        for (qsizetype i = m_pos; i < n; ++i) {
            if (!std::isspace(uchar(d[i])) && d[i] != 0) {
                warn(QStringLiteral("Text after the end of the document was ignored."));
                break;
            }
        }
    }
    m_cursor.endEditBlock();
}

// Finds where the RTF starts; -1 when data is not RTF at all.
qsizetype rtfStart(const QByteArray &data, QStringList &warnings)
{
    qsizetype i = 0;
    while (i < data.size() && std::isspace(uchar(data[i])))
        ++i;
    if (data.mid(i, 5) == "{\\rtf")
        return i;
    const qsizetype found = data.left(1024).indexOf("{\\rtf");
    if (found >= 0) {
        warnings << QStringLiteral("Bytes before the RTF header were ignored.");
        return found;
    }
    if (data.mid(i, 2) == "{\\") {
        warnings << QStringLiteral("The RTF header is missing; the document was read as RTF anyway.");
        return i;
    }
    return -1;
}

RtfReadResult check(const QByteArray &data, qsizetype &start)
{
    RtfReadResult r;
    if (data.isEmpty()) {
        r.error = QStringLiteral("The file is empty.");
        return r;
    }
    start = rtfStart(data, r.warnings);
    if (start < 0) {
        r.error = QStringLiteral("The file is not an RTF document (it does not begin with \"{\\rtf\").");
        return r;
    }
    r.ok = true;
    return r;
}

} // namespace

RtfReadResult RtfReader::read(const QByteArray &data, QTextDocument &document)
{
    qsizetype start = 0;
    RtfReadResult r = check(data, start);
    if (!r.ok)
        return r;
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    QTextCursor cursor(&document);
    Parser parser(data, cursor, true);
    parser.run(start);
    r.warnings << parser.warnings;
    document.setUndoRedoEnabled(undo);
    return r;
}

RtfReadResult RtfReader::read(QIODevice &device, QTextDocument &document)
{
    if (!device.isReadable())
        return {false, QStringLiteral("The file cannot be read: %1").arg(device.errorString()), {}};
    return read(device.readAll(), document);
}

RtfReadResult RtfReader::insert(const QByteArray &data, QTextCursor &cursor)
{
    qsizetype start = 0;
    RtfReadResult r = check(data, start);
    if (!r.ok)
        return r;
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    Parser parser(data, cursor, false);
    parser.run(start);
    cursor.endEditBlock();
    r.warnings << parser.warnings;
    return r;
}

bool RtfReader::looksLikeRtf(const QByteArray &data)
{
    return data.trimmed().startsWith("{\\rtf");
}
