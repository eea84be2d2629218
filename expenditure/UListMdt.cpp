#include "expenditure/UListMdt.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "core/Routines.h"
#include "data/AccessRights.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "expenditure/OrderStore.h"
#include "expenditure/UFilterMdt.h"
#include "expenditure/UMandat.h"
#include "reports/mandat/URptListMdt.h"

#include <QAction>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

namespace {

enum Column { coNo, coDate, coMontant, coLibMontant, coNature };

} // namespace

TfrmListMdt::TfrmListMdt(QWidget* parent)
    : TListingWindow(parent, "grdMdt")
{
    setObjectName(QStringLiteral("frmListMdt"));
    setWindowTitle(QStringLiteral("Mandats"));
    grdMdt = grid();

    using B = Button;
    mnModif = AddCommand("mnModif", QStringLiteral("Ajouter/Modifier"), [this] { btnModifClick(); },
                         QKeySequence(Qt::Key_F2),
                         B{"btnModif", QStringLiteral("Modifier"), QStringLiteral("Mise à jour des mandats"),
                           QStyle::SP_FileDialogDetailedView},
                         &btnModif);
    mnDelete = AddCommand("mnDelete", QStringLiteral("&Supprimer"), [this] { btnDeleteClick(); },
                          QKeySequence(Qt::CTRL | Qt::Key_Delete),
                          B{"btnDelete", QStringLiteral("Supprimer"), QStringLiteral("Supprimer le mandat"),
                            QStyle::SP_TrashIcon},
                          &btnDelete);
    mnFind = AddCommand("mnFind", QStringLiteral("Chercher"), [this] { btnFindClick(); }, QKeySequence(Qt::Key_F3),
                        B{"btnFind", QStringLiteral("Chercher"), QStringLiteral("Chercher un mandat"),
                          QStyle::SP_FileDialogContentsView},
                        &btnFind);
    AddMenuSeparator();
    mnFilter = AddCommand("mnFilter", QStringLiteral("Filtrer"), [this] { btnFilterClick(); }, QKeySequence(),
                          B{"btnFilter", QStringLiteral("Filtrer"), QStringLiteral("Filtrer"),
                            QStyle::SP_FileDialogListView},
                          &btnFilter);
    mnCancelFilter = AddCommand("mnCancelFilter", QStringLiteral("Annuler le filtre"), [this] { CancelFilter(); });
    mnPrint = AddCommand("mnPrint", QStringLiteral("Imprimer le listing"), [this] { btnPrintClick(); },
                         QKeySequence(Qt::CTRL | Qt::Key_P),
                         B{"btnPrint", QStringLiteral("Imprimer"), QStringLiteral("Imprimer le listing"),
                           QStyle::SP_FileIcon},
                         &btnPrint);
    AddMenuSeparator();
    mnClose = AddCommand("mnClose", QStringLiteral("&Fermer"), [this] { close(); });
    EndToolBar();
    addAction(MakeCommand(this, "mnCalc", QStringLiteral("Calculatrice"), [] { RunCalculator(); },
                          QKeySequence(Qt::Key_F5)));
    AddStatusBar({90, 50, 160});
    FollowRowCount(Rows(), stBar, 2, QStringLiteral(" Mandats"));

    AddColumn("NO_MDT", "N° Mdt", QueryTableModel::Text, Qt::AlignCenter);
    AddColumn("DATE_MDT", "Date", QueryTableModel::Date, Qt::AlignCenter);
    AddColumn("MONTANT", "Montant", QueryTableModel::Money);
    AddColumn("LIB_MONTANT", "Mt Imput.", QueryTableModel::Money);
    AddColumn("NATURE", "Nature", QueryTableModel::Text);
    Rows()->setKeyFields({QStringLiteral("ID_MDT")});
    grdMdt->setColumnWidth(coNo, 70);
    grdMdt->setColumnWidth(coDate, DateColumnWidth());
    grdMdt->setColumnWidth(coMontant, 130);
    grdMdt->setColumnWidth(coLibMontant, 130);
    grdMdt->horizontalHeader()->setStretchLastSection(true);
    grdMdt->setColumnHidden(coLibMontant, true);
    connect(grdMdt, &QTableView::doubleClicked, this, Guarded([this] { btnModifClick(); }));

    resize(640, 520);
}

TfrmListMdt::~TfrmListMdt() = default;

void TfrmListMdt::FormShow()
{
    m_canWrite = CanWrite(MenuItem::mnListMdt, CurrentUserId);
    m_filter = TOrderCriteria::Reset();
    stBar->SetPanel(0, CurrentUserCode);
    stBar->SetPanel(1, FiscalYear);
    ReadOrders();
}

void TfrmListMdt::ReadOrders()
{
    m_rows = m_listing.Read();
    ShowFiltered();
}

void TfrmListMdt::ShowFiltered()
{
    // The orders of the budget line, and its share of each order, come from
    // the lines; the orders themselves are those already read.
    m_line.reset();
    if (FilterActive() && m_filter.ByBudgetLine())
        m_line = TOrderListing::OrdersOfLine(m_filter.idFnm);
    TListingRows rows = m_rows;
    TOrderListing::SetLineAmounts(rows, m_line);
    ShowRows(std::move(rows));
    const QList<db::Value> key = Rows()->currentKey();
    Rows()->setFilter(FilterActive() ? TOrderListing::RowFilter(m_filter, m_line) : nullptr);
    if (!key.isEmpty())
        Rows()->locate(key);
    grdMdt->setColumnHidden(coLibMontant, !SalaryLine());
}

void TfrmListMdt::UpdateCommands()
{
    const bool rows = !Rows()->isEmpty();
    mnModif->setEnabled(rows);
    mnDelete->setEnabled(rows);
    mnFind->setEnabled(rows);
    mnPrint->setEnabled(rows);
    mnCancelFilter->setEnabled(FilterActive());
}

void TfrmListMdt::btnModifClick()
{
    if (Rows()->isEmpty())
        return;
    {
        TfrmMandat frm(this);
        frm.IdMdt = Rows()->current().asInt(QStringLiteral("ID_MDT"));
        frm.exec();
    }
    TWaitCursor wait;
    ReadOrders();
}

void TfrmListMdt::btnDeleteClick()
{
    if (Rows()->isEmpty())
        return;
    if (!m_canWrite)
        DenyWriteAccess();
    TOrderListing::DeleteOrderAsked(Rows()->current().asInt(QStringLiteral("ID_MDT")));
    TWaitCursor wait;
    ReadOrders();
}

void TfrmListMdt::btnFindClick()
{
    TOrderListing::FindNumberAsked(this, *Rows());
}

void TfrmListMdt::btnFilterClick()
{
    if (!AskCriteria<TfrmFilterMdt>(m_filter))
        return;
    TWaitCursor wait;
    ApplyFilter(m_filter);
}

void TfrmListMdt::ApplyFilter(const TOrderCriteria& filter)
{
    // The criteria chosen are the whole filter: none lists every order again.
    m_filter = filter;
    FilterChosen(!filter.IsEmpty());
}

void TfrmListMdt::btnPrintClick()
{
    const QList<db::Value> key = Rows()->currentKey();
    TfrmRptListMdt form;
    if (SalaryLine())
        form.ImputCaption = TOrderListing::BudgetLineCaption(m_filter.idFnm);
    form.UseListing(*Rows());
    form.Preview(this);
    Rows()->locate(key);
}
