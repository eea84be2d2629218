#include "expenditure/UFact.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "data/MenuItems.h"
#include "data/UDM.h"
#include "expenditure/ExpenseRules.h"
#include "refdata/UListBenef.h"
#include "refdata/UListFNM.h"
#include "controls/NumEdit.h"
#include "db/Database.h"

#include <QAction>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QToolButton>

namespace {


} // namespace

TfrmFact::TfrmFact(QWidget* parent)
    : TExpenseEditor(parent, MenuItem::mnFactures, {60, 50, 110, 110, 90}, 4)
{
    BuildWindow();
}

TfrmFact::~TfrmFact() = default;

void TfrmFact::BuildWindow()
{
    setObjectName(QStringLiteral("frmFact"));
    setWindowTitle(QStringLiteral("Factures"));
    setModal(true);

    // Commands, in the popup menu's order.
    mnAdd = AddCommand("mnAdd", QStringLiteral("Nouvelle facture"), When::BrowseWithRight, [this] { btnAddClick(); });
    mnDelete = AddCommand("mnDelete", QStringLiteral("Supprimer la facture"), When::BrowseOnRowWithRight,
                          [this] { btnDeleteClick(); });
    mnModif = AddCommand("mnModif", QStringLiteral("Modifier la facture"), When::BrowseOnRowWithRight,
                         [this] { btnModifClick(); });
    mnPost = AddCommand("mnPost", QStringLiteral("Enregistrer"), When::Editing, [this] { btnPostClick(); },
                        QKeySequence(Qt::CTRL | Qt::Key_S));
    mnCancel = AddCommand("mnCancel", QStringLiteral("Annuler"), When::Editing, [this] { CancelEntry(); });
    // Nothing to search for in a year without invoices: the search is off.
    mnFind = AddCommand("mnFind", QStringLiteral("Chercher"), When::BrowseOnRow, [this] { btnFindClick(); },
                        QKeySequence(Qt::Key_F3));
    mnFour = AddCommand("mnFour", QStringLiteral("Fournisseur"), When::Editing, [this] { btnGetFourClick(); },
                        QKeySequence(Qt::CTRL | Qt::Key_F));
    mnListing = AddCommand("mnListing", QStringLiteral("Listing des Factures"), When::Always, [] {});
    mnListing->setVisible(false);
    mnClose = AddCommand("mnClose", QStringLiteral("Fermer"), When::Always, [this] { close(); });
    // Ctrl+I: the budget-line picker, while its button is enabled.
    QAction* getImp = AddCommand("", QStringLiteral("Imputation"), When::Editing, [this] { btnGetImpClick(); },
                                 QKeySequence(Qt::CTRL | Qt::Key_I));
    AddWindowKey(getImp);

    // Tool bar.
    QFrame* pnlButton = BuildToolBar({mnAdd, mnModif, mnDelete, mnPost, mnCancel, mnClose, mnFind}, &btnFind);

    // Entry panel.
    QGridLayout* grid = MakeEntryPanel(this, &pnlMain, 10, 8);

    edNoFact = MakeEdit(pnlMain, "edNoFact", 40);
    edDFact = MakeEdit(pnlMain, "edDFact", 10);
    edDFact->setFixedWidth(90);
    edDFact->setToolTip(QStringLiteral("Double-clic : calendrier"));
    btnGetDate = MakePickButton(pnlMain, "btnGetDate", QStringLiteral("Calendrier"));
    edFour = MakeEdit(pnlMain, "edFour", 0, true);
    edFour->setFixedWidth(70);
    btnGetFour = MakePickButton(pnlMain, "btnGetFour", QStringLiteral("Fournisseur (Ctrl+F)"));
    BindButton(btnGetFour, mnFour);
    lFour = new QLabel(pnlMain);
    lFour->setObjectName(QStringLiteral("lFour"));
    edChap = MakeEdit(pnlMain, "edChap", 0, true);
    edChap->setFixedWidth(70);
    edArt = MakeEdit(pnlMain, "edArt", 0, true);
    edArt->setFixedWidth(40);
    edPar = MakeEdit(pnlMain, "edPar", 0, true);
    edPar->setFixedWidth(40);
    btnGetImp = MakePickButton(pnlMain, "btnGetImp", QStringLiteral("Imputation (Ctrl+I)"));
    BindButton(btnGetImp, getImp);
    lInt = new QLabel(pnlMain);
    lInt->setObjectName(QStringLiteral("lInt"));
    lInt->setWordWrap(true);
    edMontant = MakeAmountEdit(pnlMain, "edMontant", 160);
    edObjet = MakeEdit(pnlMain, "edObjet", 150);

    grid->addWidget(MakeCaption(pnlMain, QStringLiteral("N° Facture : ")), 0, 0);
    grid->addLayout(Row({edNoFact, MakeCaption(pnlMain, QStringLiteral("Date : ")), edDFact, btnGetDate}, false), 0, 1);
    grid->addWidget(MakeCaption(pnlMain, QStringLiteral("Fournisseur : ")), 1, 0);
    auto* fourRow = Row({edFour, btnGetFour, lFour}, false);
    fourRow->setStretchFactor(lFour, 1);
    grid->addLayout(fourRow, 1, 1);
    grid->addWidget(MakeCaption(pnlMain, QStringLiteral("Imputation : ")), 2, 0);
    grid->addLayout(Row({edChap, edArt, edPar, btnGetImp}, true), 2, 1);
    grid->addWidget(lInt, 3, 1);
    grid->addWidget(MakeCaption(pnlMain, QStringLiteral("Montant : ")), 4, 0);
    grid->addLayout(Row({edMontant}, true), 4, 1);
    grid->addWidget(MakeCaption(pnlMain, QStringLiteral("Objet : ")), 5, 0);
    grid->addWidget(edObjet, 5, 1);
    grid->setColumnStretch(1, 1);

    // Documents holding the invoice and the supplier's total.
    QHBoxLayout* info = nullptr;
    QWidget* pnlInfo = BuildDocumentNumbers(&lNoMdt, QStringLiteral("MDT : "), &lNoEng, QStringLiteral("F.E : "), &info);
    lCA = MakeValueLabel(pnlInfo, "lCA");
    lCA->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lCA->setMinimumWidth(150);
    info->addWidget(new QLabel(QStringLiteral("C.A Four.: "), pnlInfo));
    info->addWidget(lCA);

    LayOut(pnlButton, {pnlMain, pnlInfo});
    stBar->SetPanel(0, QStringLiteral("Exercice "));

    // Popup menu.
    PopMnFact = new QMenu(this);
    PopMnFact->setObjectName(QStringLiteral("PopMnFact"));
    PopMnFact->addActions({mnAdd, mnDelete, mnModif});
    PopMnFact->addSeparator();
    PopMnFact->addActions({mnPost, mnCancel});
    PopMnFact->addSeparator();
    PopMnFact->addActions({mnFind, mnFour, mnListing});
    PopMnFact->addSeparator();
    PopMnFact->addAction(mnClose);
    AttachPopupMenu(PopMnFact, btnMenu);

    // The mode table's other members, the entry panel and the navigator.
    Follow(btnGetDate, When::Editing);
    AttachDateField(edDFact, btnGetDate,
                    TDateFieldRules{.buttonAsks = false, .doubleClick = TDateFieldRules::DoubleClick::Calendar});
    SetEntryPanel(pnlMain);
    SetNavigator(MyNavigator);
    connect(MyNavigator, &TRecordNavigator::moved, this, Guarded([this] { ShowExpense(); }));

    resize(740, 330);
    SetMode(emBrowse);
}

