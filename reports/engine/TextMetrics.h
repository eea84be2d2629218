#pragma once
// Text measuring of the report engine, shared by the documents: every size is
// in report pixels (96 per inch) whatever the screen or the printer, so the
// same text breaks into the same lines in the preview, on paper and in a PDF.
//
// Measuring and drawing use one font setup (PrintFont): the font at a large
// whole pixel size, without hinting, scaled to its size in report pixels.
// Font engines round a size to whole device pixels; at the small sizes a
// scaled painter would draw with (an 8-point text is 10.67 pixels before the
// painter's scale) that rounding alone makes a line 3 % wider than measured.
// At a large size the glyphs keep their design advances, measured and drawn
// alike on every device.

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

namespace rpt {

struct PageItem;

// The ellipsis that ends a text cut short.
inline const QString Ellipsis = QStringLiteral("\u2026");

// A font as the engine measures and draws it: the same family and style at
// a large whole pixel size, hinting off, and the scale from its pixels to
// report pixels.
struct PrintFontSetup {
    QFont font;
    double scale = 1;
};
// `font` in points (a pixel size counts as pixels at 96 per inch).
PrintFontSetup PrintFont(const QFont& font);

// Metrics of one font, cached for the process.
class FontMetrics {
public:
    // The cached metrics of `font` (point sizes; a pixel size counts as pixels at 96 per inch).
    static const FontMetrics& of(const QFont& font);

    // Height of one line of text (ascent + descent), in report pixels.
    double lineHeight() const { return m_lineHeight; }
    double ascent() const { return m_ascent; }
    // Advance width of a single-line text, measured once per text.
    double width(const QString& text) const;
    // Whether a single-line text is no wider than `width`. A text whose
    // letters' advances leave it well inside is not measured: a document
    // measures only the texts that may not fit.
    bool fitsWidth(const QString& text, double width) const;

    // The text broken into lines: at its own line breaks ("\r\n", "\n" or "\r"),
    // and, with `wrap`, between words so that each line fits `width`. A word
    // is never broken: one longer than the width stays whole on a line of its
    // own, wider than the width (the label then shrinks, or the line ends
    // with the ellipsis). Trailing blanks of a broken line are dropped.
    QStringList lines(const QString& text, double width, bool wrap) const;

    // How many lines of this font a box of `height` holds (at least one).
    int linesIn(double height) const;
    // `line` made to fit `width`: whole when it fits, else cut after its last
    // whole letter that leaves room for the ellipsis, which ends it.
    QString elided(const QString& line, double width) const;
    // The lines of a text made to fit a box: the lines the box holds, the
    // last one kept taking what follows it, each no wider than `width`; a
    // line cut short ends with the ellipsis.
    QStringList fitted(const QStringList& lines, double width, double height) const;
    // Whether the lines fit the box as they are.
    bool fit(const QStringList& lines, double width, double height) const;

    explicit FontMetrics(const QFont& font);

private:
    // The sum of the advances of the text's letters, each measured once, made
    // a little larger than kerning could ever make the text; a negative value
    // when the text holds other letters than those of the Latin scripts and
    // blanks (a tab, a control character), which only a measure can tell.
    double advanceBound(const QString& text) const;
    // Whether a single-line text is no wider than `width`, without tolerance.
    bool noWiderThan(const QString& text, double width) const;

    PrintFontSetup m_setup;
    QFontMetricsF m_fm;
    double m_lineHeight = 0;
    double m_ascent = 0;
    // Measured widths by text (report pixels), and the advance of each letter
    // of the table (font pixels, negative until measured).
    mutable QHash<QString, double> m_widths;
    mutable std::vector<float> m_advances;
};

// Height that `text` takes when wrapped to `width` in `font` (word breaks,
// tabs expanded), rounded up to a whole pixel; the label-fitting measure of
// the documents. An empty text takes one line.
int WrappedTextHeight(const QFont& font, const QString& text, int width);
// Width of a single-line text, rounded up to a whole pixel.
int TextWidth(const QFont& font, const QString& text);
// Height of one line of text in `font`, rounded up to a whole pixel.
int LineHeight(const QFont& font);

// Where a text item of a page prints: its lines from the item's top, as
// wide as the widest where the alignment puts it (upright texts).
QRectF TextExtent(const PageItem& item);

} // namespace rpt
