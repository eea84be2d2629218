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

    QueryTableModel* m = Rows();
    m->addColumn(QStringLiteral("NO_MDT"), QStringLiteral("N° Mdt"), QueryTableModel::Text, Qt::AlignCenter);
    m->addColumn(QStringLiteral("DATE_MDT"), QStringLiteral("Date"), QueryTableModel::Date, Qt::AlignCenter);
    m->addColumn(QStringLiteral("MONTANT"), QStringLiteral("Montant"), QueryTableModel::Money);
    m->addColumn(QStringLiteral("LIB_MONTANT"), QStringLiteral("Mt Imput."), QueryTableModel::Money);
    m->addColumn(QStringLiteral("NATURE"), QStringLiteral("Nature"), QueryTableModel::Text);
    m->setKeyFields({QStringLiteral("ID_MDT")});
    grdMdt->setColumnWidth(coNo, 60);
    grdMdt->setColumnWidth(coDate, 80);
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
    m_canWrite = CanWrite(QStringLiteral("mnListMdt"), CurrentUserId);
    m_filter = TOrderCriteria::Reset();
    m_filterActive = false;
    stBar->SetPanel(0, DbUser);
    stBar->SetPanel(1, FiscalYear);
    ReadOrders();
}

void TfrmListMdt::ReadOrders()
{
    m_rows = m_listing.Read();
    ShowOrders();
}

void TfrmListMdt::ShowOrders()
{
    // The orders of the budget line, and its share of each order, come from
    // the lines; the orders themselves are those already read.
    m_line.reset();
    if (m_filterActive && m_filter.ByBudgetLine())
        m_line = TOrderListing::OrdersOfLine(m_filter.idFnm);
    TListingRows rows = m_rows;
    TOrderListing::SetLineAmounts(rows, m_line);
    ShowRows(std::move(rows));
    ShowFiltered();
}

void TfrmListMdt::ShowFiltered()
{
    const QList<db::Value> key = Rows()->currentKey();
    Rows()->setFilter(m_filterActive ? TOrderListing::RowFilter(m_filter, m_line) : nullptr);
    if (!key.isEmpty())
        Rows()->locate(key);
    grdMdt->setColumnHidden(coLibMontant, !SalaryLine());
    stBar->SetPanel(2, QString::number(Rows()->rowCount()) + QStringLiteral(" Mandats"));
}

void TfrmListMdt::UpdateCommands()
{
    const bool rows = !Rows()->isEmpty();
    mnModif->setEnabled(rows);
    mnDelete->setEnabled(rows);
    mnFind->setEnabled(rows);
    mnPrint->setEnabled(rows);
    mnCancelFilter->setEnabled(m_filterActive);
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
    const qint64 id = Rows()->current().asInt(QStringLiteral("ID_MDT"));
    // Told before the questions when it already stands.
    QString refusal = TOrderListing::DeleteRefusal(id);
    if (refusal.isEmpty()) {
        if (ShowMessageBox(QStringLiteral("Etes-vous sûr de vouloir supprimer ce mandat ?"), mtWarning,
                           MsgButton::Yes | MsgButton::No)
                != mrYes
            || ShowMessageBox(QStringLiteral("Confirmez la suppression définitive de ce mandat ?"), mtConfirmation,
                              MsgButton::Yes | MsgButton::No)
                   != mrYes)
            return;
        TWaitCursor wait;
        TWriteGuard write;
        refusal = TOrderListing::DeleteRefusal(id);
        if (refusal.isEmpty()) {
            TOrderStore().DeleteOrder(id);
            write.Commit();
        }
    }
    if (!refusal.isEmpty())
        ShowInfo(refusal);
    DM->Queries().RefreshMandatedSnapshot();
    TWaitCursor wait;
    ReadOrders();
}

void TfrmListMdt::btnFindClick()
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
    const int row = TOrderListing::FindNumber(*Rows(), number);
    if (row < 0)
        ShowInfo(*typed + QStringLiteral(" : Cet Mandat est introuvable ! "));
    else
        Rows()->setCurrentRow(row);
}

void TfrmListMdt::btnFilterClick()
{
    TOrderCriteria chosen;
    {
        TfrmFilterMdt dialog(this);
        dialog.SetCriteria(m_filter);
        if (dialog.exec() != QDialog::Accepted)
            return;
        chosen = dialog.Criteria();
    }
    TWaitCursor wait;
    ApplyFilter(chosen);
}

void TfrmListMdt::ApplyFilter(const TOrderCriteria& filter)
{
    // The criteria chosen are the whole filter: none lists every order again.
    m_filter = filter;
    m_filterActive = !filter.IsEmpty();
    ShowOrders();
    Rows()->setCurrentRow(0);
    UpdateCommands();
}

void TfrmListMdt::CancelFilter()
{
    // The criteria stay for the next filter.
    m_filterActive = false;
    ShowOrders();
    UpdateCommands();
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
