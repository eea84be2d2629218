#include "expenditure/UMission.h"

#include "controls/NumEdit.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/Routines.h"
#include "expenditure/UChargesSoc.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

namespace {

// The contribution fields hold at most this much.
constexpr double MaxContribution = 9999999999.0;

} // namespace

TfrmMission::TfrmMission(QWidget* parent)
    : TLineExpenseEditor(parent, Setup{.kind = ExpenseKind::Mission,
                                       .objectName = "frmMission",
                                       .caption = QStringLiteral("Missions et Autres dépenses"),
                                       .menuName = "PopMnFact",
                                       .benCaption = QStringLiteral("Employé(e) : "),
                                       .benType = BeneficiaryType::Employee,
                                       .otherYear = expense::OtherYear::Ask,
                                       .otherYearText = QStringLiteral("La date Facture ne correspond pas à l'exercice "
                                                                       "en cours !\rVoulez-vous continuer ?"),
                                       .menuKeys = true,
                                       .amountAfterDate = false})
{
    QWidget* panel = pnlMain;
    QGridLayout* grid = EntryGrid();

    // Payment type and mission dates, after the employee.
    cmbTypePmt = MakeCombo(panel, "cmbTypePmt");
    cmbTypePmt->addItems({QStringLiteral("Remboursement"), QStringLiteral("Paiement")});
    cmbTypePmt->setCurrentIndex(-1);
    edDateD = MakeEdit(panel, "edDateD", 10);
    edDateD->setFixedWidth(90);
    edDateF = MakeEdit(panel, "edDateF", 10);
    edDateF->setFixedWidth(90);
    btnGetDateD = MakePickButton(panel, "btnGetDateD", QStringLiteral("Calendrier"));
    btnGetDateF = MakePickButton(panel, "btnGetDateF", QStringLiteral("Calendrier"));
    grid->addWidget(MakeCaption(panel, QStringLiteral("Type Pmt :")), 2, 0);
    grid->addLayout(Row({cmbTypePmt, MakeCaption(panel, QStringLiteral("   Du : ")), edDateD, btnGetDateD,
                         MakeCaption(panel, QStringLiteral("Au : ")), edDateF, btnGetDateF},
                        true),
                    2, 1);

    // The employer contributions, under the amount.
    auto contribution = [&](const char* name, const char* labelName, const QString& caption, QLabel** label) {
        TNumEdit* e = MakeAmountEdit(panel, name, 130);
        e->SetMaxValue(MaxContribution);
        *label = new QLabel(caption, panel);
        (*label)->setObjectName(QString::fromLatin1(labelName));
        // Only what the user types: showing a row, or putting back the stored
        // values of a mission a document took meanwhile, leaves the amount as stored.
        connect(e, &QLineEdit::textEdited, this, Guarded([this] { ContributionChanged(); }));
        return e;
    };
    edReg_Gen = contribution("edReg_Gen", "lReg_Gen", QStringLiteral("Rég. Gén. 23.75%"), &lReg_Gen);
    edAss_Chom = contribution("edAss_Chom", "lAss_Chom", QStringLiteral("Ass. Chôm. 1.00%"), &lAss_Chom);
    edRet_Ant = contribution("edRet_Ant", "lRet_Ant", QStringLiteral("Retraite Ant. 0.25%"), &lRet_Ant);
    auto* contributions = new QGridLayout;
    contributions->setHorizontalSpacing(12);
    contributions->addWidget(lReg_Gen, 0, 0);
    contributions->addWidget(lAss_Chom, 0, 1);
    contributions->addWidget(lRet_Ant, 0, 2);
    contributions->addWidget(edReg_Gen, 1, 0);
    contributions->addWidget(edAss_Chom, 1, 1);
    contributions->addWidget(edRet_Ant, 1, 2);
    contributions->setColumnStretch(3, 1);
    grid->addLayout(contributions, 6, 1);

    // The employer charges of a period are computed by their own window.
    mnChargesSoc = AddCommand("mnChargesSoc", QStringLiteral("Calculer les charges sociales"),
                              [this] { return Mode() != emBrowse && m_contributionMode; },
                              [this] { TfrmChargesSoc(this).exec(); });
    PopupMenu->insertAction(mnClose, mnChargesSoc);
    PopupMenu->insertSeparator(mnClose);

    for (QToolButton* b : {btnGetDateD, btnGetDateF})
        Follow(b, When::Editing);
    const TDateFieldRules dateRules{.buttonAsks = false, .doubleClick = TDateFieldRules::DoubleClick::Calendar};
    AttachDateField(edDateD, btnGetDateD, dateRules);
    AttachDateField(edDateF, btnGetDateF, dateRules);
    for (QWidget* w : {static_cast<QWidget*>(cmbTypePmt), static_cast<QWidget*>(edDateD),
                       static_cast<QWidget*>(edDateF), static_cast<QWidget*>(edReg_Gen),
                       static_cast<QWidget*>(edAss_Chom), static_cast<QWidget*>(edRet_Ant)})
        AddEnterToNext(w);
    // Tab and Enter go through the fields in the order they are shown: the
    // payment type and mission dates after the employee, the contributions
    // after the amount.
    QWidget* const order[] = {edBen,     btnGetBen, cmbTypePmt, edDateD,  btnGetDateD, edDateF,
                                    btnGetDateF, edChap,  edArt,      edPar,    btnGetImp,   edMontant,
                                    edReg_Gen, edAss_Chom, edRet_Ant, edObjet};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    resize(760, 420);
    SetContributionMode();
    SetMode(emBrowse);
}

