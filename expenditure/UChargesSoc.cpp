#include "expenditure/UChargesSoc.h"

#include "controls/NumEdit.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/Period.h"
#include "core/Routines.h"
#include "ui/FormKit.h"
#include "ui/LinesModel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

enum TChargeColumn { ccNo, ccNoMdt, ccDate, ccImput, ccMontant, ccRegGen, ccAssChom, ccRetAnt, ccCount };

// The first amount column: titles and cells from there on are right-aligned.
constexpr int FirstAmountColumn = ccMontant;

} // namespace

// The grid of the bases: one row per base, its contributions computed as shown.
class TChargesModel : public TLinesModel<charges::TChargeBase> {
public:
    explicit TChargesModel(QObject* parent)
        : TLinesModel(
              {QStringLiteral("N°"), QStringLiteral("N° Mdt"), QStringLiteral("Date"), QStringLiteral("Imput"),
               QStringLiteral("Montant"), QStringLiteral("Mt à 23.75%"), QStringLiteral("Mt à 1.00%"),
               QStringLiteral("Mt à 0.25%")},
              parent)
    {
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_lines.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_lines.size())
            return {};
        const int column = index.column();
        switch (role) {
        case Qt::DisplayRole: return Text(m_lines[index.row()], index.row(), column);
        case Qt::TextAlignmentRole:
            return Alignment(column);
        case Qt::FontRole:
            if (column == ccMontant) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        default: return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole)
            return Alignment(section);
        return TLinesModel::headerData(section, orientation, role);
    }

private:
    // Amounts right-aligned, the rest centred, titles as their cells.
    static int Alignment(int column)
    {
        return int(Qt::AlignVCenter | (column >= FirstAmountColumn ? Qt::AlignRight : Qt::AlignHCenter));
    }

    static QString Text(const charges::TChargeBase& b, int row, int column)
    {
        switch (column) {
        case ccNo: return QString::number(row + 1);
        case ccNoMdt: return b.noMdt;
        case ccDate: return DateText(b.dateMdt);
        case ccImput: return b.chap + QStringLiteral("-") + b.art + QStringLiteral(" ") + b.par;
        case ccMontant: return b.base.formatMoney();
        case ccRegGen: return charges::ContributionsOf(b.base).regimeGeneral.formatMoney();
        case ccAssChom: return charges::ContributionsOf(b.base).unemployment.formatMoney();
        case ccRetAnt: return charges::ContributionsOf(b.base).earlyRetirement.formatMoney();
        default: return QString();
        }
    }
};

