#pragma once
// The banded report engine: a report is a page setup, bands of controls and a
// source of rows; a run walks the rows and lays the bands out into prepared
// pages (PageModel.h), which the preview, the printer and PDF files paint
// (PagePainter.h). The engine knows nothing of the business.
//
// How a document is defined
// -------------------------
// A document builds its design once, in its constructor, without touching the
// database: the report's name (the one stored layouts are filed under) and
// title, the page setup, then its bands and, in each band, its controls, each
// with a name and a rectangle in report pixels (96 per inch) relative to the
// band. An editor can thus list any document's bands and controls by name by
// creating it. Everything that depends on data happens in events:
//   - report.onBeforePrint: once per run, before anything is laid out; binds
//     and opens the queries, may change the page setup;
//   - band.onBeforePrint(band, print): before each printing of the band; sets
//     texts, moves, resizes, shows or hides controls (found by name), changes
//     the band's height, or sets `print` to false to leave the band out;
//   - band.onAfterPrint(band, printed), report.onAfterPrint (closes queries);
//   - report.onNeedData: for a report without rows, whether another record
//     follows (the detail band prints once per true).
// The rows come from report.setDataSet(query) or report.setRows(source); a
// report with neither and no need-data event prints its detail band once.
// Messages raised while pages are prepared go through report.warn(): the
// report frame shows each of them once, after the preparation.
//
//   rpt::Report report(QStringLiteral("RptListe"));
//   report.setTitle(QStringLiteral("Liste des lignes"));
//   report.setPage(rpt::PageSetup::Standard(rpt::Paper::A4, QPageLayout::Portrait, {10, 10, 8, 5}));
//   rpt::Band* header = report.addBand(rpt::BandKind::PageHeader, "bdEntete", 40);
//   header->addLabel("lTitre", {0, 0, 400, 20}, "Liste des lignes")->setBold(true);
//   rpt::Band* detail = report.addBand(rpt::BandKind::Detail, "bdDetail", 18);
//   detail->addDataText("dbChap", {0, 0, 60, 16}, "CHAP");
//   detail->addLabel("lImp", {70, 0, 200, 16});
//   detail->addDataText("dbMontant", {280, 0, 100, 16}, "MONTANT", rpt::MoneyMask)
//         ->setAlignment(Qt::AlignRight);
//   rpt::Band* summary = report.addBand(rpt::BandKind::Summary, "bdTotal", 20);
//   summary->addSum("expTotal", {280, 2, 100, 16}, "MONTANT", rpt::Reset::Report);
//   detail->onBeforePrint = [&](rpt::Band&, bool& print) {
//       print = !query.asString("ART").trimmed().isEmpty();
//       report.label("lImp")->setCaption(query.asString("CHAP") + "-" + query.asString("ART"));
//   };
//   report.setDataSet(&query);
//   std::unique_ptr<rpt::PreparedPages> pages = report.prepare();
//
// Rules of the layout: the page header prints at the top of every page (of
// the first one only when firstPageHeader is set), the title once on the
// first page below it, the column header on every page; the page footer sits
// at the bottom of every page (of the last one only when lastPageFooter is
// set). Group headers print when their key changes, their footers when the
// group ends; a child band prints right after its parent when the parent
// printed. A band that does not fit in the room left moves to the next column
// or page; a band taller than a whole page prints once, cut at the page's
// printable end, on a page of its own. SUM and COUNT add each printed detail
// record once, on the page where it prints, and start again at each run.
//
// A document that cannot hold what it must print (its form has fewer rows
// than the amounts it carries) refuses the run from its events
// (report.refuse): nothing prints and the user is told why, so a printed
// total never stands under rows that leave some of it out.

#include "reports/engine/PageModel.h"
#include "reports/engine/RowSource.h"
#include "reports/engine/TextMetrics.h"

#include "controls/RoundRectShape.h"
#include "core/Currency.h"
#include "db/Database.h"

#include <QDateTime>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <QVariant>

#include <QByteArrayView>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QTextDocument;

