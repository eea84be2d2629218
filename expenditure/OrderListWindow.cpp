#include "expenditure/OrderListWindow.h"

#include "core/Guard.h"
#include "core/MessageBox.h"
#include "core/Refusal.h"
#include "core/Routines.h"
#include "data/BudgetQueries.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "expenditure/UFilterMdt.h"
#include "expenditure/UMandat.h"
#include "reports/mandat/URptListMdt.h"

#include <QHeaderView>
#include <QTableView>

namespace {

enum Column { coNo, coDate, coMontant, coLibMontant, coNature };

} // namespace

TOrderListWindow::TOrderListWindow(QWidget* parent, TOrderListing::Order order)
    : TListingWindow(parent, "grdMdt"), m_listing(order)
{
}

void TOrderListWindow::AddOrderColumns()
{
    AddColumn("NO_MDT", "N° Mdt", QueryTableModel::Text, Qt::AlignCenter);
    AddColumn("DATE_MDT", "Date", QueryTableModel::Date, Qt::AlignCenter);
    AddColumn("MONTANT", "Montant", QueryTableModel::Money);
    AddColumn("LIB_MONTANT", "Mt Imput.", QueryTableModel::Money);
    AddColumn("NATURE", "Nature", QueryTableModel::Text);
    Rows()->setKeyFields({QStringLiteral("ID_MDT")});
    grid()->setColumnWidth(coNo, 70);
    grid()->setColumnWidth(coDate, DateColumnWidth());
    grid()->setColumnWidth(coMontant, 130);
    grid()->setColumnWidth(coLibMontant, 130);
    grid()->horizontalHeader()->setStretchLastSection(true);
    grid()->setColumnHidden(coLibMontant, true);
}

QAction* TOrderListWindow::AddModifCommand(QPushButton** button)
{
    return AddCommand("mnModif", QStringLiteral("Ajouter/Modifier"), [this] { OpenCurrentOrder(); },
                      QKeySequence(Qt::Key_F2),
                      Button{"btnModif", QStringLiteral("Modifier"), QStringLiteral("Mise à jour des mandats"),
                             QStyle::SP_FileDialogDetailedView},
                      button);
}

QAction* TOrderListWindow::AddFindCommand(QPushButton** button)
{
    return AddCommand("mnFind", QStringLiteral("Chercher"), [this] { FindNumberAsked(); },
                      QKeySequence(Qt::Key_F3),
                      Button{"btnFind", QStringLiteral("Chercher"), QStringLiteral("Chercher un mandat"),
                             QStyle::SP_FileDialogContentsView},
                      button);
}

QAction* TOrderListWindow::AddFilterCommand(QPushButton** button)
{
    return AddCommand("mnFilter", QStringLiteral("Filtrer"), [this] { AskFilter(); }, QKeySequence(),
                      Button{"btnFilter", QStringLiteral("Filtrer"), QStringLiteral("Filtrer"),
                             QStyle::SP_FileDialogListView},
                      button);
}

QAction* TOrderListWindow::AddCancelFilterCommand()
{
    return AddCommand("mnCancelFilter", QStringLiteral("Annuler le filtre"), [this] { CancelFilter(); });
}

void TOrderListWindow::EndOrderToolBar()
{
    EndToolBar();
    addAction(MakeCommand(this, "mnCalc", QStringLiteral("Calculatrice"), [] { RunCalculator(); },
                          QKeySequence(Qt::Key_F5)));
    AddStatusBar({90, 50, 160});
    FollowRowCount(Rows(), stBar, 2, QStringLiteral(" Mandats"));
}

void TOrderListWindow::ReadOrders()
{
    m_rows = m_listing.Read();
    OrdersRead();
    ShowFiltered();
}

