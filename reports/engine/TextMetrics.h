#pragma once
// Text measuring of the report engine, shared by the documents: every size is
// in report pixels (96 per inch) whatever the screen or the printer, measured
// from the fonts' design outlines (a 1200 dpi reference), so the same text
// breaks into the same lines in the preview, on paper and in a PDF.

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <QStringList>

namespace rpt {

// Metrics of one font at the reference resolution, cached for the process.
class FontMetrics {
public:
    // The cached metrics of `font` (point sizes; a pixel size counts as pixels at 96 per inch).
    static const FontMetrics& of(const QFont& font);

    // Height of one line of text (ascent + descent), in report pixels.
    double lineHeight() const { return m_lineHeight; }
    double ascent() const { return m_ascent; }
    // Advance width of a single-line text.
    double width(const QString& text) const;

    // The text broken into lines: at its own line breaks ("\r\n", "\n" or "\r"),
    // and, with `wrap`, at word boundaries so that each line fits `width`
    // (a word longer than the width keeps a line of its own). Trailing blanks
    // of a broken line are dropped.
    QStringList lines(const QString& text, double width, bool wrap) const;

    explicit FontMetrics(const QFont& font);

private:
    QFont m_font;        // bound to the reference resolution
    QFontMetricsF m_fm;
    double m_lineHeight = 0;
    double m_ascent = 0;
};

// Height that `text` takes when wrapped to `width` in `font` (word breaks,
// tabs expanded), rounded up to a whole pixel; the label-fitting measure of
// the documents. An empty text takes one line.
int WrappedTextHeight(const QFont& font, const QString& text, int width);
// Width of a single-line text, rounded up to a whole pixel.
int TextWidth(const QFont& font, const QString& text);
// Height of one line of text in `font`, rounded up to a whole pixel.
int LineHeight(const QFont& font);
// The line-count rule of the commitment sheets: one line's height times the
// number of lines, that number being the text's width divided by `width`,
// taken up to the next whole number (1 when the text fits).
int LabelTextHeight(const QFont& font, const QString& text, int width);

} // namespace rpt
