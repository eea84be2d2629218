#include "expenditure/UListDep.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "expenditure/ExpenseCriteria.h"
#include "expenditure/ExpenseEditor.h"
#include "expenditure/ExpenseLists.h"
#include "expenditure/UMandat.h"
#include "reports/expenses/URptListDep.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableView>

namespace {

enum Column { coNo, coDate, coImput, coMontant, coBen, coMdt, coDateMdt, coEng, coDateEng, coGap, coObjet, coCount };
// Widths of the columns; 0: a date's width; the beneficiary takes the rest.
const int kWidths[coCount] = {70, 0, 84, 110, 0, 50, 0, 50, 0, 12, 220};

const QColor kGreyText(128, 128, 128);
const QColor kOrderCells(239, 239, 239);

} // namespace

TfrmListDep::TfrmListDep(QWidget* parent)
    : TListingWindow(parent, "grdDep")
{
    setObjectName(QStringLiteral("frmListDep"));
    setWindowTitle(QStringLiteral("Listing des dépenses"));
    grdDep = grid();

    using B = Button;
    mnModif = AddCommand("mnModif", QStringLiteral("Ajouter/Modifier"), [this] { btnModifClick(); },
                         QKeySequence(Qt::Key_F2),
                         B{"btnModif", QStringLiteral("Modifier"), QStringLiteral("Saisir ou modifier une dépense"),
                           QStyle::SP_FileDialogDetailedView},
                         &btnModif);
    mnDelete = AddCommand("mnDelete", QStringLiteral("&Supprimer"), [this] { btnDeleteClick(); },
                          QKeySequence(Qt::CTRL | Qt::Key_Delete),
                          B{"btnDelete", QStringLiteral("Supprimer"), QStringLiteral("Supprimer la dépense"),
                            QStyle::SP_TrashIcon},
                          &btnDelete);
    AddMenuSeparator();
    mnVoirMdt = AddCommand("mnVoirMdt", QStringLiteral("Voir le mandat"), [this] { mnVoirMdtClick(); });
    mnVoirEng = AddCommand("mnVoirEng", QStringLiteral("Voir l'engagement"), [this] { mnVoirEngClick(); });
    AddMenuSeparator();
    mnFind = AddCommand("mnFind", QStringLiteral("Chercher une dépense"), [this] { btnFindClick(); },
                        QKeySequence(Qt::Key_F3),
                        B{"btnFind", QStringLiteral("Chercher"), QStringLiteral("Chercher une dépense"),
                          QStyle::SP_FileDialogContentsView},
                        &btnFind);
    mnFilter = AddCommand("mnFilter", QStringLiteral("Filtrer"), [this] { btnFilterClick(); }, QKeySequence(),
                          B{"btnFilter", QStringLiteral("Fil&trer ..."), QStringLiteral("Filtrer"),
                            QStyle::SP_FileDialogListView},
                          &btnFilter);
    mnCancelFilter = AddCommand("mnCancelFilter", QStringLiteral("Annuler le filtre"), [this] { CancelFilter(); });
    mnPrint = AddCommand("mnPrint", QStringLiteral("Imprimer le listing"), [this] { btnPrintClick(); },
                         QKeySequence(),
                         B{"btnPrint", QStringLiteral("Imprimer"), QStringLiteral("Imprimer le listing"),
                           QStyle::SP_FileIcon},
                         &btnPrint);
    AddMenuSeparator();
    mnClose = AddCommand("mnClose", QStringLiteral("&Fermer"), [this] { close(); });
    EndToolBar();
    AddStatusBar({60, 50, 110, 60});
    FollowRowCount(Rows(), stBar, 3);

    using F = QueryTableModel;
    const TColumnStyle orderCells{kOrderCells};
    TColumnStyle fitted;
    fitted.fitText = true;
    AddColumn("NO_DEPENSE", "No Dép.", F::Text, {}, fitted);
    AddColumn("DATE_DEPENSE", "Date", F::Date, Qt::AlignCenter);
    AddColumn("IMPUT", "Imput.", F::Text, Qt::AlignCenter);
    AddColumn("MONTANT", "Montant", F::Money, Qt::AlignRight);
    AddColumn("NOM_BEN", "Bénéficiaire", F::Text);
    AddColumn("NO_MDT", "Mdt", F::Text, Qt::AlignCenter, orderCells);
    AddColumn("DATE_MDT", "Date Mdt", F::Date, Qt::AlignCenter, orderCells);
    AddColumn("NO_ENG", "Eng", F::Text, Qt::AlignCenter);
    AddColumn("DATE_ENG", "Date Eng", F::Date, Qt::AlignCenter);
    AddColumn("", "", F::Text, {}, TColumnStyle{QColor(), false, false});
    AddColumn("OBJET", "Objet", F::Text);
    QueryTableModel* m = Rows();
    m->setKeyFields({QStringLiteral("ID_DEPENSE")});
    m->setRowTint([](int, const QueryRow& r) { return ExpenseKindColor(TExpenseListing::RowOf(r).kind); });
    m->setRowTextColor([](int, const QueryRow& r) {
        return IsMandated(TExpenseListing::RowOf(r).state) ? kGreyText : QColor();
    });
    for (int c = 0; c < coCount; ++c)
        if (c != coBen)
            grdDep->setColumnWidth(c, kWidths[c] > 0 ? kWidths[c] : DateColumnWidth());
    grdDep->horizontalHeader()->setStretchLastSection(true);
    connect(grdDep, &QTableView::doubleClicked, this, Guarded([this] { btnModifClick(); }));

    resize(1100, 560);
}