namespace rpt {

class Band;
class Report;
class Run;

// The display mask of amounts.
inline const QString MoneyMask = QStringLiteral("### ### ### ##0.00");

// A value as printed through a display mask: numeric masks ("### ### ##0.00",
// "0.00") give the value rounded to the mask's decimals with a space between
// thousands when the mask groups its digits; other masks format dates
// ("dd/MM/yyyy"); no mask gives the plain text (dates "dd/MM/yyyy"). NULL
// prints nothing.
QString FormatValue(const db::Value& value, const QString& mask);
QString FormatAmount(Currency amount, const QString& mask);

// Lines drawn on the sides of a control or a band.
struct Frame {
    bool top = false;
    bool bottom = false;
    bool left = false;
    bool right = false;
    QColor color = Qt::black;
    double width = 1;
    void setAll(bool on) { top = bottom = left = right = on; }
    bool any() const { return top || bottom || left || right; }
};

// Where controls are drawn while a band is laid out.
struct RenderContext {
    Page* page = nullptr;
    const Report* report = nullptr;
    qint16 clip = -1;
    double growth = 0;     // how much the band grew beyond its height
    void add(PageItem&& item);
};

// The lines of a frame around `at`, as items of `control` (empty for a band).
void AddFrameLines(RenderContext& context, const Frame& frame, const QRectF& at, const QString& control);

enum class ControlKind { Label, DataText, Expr, SysData, Shape, RoundRect, Image, RichText };

// A printable control: a name and a rectangle in report pixels within its
// band. A disabled control prints nothing.
class Control {
public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    ControlKind kind() const { return m_kind; }
    const QString& name() const { return m_name; }
    Band& band() const { return *m_band; }

    int left() const { return m_rect.left(); }
    int top() const { return m_rect.top(); }
    int width() const { return m_rect.width(); }
    int height() const { return m_rect.height(); }
    const QRect& rect() const { return m_rect; }
    void setLeft(int value) { m_rect.moveLeft(value); }
    void setTop(int value) { m_rect.moveTop(value); }
    void setWidth(int value) { m_rect.setWidth(value); }
    void setHeight(int value) { m_rect.setHeight(value); }
    void setRect(const QRect& rect) { m_rect = rect; }
    int bottom() const { return m_rect.top() + m_rect.height(); }

    bool enabled() const { return m_enabled; }
    void setEnabled(bool value) { m_enabled = value; }

    // Background (an invalid colour: transparent) and frame lines.
    const QColor& color() const { return m_color; }
    void setColor(const QColor& color) { m_color = color; }
    Frame& frame() { return m_frame; }
    const Frame& frame() const { return m_frame; }

    // Whether the control may grow its band (stretching texts), and the
    // height it needs when it prints now; the band keeps the room its design
    // leaves below the control.
    virtual bool stretches() const { return false; }
    virtual double neededHeight(const RenderContext& context) const;
    // Adds the control's items to the page; `at` is its rectangle on the page.
    virtual void render(RenderContext& context, const QRectF& at) const = 0;

protected:
    Control(ControlKind kind, Band& band, const QString& name, const QRect& rect);
    void renderFill(RenderContext& context, const QRectF& at) const;
    void renderFrame(RenderContext& context, const QRectF& at) const;

private:
    ControlKind m_kind;
    Band* m_band;
    QString m_name;
    QRect m_rect;
    bool m_enabled = true;
    QColor m_color;
    Frame m_frame;
};

// A text: fixed caption, alignment, automatic size or fixed size with word
// wrap (the height may stretch to the wrapped text), font, rotation.
class Label : public Control {
public:
    Label(Band& band, const QString& name, const QRect& rect, const QString& caption);

