#include "expenditure/LineExpenseEditor.h"

#include "controls/NumEdit.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "core/Routines.h"
#include "data/MenuItems.h"
#include "data/UDM.h"
#include "ui/RecordNavigator.h"

#include <QAction>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

namespace {

const std::array<QString, 3> DeleteRefusals = {
    QStringLiteral("Cette Dépense est déjà Engagée !\rSuppression Impossible."),
    QStringLiteral("Cette Dépense est déjà mandatée !\rSuppression Impossible."),
    QStringLiteral("Cette Dépense est déjà Engagée et mandatée!\rSuppression Impossible.")};

} // namespace

TLineExpenseEditor::TLineExpenseEditor(QWidget* parent, const Setup& setup)
    : TExpenseEditor(parent, MenuItem::mnAutreDep, {60, 50, 110, 110, 90}, 4), m_setup(setup)
{
    BuildWindow();
}

void TLineExpenseEditor::BuildWindow()
{
    setObjectName(QString::fromLatin1(m_setup.objectName));
    setWindowTitle(m_setup.caption);
    setModal(true);

    // Commands, in the menu's order.
    const bool keys = m_setup.menuKeys;
    mnAdd = AddCommand("mnAdd", QStringLiteral("Nouvelle facture"), When::BrowseWithRight, [this] { btnAddClick(); });
    mnDelete = AddCommand("mnDelete", QStringLiteral("Supprimer la facture"), When::BrowseOnRowWithRight,
                          [this] { btnDeleteClick(); });
    mnModif = AddCommand("mnModif", QStringLiteral("Modifier la facture"), When::BrowseOnRowWithRight,
                         [this] { btnModifClick(); });
    mnPost = AddCommand("mnPost", QStringLiteral("Enregistrer"), When::Editing, [this] { btnPostClick(); },
                        keys ? QKeySequence(Qt::CTRL | Qt::Key_S) : QKeySequence());
    mnCancel = AddCommand("mnCancel", QStringLiteral("Annuler"), When::Editing, [this] { CancelEntry(); });
    // These windows have no search.
    mnFind = AddCommand("mnFind", QStringLiteral("Chercher"), [] { return false; }, [] {},
                        keys ? QKeySequence(Qt::Key_F3) : QKeySequence());
    mnFour = AddCommand("mnFour", QStringLiteral("Fournisseur"), When::Editing, [this] { btnGetBenClick(); },
                        keys ? QKeySequence(Qt::CTRL | Qt::Key_F) : QKeySequence());
    mnListing = AddCommand("mnListing", QStringLiteral("Listing des Factures"), When::Always, [] {});
    mnListing->setVisible(false);
    mnClose = AddCommand("mnClose", QStringLiteral("Fermer"), When::Always, [this] { close(); });
    // Ctrl+I opens the budget-line picker, and Ctrl+F the beneficiary's when
    // the menu's keys do not act.
    QAction* getImp = AddCommand("", QStringLiteral("Imputation"), When::Editing, [this] { btnGetImpClick(); },
                                 QKeySequence(Qt::CTRL | Qt::Key_I));
    AddWindowKey(getImp);
    if (!keys)
        AddWindowKey(AddCommand("", QStringLiteral("Bénéficiaire"), When::Editing, [this] { btnGetBenClick(); },
                                QKeySequence(Qt::CTRL | Qt::Key_F)));

    QFrame* pnlButton = BuildToolBar({mnAdd, mnModif, mnDelete, mnPost, mnCancel, mnClose});

    // Entry panel.
    m_grid = MakeEntryPanel(this, &pnlMain, 10, 8);
    QWidget* panel = pnlMain;

    edNoFact = MakeEdit(panel, "edNoFact", 40, true);
    edNoFact->setFixedWidth(90);
    edDFact = MakeEdit(panel, "edDFact", 10);
    edDFact->setFixedWidth(90);
    edDFact->setToolTip(QStringLiteral("Double-clic : calendrier"));
    btnGetDate = MakePickButton(panel, "btnGetDate", QStringLiteral("Calendrier"));
    m_grid->addWidget(MakeCaption(panel, QStringLiteral("N° : ")), 0, 0);
    m_grid->addLayout(Row({edNoFact, MakeCaption(panel, QStringLiteral("Date : ")), edDFact, btnGetDate}, true), 0, 1);

    m_ben.AddTo(m_grid, 1, panel, m_setup.benCaption);
    edBen = m_ben.edit;
    btnGetBen = m_ben.button;
    lBen = m_ben.name;
    connect(btnGetBen, &QToolButton::clicked, this, Guarded([this] { btnGetBenClick(); }));

    m_line.AddTo(m_grid, 3, panel, QStringLiteral("Imputation : "));
    edChap = m_line.edChap;
    edArt = m_line.edArt;
    edPar = m_line.edPar;
    btnGetImp = m_line.btnGetImp;
    lInt = m_line.lInt;
    connect(btnGetImp, &QToolButton::clicked, this, Guarded([this] { btnGetImpClick(); }));

    lMontant = MakeCaption(panel, QStringLiteral("Montant : "));
    lMontant->setObjectName(QStringLiteral("lMontant"));
    edMontant = MakeAmountEdit(panel, "edMontant", 160);
    m_grid->addWidget(lMontant, 5, 0);
    m_grid->addLayout(Row({edMontant}, true), 5, 1);

    edObjet = MakeEdit(panel, "edObjet", 150);
    m_grid->addWidget(MakeCaption(panel, QStringLiteral("Objet : ")), 7, 0);
    m_grid->addWidget(edObjet, 7, 1);
    m_grid->setColumnStretch(1, 1);

    QWidget* pnlInfo = BuildDocumentNumbers(&lNoMdt, QStringLiteral("MDT : "), &lNoEng, QStringLiteral("F.E : "));

    LayOut(pnlButton, {pnlMain, pnlInfo});
    stBar->SetPanel(0, QStringLiteral("Exercice "));
    stBar->SetPanel(1, FiscalYear);

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QString::fromLatin1(m_setup.menuName));
    PopupMenu->addActions({mnAdd, mnDelete, mnModif});
    PopupMenu->addSeparator();
    PopupMenu->addActions({mnPost, mnCancel});
    PopupMenu->addSeparator();
    PopupMenu->addActions({mnFind, mnFour, mnListing});
    PopupMenu->addSeparator();
    PopupMenu->addAction(mnClose);
    AttachPopupMenu(PopupMenu, btnMenu, keys);

    Follow(btnGetDate, When::Editing);
    Follow(btnGetBen, When::Editing);
    const TDateFieldRules dateRules{.buttonAsks = false, .doubleClick = TDateFieldRules::DoubleClick::Calendar};
    if (m_setup.amountAfterDate)
        AttachDateField(edDFact, btnGetDate, dateRules, [this] { edMontant->setFocus(); });
    else
        AttachDateField(edDFact, btnGetDate, dateRules);
    for (QWidget* w : {static_cast<QWidget*>(edObjet), static_cast<QWidget*>(edMontant), static_cast<QWidget*>(edDFact)})
        AddEnterToNext(w);
    SetEntryPanel(pnlMain);
    SetNavigator(MyNavigator);
    connect(MyNavigator, &TRecordNavigator::moved, this, Guarded([this] { ShowExpense(); }));
    resize(760, 380);
}

