#include "budget/UListVir.h"

#include "budget/UVirement.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/Routines.h"
#include "ui/FormKit.h"
#include "ui/QueryTableModel.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QColor kGivingColor = Qt::red;
const QColor kReceivingColor(0, 0xA0, 0);

QTableView* MakeGrid(QWidget* parent, const char* name, QueryTableModel* model)
{
    auto* grid = new QTableView(parent);
    grid->setObjectName(QString::fromLatin1(name));
    model->attachView(grid);
    grid->verticalHeader()->setVisible(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->setWordWrap(false);
    return grid;
}

QueryTableModel::Column GridColumn(const char* field, const char* title, QueryTableModel::Format format,
                                   Qt::Alignment alignment = {}, bool bold = false)
{
    QueryTableModel::Column c;
    c.field = QString::fromLatin1(field);
    c.title = QString::fromUtf8(title);
    c.format = format;
    c.alignment = alignment;
    c.bold = bold;
    c.sortable = false;
    return c;
}

} // namespace

TfrmListVir::TfrmListVir(QWidget* parent)
    : TListWindow(parent, "PopMenu")
{
    setObjectName(QStringLiteral("frmListVir"));
    setWindowTitle(QStringLiteral("Listing des transferts"));

    QVBoxLayout* layout = MakeWindowColumn(this);
    QHBoxLayout* bar = AddToolPanel(this, layout, &pnlBtns);
    btnModif = AddToolButton(pnlBtns, bar, "btnModif", QStringLiteral("Mise à jour"),
                             QStringLiteral("Mise à jour des transferts"), QStyle::SP_FileDialogDetailedView);
    btnMenu = AddToolButton(pnlBtns, bar, "btnMenu", QStringLiteral("&Menu"), QStringLiteral("Menu"),
                            QStyle::SP_ArrowDown);
    bar->addStretch();
    btnClose = AddToolButton(pnlBtns, bar, "btnClose", QStringLiteral("Fermer"), QStringLiteral("Fermer"),
                             QStyle::SP_DialogCloseButton);

    m_transfers = new QueryTableModel(this);
    m_transfers->addColumn(GridColumn("DATE_VIR", "Date ", QueryTableModel::Date, Qt::AlignHCenter));
    m_transfers->addColumn(GridColumn("MONTANT", "Montant", QueryTableModel::Money, {}, true));
    m_transfers->setKeyFields({QStringLiteral("ID_VIR")});

    m_rows = new QueryTableModel(this);
    m_rows->addColumn(GridColumn("CHAP", "Chap", QueryTableModel::Text, Qt::AlignHCenter, true));
    m_rows->addColumn(GridColumn("ART", "Art", QueryTableModel::Text, Qt::AlignHCenter));
    m_rows->addColumn(GridColumn("PAR", "Par", QueryTableModel::Text, Qt::AlignHCenter));
    m_rows->addColumn(GridColumn("INTITULE", "Intitulé", QueryTableModel::Text));
    m_rows->addColumn(GridColumn("MONTANT", "Montant", QueryTableModel::Money, {}, true));
    m_rows->setRowTextColor([](int, const QueryRow& r) {
        return TTransferListing::SideOf(r) == TransferSide::Giving ? kGivingColor : kReceivingColor;
    });

    auto* body = new QSplitter(Qt::Horizontal, this);
    body->setChildrenCollapsible(false);
    grdVir = MakeGrid(body, "grdVir", m_transfers);
    grdVir->setColumnWidth(0, 90);
    grdVir->setColumnWidth(1, 120);
    grdVir->horizontalHeader()->setStretchLastSection(true);
    grdDetVir = MakeGrid(body, "grdDetVir", m_rows);
    const int widths[] = {50, 30, 30, 200, 120};
    for (int i = 0; i < 5; ++i)
        grdDetVir->setColumnWidth(i, widths[i]);
    // The title takes what the other columns leave.
    grdDetVir->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
    body->addWidget(grdVir);
    body->addWidget(grdDetVir);
    body->setStretchFactor(0, 0);
    body->setStretchFactor(1, 1);
    body->setSizes({240, 560});
    layout->addWidget(body, 1);

    stBar = new TStatusBar({90, 60, 160}, this);
    stBar->setObjectName(QStringLiteral("stBar"));
    layout->addWidget(stBar);

    mnModif = AddCommand("mnModif", QStringLiteral("Ajouter/Modifier"), [this] { btnModifClick(); },
                         QKeySequence(Qt::Key_F2), btnModif);
    mnDelete = AddCommand("mnDelete", QStringLiteral("&Supprimer"), [this] { mnDeleteClick(); },
                          QKeySequence(Qt::CTRL | Qt::Key_Delete));
    PopupMenu()->addSeparator();
    mnClose = AddCommand("mnClose", QStringLiteral("&Fermer"), [this] { close(); }, QKeySequence(), btnClose);
    addAction(MakeCommand(this, "mnCalc", QStringLiteral("Calculatrice"), [] { RunCalculator(); },
                          QKeySequence(Qt::Key_F5)));
    DropMenuFrom(btnMenu);
    PopUpMenuOn(grdVir);
    PopUpMenuOn(grdDetVir);
    connect(grdVir, &QTableView::doubleClicked, this, Guarded([this] { btnModifClick(); }));
    connect(m_transfers, &QueryTableModel::currentRowChanged, this, Guarded([this] { qVirAfterScroll(); }));
    connect(m_transfers, &QueryTableModel::rowsReread, this, Guarded([this] { qVirAfterScroll(); }));
    FollowRowCount(m_transfers, stBar, 2, QStringLiteral(" Transferts"));
    SetFirstFocus(grdVir);
    UpdateCommands();

    resize(820, 520);
}

TfrmListVir::~TfrmListVir() = default;

qint64 TfrmListVir::CurrentTransfer() const
{
    return m_transfers->isEmpty() ? -1 : TTransferListing::KeyOf(m_transfers->current());
}

void TfrmListVir::FormShow()
{
    stBar->SetPanel(0, CurrentUserCode);
    stBar->SetPanel(1, FiscalYear);
    TListingRows rows = m_listing.ReadTransfers();
    m_transfers->setRows(rows.names, std::move(rows.rows));
    UpdateCommands();
}

void TfrmListVir::qVirAfterScroll()
{
    const qint64 id = CurrentTransfer();
    if (id < 0) {
        m_rows->clearRows();
        return;
    }
    TListingRows rows = m_listing.ReadRows(id);
    m_rows->setRows(rows.names, std::move(rows.rows));
}

void TfrmListVir::UpdateCommands()
{
    mnDelete->setEnabled(!m_transfers->isEmpty());
}

void TfrmListVir::OpenTransfer(bool deleting)
{
    const qint64 id = CurrentTransfer();
    {
        TfrmVirement frm(this);
        frm.IdVir = id;
        if (deleting)
            QTimer::singleShot(0, &frm, [w = &frm] {
                if (w->mnDelete->isEnabled())
                    w->mnDelete->trigger();
            });
        frm.exec();
    }
    // Transfers may have been added, changed or deleted: read again, back on
    // the one opened when it is still there.
    TListingRows rows = m_listing.ReadTransfers();
    m_transfers->setRows(rows.names, std::move(rows.rows));
    if (id >= 0)
        m_transfers->locate({db::Value(id)});
    UpdateCommands();
}

void TfrmListVir::btnModifClick()
{
    OpenTransfer(false);
}

void TfrmListVir::mnDeleteClick()
{
    if (m_transfers->isEmpty())
        return;
    OpenTransfer(true);
}

void TfrmListVir::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    TListWindow::keyPressEvent(event);
}