    const QString& caption() const { return m_caption; }
    void setCaption(const QString& caption) { m_caption = caption; }

    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment) { m_alignment = alignment & Qt::AlignHorizontal_Mask; }
    // The width (and height) follow the text; a right-aligned label keeps its
    // right edge, a centred one its centre.
    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool value) { m_autoSize = value; }
    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool value) { m_wordWrap = value; }
    // The height grows to the wrapped text, and the band with it.
    bool autoStretch() const { return m_autoStretch; }
    void setAutoStretch(bool value) { m_autoStretch = value; }

    const QFont& font() const { return m_font; }
    void setFont(const QFont& font);
    void setBold(bool bold);
    void setItalic(bool italic);
    void setUnderline(bool underline);
    void setFontSize(double points);
    const QColor& fontColor() const { return m_fontColor; }
    void setFontColor(const QColor& color) { m_fontColor = color; }

    // Rotation in degrees, counter-clockwise (90: read from bottom to top).
    double angle() const { return m_angle; }
    void setAngle(double degrees) { m_angle = degrees; }

    // What the label prints now.
    virtual QString text(const RenderContext* context = nullptr) const;

    // The height of this label's caption wrapped to its width, in its font
    // (the label-fitting measure), rounded up.
    int wrappedTextHeight() const;
    // What the label prints now broken into its lines (wrapped when it
    // wraps), the height they take, and whether they fit its box: no line
    // wider than the label and, unless the label stretches, the lines
    // together no taller than it.
    QStringList lines() const;
    double textHeight() const;
    bool fits() const;
    // Whether `text` would fit the label as it is now.
    bool fits(const QString& text) const;
    // Whether every line of what the label prints now is within its width.
    bool fitsAcross() const;
    // Makes the font smaller by half points, down to `minimumPoints`, while
    // the text does not fit the label (a line wider than it, or the lines
    // together taller); a text that fits keeps its font. What still does not
    // fit at the floor ends with the ellipsis when it prints.
    void shrinkToFit(double minimumPoints);

    bool stretches() const override { return m_autoStretch; }
    double neededHeight(const RenderContext& context) const override;
    void render(RenderContext& context, const QRectF& at) const override;

protected:
    Label(ControlKind kind, Band& band, const QString& name, const QRect& rect, const QString& caption);
    const FontMetrics& metrics() const;

private:
    void changeFont(const std::function<void(QFont&)>& change);

    QString m_caption;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    bool m_autoSize = false;
    bool m_wordWrap = false;
    bool m_autoStretch = false;
    QFont m_font;
    QColor m_fontColor = Qt::black;
    double m_angle = 0;
    mutable const FontMetrics* m_metrics = nullptr;
};

// How texts fit their boxes. Whatever the document does, a label never
// prints outside its box: a text wraps when the label wraps, and what the box
// still cannot hold is left out at a letter, the ellipsis ending what is
// shown (Label::render). The documents make room first, shrinking a text
// (Label::shrinkToFit), the texts of a table together (ShrinkTogether), or
// placing a table's rows so that each takes the lines it needs (StackRows),
// never below MinFontPoints.

// The smallest size a document's text shrinks to.
inline constexpr double MinFontPoints = 6;

// The labels of one table shrink together, half a point at a time and none
// below `floor` points, while one of them does not fit its box; a label
// without text does not count. The rows keep one size.
void ShrinkTogether(const std::vector<Label*>& labels, double floor);

// The cells of one column shrink together: `cell`, printed once per row
// with each of `texts`, takes the largest size, half a point at a time from
// its own down to `floor`, at which every text fits it (wrapped when it
// wraps; a stretching cell only across its width). Empty texts do not
// count. Returns that size.
double ShrinkColumn(Label& cell, const QStringList& texts, double floor);

// One row of a table that StackRows places: its text, which wraps and may
// take several lines, and the controls beside it on the same top (a code, an
// amount).
struct StackRow {
    Label* text = nullptr;
    std::vector<Control*> beside;
    int pitch = 0;   // the least distance from the row's top to the next row's
    int gap = 0;     // between the row's text and the next row
};

// Places the rows one under the other from `top`: each as high as its text
// wrapped to its width (the label's height becomes that), then its gap, at
// least its pitch. While the rows do not end above `bottom`, or a word of a
// text is wider than its row, their texts shrink together down to `floor`
// points; rows that do not fit even then
// share the room (their pitch given up), a short row keeping what it needs
// and the others as many whole lines as their share holds, their texts then
// ending with the ellipsis. The controls beside a row take its top
// and never reach into the next row. Returns the bottom of the last text.
int StackRows(const std::vector<StackRow>& rows, int top, int bottom, double floor);

