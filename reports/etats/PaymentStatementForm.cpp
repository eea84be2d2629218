#include "reports/etats/PaymentStatementForm.h"

#include "core/GlobalState.h"
#include "core/Routines.h"
#include "reports/orders/OrderDrawing.h"

#include <algorithm>

namespace {

const QString Ministry = QStringLiteral("MINISTERE DE L'ENSEIGNEMENT SUPERIEUR ET DE LA RECHERCHE SCIENTIFIQUE");
const QString State = QStringLiteral("REPUBLIQUE ALGERIENNE DEMOCRATIQUE ET POPULAIRE");

constexpr double CellPoints = 9;
constexpr int CellMargin = 3;       // between a cell's rules and its text
constexpr int TotalHeight = 24;     // the boxes of the totals
constexpr int HeadingTop = 118;     // the column headings' top in the page header
constexpr int HeadingHeight = 36;

rpt::Label* Heading(rpt::Band* band, const QString& name, const QRect& rect, const QString& text)
{
    rpt::Label* l = band->addLabel(name, rect, text);
    l->setAlignment(Qt::AlignHCenter);
    l->setWordWrap(true);
    l->setBold(true);
    l->setFontSize(CellPoints);
    l->frame().setAll(true);
    l->shrinkToFit(rpt::MinFontPoints);
    return l;
}

} // namespace