void TOrderListWindow::ShowFiltered()
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
    QueryTableModel::Filter criteria = FilterActive() ? TOrderListing::RowFilter(m_filter, m_line) : nullptr;
    Rows()->setFilter([this, criteria](const QueryRow& row) {
        return !Excluded(TOrderListing::KeyOf(row)) && (!criteria || criteria(row));
    });
    if (!key.isEmpty())
        Rows()->locate(key);
    grid()->setColumnHidden(coLibMontant, !SalaryLine());
}

void TOrderListWindow::ApplyFilter(const TOrderCriteria& filter)
{
    m_filter = filter;
    FilterChosen(!filter.IsEmpty());
}

void TOrderListWindow::OpenCurrentOrder()
{
    if (Rows()->isEmpty())
        return;
    {
        TfrmMandat frm(this);
        frm.IdMdt = TOrderListing::KeyOf(Rows()->current());
        frm.exec();
    }
    TWaitCursor wait;
    ReadOrders();
}

void TOrderListWindow::AskFilter()
{
    if (!AskCriteria<TfrmFilterMdt>(m_filter))
        return;
    TWaitCursor wait;
    ApplyFilter(m_filter);
}

QString ReadOrderListing(QueryTableModel& rows, qint64 idFnm)
{
    TOrderListing listing;
    TListingRows read = listing.Read();
    std::optional<TLineOrders> line;
    TOrderCriteria criteria = TOrderCriteria::Reset();
    QString caption;
    if (idFnm != -1) {
        line = TOrderListing::OrdersOfLine(idFnm);
        criteria.imput = true;
        criteria.idFnm = idFnm;
        if (line->salary)
            caption = TOrderListing::BudgetLineCaption(idFnm);
    }
    TOrderListing::SetLineAmounts(read, line);
    rows.setRows(read.names, std::move(read.rows));
    rows.setFilter(TOrderListing::RowFilter(criteria, line));
    return caption;
}

void TOrderListWindow::PrintListing()
{
    const QList<db::Value> key = Rows()->currentKey();
    TfrmRptListMdt form;
    if (SalaryLine())
        form.ImputCaption = TOrderListing::BudgetLineCaption(m_filter.idFnm);
    form.UseListing(*Rows());
    form.Preview(this);
    Rows()->locate(key);
}

bool DeleteOrderAsked(qint64 idMdt)
{
    TVerdict refusal = TOrderListing::DeleteRefusal(idMdt);
    if (!refusal) {
        if (!AskDeletionTwice(QStringLiteral("Etes-vous sûr de vouloir supprimer ce mandat ?"),
                              QStringLiteral("Confirmez la suppression définitive de ce mandat ?")))
            return false;
        TWaitCursor wait;
        TWriteGuard write;
        refusal = TOrderListing::DeleteOrder(idMdt);
        if (!refusal)
            write.Commit();
    }
    if (refusal) {
        ShowRefusal(*refusal, nullptr);
        return false;
    }
    DM->Queries().RefreshMandatedSnapshot();
    return true;
}

int TOrderListWindow::FindNumber(const QueryTableModel& rows, qint64 number)
{
    for (int r = 0; r < rows.rowCount(); ++r)
        if (TOrderListing::HasNumber(rows.row(r), number))
            return r;
    return -1;
}

void TOrderListWindow::FindNumberAsked()
{
    const std::optional<QString> typed =
        InputBox(this, QStringLiteral("Rechercher un Mandat"), QStringLiteral("Tapez le No du mandat : "));
    if (!typed || typed->isEmpty())
        return;
    bool ok = false;
    const qint64 number = typed->trimmed().toLongLong(&ok);
    if (!ok) {
        ShowMessageBox(QStringLiteral("'") + *typed + QStringLiteral("' n'est pas un nombre entier valide."), mtError,
                       MsgButton::OK);
        return;
    }
    const int row = FindNumber(*Rows(), number);
    if (row < 0)
        ShowInfo(*typed + QStringLiteral(" : Cet Mandat est introuvable ! "));
    else
        Rows()->setCurrentRow(row);
}