// A column of the current row through an optional display mask.
class DataText : public Label {
public:
    DataText(Band& band, const QString& name, const QRect& rect, const QString& field, const QString& mask);

    const QString& field() const { return m_field; }
    void setField(const QString& field) { m_field = field; }
    const QString& mask() const { return m_mask; }
    void setMask(const QString& mask) { m_mask = mask; }
    // Rows of its own (not owned); the report's rows when none.
    void setRows(RowSource* rows) { m_rows = rows; }
    RowSource* ownRows() const { return m_rows; }

    // The cells of the column shrink together (ShrinkColumn): each run starts
    // from the size the text has when this is set and, before the first
    // record, takes the size at which the column's value fits in every row
    // of the report, none below `floor` points (0: the size stays).
    void setShrinkWithColumn(double floor);
    double columnFloor() const { return m_columnFloor; }
    double columnPoints() const { return m_columnPoints; }

    QString text(const RenderContext* context = nullptr) const override;

private:
    QString m_field;
    QString m_mask;
    RowSource* m_rows = nullptr;
    double m_columnFloor = 0;
    double m_columnPoints = 0;
};

// When a sum or a count starts again from zero: never during a run, at each
// new page, or at each new group (of the group whose header or footer holds
// the control, else of the innermost group).
enum class Reset { Report, Page, Group };

// SUM of a column (or of a value the document computes) or COUNT of the
// printed detail records.
class Expr : public Label {
public:
    enum class Aggregate { Sum, Count };
    Expr(Band& band, const QString& name, const QRect& rect, Aggregate aggregate, const QString& field,
         Reset reset, const QString& mask);

    Aggregate aggregate() const { return m_aggregate; }
    const QString& field() const { return m_field; }
    void setField(const QString& field) { m_field = field; }
    // A value of the document's own in place of a column.
    void setValue(std::function<Currency()> value) { m_value = std::move(value); }
    Reset reset() const { return m_reset; }
    void setReset(Reset reset) { m_reset = reset; }
    const QString& mask() const { return m_mask; }
    void setMask(const QString& mask) { m_mask = mask; }
    void setRows(RowSource* rows) { m_rows = rows; }

    Currency total() const { return m_total; }
    qint64 count() const { return m_count; }
    void clear();
    // Adds the current record (called by the run, once per printed record).
    void accumulate(const RowSource* reportRows);

    QString text(const RenderContext* context = nullptr) const override;

private:
    Aggregate m_aggregate;
    QString m_field;
    std::function<Currency()> m_value;
    Reset m_reset;
    QString m_mask;
    RowSource* m_rows = nullptr;
    Currency m_total;
    qint64 m_count = 0;
};

// A value of the run: page number, report title, date, time; printed after the
// caption ("Page : " + number).
class SysData : public Label {
public:
    enum class Value { PageNumber, ReportTitle, Date, Time, DateTime };
    SysData(Band& band, const QString& name, const QRect& rect, Value value, const QString& caption);
    Value value() const { return m_value; }
    QString text(const RenderContext* context = nullptr) const override;

private:
    Value m_value;
};

// Rectangle, circle, horizontal or vertical line (across the middle of the
// rectangle), with a pen and a brush.
class Shape : public Control {
public:
    enum class Form { Rectangle, Circle, HorLine, VertLine };
    Shape(Band& band, const QString& name, const QRect& rect, Form form);

    Form form() const { return m_form; }
    void setForm(Form form) { m_form = form; }
    const QPen& pen() const { return m_pen; }
    void setPen(const QPen& pen) { m_pen = pen; }
    void setPenWidth(double width) { m_pen.setWidthF(width); }
    const QBrush& brush() const { return m_brush; }
    void setBrush(const QBrush& brush) { m_brush = brush; }
    // The shape grows with its band when texts stretch the band (column rules).
    bool stretchWithBand() const { return m_stretchWithBand; }
    void setStretchWithBand(bool value) { m_stretchWithBand = value; }