void TfrmFact::ShowStoredRow()
{
    RefreshRows(IdDepense);
    ShowExpense();
}

// --- showing -------------------------------------------------------------------

void TfrmFact::FormShow()
{
    OpenRows(ExpenseKind::Invoice, MyNavigator);
    ShowExpense();
    stBar->SetPanel(1, FiscalYear);
}

void TfrmFact::FormClose()
{
    CloseRows();
}

void TfrmFact::ClearEntry()
{
    for (QLineEdit* e : {edNoFact, edDFact, edFour, edChap, edArt, edPar, edObjet})
        e->clear();
    lFour->clear();
    lInt->clear();
    edMontant->SetAsCurrency(Currency());
}

void TfrmFact::ShowExpense()
{
    m_idFnm = -1;
    m_state = ::ExpenseState::Free;
    ClearEntry();
    if (const std::optional<TExpense> e = CurrentExpense()) {
        IdDepense = int(e->id);
        m_state = DM->Queries().GetExpenseState(IdDepense);
        m_idFnm = e->idFnm;
        edNoFact->setText(e->number);
        edDFact->setText(DateText(e->date));
        edMontant->SetAsCurrency(e->amount);
        if (m_idFnm != -1) {
            const TExpenseLookups::BudgetLine line = Lookups().Line(m_idFnm);
            edChap->setText(line.chap);
            edArt->setText(line.art);
            edPar->setText(line.par);
            lInt->setText(line.intitule);
        }
        // An invoice without a supplier shows 0, as the column's NULL reads.
        const qint64 idBen = std::max<qint64>(e->idBen, 0);
        edFour->setText(QString::number(idBen));
        lFour->setText(Lookups().BenName(idBen));
        edObjet->setText(e->objet);
    }
    edMontant->setEnabled(true);
    btnGetImp->setEnabled(true);
    SetMode(emBrowse);
    MyNavigator->UpdateButtons();
    ShowDocumentNumbers();
}