TfrmChargesSoc::TfrmChargesSoc(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmChargesSoc"));
    setWindowTitle(QStringLiteral("Charges Sociales"));

    // The period: the fiscal year's first and last day until the user changes it.
    edDateD = MakeEdit(this, "edDateD", 10);
    edDateF = MakeEdit(this, "edDateF", 10);
    for (QLineEdit* e : {edDateD, edDateF})
        e->setFixedWidth(90);
    const int year = FiscalYear.trimmed().toInt();
    edDateD->setText(DateText(QDate(year, 1, 1)));
    edDateF->setText(DateText(QDate(year, 12, 31)));
    btnGetDateD = MakePickButton(this, "btnGetDateD", QStringLiteral("Calendrier"));
    btnGetDateF = MakePickButton(this, "btnGetDateF", QStringLiteral("Calendrier"));
    AttachDateField(edDateD, btnGetDateD, TDateFieldRules{});
    AttachDateField(edDateF, btnGetDateF, TDateFieldRules{});
    btnAffiche = MakeButton(this, "btnAffiche", QStringLiteral("Afficher"));
    btnAffiche->setDefault(true);
    auto* period = MakeFieldRow({MakeCaption(this, QStringLiteral("Du : ")), edDateD, btnGetDateD,
                                 MakeCaption(this, QStringLiteral("   Au : ")), edDateF, btnGetDateF});
    period->insertSpacing(period->count() - 1, 12);
    period->insertWidget(period->count() - 1, btnAffiche);

    m_model = new TChargesModel(this);
    grdCharges = new QTableView(this);
    grdCharges->setObjectName(QStringLiteral("grdCharges"));
    grdCharges->setModel(m_model);
    grdCharges->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdCharges->setSelectionMode(QAbstractItemView::SingleSelection);
    grdCharges->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdCharges->verticalHeader()->hide();
    grdCharges->verticalHeader()->setDefaultSectionSize(20);
    // A selected row is white on navy, with or without the focus.
    QPalette palette = grdCharges->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight, QColor(0, 0, 128));
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    grdCharges->setPalette(palette);
    // The budget line's column takes the room left, so its text is never cut.
    const int widths[] = {40, 56, 84, 100, 120, 110, 100, 100};
    for (int c = 0; c < int(std::size(widths)); ++c)
        grdCharges->setColumnWidth(c, widths[c]);
    grdCharges->horizontalHeader()->setSectionResizeMode(ccImput, QHeaderView::Stretch);

    // The totals: the base and the 25 % read-only, the three contributions
    // open to an adjustment.
    auto amount = [this](const char* name, bool readOnly) {
        TNumEdit* e = MakeAmountEdit(this, name, 130);
        e->setReadOnly(readOnly);
        e->SetAsCurrency(Currency());
        return e;
    };
    edTotGEn = amount("edTotGEn", true);
    edMtRegGen = amount("edMtRegGen", false);
    edMtAssChom = amount("edMtAssChom", false);
    edMtRetAnt = amount("edMtRetAnt", false);
    edMtTot = amount("edMtTot", true);
    auto* totals = new QGridLayout;
    totals->setHorizontalSpacing(10);
    const std::pair<const char*, TNumEdit*> fields[] = {{"Total", edTotGEn},
                                                        {"Rég. Gén. 23.75%", edMtRegGen},
                                                        {"Ass. Chôm. 1.00%", edMtAssChom},
                                                        {"Retraite Ant. 0.25%", edMtRetAnt},
                                                        {"Total à 25%", edMtTot}};
    int column = 0;
    for (const auto& [caption, edit] : fields) {
        auto* label = new QLabel(QString::fromUtf8(caption), this);
        label->setBuddy(edit);
        totals->addWidget(label, 0, column);
        totals->addWidget(edit, 1, column);
        ++column;
    }
    totals->setColumnStretch(column, 1);
    for (TNumEdit* e : {edMtRegGen, edMtAssChom, edMtRetAnt})
        connect(e, &QLineEdit::textChanged, this, Guarded([this] { ContributionChanged(); }));

    btnApply = MakeButton(this, "btnApply", QStringLiteral("Appliquer"));
    btnclose = MakeButton(this, "btnclose", QStringLiteral("Fermer"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnApply);
    buttons->addWidget(btnclose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(period);
    layout->addWidget(grdCharges, 1);
    layout->addLayout(totals);
    layout->addLayout(buttons);

    connect(btnAffiche, &QPushButton::clicked, this, Guarded([this] { btnAfficheClick(); }));
    connect(btnApply, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnclose, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(edDateD, edDateF);
    setTabOrder(edDateF, btnAffiche);
    edDateD->setFocus();
    resize(860, 520);
}

TfrmChargesSoc::~TfrmChargesSoc()
{
    SilenceChildren(this);
}

const QList<charges::TChargeBase>& TfrmChargesSoc::Bases() const
{
    return m_model->Lines();
}

void TfrmChargesSoc::btnAfficheClick()
{
    QDate start, end;
    if (const TVerdict v = CheckPeriod(edDateD->text(), edDateF->text(), FiscalYear.trimmed().toInt(), start, end))
        Refuse(*v, v->field == PeriodStart ? edDateD : edDateF);
    m_recompute = false;
    {
        const TWaitCursor wait;
        // Every run replaces the rows of the previous one.
        m_model->SetLines(charges::ReadBases(start, end));
    }
    const charges::TChargeTotals totals = charges::TotalsOf(m_model->Lines());
    edTotGEn->SetAsCurrency(totals.base);
    edMtTot->SetAsCurrency(totals.AllCharges());
    edMtRegGen->SetAsCurrency(totals.contributions.regimeGeneral);
    edMtAssChom->SetAsCurrency(totals.contributions.unemployment);
    edMtRetAnt->SetAsCurrency(totals.contributions.earlyRetirement);
    m_recompute = true;
}

void TfrmChargesSoc::ContributionChanged()
{
    if (!m_recompute)
        return;
    const auto value = [](TNumEdit* e) { return e->TryAsCurrency().value_or(Currency()); };
    edMtTot->SetAsCurrency(value(edMtRegGen) + value(edMtAssChom) + value(edMtRetAnt));
}