TPaymentStatementForm::TPaymentStatementForm(const Design& design)
    : TReportForm(design.reportName, QStringLiteral("Etat de paiement des factures")), m_design(design)
{
    Param(QStringLiteral("IdMdt"), IdMdt);
    rpt::Report& r = report();
    r.setPage(design.page);
    r.setFont(QFont(QStringLiteral("Arial"), 10));
    r.setPrintIfEmpty(true);
    r.setFirstPageHeader(true);
    r.onBeforePrint = [this] { StatementBeforePrint(); };

    int tableWidth = 0;
    for (const Column& c : design.columns)
        tableWidth += c.width;

    // Page header: the heading, the framed title with its shadow, the column titles.
    rpt::Band* header = r.addBand(rpt::BandKind::PageHeader, QStringLiteral("bdEntete"), HeadingTop + HeadingHeight);
    m_headerHeight = header->height();
    const int half = tableWidth / 2;
    rpt::Label* ministry = header->addLabel(QStringLiteral("lMinistere"), {0, 0, half + 60, 16}, Ministry);
    ministry->setBold(true);
    ministry->setFontSize(8);
    ministry->shrinkToFit(rpt::MinFontPoints);
    if (design.stateName) {
        rpt::Label* state = header->addLabel(QStringLiteral("lEtat"), {half + 80, 0, tableWidth - half - 80, 16}, State);
        state->setBold(true);
        state->setFontSize(8);
        state->setAlignment(Qt::AlignRight);
        state->shrinkToFit(rpt::MinFontPoints);
    }
    rpt::Label* univ = header->addLabel(QStringLiteral("lUniv"), {0, 18, half + 60, 16});
    univ->setBold(true);
    univ->setFontSize(9);
    header->addLabel(QStringLiteral("lFac"), {0, 34, half + 60, 16})->setFontSize(9);
    const int titleWidth = std::min(tableWidth - 40, 640);
    const int titleLeft = (tableWidth - titleWidth) / 2;
    rpt::Shape* shadow = header->addShape(QStringLiteral("shOmbre"), {titleLeft + 5, 63, titleWidth, 34});
    shadow->setBrush(QBrush(QColor(128, 128, 128)));
    shadow->setPen(QPen(QColor(128, 128, 128)));
    rpt::Label* title = header->addLabel(QStringLiteral("lTitre"), {titleLeft, 58, titleWidth, 34});
    title->setColor(Qt::white);
    title->frame().setAll(true);
    title->setAlignment(Qt::AlignHCenter);
    title->setWordWrap(true);
    title->setBold(true);
    title->setFontSize(12);
    if (!design.aboveTable.isEmpty()) {
        rpt::Label* above = header->addLabel(QStringLiteral("lDesignation"), {0, HeadingTop - 18, 420, 16},
                                             design.aboveTable);
        above->setBold(true);
        above->setFontSize(CellPoints);
    }
    int x = 0;
    for (size_t i = 0; i < design.columns.size(); ++i) {
        const Column& c = design.columns[i];
        const QString name = QStringLiteral("lh") + QString::fromLatin1(c.field);
        if (!c.group) {
            Heading(header, name, {x, HeadingTop, c.width, HeadingHeight}, QString::fromUtf8(c.heading));
        } else {
            // A group's caption over its columns, drawn with its first column.
            const bool first = i == 0 || !design.columns[i - 1].group || qstrcmp(design.columns[i - 1].group, c.group);
            if (first) {
                int span = 0;
                for (size_t j = i; j < design.columns.size() && design.columns[j].group
                                   && qstrcmp(design.columns[j].group, c.group) == 0;
                     ++j)
                    span += design.columns[j].width;
                Heading(header, name + QStringLiteral("Groupe"), {x, HeadingTop, span, HeadingHeight / 2},
                        QString::fromUtf8(c.group));
            }
            Heading(header, name, {x, HeadingTop + HeadingHeight / 2, c.width, HeadingHeight / 2},
                    QString::fromUtf8(c.heading));
        }
        x += c.width;
    }

    // Detail: one cell per column between the rules.
    const bool grows = design.ruleDepth == 0;
    rpt::Band* detail = r.addBand(rpt::BandKind::Detail, QStringLiteral("bdDetail"), design.rowHeight);
    detail->frame().bottom = grows;
    detail->setFrameWidth(tableWidth);
    x = 0;
    for (const Column& c : design.columns) {
        rpt::Shape* rule = detail->addShape(QStringLiteral("shRegle") + QString::fromLatin1(c.field),
                                            {x - 1, 0, 2, design.rowHeight}, rpt::Shape::Form::VertLine);
        rule->setStretchWithBand(true);
        m_rules.push_back(rule);
        rpt::Label* cell = detail->addLabel(QStringLiteral("l") + QString::fromLatin1(c.field),
                                            {x + CellMargin, 3, c.width - 2 * CellMargin, design.rowHeight - 5});
        cell->setAlignment(c.align);
        cell->setFontSize(CellPoints);
        cell->setBold(c.amount);
        // A text wraps within its cell (an amount keeps to one line); in the
        // statements whose rows grow, the row takes the lines it needs.
        cell->setWordWrap(!c.amount);
        cell->setAutoStretch(grows && !c.amount);
        m_cells.push_back(cell);
        x += c.width;
    }
    rpt::Shape* last = detail->addShape(QStringLiteral("shRegleFin"), {tableWidth - 1, 0, 2, design.rowHeight},
                                        rpt::Shape::Form::VertLine);
    last->setStretchWithBand(true);
    m_rules.push_back(last);
    detail->onBeforePrint = [this](rpt::Band& band, bool&) { DetailBeforePrint(band); };
    detail->onAfterPrint = [this](rpt::Band&, bool printed) {
        if (printed)
            m_rowsOnPage = m_rowOnPage + 1;
    };
    header->onBeforePrint = [this](rpt::Band&, bool&) { HeaderBeforePrint(); };

    // Summary: the totals under their columns, the words, the signatures.
    rpt::Band* summary = r.addBand(rpt::BandKind::Summary, QStringLiteral("bdTotal"), 170);
    summary->frame().top = true;
    summary->setFrameWidth(tableWidth);
    x = 0;
    int firstAmount = -1;
    for (const Column& c : design.columns) {
        if (c.total) {
            if (firstAmount < 0)
                firstAmount = x;
            // The total's box, and its text inside with the cells' margin,
            // centred in its height (StatementBeforePrint).
            const QString name = QString::fromLatin1(c.total);
            rpt::Shape* box = summary->addShape(QStringLiteral("sh") + name.mid(1), {x, 0, c.width, TotalHeight});
            box->setBrush(Qt::NoBrush);
            rpt::Label* total = summary->addLabel(name, {x + CellMargin, 0, c.width - 2 * CellMargin, TotalHeight});
            total->setAlignment(Qt::AlignRight);
            total->setBold(true);
            total->setFontSize(CellPoints);
        }
        x += c.width;
    }
    rpt::Label* caption = summary->addLabel(QStringLiteral("lTotalGeneral"), {0, 4, std::max(firstAmount - 8, 60), 18},
                                            design.totalCaption);
    caption->setAlignment(Qt::AlignRight);
    caption->setBold(true);
    caption->setFontSize(CellPoints + 1);
    summary->addLabel(QStringLiteral("lArrete"), {0, 36, tableWidth, 18},
                      QStringLiteral("Arrêté le présent état à la somme de : "))
        ->setFontSize(CellPoints + 1);
    rpt::Label* words = summary->addLabel(QStringLiteral("lLettre"), {20, 54, tableWidth - 20, 36});
    words->setWordWrap(true);
    words->setBold(true);
    words->setFontSize(CellPoints + 1);
    if (design.visas) {
        rpt::Label* left = summary->addLabel(QStringLiteral("lVisaOrd"), {40, 104, 300, 18},
                                             QStringLiteral("VISA DE L'ORDONNATEUR"));
        left->setBold(true);
        rpt::Label* right = summary->addLabel(QStringLiteral("lVisaCompt"), {tableWidth - 340, 104, 300, 18},
                                              QStringLiteral("VISA DU COMPTABLE"));
        right->setBold(true);
        right->setAlignment(Qt::AlignRight);
    } else {
        rpt::Label* signatory = summary->addLabel(QStringLiteral("lSignataire"), {tableWidth - 420, 104, 400, 36});
        signatory->setBold(true);
        signatory->setWordWrap(true);
        signatory->setAlignment(Qt::AlignHCenter);
    }
    r.setRows(&m_rows);
}