void TfrmFact::ShowDocumentNumbers()
{
    const std::optional<TExpense> e = CurrentExpense();
    TExpenseEditor::ShowDocumentNumbers(e ? IdDepense : -1, lNoMdt, lNoEng);
    lCA->setText(m_expenses.BeneficiaryTotal(ExpenseKind::Invoice, e ? e->idBen : -1).formatMoney());
}

// --- operations ---------------------------------------------------------------------

void TfrmFact::btnAddClick()
{
    RequireWriteRight();
    lNoEng->clear();
    lNoMdt->clear();
    lCA->clear();
    m_idFnm = -1;
    ClearEntry();
    SetMode(emInsert);
    edNoFact->setFocus();
}

void TfrmFact::btnModifClick()
{
    RequireWriteRight();
    if (!HasRows())
        return;
    SetMode(emEdit);
    // A committed or mandated invoice keeps its amount and budget line.
    const bool free = m_state == ::ExpenseState::Free;
    edMontant->setEnabled(free);
    btnGetImp->setEnabled(free);
    RecolourEntryPanel();
    if (!free)
        ShowInfo(QStringLiteral("Cette facture est engagée et/ou mandatée !\r"
                                "Certaines informations ne peuvent être modifiées."));
    edObjet->setFocus();
}

void TfrmFact::KeepHeldFields(const TExpense& stored)
{
    m_state = DM->Queries().GetExpenseState(stored.id);
    edMontant->SetAsCurrency(stored.amount);
    const TExpenseLookups::BudgetLine line = Lookups().Line(stored.idFnm);
    SetBudgetLine(stored.idFnm, line.chap, line.art, line.par, line.intitule);
    edMontant->setEnabled(false);
    btnGetImp->setEnabled(false);
    RecolourEntryPanel();
    ShowInfo(QStringLiteral("Cette facture est engagée et/ou mandatée !\r"
                            "Certaines informations ne peuvent être modifiées."));
}

void TfrmFact::btnCancelClick()
{
    ShowExpense();
}

