// The RTF reader: a single pass over the bytes that keeps the state of each
// group on a stack and collects paragraphs, tables and pictures; the
// QTextDocument is built from them only once the whole text has been read,
// so a document cut short or malformed leaves the caller's document alone.

#include "rtf/Rtf.h"
#include "rtf/RtfCommon.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImageReader>
#include <QList>
#include <QMap>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextTable>
#include <QTextTableFormat>
#include <QUrl>
#include <cctype>
#include <climits>
#include <variant>

namespace rtf {

namespace {

// Beyond this many groups opened inside each other a document is taken as
// malformed rather than read on.
constexpr int MaxDepth = 2000;

struct CharState {
    int font = -1;       // number in the font table; -1: the document's default font
    int halfPoints = 24; // size in half points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int color = 0;     // colour table index; 0: automatic
    int highlight = 0; // colour table index; 0: none
    QTextCharFormat::VerticalAlignment vertical = QTextCharFormat::AlignNormal;
    bool operator==(const CharState&) const = default;
};

enum class Align { None, Left, Right, Center, Justify };

struct TabStop {
    int position; // twips
    QTextOption::TabType type;
};

// Lengths in twips.
struct ParaState {
    Align align = Align::None;
    int left = 0;
    int right = 0;
    int first = 0;
    int before = 0;
    int after = 0;
    int lineSpacing = 0;
    bool lineMultiple = false;
    QList<TabStop> tabs;
    QTextOption::TabType nextTab = QTextOption::LeftTab;
    bool rtl = false;
    bool inTable = false;
};

// What the text of a group goes to.
enum class Dest { Text, Skip, FontTable, ColorTable, Picture };

struct Group {
    CharState chars;
    ParaState para;
    int uc = 1; // bytes that stand in for each \uN character
    Dest dest = Dest::Text;
};

struct Run {
    QString text;
    CharState chars;
    int picture = -1; // index in the pictures; the run is then that picture alone
};

struct Paragraph {
    ParaState para;
    CharState mark; // the formatting of the paragraph mark
    QList<Run> runs;
};

using Cell = QList<Paragraph>;

struct Row {
    QList<Cell> cells;
    QList<int> edges; // right edge of each cell, twips
    int left = 0;
    int gap = 0;
    bool bordered = false;
};

struct Table {
    QList<Row> rows;
};

using Part = std::variant<Paragraph, Table>;

struct Font {
    QString name;
    int charset = -1;
    bool named = false; // its name has been closed by ";"
};

struct Picture {
    QByteArray data;
    double width = 0; // pixels
    double height = 0;
};

enum class Word {
    Unknown,
    // header
    Ansicpg, Deff, Uc, U,
    // destinations
    FontTable, ColorTable, Pict, ShpPict, SkipDest,
    // font and colour tables
    F, Fcharset, Red, Green, Blue,
    // characters
    Par, Line, Tab, Lquote, Rquote, Ldblquote, Rdblquote, Emdash, Endash, Bullet,
    // character formats
    Plain, Fs, B, I, Ul, UlNone, Strike, Cf, Highlight, Super, Sub, NoSuperSub,
    // paragraph formats
    Pard, Ql, Qr, Qc, Qj, Li, Ri, Fi, Sb, Sa, Sl, SlMult, Tx, Tqr, Tqc, RtlPar, LtrPar,
    // tables
    Intbl, Cell, NestCell, Row, Trowd, Cellx, Trgaph, Trleft, CellBorder, ParaBorder, BorderStyle, NoBorder,
    // pictures
    PngBlip, JpegBlip, OtherBlip, PicWGoal, PicHGoal, PicScaleX, PicScaleY, Bin,
};

const QHash<QByteArray, Word>& Words()
{
    static const QHash<QByteArray, Word> words = [] {
        QHash<QByteArray, Word> w{
            {"ansicpg", Word::Ansicpg},
            {"deff", Word::Deff},
            {"uc", Word::Uc},
            {"u", Word::U},
            {"fonttbl", Word::FontTable},
            {"colortbl", Word::ColorTable},
            {"pict", Word::Pict},
            {"shppict", Word::ShpPict},
            {"f", Word::F},
            {"fcharset", Word::Fcharset},
            {"red", Word::Red},
            {"green", Word::Green},
            {"blue", Word::Blue},
            {"par", Word::Par},
            {"sect", Word::Par},
            {"page", Word::Par},
            {"line", Word::Line},
            {"tab", Word::Tab},
            {"lquote", Word::Lquote},
            {"rquote", Word::Rquote},
            {"ldblquote", Word::Ldblquote},
            {"rdblquote", Word::Rdblquote},
            {"emdash", Word::Emdash},
            {"endash", Word::Endash},
            {"bullet", Word::Bullet},
            {"plain", Word::Plain},
            {"fs", Word::Fs},
            {"b", Word::B},
            {"i", Word::I},
            {"ul", Word::Ul},
            {"uld", Word::Ul},
            {"uldash", Word::Ul},
            {"uldashd", Word::Ul},
            {"uldashdd", Word::Ul},
            {"uldb", Word::Ul},
            {"ulth", Word::Ul},
            {"ulw", Word::Ul},
            {"ulwave", Word::Ul},
            {"ulnone", Word::UlNone},
            {"strike", Word::Strike},
            {"cf", Word::Cf},
            {"highlight", Word::Highlight},
            {"super", Word::Super},
            {"sub", Word::Sub},
            {"nosupersub", Word::NoSuperSub},
            {"pard", Word::Pard},
            {"ql", Word::Ql},
            {"qr", Word::Qr},
            {"qc", Word::Qc},
            {"qj", Word::Qj},
            {"li", Word::Li},
            {"ri", Word::Ri},
            {"fi", Word::Fi},
            {"sb", Word::Sb},
            {"sa", Word::Sa},
            {"sl", Word::Sl},
            {"slmult", Word::SlMult},
            {"tx", Word::Tx},
            {"tqr", Word::Tqr},
            {"tqc", Word::Tqc},
            {"rtlpar", Word::RtlPar},
            {"ltrpar", Word::LtrPar},
            {"intbl", Word::Intbl},
            {"cell", Word::Cell},
            {"nestcell", Word::NestCell},
            {"row", Word::Row},
            {"trowd", Word::Trowd},
            {"cellx", Word::Cellx},
            {"trgaph", Word::Trgaph},
            {"trleft", Word::Trleft},
            {"brdrnone", Word::NoBorder},
            {"brdrnil", Word::NoBorder},
            {"brdrw", Word::NoBorder},
            {"brdrcf", Word::NoBorder},
            {"brdrsp", Word::NoBorder},
            {"pngblip", Word::PngBlip},
            {"jpegblip", Word::JpegBlip},
            {"wmetafile", Word::OtherBlip},
            {"emfblip", Word::OtherBlip},
            {"macpict", Word::OtherBlip},
            {"pmmetafile", Word::OtherBlip},
            {"dibitmap", Word::OtherBlip},
            {"wbitmap", Word::OtherBlip},
            {"picwgoal", Word::PicWGoal},
            {"pichgoal", Word::PicHGoal},
            {"picscalex", Word::PicScaleX},
            {"picscaley", Word::PicScaleY},
            {"bin", Word::Bin},
        };
        // Parts of the document that are not its body text.
        for (const char* skipped :
             {"stylesheet", "info", "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr",
              "footerf", "footnote", "annotation", "fldinst", "listtable", "listoverridetable", "revtbl", "rsidtbl",
              "filetbl", "generator", "xmlnstbl", "latentstyles", "themedata", "colorschememapping", "datastore",
              "pgdsctbl", "nonshppict", "objdata", "template", "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc",
              "aftncn", "xe", "tc", "txe", "rxe", "private", "userprops", "docvar"})
            w.insert(skipped, Word::SkipDest);
        for (const char* cellBorder : {"clbrdrt", "clbrdrl", "clbrdrb", "clbrdrr", "trbrdrt", "trbrdrl", "trbrdrb",
                                       "trbrdrr", "trbrdrh", "trbrdrv"})
            w.insert(cellBorder, Word::CellBorder);
        for (const char* paraBorder : {"brdrt", "brdrb", "brdrl", "brdrr", "brdrbtw", "brdrbar", "box"})
            w.insert(paraBorder, Word::ParaBorder);
        return w;
    }();
    return words;
}

// The characters control words stand for.
constexpr struct {
    Word word;
    char16_t character;
} CharacterWords[] = {
    {Word::Line, QChar::LineSeparator}, {Word::Tab, u'\t'},       {Word::Lquote, 0x2018}, {Word::Rquote, 0x2019},
    {Word::Ldblquote, 0x201C},          {Word::Rdblquote, 0x201D}, {Word::Emdash, 0x2014}, {Word::Endash, 0x2013},
    {Word::Bullet, 0x2022},
};

Word WordOf(const QByteArray& name)
{
    const Word w = Words().value(name, Word::Unknown);
    // Every other \brdr word names a border's style: a line is drawn.
    if (w == Word::Unknown && name.startsWith("brdr"))
        return Word::BorderStyle;
    return w;
}

int HexDigit(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

QString IncompleteDocument()
{
    return QStringLiteral("Le document RTF est incomplet : le fichier s'arrête avant la fin du document.");
}

class Reader {
public:
    explicit Reader(QByteArrayView data) : m_data(data) {}

    std::optional<QString> parse();
    void build(QTextDocument& document) const;

private:
    struct ControlWord {
        Word word;
        bool hasParam;
        int param;
    };

    Group& top() { return m_groups.back(); }
    ControlWord readControlWord();
    CodePage codePage() const;
    CodePage codePageOfCharset(int charset) const;

    void controlWord(Word word, bool hasParam, int param);
    void textWord(Word word, bool hasParam, int param);
    void controlSymbol(char symbol);
    void textByte(unsigned char byte);
    void character(QChar c);
    bool endGroup();

    void endParagraph();
    void endCell();
    void endRow();
    void closeTable();
    void finish();
    void finishPicture();
    Paragraph takeParagraph();
    // An empty paragraph in the plain formats, where the document has none
    // of its own to place (around a table, in a missing cell).
    static Paragraph plainParagraph() { return Paragraph{}; }

    QTextCharFormat charFormat(const CharState& state, const QString& defaultFamily) const;
    static QTextBlockFormat blockFormat(const ParaState& state);
    void insertParagraph(QTextCursor& cursor, const Paragraph& paragraph, const QString& defaultFamily) const;
    void insertTable(QTextCursor& cursor, const Table& table, const QString& defaultFamily) const;

    QByteArrayView m_data;
    qsizetype m_pos = 0;
    QList<Group> m_groups;
    int m_skip = 0;         // bytes still to pass over after a \uN
    bool m_starred = false; // the last control was \*

    CodePage m_ansi = CodePage::Windows1252;
    int m_defaultFont = -1;
    QMap<int, Font> m_fonts;
    int m_currentFont = -1; // entry being read in the font table
    QList<QColor> m_colors;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorSet = false;

    // The picture being read.
    int m_pictureDepth = -1;
    PictureKind m_pictureKind = PictureKind::Unknown;
    QByteArray m_pictureData;
    int m_nibble = -1;
    int m_goalWidth = 0, m_goalHeight = 0, m_scaleX = 100, m_scaleY = 100;

    QList<Run> m_runs;                 // the paragraph being read
    QList<Paragraph> m_cellParagraphs; // the cell being read
    QList<Cell> m_rowCells;            // the row being read
    QList<int> m_rowEdges;             // the row definition in force
    int m_rowLeft = 0, m_rowGap = 0;
    bool m_rowBordered = false;
    bool m_borderOfCell = false; // border words now describe a cell's border
    Table m_table;               // the table being read
    QList<Part> m_parts;
    QList<Picture> m_pictures;
};

// A control word from its first letter on: its letters, an optional signed
// number, and the space that may end it.
Reader::ControlWord Reader::readControlWord()
{
    const qsizetype start = m_pos;
    while (m_pos < m_data.size() && std::isalpha(uchar(m_data[m_pos])))
        ++m_pos;
    const Word word = WordOf(m_data.sliced(start, m_pos - start).toByteArray());
    bool negative = false;
    if (m_pos < m_data.size() && m_data[m_pos] == '-') {
        negative = true;
        ++m_pos;
    }
    qint64 value = 0;
    bool hasParam = false;
    while (m_pos < m_data.size() && std::isdigit(uchar(m_data[m_pos]))) {
        value = qMin<qint64>(value * 10 + (m_data[m_pos] - '0'), qint64(1) << 32);
        hasParam = true;
        ++m_pos;
    }
    if (m_pos < m_data.size() && m_data[m_pos] == ' ')
        ++m_pos;
    return {word, hasParam, int(qBound(qint64(INT_MIN), negative ? -value : value, qint64(INT_MAX)))};
}

std::optional<QString> Reader::parse()
{
    while (m_pos < m_data.size() && QChar::isSpace(uchar(m_data[m_pos])))
        ++m_pos;
    if (!m_data.sliced(m_pos).startsWith("{\\rtf"))
        return QStringLiteral("Ce fichier n'est pas un document RTF.");
    while (m_pos < m_data.size()) {
        const char c = m_data[m_pos];
        if (c == '{') {
            ++m_pos;
            m_skip = 0;
            if (m_groups.size() >= MaxDepth)
                return QStringLiteral("Le document RTF est mal formé : trop de groupes imbriqués.");
            Group inner = m_groups.isEmpty() ? Group{} : m_groups.back();
            m_groups.append(std::move(inner));
        } else if (c == '}') {
            ++m_pos;
            m_skip = 0;
            if (endGroup())
                return std::nullopt; // whatever follows the document is not part of it
        } else if (c == '\\') {
            ++m_pos;
            if (m_pos >= m_data.size())
                return IncompleteDocument();
            const char next = m_data[m_pos];
            if (std::isalpha(uchar(next))) {
                const auto [word, hasParam, param] = readControlWord();
                if (word == Word::Bin) {
                    // Raw bytes follow: a picture's data, or bytes to pass over.
                    if (param < 0)
                        return QStringLiteral("Le document RTF est mal formé : une longueur de données est négative.");
                    if (param > m_data.size() - m_pos)
                        return IncompleteDocument();
                    if (top().dest == Dest::Picture)
                        m_pictureData.append(m_data.sliced(m_pos, param));
                    m_pos += param;
                    continue;
                }
                if (m_skip > 0) {
                    --m_skip;
                    continue;
                }
                controlWord(word, hasParam, param);
            } else if (next == '\'') {
                if (m_pos + 3 > m_data.size())
                    return IncompleteDocument();
                const int high = HexDigit(uchar(m_data[m_pos + 1]));
                const int low = HexDigit(uchar(m_data[m_pos + 2]));
                m_pos += 3;
                if (m_skip > 0)
                    --m_skip;
                else if (high >= 0 && low >= 0)
                    textByte(uchar(high * 16 + low));
            } else {
                ++m_pos;
                if (m_skip > 0)
                    --m_skip;
                else
                    controlSymbol(next);
            }
        } else {
            ++m_pos;
            if (c == '\r' || c == '\n')
                continue;
            if (m_skip > 0)
                --m_skip;
            else
                textByte(uchar(c));
        }
    }
    return IncompleteDocument();
}

CodePage Reader::codePageOfCharset(int charset) const
{
    switch (charset) {
    case 0:
        return CodePage::Windows1252;
    case 178:
        return CodePage::Windows1256;
    default:
        return m_ansi;
    }
}

CodePage Reader::codePage() const
{
    const Group& g = m_groups.back();
    if (g.dest == Dest::FontTable)
        return codePageOfCharset(m_fonts.value(m_currentFont).charset);
    const int font = g.chars.font >= 0 ? g.chars.font : m_defaultFont;
    return codePageOfCharset(m_fonts.value(font).charset);
}

void Reader::controlWord(Word word, bool hasParam, int param)
{
    Group& g = top();
    const bool starred = m_starred;
    m_starred = false;
    if (g.dest == Dest::Skip)
        return;
    if (starred && word != Word::ShpPict) {
        // A destination the reader may ignore, and does.
        g.dest = Dest::Skip;
        return;
    }
    switch (word) {
    case Word::SkipDest:
        g.dest = Dest::Skip;
        return;
    case Word::Uc:
        g.uc = qBound(0, param, 16);
        return;
    default:
        break;
    }
    switch (g.dest) {
    case Dest::FontTable:
        if (word == Word::F) {
            m_currentFont = param;
            m_fonts[param] = Font{};
        } else if (word == Word::Fcharset && m_fonts.contains(m_currentFont)) {
            m_fonts[m_currentFont].charset = param;
        } else if (word == Word::U) {
            character(QChar(char16_t(param)));
            m_skip = g.uc;
        }
        return;
    case Dest::ColorTable:
        if (word == Word::Red || word == Word::Green || word == Word::Blue) {
            const int v = qBound(0, param, 255);
            (word == Word::Red ? m_red : word == Word::Green ? m_green : m_blue) = v;
            m_colorSet = true;
        }
        return;
    case Dest::Picture:
        switch (word) {
        case Word::PngBlip:
            m_pictureKind = PictureKind::Png;
            break;
        case Word::JpegBlip:
            m_pictureKind = PictureKind::Jpeg;
            break;
        case Word::OtherBlip:
            m_pictureKind = PictureKind::Unknown;
            break;
        case Word::PicWGoal:
            m_goalWidth = param;
            break;
        case Word::PicHGoal:
            m_goalHeight = param;
            break;
        case Word::PicScaleX:
            m_scaleX = param;
            break;
        case Word::PicScaleY:
            m_scaleY = param;
            break;
        default:
            break;
        }
        return;
    case Dest::Skip:
        return;
    case Dest::Text:
        textWord(word, hasParam, param);
        return;
    }
}

void Reader::textWord(Word word, bool hasParam, int param)
{
    for (const auto& c : CharacterWords) {
        if (c.word == word) {
            character(QChar(c.character));
            return;
        }
    }
    Group& g = top();
    CharState& ch = g.chars;
    ParaState& pa = g.para;
    const bool on = !hasParam || param != 0;
    switch (word) {
    case Word::Ansicpg:
        m_ansi = param == 1256 ? CodePage::Windows1256 : CodePage::Windows1252;
        break;
    case Word::Deff:
        m_defaultFont = param;
        break;
    case Word::U:
        character(QChar(char16_t(param)));
        m_skip = g.uc;
        break;
    case Word::FontTable:
        g.dest = Dest::FontTable;
        m_currentFont = -1;
        break;
    case Word::ColorTable:
        g.dest = Dest::ColorTable;
        m_colorSet = false;
        break;
    case Word::Pict:
        g.dest = Dest::Picture;
        m_pictureDepth = int(m_groups.size());
        m_pictureKind = PictureKind::Unknown;
        m_pictureData.clear();
        m_nibble = -1;
        m_goalWidth = m_goalHeight = 0;
        m_scaleX = m_scaleY = 100;
        break;
    case Word::Par:
    case Word::NestCell:
        endParagraph();
        break;
    case Word::Plain:
        ch = CharState{};
        break;
    case Word::F:
        ch.font = param;
        break;
    case Word::Fs:
        if (param > 0)
            ch.halfPoints = qMin(param, 3276);
        break;
    case Word::B:
        ch.bold = on;
        break;
    case Word::I:
        ch.italic = on;
        break;
    case Word::Ul:
        ch.underline = on;
        break;
    case Word::UlNone:
        ch.underline = false;
        break;
    case Word::Strike:
        ch.strike = on;
        break;
    case Word::Cf:
        ch.color = param;
        break;
    case Word::Highlight:
        ch.highlight = param;
        break;
    case Word::Super:
        ch.vertical = on ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignNormal;
        break;
    case Word::Sub:
        ch.vertical = on ? QTextCharFormat::AlignSubScript : QTextCharFormat::AlignNormal;
        break;
    case Word::NoSuperSub:
        ch.vertical = QTextCharFormat::AlignNormal;
        break;
    case Word::Pard:
        pa = ParaState{};
        break;
    case Word::Ql:
        pa.align = Align::Left;
        break;
    case Word::Qr:
        pa.align = Align::Right;
        break;
    case Word::Qc:
        pa.align = Align::Center;
        break;
    case Word::Qj:
        pa.align = Align::Justify;
        break;
    case Word::Li:
        pa.left = param;
        break;
    case Word::Ri:
        pa.right = param;
        break;
    case Word::Fi:
        pa.first = param;
        break;
    case Word::Sb:
        pa.before = param;
        break;
    case Word::Sa:
        pa.after = param;
        break;
    case Word::Sl:
        pa.lineSpacing = param;
        break;
    case Word::SlMult:
        pa.lineMultiple = on;
        break;
    case Word::Tqr:
        pa.nextTab = QTextOption::RightTab;
        break;
    case Word::Tqc:
        pa.nextTab = QTextOption::CenterTab;
        break;
    case Word::Tx:
        pa.tabs.append(TabStop{param, pa.nextTab});
        pa.nextTab = QTextOption::LeftTab;
        break;
    case Word::RtlPar:
        pa.rtl = true;
        break;
    case Word::LtrPar:
        pa.rtl = false;
        break;
    case Word::Intbl:
        pa.inTable = true;
        break;
    case Word::Cell:
        endCell();
        break;
    case Word::Row:
        // Text between the last \cell and \row is a cell of its own.
        if (!m_runs.isEmpty())
            endCell();
        endRow();
        break;
    case Word::Trowd:
        m_rowEdges.clear();
        m_rowLeft = m_rowGap = 0;
        m_rowBordered = m_borderOfCell = false;
        break;
    case Word::Cellx:
        m_rowEdges.append(param);
        m_borderOfCell = false;
        break;
    case Word::Trgaph:
        m_rowGap = qMax(0, param);
        break;
    case Word::Trleft:
        m_rowLeft = param;
        break;
    case Word::CellBorder:
        m_borderOfCell = true;
        break;
    case Word::ParaBorder:
        m_borderOfCell = false;
        break;
    case Word::BorderStyle:
        if (m_borderOfCell)
            m_rowBordered = true;
        break;
    default:
        break;
    }
}

void Reader::controlSymbol(char symbol)
{
    m_starred = false;
    switch (symbol) {
    case '*':
        m_starred = true;
        return;
    case '\\':
    case '{':
    case '}':
        textByte(uchar(symbol));
        return;
    default:
        break;
    }
    if (top().dest != Dest::Text)
        return;
    switch (symbol) {
    case '~':
        character(QChar::Nbsp);
        break;
    case '-':
        character(QChar::SoftHyphen);
        break;
    case '_':
        character(QChar(0x2011));
        break;
    case '\r':
    case '\n':
        endParagraph();
        break;
    default:
        break;
    }
}

void Reader::textByte(unsigned char byte)
{
    m_starred = false;
    Group& g = top();
    switch (g.dest) {
    case Dest::Skip:
        return;
    case Dest::ColorTable:
        if (byte == ';') {
            m_colors.append(m_colorSet ? QColor(m_red, m_green, m_blue) : QColor());
            m_red = m_green = m_blue = 0;
            m_colorSet = false;
        }
        return;
    case Dest::Picture: {
        const int digit = HexDigit(byte);
        if (digit < 0)
            return;
        if (m_nibble < 0) {
            m_nibble = digit;
        } else {
            m_pictureData.append(char(m_nibble * 16 + digit));
            m_nibble = -1;
        }
        return;
    }
    case Dest::FontTable:
        if (byte == ';') {
            if (m_fonts.contains(m_currentFont))
                m_fonts[m_currentFont].named = true;
            return;
        }
        break;
    case Dest::Text:
        if (byte < 0x20 && byte != '\t')
            return;
        break;
    }
    character(QChar(HighCharacter(codePage(), byte)));
}

void Reader::character(QChar c)
{
    Group& g = top();
    if (g.dest == Dest::FontTable) {
        auto font = m_fonts.find(m_currentFont);
        if (font != m_fonts.end() && !font->named)
            font->name.append(c);
        return;
    }
    if (g.dest != Dest::Text)
        return;
    if (!m_runs.isEmpty() && m_runs.back().picture < 0 && m_runs.back().chars == g.chars)
        m_runs.back().text.append(c);
    else
        m_runs.append(Run{QString(c), g.chars, -1});
}

// Closes the group on top; true when it was the document's own.
bool Reader::endGroup()
{
    m_starred = false;
    if (m_groups.size() == m_pictureDepth) {
        finishPicture();
        m_pictureDepth = -1;
    }
    if (m_groups.size() == 1)
        finish();
    m_groups.removeLast();
    return m_groups.isEmpty();
}

void Reader::finishPicture()
{
    // Pictures other than PNG and JPEG are not shown. A picture is placed in
    // the text of the group around its \pict group.
    if (m_pictureKind == PictureKind::Unknown || m_pictureData.isEmpty() || m_groups.size() < 2)
        return;
    const Group& around = m_groups.at(m_groups.size() - 2);
    if (around.dest != Dest::Text)
        return;
    QSize natural;
    if (m_goalWidth <= 0 || m_goalHeight <= 0) {
        QBuffer buffer(&m_pictureData);
        natural = QImageReader(&buffer).size();
    }
    const double width = m_goalWidth > 0 ? PixelsFromTwips(m_goalWidth) : natural.width();
    const double height = m_goalHeight > 0 ? PixelsFromTwips(m_goalHeight) : natural.height();
    m_pictures.append(Picture{m_pictureData, qMax(0.0, width * m_scaleX / 100.0),
                              qMax(0.0, height * m_scaleY / 100.0)});
    m_pictureData.clear();
    m_runs.append(Run{QString(QChar::ObjectReplacementCharacter), around.chars, int(m_pictures.size() - 1)});
}

Paragraph Reader::takeParagraph()
{
    Paragraph p{top().para, top().chars, m_runs};
    m_runs.clear();
    return p;
}

void Reader::endParagraph()
{
    Paragraph p = takeParagraph();
    if (p.para.inTable) {
        m_cellParagraphs.append(p);
        return;
    }
    closeTable();
    m_parts.append(p);
}

void Reader::endCell()
{
    m_cellParagraphs.append(takeParagraph());
    m_rowCells.append(m_cellParagraphs);
    m_cellParagraphs.clear();
}

void Reader::endRow()
{
    if (!m_cellParagraphs.isEmpty()) {
        m_rowCells.append(m_cellParagraphs);
        m_cellParagraphs.clear();
    }
    if (m_rowCells.isEmpty())
        return;
    m_table.rows.append(Row{m_rowCells, m_rowEdges, m_rowLeft, m_rowGap, m_rowBordered});
    m_rowCells.clear();
}

void Reader::closeTable()
{
    endRow();
    if (m_table.rows.isEmpty())
        return;
    m_parts.append(m_table);
    m_table = Table{};
}

// The end of the document: its last paragraph, when it has text of its own
// after the last \par, and the paragraphs a QTextDocument has around tables.
void Reader::finish()
{
    if (!m_runs.isEmpty() && top().para.inTable)
        endCell();
    closeTable();
    if (!m_runs.isEmpty())
        m_parts.append(takeParagraph());
    if (m_parts.isEmpty() || std::holds_alternative<Table>(m_parts.back()))
        m_parts.append(plainParagraph());
    if (std::holds_alternative<Table>(m_parts.front()))
        m_parts.prepend(plainParagraph());
}

QTextCharFormat Reader::charFormat(const CharState& state, const QString& defaultFamily) const
{
    QTextCharFormat f;
    QString family = m_fonts.value(state.font).name.trimmed();
    if (family.isEmpty())
        family = m_fonts.value(m_defaultFont).name.trimmed();
    if (family.isEmpty())
        family = defaultFamily;
    f.setFontFamilies({family});
    f.setFontPointSize(state.halfPoints / 2.0);
    if (state.bold)
        f.setFontWeight(QFont::Bold);
    if (state.italic)
        f.setFontItalic(true);
    if (state.underline)
        f.setFontUnderline(true);
    if (state.strike)
        f.setFontStrikeOut(true);
    if (state.color > 0 && m_colors.value(state.color).isValid())
        f.setForeground(m_colors.value(state.color));
    if (state.highlight > 0 && m_colors.value(state.highlight).isValid())
        f.setBackground(m_colors.value(state.highlight));
    if (state.vertical != QTextCharFormat::AlignNormal)
        f.setVerticalAlignment(state.vertical);
    return f;
}

QTextBlockFormat Reader::blockFormat(const ParaState& state)
{
    QTextBlockFormat f;
    if (state.rtl)
        f.setLayoutDirection(Qt::RightToLeft);
    // RTF's left and right are the page's, also in a right-to-left paragraph.
    const Qt::Alignment absolute = state.rtl ? Qt::AlignAbsolute : Qt::Alignment();
    switch (state.align) {
    case Align::None:
        break;
    case Align::Left:
        f.setAlignment(Qt::AlignLeft | absolute);
        break;
    case Align::Right:
        f.setAlignment(Qt::AlignRight | absolute);
        break;
    case Align::Center:
        f.setAlignment(Qt::AlignHCenter);
        break;
    case Align::Justify:
        f.setAlignment(Qt::AlignJustify);
        break;
    }
    if (state.left != 0)
        f.setLeftMargin(PixelsFromTwips(state.left));
    if (state.right != 0)
        f.setRightMargin(PixelsFromTwips(state.right));
    if (state.first != 0)
        f.setTextIndent(PixelsFromTwips(state.first));
    if (state.before != 0)
        f.setTopMargin(PixelsFromTwips(state.before));
    if (state.after != 0)
        f.setBottomMargin(PixelsFromTwips(state.after));
    if (state.lineSpacing < 0)
        f.setLineHeight(PixelsFromTwips(-state.lineSpacing), QTextBlockFormat::FixedHeight);
    else if (state.lineSpacing > 0 && state.lineMultiple)
        f.setLineHeight(state.lineSpacing * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
    else if (state.lineSpacing > 0)
        f.setLineHeight(PixelsFromTwips(state.lineSpacing), QTextBlockFormat::MinimumHeight);
    if (!state.tabs.isEmpty()) {
        QList<QTextOption::Tab> tabs;
        for (const TabStop& t : state.tabs)
            tabs.append(QTextOption::Tab(PixelsFromTwips(t.position), t.type));
        f.setTabPositions(tabs);
    }
    return f;
}

QString PictureName(int index)
{
    return QStringLiteral("rtf-picture-%1").arg(index + 1);
}

void Reader::insertParagraph(QTextCursor& cursor, const Paragraph& paragraph, const QString& defaultFamily) const
{
    cursor.setBlockFormat(blockFormat(paragraph.para));
    cursor.setBlockCharFormat(charFormat(paragraph.mark, defaultFamily));
    for (const Run& run : paragraph.runs) {
        if (run.picture >= 0) {
            const Picture& p = m_pictures.at(run.picture);
            QTextImageFormat image;
            image.setName(PictureName(run.picture));
            image.setWidth(p.width);
            image.setHeight(p.height);
            cursor.insertImage(image);
        } else {
            cursor.insertText(run.text, charFormat(run.chars, defaultFamily));
        }
    }
}

void Reader::insertTable(QTextCursor& cursor, const Table& table, const QString& defaultFamily) const
{
    int columns = 0;
    const Row* widest = nullptr;
    bool bordered = false;
    for (const Row& row : table.rows) {
        if (row.cells.size() > columns) {
            columns = int(row.cells.size());
            widest = &row;
        }
        bordered = bordered || row.bordered;
    }
    QTextTableFormat format;
    format.setBorder(bordered ? 1 : 0);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderBrush(QBrush(Qt::black));
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(PixelsFromTwips(widest->gap));
    QList<QTextLength> widths;
    int left = widest->left;
    for (int c = 0; c < columns; ++c) {
        int width = DefaultTableWidth / columns;
        if (c < widest->edges.size()) {
            width = qMax(0, widest->edges.at(c) - left);
            left = widest->edges.at(c);
        }
        widths.append(QTextLength(QTextLength::FixedLength, PixelsFromTwips(width)));
    }
    format.setColumnWidthConstraints(widths);

    QTextTable* t = cursor.insertTable(int(table.rows.size()), columns, format);
    for (int r = 0; r < table.rows.size(); ++r) {
        const Row& row = table.rows.at(r);
        for (int c = 0; c < columns; ++c) {
            QTextCursor in = t->cellAt(r, c).firstCursorPosition();
            const Cell cell = c < row.cells.size() ? row.cells.at(c) : Cell{plainParagraph()};
            for (int p = 0; p < cell.size(); ++p) {
                if (p > 0)
                    in.insertBlock();
                insertParagraph(in, cell.at(p), defaultFamily);
            }
        }
    }
    cursor.movePosition(QTextCursor::End);
}

void Reader::build(QTextDocument& document) const
{
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    for (int i = 0; i < m_pictures.size(); ++i)
        document.addResource(QTextDocument::ImageResource, QUrl(PictureName(i)), m_pictures.at(i).data);
    const QString defaultFamily = document.defaultFont().family();
    QTextCursor cursor(&document);
    bool fresh = true; // the cursor's block holds no paragraph yet
    for (const Part& part : m_parts) {
        if (const auto* table = std::get_if<Table>(&part)) {
            insertTable(cursor, *table, defaultFamily);
            fresh = true;
            continue;
        }
        if (!fresh)
            cursor.insertBlock();
        insertParagraph(cursor, std::get<Paragraph>(part), defaultFamily);
        fresh = false;
    }
    document.setUndoRedoEnabled(undo);
    document.setModified(false);
}

} // namespace

std::optional<QString> Read(QByteArrayView data, QTextDocument& document)
{
    Reader reader(data);
    if (auto error = reader.parse())
        return error;
    reader.build(document);
    return std::nullopt;
}

} // namespace rtf