    void render(RenderContext& context, const QRectF& at) const override;

private:
    Form m_form;
    QPen m_pen;
    QBrush m_brush;
    bool m_stretchWithBand = false;
};

// The rounded rectangle of the white-paper documents.
class RoundRect : public Control {
public:
    RoundRect(Band& band, const QString& name, const QRect& rect);
    TRoundRectShape& shape() { return m_shape; }
    const TRoundRectShape& shape() const { return m_shape; }
    void render(RenderContext& context, const QRectF& at) const override;

private:
    TRoundRectShape m_shape;
};

// A picture (JPEG and the other formats Qt reads), stretched or at its natural
// size (pixels at 96 per inch).
class Image : public Control {
public:
    Image(Band& band, const QString& name, const QRect& rect, const QImage& picture);
    const QImage& picture() const { return m_picture; }
    void setPicture(const QImage& picture) { m_picture = picture; }
    bool loadPicture(const QString& fileName);
    bool stretch() const { return m_stretch; }
    void setStretch(bool value) { m_stretch = value; }
    bool center() const { return m_center; }
    void setCenter(bool value) { m_center = value; }
    void render(RenderContext& context, const QRectF& at) const override;

private:
    QImage m_picture;
    bool m_stretch = true;
    bool m_center = false;
};

// Formatted text laid out at the control's width: HTML, plain text or Rich
// Text Format.
//
// A stretching rich text that flows over pages (setFlowOverPages) and is too
// long for the room its band has left goes on at the top of the next page,
// and the next, until its end: each page takes the text up to the last line
// that fits whole, so no line is ever cut through its letters. The controls
// beside it in its band print on the first of those pages only.
class RichText : public Control {
public:
    RichText(Band& band, const QString& name, const QRect& rect);
    ~RichText() override;
    QTextDocument& document() const { return *m_document; }
    void setHtml(const QString& html);
    void setPlainText(const QString& text);
    // Reads an RTF document; on failure returns why (in French) and keeps
    // what the control held.
    [[nodiscard]] std::optional<QString> setRtf(QByteArrayView rtf);
    bool autoStretch() const { return m_autoStretch; }
    void setAutoStretch(bool value) { m_autoStretch = value; }
    bool flowsOverPages() const { return m_flowOverPages; }
    void setFlowOverPages(bool value) { m_flowOverPages = value; }

    bool stretches() const override { return m_autoStretch; }
    double neededHeight(const RenderContext& context) const override;
    void render(RenderContext& context, const QRectF& at) const override;

    // The document laid out at `width` report pixels, as it prints.
    std::shared_ptr<QTextDocument> laidOut(double width) const;
    // Prints the part of `laid` (laidOut) from `from` to `to` in the
    // document's pixels, at the top of `at`.
    void renderPart(RenderContext& context, const QRectF& at, const std::shared_ptr<QTextDocument>& laid,
                    double from, double to) const;

private:
    std::unique_ptr<QTextDocument> m_document;
    bool m_autoStretch = false;
    bool m_flowOverPages = false;
};

// Where a laid-out document may be cut between pages: the spans its lines
// cover, overlapping ones (the cells of a table row) joined, in order.
std::vector<std::pair<double, double>> LineSpans(const QTextDocument& laid);
// The lowest cut at or above `limit` that crosses no line of `spans`.
double CutAbove(const std::vector<std::pair<double, double>>& spans, double limit);

class Band {
public:
    Band(Report& report, BandKind kind, const QString& name, int height);
    ~Band();
    Band(const Band&) = delete;
    Band& operator=(const Band&) = delete;

    Report& report() const { return *m_report; }
    BandKind kind() const { return m_kind; }
    const QString& name() const { return m_name; }

