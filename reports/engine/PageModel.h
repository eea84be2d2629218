#pragma once
// The page setup of a report and the pages a run of the report prepares.
//
// Every position is in report pixels: 96 per inch (1 mm = 96 / 25.4 px),
// measured from the top-left corner of the paper, whatever the screen or the
// printer. A prepared page is a list of positioned items (texts already broken
// into their printed lines, lines, rectangles, ellipses, rounded rectangles,
// images, rich texts), each naming the control that printed it, and the list
// of the bands placed on it. The preview, the printer and PDF files all paint
// that model (PagePainter.h); tests read it.

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPageLayout>
#include <QPen>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QTextDocument;

namespace rpt {

constexpr double PxPerMm = 96.0 / 25.4;
inline double MmToPx(double mm) { return mm * PxPerMm; }
inline double PxToMm(double px) { return px / PxPerMm; }

enum class Paper { A4, A3, Letter, Custom };

// Page margins in millimetres.
struct Margins {
    double top = 0;
    double bottom = 0;
    double left = 0;
    double right = 0;
};

// Paper, orientation, size and margins in millimetres; detail bands may run
// in several columns.
struct PageSetup {
    Paper paper = Paper::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    double length = 297;   // from the top of the page to its bottom, as printed
    double width = 210;    // from its left edge to its right edge, as printed
    Margins margins;
    int columns = 1;
    double columnSpace = 0; // between two columns

    // A standard paper; its length and width follow the orientation.
    static PageSetup Standard(Paper paper, QPageLayout::Orientation orientation, const Margins& margins);
    // A custom paper of the given length and width.
    static PageSetup Custom(double length, double width, QPageLayout::Orientation orientation,
                            const Margins& margins);

    // Changes the paper (A4, A3 or Letter) keeping the orientation.
    void setPaper(Paper value);
    void setOrientation(QPageLayout::Orientation value);

    QSizeF sizePx() const { return QSizeF(MmToPx(width), MmToPx(length)); }
    // The width between the left and the right margins, what the bands fill.
    double printableWidth() const { return width - margins.left - margins.right; }
    // The whole paper for a printer or a PDF file; the report prints its own margins.
    QPageLayout pageLayout() const;
};

// Painted things.
enum class ItemKind : quint8 { Text, Line, Rect, Ellipse, RoundRect, Image, RichText };

// What only a few items carry.
struct ItemExtra {
    QImage image;                           // Image
    bool stretch = true;                    // Image: fills the rectangle, else natural size
    bool center = false;                    // Image at natural size: centred
    QSizeF ellipse;                         // RoundRect: the corner ellipse
    std::shared_ptr<QTextDocument> document; // RichText, laid out at the item's width
    double documentTop = 0;                 // RichText: the part of the document from there is shown
    bool documentPart = false;              // RichText: only the item's height of it, clipped
};

struct PageItem {
    enum Option : quint8 { ClipToRect = 1 };

    // Moved, never copied, when a page's list of items grows (QFont and
    // QBrush declare no move of their own).
    PageItem() = default;
    PageItem(const PageItem&) = default;
    PageItem(PageItem&&) noexcept = default;
    PageItem& operator=(const PageItem&) = default;
    PageItem& operator=(PageItem&&) noexcept = default;

    ItemKind kind = ItemKind::Text;
    quint8 options = 0;
    qint16 clip = -1;        // index into Page::clips: the band was clipped at the page end
    int align = 0;           // texts: horizontal Qt::Alignment
    float angle = 0;         // texts: degrees, counter-clockwise
    float lineHeight = 0;    // texts: pitch of the lines
    QRectF rect;             // lines: from rect.topLeft() to rect.bottomRight()
    QString text;            // texts: the printed lines, separated by "\n"; rich texts: their plain text
    QString control;         // name of the control that printed the item (empty for band frames)
    QFont font;
    QColor color;            // text colour
    QPen pen;                // lines and outlines (Qt::NoPen: none)
    QBrush brush;            // fills (Qt::NoBrush: none)
    std::shared_ptr<const ItemExtra> extra;
};

enum class BandKind : quint8 {
    Title, PageHeader, ColumnHeader, Detail, GroupHeader, GroupFooter, Child, Summary, PageFooter
};

// A band as placed on a page.
struct BandBox {
    QString name;
    BandKind kind = BandKind::Detail;
    QRectF rect;
    bool clipped = false;    // taller than the room left: cut at the page's printable end
};

struct Page {
    QSizeF size;             // the paper, in report pixels
    std::vector<PageItem> items;
    std::vector<BandBox> bands;
    std::vector<QRectF> clips;

    // Every text of the page in printing order (lines of one item joined by "\n").
    QStringList texts() const;
    // The texts printed by one control (name compared without case).
    QStringList textsOf(const QString& control) const;
    // The n-th item printed by one control; nullptr when there is none.
    const PageItem* item(const QString& control, int n = 0) const;
    // The names of the bands placed on the page, in order.
    QStringList bandNames() const;
    int bandCount(const QString& name) const;
};

// The pages of one run of a report.
class PreparedPages {
public:
    QString title;           // the report's title (the preview's caption)
    PageSetup setup;
    std::vector<Page> pages;
    QStringList warnings;    // messages raised while the pages were prepared, each once
    QString refusal;         // why the document printed nothing (Report::refuse); empty when it printed

    int count() const { return int(pages.size()); }
    bool isEmpty() const { return pages.empty(); }
    const Page& page(int index) const { return pages.at(size_t(index)); }   // 0-based
    // Every text of every page, page after page.
    QStringList texts() const;
};

} // namespace rpt