// --- showing -------------------------------------------------------------------

void TLineExpenseEditor::FormShow()
{
    OpenRows(m_setup.kind, MyNavigator);
    ShowExpense();
    stBar->SetPanel(1, FiscalYear);
}

void TLineExpenseEditor::FormClose()
{
    CloseRows();
}

void TLineExpenseEditor::ShowExpense()
{
    m_state = ::ExpenseState::Free;
    for (QLineEdit* e : {edNoFact, edDFact, edObjet})
        e->clear();
    m_ben.Clear();
    m_line.Clear();
    edMontant->SetAsCurrency(Currency());
    const std::optional<TExpense> e = CurrentExpense();
    if (e) {
        IdDepense = int(e->id);
        m_state = DM->Queries().GetExpenseState(e->id);
        edNoFact->setText(e->number);
        edDFact->setText(DateText(e->date));
        m_ben.Show(e->idBen, Lookups().BenName(e->idBen));
        if (e->idFnm > 0) {
            const TExpenseLookups::BudgetLine l = Lookups().Line(e->idFnm);
            m_line.Show(TPickedLine{e->idFnm, l.chap, l.art, l.par, l.intitule});
        }
        edMontant->SetAsCurrency(e->amount);
        edObjet->setText(e->objet);
    }
    ShowOwnFields(e ? &*e : nullptr);
    SetMode(emBrowse);
    MyNavigator->UpdateButtons();
    ShowDocumentNumbers(e ? e->id : -1, lNoMdt, lNoEng);
}

void TLineExpenseEditor::ModeChanged()
{
    ApplyEditRights();
}

void TLineExpenseEditor::ApplyEditRights()
{
    const expense::TEditRights rights =
        expense::EditRights(m_setup.kind, Mode() == emInsert, m_state, ContributionMode());
    edMontant->setEnabled(rights.amount);
    lMontant->setEnabled(rights.amount);
    btnGetImp->setEnabled(Mode() != emBrowse && rights.budgetLine);
    ApplyOwnRights(rights);
    RecolourEntryPanel();
}