    int height() const { return m_height; }
    void setHeight(int height) { m_height = height; }
    const QColor& color() const { return m_color; }
    void setColor(const QColor& color) { m_color = color; }
    Frame& frame() { return m_frame; }
    const Frame& frame() const { return m_frame; }
    // How far the frame reaches from the band's left edge (a table narrower
    // than the page); 0: across the band's whole width.
    int frameWidth() const { return m_frameWidth; }
    void setFrameWidth(int width) { m_frameWidth = width; }
    bool enabled() const { return m_enabled; }
    void setEnabled(bool value) { m_enabled = value; }
    // Starts a new page before the band (unless nothing is printed on the page yet).
    bool forceNewPage() const { return m_forceNewPage; }
    void setForceNewPage(bool value) { m_forceNewPage = value; }

    // Group headers: the key whose change starts a new group.
    void setGroupField(const QString& field);
    void setGroupKey(std::function<QVariant()> key) { m_groupKey = std::move(key); }
    QVariant groupKey(const RowSource* rows) const;
    // Group headers: their footer (a group footer added after a header is its
    // footer unless another header was added in between).
    Band* footer() const { return m_footer; }
    void setFooter(Band* footer);
    Band* header() const { return m_header; }

    // Child bands: printed right after their parent when it printed.
    Band* addChild(const QString& name, int height);
    Band* parent() const { return m_parent; }
    const std::vector<Band*>& children() const { return m_children; }

    std::function<void(Band&, bool& print)> onBeforePrint;
    std::function<void(Band&, bool printed)> onAfterPrint;

    Label* addLabel(const QString& name, const QRect& rect, const QString& caption = QString());
    DataText* addDataText(const QString& name, const QRect& rect, const QString& field,
                          const QString& mask = QString());
    Expr* addSum(const QString& name, const QRect& rect, const QString& field, Reset reset,
                 const QString& mask = MoneyMask);
    Expr* addCount(const QString& name, const QRect& rect, Reset reset);
    SysData* addSysData(const QString& name, const QRect& rect, SysData::Value value,
                        const QString& caption = QString());
    Shape* addShape(const QString& name, const QRect& rect, Shape::Form form = Shape::Form::Rectangle);
    RoundRect* addRoundRect(const QString& name, const QRect& rect);
    Image* addImage(const QString& name, const QRect& rect, const QImage& picture = QImage());
    RichText* addRichText(const QString& name, const QRect& rect);

    const std::vector<std::unique_ptr<Control>>& controls() const { return m_controls; }
    // By name, without regard to case; nullptr when there is none.
    Control* find(const QString& name) const;

private:
    template <class T, class... Args>
    T* add(Args&&... args);

    Report* m_report;
    BandKind m_kind;
    QString m_name;
    int m_height;
    QColor m_color;
    Frame m_frame;
    int m_frameWidth = 0;
    bool m_enabled = true;
    bool m_forceNewPage = false;
    QString m_groupField;
    std::function<QVariant()> m_groupKey;
    Band* m_footer = nullptr;
    Band* m_header = nullptr;
    Band* m_parent = nullptr;
    std::vector<Band*> m_children;
    std::vector<std::unique_ptr<Control>> m_controls;
};

// The most pages one run prepares and the most records a need-data event may
// give: a document that runs away stops there with a message.
inline constexpr int MaxPages = 10000;
inline constexpr int MaxNeedDataRecords = 1000000;