QString TPaymentStatementForm::CellText(size_t column, const db::Value& value) const
{
    return m_design.columns[column].amount ? db::toCurrency(value).formatMoney() : db::toText(value);
}

Currency TPaymentStatementForm::ColumnTotal(const QString& field) const
{
    for (size_t i = 0; i < m_design.columns.size(); ++i)
        if (QString::fromLatin1(m_design.columns[i].field) == field)
            return m_totals[i];
    return Currency();
}

void TPaymentStatementForm::StatementBeforePrint()
{
    // Everything is read afresh and totalled from the rows at each run.
    m_data.Load(IdMdt);
    std::vector<std::vector<db::Value>> rows = Rows(m_data);
    QStringList fields;
    for (const Column& c : m_design.columns)
        fields << QString::fromLatin1(c.field);
    m_totals.assign(m_design.columns.size(), Currency());
    for (const std::vector<db::Value>& row : rows)
        for (size_t i = 0; i < m_design.columns.size(); ++i)
            if (m_design.columns[i].amount)
                m_totals[i] += db::toCurrency(row[i]);
    m_grand = ColumnTotal(QString::fromLatin1(m_design.grandField));
    m_rowCount = int(rows.size());
    // The cells of a column shrink together, whichever row needs it.
    for (size_t i = 0; i < m_cells.size(); ++i) {
        QStringList texts;
        for (const std::vector<db::Value>& row : rows)
            texts << CellText(i, row[i]);
        m_cells[i]->setFontSize(CellPoints);
        rpt::ShrinkColumn(*m_cells[i], texts, rpt::MinFontPoints);
    }
    m_rows.setRows(fields, std::move(rows));
    m_rowsOnPage = 0;

    rpt::Report& r = report();
    r.label(QStringLiteral("lUniv"))->setCaption(UniversityName.toUpper() + QStringLiteral(", ") + City.toUpper());
    r.label(QStringLiteral("lFac"))->setCaption(FacultyName);
    rpt::Label* title = r.label(QStringLiteral("lTitre"));
    title->setFontSize(12);
    title->setCaption(Title(m_data));
    title->shrinkToFit(rpt::MinFontPoints);
    for (size_t i = 0; i < m_design.columns.size(); ++i) {
        if (!m_design.columns[i].total)
            continue;
        rpt::Label* total = r.label(QString::fromLatin1(m_design.columns[i].total));
        total->setFontSize(CellPoints);
        total->setCaption(m_totals[i].formatMoney());
        mdt::FitCentred(total, 0, TotalHeight);
    }
    rpt::Label* words = r.label(QStringLiteral("lLettre"));
    words->setFontSize(CellPoints + 1);
    words->setCaption(AmountToWords(m_grand));
    words->shrinkToFit(rpt::MinFontPoints);
    if (rpt::Label* signatory = r.label(QStringLiteral("lSignataire")))
        signatory->setCaption(Signatory);
}

void TPaymentStatementForm::HeaderBeforePrint()
{
    m_rowsOnPage = 0;
}

void TPaymentStatementForm::DetailBeforePrint(rpt::Band& band)
{
    const rpt::Report& r = report();
    for (size_t i = 0; i < m_cells.size(); ++i)
        m_cells[i]->setCaption(CellText(i, r.value(QString::fromLatin1(m_design.columns[i].field))));
    if (m_design.ruleDepth == 0)
        return;

    // Where the row prints: after the rows of this page, or first on the next
    // page when it does not fit under them.
    const rpt::PageSetup& page = r.page();
    const double top = rpt::MmToPx(page.margins.top) + m_headerHeight;
    const double bottom = rpt::MmToPx(page.length) - rpt::MmToPx(page.margins.bottom);
    const int rowHeight = m_design.rowHeight;
    m_rowOnPage = m_rowsOnPage;
    if (top + (m_rowOnPage + 1) * rowHeight > bottom + 0.5)
        m_rowOnPage = 0;
    // The rules reach the fixed depth, but never below the rows this page
    // will still hold nor below the last row of the statement, so they
    // neither leave the page nor cross the total printed under the rows.
    const int capacity = std::max(1, int((bottom - top) / rowHeight));
    const int remaining = std::max(1, m_rowCount - r.recordNumber() + 1);
    const int rows = std::max(1, std::min({m_design.ruleDepth - m_rowOnPage, capacity - m_rowOnPage, remaining}));
    const bool lastRow = remaining == 1;
    const int depth = rows * rowHeight;
    for (rpt::Shape* rule : m_rules)
        rule->setHeight(depth);
    band.frame().bottom = lastRow;
}