QWidget* TLineExpenseEditor::AmountField() const
{
    return edMontant;
}

// --- operations ---------------------------------------------------------------------

void TLineExpenseEditor::btnAddClick()
{
    RequireWriteRight();
    m_state = ::ExpenseState::Free;
    lNoEng->clear();
    lNoMdt->clear();
    for (QLineEdit* e : {edNoFact, edDFact, edObjet})
        e->clear();
    m_ben.Clear();
    m_line.Clear();
    edMontant->SetAsCurrency(Currency());
    ShowOwnFields(nullptr);
    NewOwnFields();
    SetMode(emInsert);
    edDFact->setFocus();
}

void TLineExpenseEditor::btnModifClick()
{
    RequireWriteRight();
    if (!HasRows())
        return;
    // The state now: a document may have taken the expense since it was shown.
    m_state = DM->Queries().GetExpenseState(IdDepense);
    SetMode(emEdit);
    if (m_state != ::ExpenseState::Free)
        ShowInfo(QStringLiteral("Cette dépense est engagée ou/et mandatée !\r"
                                "Certaines informations ne peuvent être modifiées."));
    edObjet->setFocus();
}

void TLineExpenseEditor::KeepHeldFields(const TExpense& stored)
{
    m_state = DM->Queries().GetExpenseState(stored.id);
    edMontant->SetAsCurrency(stored.amount);
    if (stored.idFnm > 0) {
        const TExpenseLookups::BudgetLine l = Lookups().Line(stored.idFnm);
        m_line.Show(TPickedLine{stored.idFnm, l.chap, l.art, l.par, l.intitule});
    } else {
        m_line.Clear();
    }
    BudgetLinePicked();
    ApplyEditRights();
    ShowInfo(QStringLiteral("Cette dépense est engagée ou/et mandatée !\r"
                            "Certaines informations ne peuvent être modifiées."));
}

void TLineExpenseEditor::btnCancelClick()
{
    ShowExpense();
}

void TLineExpenseEditor::btnDeleteClick()
{
    RequireWriteRight();
    if (!HasRows())
        return;
    if (!DeleteExpenseAsked(IdDepense, DeleteRefusals,
                            QStringLiteral("Etes-vous sûr de vouloir supprimer cette Dépense ?")))
        return;
    RefreshRows();
    ShowExpense();
}

void TLineExpenseEditor::btnPostClick()
{
    RequireWriteRight();
    if (Mode() == emBrowse)
        return;
    QDate date;
    if (const TVerdict v = expense::CheckDate(edDFact->text(), QStringLiteral("La Date Facture est manquante !"),
                                              QStringLiteral("La Date Facture est incorrecte !"),
                                              m_setup.otherYearText, m_setup.otherYear, FiscalYear.trimmed().toInt(),
                                              [](const QString& q) { return Confirm(q); }, 0, date))
        Refuse(*v, edDFact);
    const std::optional<Currency> typed = edMontant->TryAsCurrency();
    const Currency amount = typed.value_or(Currency());
    if (!typed || amount <= Currency() || amount > MaxAmount)
        Refuse(QStringLiteral("Le Montant de la Facture est incorrect !"), AmountField());
    CheckOwnFields();
    if (edChap->text().isEmpty() || m_line.idFnm == -1)
        Refuse(QStringLiteral("L'Imputation est manquante !"), edChap);
    if (m_ben.Id() < 0)
        Refuse(QStringLiteral("Le bénéficiaire est manquant !"), edBen);

    TExpense e;
    e.kind = m_setup.kind;
    e.id = IdDepense;
    e.number = edNoFact->text();
    e.date = date;
    e.idBen = m_ben.Id();
    e.objet = edObjet->text().trimmed();
    e.rembours = std::nullopt;
    e.idFnm = m_line.idFnm;
    e.amount = amount;
    FillOwnFields(e);
    WriteExpense(e);
    ShowExpense();
}

// --- pickers -----------------------------------------------------------------------------

void TLineExpenseEditor::btnGetBenClick()
{
    if (!btnGetBen->isEnabled())
        return;
    if (const auto picked = PickBeneficiary(m_setup.benType)) {
        m_ben.Show(picked->first, picked->second);
        BeneficiaryPicked();
    }
    edObjet->setFocus();
}

void TLineExpenseEditor::btnGetImpClick()
{
    if (!btnGetImp->isEnabled())
        return;
    const std::optional<TPickedLine> picked = PickBudgetLine();
    if (!picked)
        return;
    m_line.Show(*picked);
    BudgetLinePicked();
}