class Report {
public:
    explicit Report(const QString& name = QString());
    ~Report();
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    // The report's name (stored layouts are filed under it in capitals) and
    // its title (the preview's caption).
    const QString& name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    const QString& title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }

    PageSetup& page() { return m_page; }
    const PageSetup& page() const { return m_page; }
    void setPage(const PageSetup& page) { m_page = page; }

    // The font of the controls created afterwards (Arial 10 at first).
    const QFont& font() const { return m_font; }
    void setFont(const QFont& font) { m_font = font; }

    // Pages even without any record (headers, footers and summary only).
    bool printIfEmpty() const { return m_printIfEmpty; }
    void setPrintIfEmpty(bool value) { m_printIfEmpty = value; }
    // The page header on the first page too; the page footer on the last page too.
    bool firstPageHeader() const { return m_firstPageHeader; }
    void setFirstPageHeader(bool value) { m_firstPageHeader = value; }
    bool lastPageFooter() const { return m_lastPageFooter; }
    void setLastPageFooter(bool value) { m_lastPageFooter = value; }

    Band* addBand(BandKind kind, const QString& name, int height);
    const std::vector<std::unique_ptr<Band>>& bands() const { return m_bands; }
    Band* findBand(const QString& name) const;
    Band* band(BandKind kind) const;   // the first band of that kind

    // Controls of every band, by name without regard to case; nullptr when none.
    Control* find(const QString& name) const;
    template <class T>
    T* find(const QString& name) const { return dynamic_cast<T*>(find(name)); }
    // A text control (label, data text, sum, system value) by name.
    Label* label(const QString& name) const { return find<Label>(name); }
    // The control named prefix + number ("lArt" and 3 give lArt3).
    Control* findNumbered(const QString& prefix, int number) const;

    // The rows: a query, any row source (neither owned), or none.
    void setDataSet(db::Query* query);
    void setRows(RowSource* rows);
    RowSource* rows() const { return m_rows; }
    // A column of the current row; NULL when the report has no rows.
    const db::Value& value(const QString& field) const;
    // Without rows: whether another record follows.
    std::function<bool()> onNeedData;

    std::function<void()> onBeforePrint;
    std::function<void()> onAfterPrint;
    // A page is complete (the number of complete pages).
    std::function<void(int pages)> onPageReady;

    // While a run prepares pages: the page being filled, the detail records so
    // far (1 for the first record), and a new page before the next band.
    bool running() const { return m_run != nullptr; }
    int pageNumber() const;
    int recordNumber() const;
    // The last record has printed: the group footers, the summary and the
    // last page footer are printing.
    bool dataEnded() const;
    void newPage();
    // A message for the user, shown once after the preparation.
    void warn(const QString& message);
    // From the report's events only: the document cannot print what it
    // must (more rows carrying amounts than its form holds, a total its rows
    // would not add up to). The run stops, no page is kept, and `message`
    // tells the user why (PreparedPages::refusal).
    [[noreturn]] void refuse(const QString& message);
    // Refuses the run with `message` when `rows` rows must print and the form
    // holds `room` of them.
    void requireRoom(qsizetype rows, qsizetype room, const QString& message);

    // The date and time printed by system values: fixed for tests, else the
    // clock at the start of each run.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }
    const QDateTime& runTime() const { return m_runTime; }

    // One whole run.
    std::unique_ptr<PreparedPages> prepare();

private:
    friend class Run;

    QString m_name;
    QString m_title;
    PageSetup m_page;
    QFont m_font;
    bool m_printIfEmpty = false;
    bool m_firstPageHeader = true;
    bool m_lastPageFooter = true;
    std::vector<std::unique_ptr<Band>> m_bands;
    RowSource* m_rows = nullptr;
    std::unique_ptr<QueryRows> m_queryRows;
    std::function<QDateTime()> m_clock;
    QDateTime m_runTime;
    Run* m_run = nullptr;
    QStringList m_warnings;   // raised outside a run, taken by the next one
};

// One run of a report, step by step: each step lays out one record (or the
// start, or the end), so a window can show the first pages while the others
// are still being laid out. Exceptions of the document's events go through
// step() after the report's after-print event has run.
class Run {
public:
    explicit Run(Report& report);
    // A run dropped before its end runs the report's after-print event.
    ~Run();
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    // Lays out the next record; false once the run is finished.
    bool step();
    void runToEnd();
    // Steps until `pages` pages are complete or the run is finished.
    void runUntilPages(int pages);
    bool finished() const;
    // Pages complete so far (all of them once finished).
    int pageCount() const;
    const PreparedPages& pages() const;
    std::unique_ptr<PreparedPages> takePages();
    // Stops the run (the after-print event runs).
    void cancel();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    friend class Report;
};

} // namespace rpt
