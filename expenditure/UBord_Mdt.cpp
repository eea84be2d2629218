#include "expenditure/UBord_Mdt.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "core/Routines.h"
#include "reports/etats/URptBord_Mdt.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QColor SlipColour(253, 254, 197);

} // namespace

TfrmBord_Mdt::TfrmBord_Mdt(QWidget* parent)
    : TOrderListWindow(parent, TOrderListing::Order::NumberThenDate)
{
    setObjectName(QStringLiteral("frmBord_Mdt"));
    setWindowTitle(QStringLiteral("Bordereau d'envoi des Mandats"));
    grdMdt = grid();

    using B = Button;
    mnModif = AddModifCommand(&btnModif);
    mnFind = AddFindCommand(&btnFind);
    mnFilter = AddFilterCommand(&btnFilter);
    mnCancelFilter = AddCancelFilterCommand();
    AddMenuSeparator();
    mnAdd = AddCommand("mnAdd", QStringLiteral("Ajouter le mandat"), [this] { btnAddClick(); }, QKeySequence(),
                       B{"btnAdd", QStringLiteral("Ajouter"), QStringLiteral("Ajouter le champs sélectionné à la liste"),
                         QStyle::SP_ArrowRight},
                       &btnAdd);
    mnRetire = AddCommand("mnRetire", QStringLiteral("Retirer le mandat"), [this] { btnRetireClick(); },
                          QKeySequence(),
                          B{"btnRetire", QStringLiteral("Retirer"),
                            QStringLiteral("Retirer le champs sélectionné de la liste"), QStyle::SP_ArrowLeft},
                          &btnRetire);
    mnRetireAll = AddCommand("mnRetireAll", QStringLiteral("Retirer tous les mandats"), [this] { btnRetireAllClick(); },
                             QKeySequence(),
                             B{"btnRetireAll", QStringLiteral("Retirer tout"),
                               QStringLiteral("Retirer tous les champs de la liste"), QStyle::SP_DialogResetButton},
                             &btnRetireAll);
    AddMenuSeparator();
    // The two prints: under "Imprimer ..." in the popup menu, and dropped under btnPrint.
    QMenu* printMenu = PopMenu->addMenu(QStringLiteral("Imprimer ..."));
    printMenu->setObjectName(QStringLiteral("mnImprimer"));
    mnPrintBord = MakeCommand(this, "mnPrintBord", QStringLiteral("Le bordereau d'envoi"), [this] { PrintSlip(); });
    mnPrintListing = MakeCommand(this, "mnPrintListing", QStringLiteral("Le listing"), [this] { btnPrintListingClick(); },
                                 QKeySequence(Qt::CTRL | Qt::Key_P));
    printMenu->addActions({mnPrintBord, mnPrintListing});
    // Ctrl+P prints the listing from anywhere in the window.
    addAction(mnPrintListing);
    PopMnPrint = new QMenu(this);
    PopMnPrint->setObjectName(QStringLiteral("PopMnPrint"));
    PopMnPrint->addAction(QStringLiteral("Bordereau d'envoi"), this, Guarded([this] { PrintSlip(); }));
    // The drop-down shows the listing's key too; the key belongs to the menu
    // only while it is open, so it never competes with the window's command.
    QAction* listing = PopMnPrint->addAction(QStringLiteral("Imprimer le listing"), this,
                                             Guarded([this] { btnPrintListingClick(); }));
    listing->setObjectName(QStringLiteral("mnDropPrintListing"));
    listing->setShortcut(mnPrintListing->shortcut());
    listing->setShortcutContext(Qt::WidgetShortcut);
    btnPrint = MakeButton(pnlTop, "btnPrint", QStringLiteral("Imprimer"), QStringLiteral("Imprimer"),
                          QStyle::SP_FileIcon);
    btnPrint->setFocusPolicy(Qt::NoFocus);
    pnlTop->layout()->addWidget(btnPrint);
    connect(btnPrint, &QPushButton::clicked, this, [this] { DropMenuUnder(PopMnPrint, btnPrint); });
    AddMenuSeparator();
    mnClose = AddCommand("mnClose", QStringLiteral("&Fermer"), [this] { close(); });
    EndOrderToolBar();

    AddOrderColumns();
    connect(grdMdt, &QTableView::doubleClicked, this, Guarded([this] { btnAddClick(); }));

    // The slip, on the right.
    QWidget* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    grdBordMdt = new QTableView(right);
    grdBordMdt->setObjectName(QStringLiteral("grdBordMdt"));
    m_bordModel = new QueryTableModel(this);
    m_bordModel->addColumn(QStringLiteral("NO_MDT"), QStringLiteral("N° Mdt"), QueryTableModel::Text, Qt::AlignCenter);
    m_bordModel->addColumn(QStringLiteral("DATE_MDT"), QStringLiteral("Date"), QueryTableModel::Date, Qt::AlignCenter);
    m_bordModel->addColumn(QStringLiteral("MONTANT"), QStringLiteral("Montant"), QueryTableModel::Money);
    m_bordModel->setKeyFields({QStringLiteral("ID_MDT")});
    m_bordModel->attachView(grdBordMdt);
    QPalette palette = grdBordMdt->palette();
    palette.setColor(QPalette::Base, SlipColour);
    grdBordMdt->setPalette(palette);
    grdBordMdt->setColumnWidth(0, 70);
    grdBordMdt->setColumnWidth(1, DateColumnWidth());
    grdBordMdt->horizontalHeader()->setStretchLastSection(true);
    // Rows as the list of orders draws them.
    grdBordMdt->verticalHeader()->hide();
    grdBordMdt->verticalHeader()->setDefaultSectionSize(grdMdt->verticalHeader()->defaultSectionSize());
    connect(grdBordMdt, &QTableView::doubleClicked, this, Guarded([this] { btnRetireClick(); }));
    lTotal = new QLabel(right);
    lTotal->setObjectName(QStringLiteral("lTotal"));
    lTotal->setAlignment(Qt::AlignRight);
    rightLayout->addWidget(grdBordMdt);
    rightLayout->addWidget(lTotal);
    Body()->addWidget(right);
    Body()->setStretch(0, 3);
    Body()->setStretch(1, 2);

    resize(900, 560);
}