void TfrmMission::ShowOwnFields(const TExpense* e)
{
    // The list holds the payment types in the order of their codes.
    const std::optional<PaymentType> type = e ? e->rembours : std::nullopt;
    cmbTypePmt->setCurrentIndex(type == PaymentType::Reimbursement || type == PaymentType::Payment ? toDb(*type) : -1);
    edDateD->setText(e ? DateText(e->missionStart) : QString());
    edDateF->setText(e ? DateText(e->missionEnd) : QString());
    edReg_Gen->SetAsCurrency(e ? e->regimeGen : Currency());
    edAss_Chom->SetAsCurrency(e ? e->assChomage : Currency());
    edRet_Ant->SetAsCurrency(e ? e->retraiteAnt : Currency());
    SetContributionMode();
}

void TfrmMission::NewOwnFields()
{
    // Only a proposal: the saved mission takes its key as number.
    edNoFact->setText(QString::number(m_expenses.NextMissionNumber()));
}

void TfrmMission::SetContributionMode()
{
    m_contributionMode = expense::IsContributionLine(edChap->text(), edArt->text());
    for (QWidget* w : {static_cast<QWidget*>(edReg_Gen), static_cast<QWidget*>(edAss_Chom),
                       static_cast<QWidget*>(edRet_Ant), static_cast<QWidget*>(lReg_Gen),
                       static_cast<QWidget*>(lAss_Chom), static_cast<QWidget*>(lRet_Ant)})
        w->setVisible(m_contributionMode);
    ApplyEditRights();
}

void TfrmMission::ApplyOwnRights(const expense::TEditRights& rights)
{
    for (TNumEdit* e : {edReg_Gen, edAss_Chom, edRet_Ant})
        e->setEnabled(rights.contributions);
    mnChargesSoc->setEnabled(Mode() != emBrowse && m_contributionMode);
}

void TfrmMission::ContributionChanged()
{
    // The amount is the contributions' sum once the user changed one of them
    // (or picked a line that takes them); an amount stored apart from its
    // contributions by an older entry stays as it is until then.
    const bool editing = Mode() != emBrowse;
    if (!editing
        || !expense::EditRights(ExpenseKind::Mission, Mode() == emInsert, ExpenseState(), m_contributionMode)
                .contributions)
        return;
    const auto value = [](TNumEdit* e) { return e->TryAsCurrency().value_or(Currency()); };
    edMontant->SetAsCurrency(expense::ContributionSum(value(edReg_Gen), value(edAss_Chom), value(edRet_Ant)));
}

QWidget* TfrmMission::AmountField() const
{
    return edMontant->isEnabled() ? static_cast<QWidget*>(edMontant) : static_cast<QWidget*>(edReg_Gen);
}

void TfrmMission::CheckOwnFields()
{
    if (cmbTypePmt->currentIndex() < 0)
        Refuse(QStringLiteral("Le type de paiement est manquant !"), cmbTypePmt);
    edDateD->setText(edDateD->text().trimmed());
    edDateF->setText(edDateF->text().trimmed());
    if (const TVerdict v = expense::CheckMissionDates(edDateD->text(), edDateF->text(), FiscalYear.trimmed().toInt(),
                                                      [](const QString& q) { return Confirm(q); }, m_start, m_end))
        Refuse(*v, v->field == expense::MissionStart ? edDateD : edDateF);
}

void TfrmMission::FillOwnFields(TExpense& e)
{
    e.rembours = fromDb<PaymentType>(cmbTypePmt->currentIndex());
    e.missionStart = m_start;
    e.missionEnd = m_end;
    e.regimeGen = edReg_Gen->TryAsCurrency().value_or(Currency());
    e.assChomage = edAss_Chom->TryAsCurrency().value_or(Currency());
    e.retraiteAnt = edRet_Ant->TryAsCurrency().value_or(Currency());
}

void TfrmMission::BudgetLinePicked()
{
    const bool wasContributionMode = m_contributionMode;
    SetContributionMode();
    // A line that puts the amount under the contributions shows their sum in
    // the amount it locks; a line of the same mode keeps the amount shown.
    if (m_contributionMode && !wasContributionMode)
        ContributionChanged();
    AmountField()->setFocus();
}

void TfrmMission::KeepHeldFields(const TExpense& stored)
{
    edReg_Gen->SetAsCurrency(stored.regimeGen);
    edAss_Chom->SetAsCurrency(stored.assChomage);
    edRet_Ant->SetAsCurrency(stored.retraiteAnt);
    TLineExpenseEditor::KeepHeldFields(stored);
}
