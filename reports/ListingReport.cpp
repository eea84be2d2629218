#include "reports/ListingReport.h"

#include "ui/QueryTableModel.h"

TListingReportForm::TListingReportForm(const QString& reportName, const QString& title)
    : TReportForm(reportName, title)
{
}

TListingReportForm::~TListingReportForm() = default;

void TListingReportForm::UseListing(const QueryTableModel& rows)
{
    m_given = true;
    SetGridRows(rows);
}

void TListingReportForm::FormCreate()
{
    if (m_given)
        return;
    m_own = std::make_unique<QueryTableModel>();
    ReadOwnRows(*m_own);
    SetGridRows(*m_own);
}

rpt::DataText* TListingReportForm::AddTextColumn(rpt::Band* band, const QString& name, const QRect& rect,
                                                const QString& field)
{
    rpt::DataText* column = band->addDataText(name, rect, field);
    column->setWordWrap(true);
    column->setAutoStretch(true);
    column->setShrinkWithColumn(rpt::MinFontPoints);
    return column;
}

void TListingReportForm::AddHeadingStrip(rpt::Band* band, const QRect& strip, const QColor& color,
                                         const std::vector<Heading>& headings)
{
    rpt::Label* s = band->addLabel(QStringLiteral("lBandeau"), strip);
    s->setColor(color);
    s->frame().setAll(true);
    for (const Heading& h : headings) {
        rpt::Label* l = band->addLabel(QString::fromLatin1(h.name), {h.left, strip.top() + 2, h.width,
                                                                      strip.height() - 4},
                                       QString::fromUtf8(h.text));
        l->setBold(true);
        l->setAlignment(h.align);
    }
}