TfrmBord_Mdt::~TfrmBord_Mdt() = default;

void TfrmBord_Mdt::FormShow()
{
    m_selection.clear();
    m_onSlip.clear();
    ResetFilter();
    stBar->SetPanel(0, CurrentUserCode);
    stBar->SetPanel(1, FiscalYear);
    ReadOrders();
}

void TfrmBord_Mdt::OrdersRead()
{
    // An order deleted meanwhile leaves the slip, and the user is told which:
    // its number is the one the slip showed.
    const QSet<qint64> present = TOrderListing::KeysOf(OrderRows());
    QStringList gone;
    for (int r = 0; r < m_bordModel->rowCount(); ++r) {
        const qint64 id = TOrderListing::KeyOf(m_bordModel->row(r));
        if (m_onSlip.contains(id) && !present.contains(id))
            gone << QStringLiteral("N° ") + db::toText(m_bordModel->value(r, QStringLiteral("NO_MDT"))).trimmed();
    }
    std::erase_if(m_selection, [&](qint64 order) { return !present.contains(order); });
    m_onSlip = QSet<qint64>(m_selection.begin(), m_selection.end());
    ShowSlip();
    if (!gone.isEmpty())
        ShowMessageBox(QStringLiteral("Des mandats du bordereau ont été supprimés entre-temps ; ils en sont retirés :\r")
                           + gone.join(QStringLiteral("\r")),
                       mtWarning, MsgButton::OK);
}

void TfrmBord_Mdt::ShowSlip()
{
    const QList<db::Value> key = m_bordModel->currentKey();
    Currency total;
    // By number, then date.
    TListingRows slip = TOrderListing::RowsOf(OrderRows(), m_onSlip, total);
    m_bordModel->setRows(slip.names, std::move(slip.rows));
    if (!key.isEmpty())
        m_bordModel->locate(key);
    lTotal->setText(QStringLiteral("Total : ") + total.formatMoney());
    UpdateCommands();
}

void TfrmBord_Mdt::UpdateCommands()
{
    if (!mnClose)
        return;   // still being built
    const bool left = !Rows()->isEmpty();
    const bool slip = m_bordModel && !m_bordModel->isEmpty();
    mnModif->setEnabled(left);
    mnFind->setEnabled(left);
    mnAdd->setEnabled(left);
    mnRetire->setEnabled(slip);
    mnRetireAll->setEnabled(slip);
    mnPrintBord->setEnabled(slip);
    mnPrintListing->setEnabled(slip);
    btnPrint->setEnabled(slip);
    mnCancelFilter->setEnabled(FilterActive());
}

void TfrmBord_Mdt::btnAddClick()
{
    if (Rows()->isEmpty())
        return;
    const qint64 id = TOrderListing::KeyOf(Rows()->current());
    if (m_onSlip.contains(id))
        return;
    // The next order becomes current; after the last one, the first.
    const int row = Rows()->currentRow();
    const QList<db::Value> next =
        row + 1 < Rows()->rowCount() ? QList<db::Value>{db::Value(TOrderListing::KeyOf(Rows()->row(row + 1)))}
                                     : QList<db::Value>();
    m_selection.push_back(id);
    m_onSlip.insert(id);
    Rows()->refilter();
    if (next.isEmpty() || !Rows()->locate(next))
        Rows()->setCurrentRow(0);
    ShowSlip();
}

void TfrmBord_Mdt::btnRetireClick()
{
    if (m_bordModel->isEmpty())
        return;
    const qint64 id = TOrderListing::KeyOf(m_bordModel->current());
    std::erase(m_selection, id);
    m_onSlip.remove(id);
    const QList<db::Value> key = Rows()->currentKey();
    Rows()->refilter();
    if (!key.isEmpty())
        Rows()->locate(key);
    ShowSlip();
}

void TfrmBord_Mdt::btnRetireAllClick()
{
    if (m_bordModel->isEmpty())
        return;
    if (ShowMessageBox(QStringLiteral("Retirer tous les mandats ?"), mtConfirmation, MsgButton::Yes | MsgButton::No)
        != mrYes)
        return;
    m_selection.clear();
    m_onSlip.clear();
    const QList<db::Value> key = Rows()->currentKey();
    Rows()->refilter();
    if (!key.isEmpty())
        Rows()->locate(key);
    ShowSlip();
}

void TfrmBord_Mdt::btnModifClick()
{
    OpenCurrentOrder();
}

void TfrmBord_Mdt::btnFindClick()
{
    FindNumberAsked();
}

void TfrmBord_Mdt::btnFilterClick()
{
    AskFilter();
}

QString TfrmBord_Mdt::SlipOrders() const
{
    QStringList ids;
    for (qint64 id : m_selection)
        ids << QString::number(id);
    return ids.join(QLatin1Char(','));
}

void TfrmBord_Mdt::PrintSlip()
{
    if (m_selection.empty())
        return;
    // The orders as they stand now: the slip shows and prints the same ones.
    ReadOrders();
    if (m_selection.empty())
        return;
    TfrmRptBord_Mdt form;
    form.Orders = SlipOrders();
    form.Preview(this);
}

void TfrmBord_Mdt::btnPrintListingClick()
{
    if (m_selection.empty())
        return;
    ReadOrders();
    if (!m_selection.empty())
        PrintListing();
}