TfrmListDep::~TfrmListDep() = default;

void TfrmListDep::FormShow()
{
    m_filter = TFilterCriteria::Reset();
    stBar->SetPanel(0, QStringLiteral("Exercice"));
    stBar->SetPanel(1, FiscalYear);
    stBar->SetPanel(2, QStringLiteral("Nbre de dépenses"));
    ReadExpenses();
    FitBeneficiaryColumn();
}

void TfrmListDep::ReadExpenses()
{
    ShowRows(m_listing.Read(TypeDep));
    ShowFiltered();
}

void TfrmListDep::ShowFiltered()
{
    const QList<db::Value> key = Rows()->currentKey();
    Rows()->setFilter(FilterActive() ? ExpenseRowFilter(m_filter) : nullptr);
    if (!key.isEmpty())
        Rows()->locate(key);
}

void TfrmListDep::UpdateCommands()
{
    const bool rows = !Rows()->isEmpty();
    const TExpenseListing::Row r = TExpenseListing::RowOf(Rows()->current());
    for (QAction* a : {mnModif, mnDelete, mnFind, mnPrint})
        a->setEnabled(rows);
    // A filter that leaves no row is changed from here as well as cancelled.
    mnFilter->setEnabled(true);
    mnVoirMdt->setEnabled(rows && r.idMdt >= 0);
    mnVoirEng->setEnabled(rows && r.idEng >= 0);
    mnCancelFilter->setEnabled(FilterActive());
}

void TfrmListDep::btnModifClick()
{
    if (Rows()->isEmpty())
        return;
    const TExpenseListing::Row r = TExpenseListing::RowOf(Rows()->current());
    OpenExpenseEditor(this, r.kind, r.id);
    TWaitCursor wait;
    grdDep->setEnabled(false);
    ReadExpenses();
    grdDep->setEnabled(true);
}

void TfrmListDep::btnDeleteClick()
{
    if (Rows()->isEmpty())
        return;
    const TExpenseListing::Row r = TExpenseListing::RowOf(Rows()->current());
    if (!DeleteExpenseFromList(r.id, r.kind))
        return;
    TWaitCursor wait;
    ReadExpenses();
    Rows()->setCurrentRow(0);
}

void TfrmListDep::mnVoirMdtClick()
{
    const qint64 idMdt = Rows()->isEmpty() ? -1 : TExpenseListing::RowOf(Rows()->current()).idMdt;
    if (idMdt < 0)
        return;
    {
        TfrmMandat frm(this);
        frm.IdMdt = idMdt;
        frm.exec();
    }
    TWaitCursor wait;
    ReadExpenses();
}

void TfrmListDep::mnVoirEngClick()
{
    const qint64 idEng = Rows()->isEmpty() ? -1 : TExpenseListing::RowOf(Rows()->current()).idEng;
    if (idEng < 0 || !OpenSheet)
        return;
    // The sheet that holds this very expense, by its key: sheet numbers
    // repeat from one budget line to another.
    OpenSheet(this, idEng);
    TWaitCursor wait;
    ReadExpenses();
}

void TfrmListDep::btnFindClick()
{
    const std::optional<QString> typed =
        InputBox(this, QStringLiteral("Rechercher une dépense"), QStringLiteral("Tapez le No de la dépense : "));
    if (!typed || typed->isEmpty())
        return;
    if (!Rows()->locate({QStringLiteral("NO_DEPENSE")}, {db::Value(*typed)}))
        ShowInfo(*typed + QStringLiteral(" : Cette dépense est introuvable ! "));
}

void TfrmListDep::btnFilterClick()
{
    if (!AskCriteria<TfrmFilterDep>(m_filter, [this](TfrmFilterDep& dialog) { dialog.TypeDep = TypeDep; }))
        return;
    TWaitCursor wait;
    ApplyFilter(m_filter);
}

void TfrmListDep::ApplyFilter(const TFilterCriteria& filter)
{
    // The criteria chosen are the whole filter: none lists every expense again.
    m_filter = filter;
    FilterChosen(bool(ExpenseRowFilter(filter)));
}

void ReadExpenseListing(QueryTableModel& rows, std::optional<ExpenseKind> kind)
{
    TListingRows read = TExpenseListing().Read(kind);
    rows.setRows(read.names, std::move(read.rows));
}

void TfrmListDep::btnPrintClick()
{
    TfrmRptListDep form;
    form.UseListing(*Rows());
    form.Preview(this);
}

void TfrmListDep::keyPressEvent(QKeyEvent* event)
{
    // Esc takes an active filter away first, then closes.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && FilterActive()) {
        RunGuarded([this] { CancelFilter(); });
        return;
    }
    TListingWindow::keyPressEvent(event);
}

void TfrmListDep::resizeEvent(QResizeEvent* event)
{
    TListingWindow::resizeEvent(event);
    FitBeneficiaryColumn();
}

void TfrmListDep::FitBeneficiaryColumn()
{
    // The beneficiary takes what the other columns leave of the grid, the
    // object (the last, stretched) counted at its own width.
    int others = 0;
    for (int c = 0; c < coCount; ++c)
        if (c != coBen)
            others += c == coObjet ? kWidths[c] : grdDep->columnWidth(c);
    grdDep->setColumnWidth(coBen, std::max(160, grdDep->viewport()->width() - others));
}
