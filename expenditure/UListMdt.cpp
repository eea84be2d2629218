#include "expenditure/UListMdt.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "core/Routines.h"
#include "data/AccessRights.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "expenditure/OrderStore.h"

#include <QAction>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

TfrmListMdt::TfrmListMdt(QWidget* parent)
    : TOrderListWindow(parent)
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

    AddOrderColumns();
    connect(grdMdt, &QTableView::doubleClicked, this, Guarded([this] { btnModifClick(); }));

    resize(640, 520);
}

TfrmListMdt::~TfrmListMdt() = default;

void TfrmListMdt::FormShow()
{
    m_canWrite = CanWrite(MenuItem::mnListMdt, CurrentUserId);
    ResetFilter();
    stBar->SetPanel(0, CurrentUserCode);
    stBar->SetPanel(1, FiscalYear);
    ReadOrders();
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
    OpenCurrentOrder();
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
    AskFilter();
}

void TfrmListMdt::btnPrintClick()
{
    PrintListing();
}