void TfrmFact::btnDeleteClick()
{
    RequireWriteRight();
    if (!HasRows())
        return;
    // Refused while any sheet (a cancelled one too) or order holds the invoice.
    if (!DeleteExpenseAsked(IdDepense,
                            {QStringLiteral("Cette Facture est déjà Engagée !\rSuppression Impossible."),
                             QStringLiteral("Cette Facture est déjà mandatée !\rSuppression Impossible."),
                             QStringLiteral("Cette Facture est déjà Engagée et mandatée!\rSuppression Impossible.")},
                            QStringLiteral("Etes-vous sûr de vouloir supprimer cette facture ?")))
        return;
    // The invoice's row goes; the one after it is shown.
    TakeExpenseRow(IdDepense);
    ShowExpense();
}

void TfrmFact::btnFindClick()
{
    if (!HasRows())
        return;
    // The input box speaks French, whatever translations Qt has loaded.
    const std::optional<QString> typed =
        InputBox(this, QStringLiteral("Rechercher une Facture"), QStringLiteral("Tapez le No de la dépense : "));
    if (!typed)
        return;
    const QString text = *typed;
    if (text.isEmpty())
        return;
    if (LocateNumber(text)) {
        ShowExpense();
        return;
    }
    ShowInfo(text + QStringLiteral(" : Cette facture est introuvable ! "));
}

void TfrmFact::btnPostClick()
{
    RequireWriteRight();
    if (Mode() == emBrowse)
        return;

    // The checks, on what is typed and on the supplier's other numbers.
    const bool inserting = Mode() == emInsert;
    expense::InvoiceEntry entry;
    entry.number = edNoFact->text().trimmed();
    entry.date = edDFact->text();
    entry.amount = edMontant->TryAsCurrency();
    entry.supplier = edFour->text();
    const qint64 typedSupplier = entry.supplier.trimmed().toLongLong();
    entry.numberTaken = !entry.number.isEmpty() && !entry.supplier.trimmed().isEmpty()
        && m_expenses.NumberTaken(entry.number, typedSupplier, inserting ? -1 : IdDepense);
    entry.hasBudgetLine = !edChap->text().isEmpty() && m_idFnm != -1;
    expense::Invoice invoice;
    const TVerdict verdict = expense::CheckInvoice(entry, FiscalYear.trimmed().toInt(),
                                                   [](const QString& q) { return Confirm(q); }, invoice);
    edNoFact->setText(entry.number);
    if (verdict) {
        QWidget* const fields[] = {edNoFact, edDFact, edMontant, edFour, edChap};
        Refuse(*verdict, fields[verdict->field]);
    }

    TWaitCursor wait;
    TExpense e;
    e.id = IdDepense;
    e.number = invoice.number;
    e.date = invoice.date;
    e.kind = ExpenseKind::Invoice;
    e.idBen = invoice.idBen;
    e.objet = edObjet->text().trimmed();
    e.idFnm = m_idFnm;
    e.amount = invoice.amount;
    // Only what the save changed is read again: the invoice's row and the
    // labels of its line and supplier, not the year's invoices.
    WriteExpense(e);
    ShowExpense();
}

// --- pickers -----------------------------------------------------------------------------

void TfrmFact::btnGetFourClick()
{
    if (!btnGetFour->isEnabled())
        return;
    {
        TfrmListBenef picker(this);
        picker.SelectMode = true;
        picker.TypeBen = BeneficiaryType::Supplier;
        if (picker.exec() == QDialog::Accepted) {
            edFour->setText(QString::number(picker.IdBen));
            lFour->setText(picker.NomBen);
        }
    }
    edObjet->setFocus();
}

void TfrmFact::btnGetImpClick()
{
    if (!btnGetImp->isEnabled())
        return;
    TfrmListFNM picker(this);
    picker.SelectMode = true;
    if (picker.exec() != QDialog::Accepted)
        return;
    SetBudgetLine(picker.IdFnm, picker.Chap, picker.Art, picker.Par, picker.Intitule);
    edMontant->setFocus();
}

void TfrmFact::SetBudgetLine(qint64 idFnm, const QString& chap, const QString& art, const QString& par,
                             const QString& intitule)
{
    m_idFnm = idFnm;
    edChap->setText(chap);
    edArt->setText(art);
    edPar->setText(par);
    lInt->setText(intitule);
}
