#include "expenditure/UListMdt.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "core/Routines.h"
#include "data/AccessRights.h"
#include "expenditure/OrderStore.h"

#include <QAction>
#include <QHeaderView>
#include <QTableView>

TfrmListMdt::TfrmListMdt(QWidget* parent)
    : TOrderListWindow(parent)
{
    setObjectName(QStringLiteral("frmListMdt"));
    setWindowTitle(QStringLiteral("Mandats"));
    grdMdt = grid();

    using B = Button;
    mnModif = AddModifCommand(&btnModif);
    mnDelete = AddCommand("mnDelete", QStringLiteral("&Supprimer"), [this] { btnDeleteClick(); },
                          QKeySequence(Qt::CTRL | Qt::Key_Delete),
                          B{"btnDelete", QStringLiteral("Supprimer"), QStringLiteral("Supprimer le mandat"),
                            QStyle::SP_TrashIcon},
                          &btnDelete);
    mnFind = AddFindCommand(&btnFind);
    AddMenuSeparator();
    mnFilter = AddFilterCommand(&btnFilter);
    mnCancelFilter = AddCancelFilterCommand();
    mnPrint = AddCommand("mnPrint", QStringLiteral("Imprimer le listing"), [this] { btnPrintClick(); },
                         QKeySequence(Qt::CTRL | Qt::Key_P),
                         B{"btnPrint", QStringLiteral("Imprimer"), QStringLiteral("Imprimer le listing"),
                           QStyle::SP_FileIcon},
                         &btnPrint);
    AddMenuSeparator();
    mnClose = AddCommand("mnClose", QStringLiteral("&Fermer"), [this] { close(); });
    EndOrderToolBar();

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
    DeleteOrderAsked(TOrderListing::KeyOf(Rows()->current()));
    TWaitCursor wait;
    ReadOrders();
}

void TfrmListMdt::btnFindClick()
{
    FindNumberAsked();
}

void TfrmListMdt::btnFilterClick()
{
    AskFilter();
}

void TfrmListMdt::btnPrintClick()
{
    PrintListing();
}
