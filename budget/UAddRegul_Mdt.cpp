#include "budget/UAddRegul_Mdt.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "core/Refusal.h"
#include "data/WriteGuard.h"
#include "ui/FormKit.h"
#include "ui/QueryTableModel.h"
#include "ui/SelectionGrid.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableView>
#include <QVBoxLayout>

namespace {

enum SelectionColumn { scNo, scNoMdt, scDate, scMontant, scNature, scId, scCount };

} // namespace

TfrmAddRegul_Mdt::TfrmAddRegul_Mdt(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAddRegul_Mdt"));
    setWindowTitle(QStringLiteral("Mandats à régulariser"));
    auto* main = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    top->addWidget(MakeCaption(this, QStringLiteral("Imputation : ")));
    lImput = new QLabel(this);
    lImput->setObjectName(QStringLiteral("lImput"));
    QFont bold = lImput->font();
    bold.setBold(true);
    lImput->setFont(bold);
    top->addWidget(lImput, 1);
    btnMenu = MakeButton(this, "btnMenu", QStringLiteral("&Menu..."));
    btnClose = MakeButton(this, "btnClose", QStringLiteral("&Fermer"));
    top->addWidget(btnMenu);
    top->addWidget(btnClose);
    main->addLayout(top);

    auto* grids = new QHBoxLayout;
    grdDep = new QTableView(this);
    grdDep->setObjectName(QStringLiteral("grdDep"));
    grdDep->verticalHeader()->hide();
    grdDep->verticalHeader()->setDefaultSectionSize(20);
    m_model = new TItemsModel<TRegulOrder>(
        this,
        {{QStringLiteral("No Mdt"), [](const TRegulOrder& o) { return db::Value(o.noMdt); }, QueryTableModel::Text,
          Qt::AlignCenter},
         {QStringLiteral("Date"), [](const TRegulOrder& o) { return db::Value(o.dateMdt); }, QueryTableModel::Date,
          Qt::AlignCenter},
         {QStringLiteral("Montant"), [](const TRegulOrder& o) { return db::Value(o.amount); }, QueryTableModel::Money},
         {QStringLiteral("Nature"), [](const TRegulOrder& o) { return db::Value(o.nature); }, QueryTableModel::Text}},
        [](const TRegulOrder& o) { return db::Value(o.idMdt); });
    m_model->setRowTint([this](int shownRow, const QueryRow&) {
        return m_onSheet.contains(m_model->item(shownRow)->idMdt) ? QColor(253, 245, 200) : QColor();
    });
    m_model->setRowTextColor([this](int shownRow, const QueryRow&) {
        const qint64 id = m_model->item(shownRow)->idMdt;
        return m_elsewhere.contains(id) && !m_onSheet.contains(id) ? QColor(128, 128, 128) : QColor();
    });
    m_model->attachView(grdDep);
    grdDep->setColumnWidth(0, 60);
    grdDep->setColumnWidth(1, 80);
    grdDep->setColumnWidth(2, 110);
    grdDep->horizontalHeader()->setStretchLastSection(true);
    grids->addWidget(grdDep, 1);

    auto* right = new QVBoxLayout;
    grdMdtToDo = new TSelectionGrid(this);
    grdMdtToDo->setObjectName(QStringLiteral("grdMdtToDo"));
    grdMdtToDo->setColumnCount(scCount);
    grdMdtToDo->setHorizontalHeaderLabels(
        {QStringLiteral("N°"), QStringLiteral("N° Mdt"), QStringLiteral("Date"), QStringLiteral("Montant"),
         QStringLiteral("Nature"), QString()});
    grdMdtToDo->setColumnHidden(scId, true);
    const int widths[] = {28, 60, 80, 90, 200};
    for (int c = scNo; c <= scNature; ++c)
        grdMdtToDo->setColumnWidth(c, widths[c]);
    grdMdtToDo->verticalHeader()->hide();
    grdMdtToDo->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdMdtToDo->setSelectionMode(QAbstractItemView::SingleSelection);
    grdMdtToDo->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette p = grdMdtToDo->palette();
    p.setColor(QPalette::Base, QColor(205, 253, 170));
    grdMdtToDo->setPalette(p);
    right->addWidget(grdMdtToDo, 1);
    auto* totals = new QHBoxLayout;
    lTotDep = new QLabel(QStringLiteral("dépenses à régulariser"), this);
    lTotDep->setObjectName(QStringLiteral("lTotDep"));
    lNbMdt = new QLabel(this);
    lNbMdt->setObjectName(QStringLiteral("lNbMdt"));
    lTotDetToDo = new QLabel(this);
    lTotDetToDo->setObjectName(QStringLiteral("lTotDetToDo"));
    lTotDetToDo->setFont(bold);
    lTotDetToDo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lTotDetToDo->setMinimumWidth(120);
    totals->addWidget(lNbMdt);
    totals->addWidget(lTotDep);
    totals->addStretch(1);
    totals->addWidget(lTotDetToDo);
    right->addLayout(totals);
    grids->addLayout(right, 1);
    main->addLayout(grids, 1);

    stBar = new TStatusBar({80, 50, 150}, this);
    stBar->SetPanel(0, QStringLiteral("Exercice"));
    stBar->SetPanel(2, QStringLiteral("Nbre de dépenses"));
    main->addWidget(stBar);

    PopMenu = new QMenu(this);
    PopMenu->setObjectName(QStringLiteral("PopMenu"));
    mnRegul = PopMenu->addAction(QStringLiteral("Régulariser le mandat"));
    mnRetire = PopMenu->addAction(QStringLiteral("Retirer le mandat"));
    PopMenu->addSeparator();
    mnClose = PopMenu->addAction(QStringLiteral("Fermer"));
    connect(mnRetire, &QAction::triggered, this, Guarded([this] { RemoveCurrentLine(); }));
    connect(mnClose, &QAction::triggered, this, &QDialog::reject);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnMenu, &QPushButton::clicked, this, [this] { DropMenuUnder(PopMenu, btnMenu); });
    connect(grdDep, &QTableView::doubleClicked, this, Guarded([this] { AddCurrentOrder(); }));
    connect(grdMdtToDo, &QTableWidget::cellDoubleClicked, this, Guarded([this] { RemoveCurrentLine(); }));
    connect(grdMdtToDo, &TSelectionGrid::rowMoved, this,
            [this](int from, int to) { RunGuarded([=, this] { MoveLine(from, to); }); });
    resize(900, 520);
}

TfrmAddRegul_Mdt::~TfrmAddRegul_Mdt() = default;

void TfrmAddRegul_Mdt::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    TWaitCursor wait;
    stBar->SetPanel(1, FiscalYear);
    m_orders = m_store.OfferedOrders(IdFnm);
    RefreshRegulLines();
    grdDep->setFocus();
}

void TfrmAddRegul_Mdt::FillOrders()
{
    m_model->setItems(m_orders);
}

void TfrmAddRegul_Mdt::RefreshRegulLines()
{
    m_lines = m_store.Lines(IdEngReg);
    m_elsewhere = IdFnm > 0 ? m_store.OrdersOnOtherSheets(IdFnm, IdEngReg) : QSet<qint64>();
    m_onSheet.clear();
    m_weight = IdFnm > 0 ? m_store.SheetWeight(IdEngReg, IdFnm) : 0;
    Currency total;
    const int current = grdMdtToDo->currentRow();
    grdMdtToDo->clearContents();
    grdMdtToDo->setRowCount(std::max<int>(2, int(m_lines.size()) + 1));
    QFont bold = grdMdtToDo->font();
    bold.setBold(true);
    for (int r = 0; r < m_lines.size(); ++r) {
        const TRegulLine& l = m_lines[r];
        m_onSheet.insert(l.idDetail);
        total += l.amount;
        const QString texts[scCount] = {QString::number(r + 1), l.noDet, l.dateDet.toString(QStringLiteral("dd/MM/yyyy")),
                                        l.amount.formatMoney(), l.libDet, QString::number(l.idDetail)};
        const Qt::Alignment align[scCount] = {Qt::AlignRight, Qt::AlignCenter, Qt::AlignCenter, Qt::AlignRight,
                                              Qt::AlignLeft, Qt::AlignLeft};
        for (int c = 0; c < scCount; ++c) {
            auto* it = new QTableWidgetItem(texts[c]);
            it->setTextAlignment(align[c] | Qt::AlignVCenter);
            it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
            if (c == scMontant)
                it->setFont(bold);
            if (c == scNo)
                it->setBackground(QColor(245, 245, 245));
            grdMdtToDo->setItem(r, c, it);
        }
    }
    if (current >= 0 && current < grdMdtToDo->rowCount())
        grdMdtToDo->setCurrentCell(current, scNoMdt);
    lNbMdt->setText(QString::number(m_weight));
    lTotDetToDo->setText(total.formatMoney());
    FillOrders();
}

bool TfrmAddRegul_Mdt::AddOrder(qint64 idMdt)
{
    // The window's own view first, then the same rules again inside the
    // transaction, on the sheet and the line locked.
    for (int r = 0; r < m_lines.size(); ++r)
        if (m_lines[r].idDetail == idMdt) {
            grdMdtToDo->setCurrentCell(r, scNoMdt);
            grdMdtToDo->setFocus();
            ShowInfo(QStringLiteral("Le mandat est déjà sélectionné !"));
            return false;
        }
    if (m_elsewhere.contains(idMdt)) {
        ShowInfo(QStringLiteral("Ce mandat est déjà régularisé !"));
        return false;
    }
    try {
        TWaitCursor wait;
        TWriteGuard write;
        m_store.AddOrder(IdEngReg, IdFnm, idMdt);
        write.Commit();
    } catch (const TRefusalError& refused) {
        ShowRefusal(refused.refusal(), nullptr);
        return false;
    }
    RefreshRegulLines();
    return true;
}

void TfrmAddRegul_Mdt::AddCurrentOrder()
{
    const TRegulOrder* order = m_model->currentItem();
    if (!order)
        return;
    AddOrder(order->idMdt);
}

void TfrmAddRegul_Mdt::RemoveCurrentLine()
{
    const int row = grdMdtToDo->currentRow();
    if (row < 0 || row >= m_lines.size())
        return;
    if (ShowMessageBox(QStringLiteral("Retirer ce mandat ?"), mtConfirmation, MsgButton::Yes | MsgButton::No) != mrYes)
        return;
    const qint64 idMdt = m_lines[row].idDetail;
    const auto refresh = qScopeGuard([this] { RefreshRegulLines(); });
    try {
        TWriteGuard write;
        m_store.RemoveLine(IdEngReg, LineObject::PaymentOrder, idMdt);
        write.Commit();
    } catch (const TRefusalError& refused) {
        ShowRefusal(refused.refusal(), nullptr);
    }
}

void TfrmAddRegul_Mdt::MoveLine(int from, int to)
{
    if (from < 0 || to < 0 || from >= m_lines.size() || to >= m_lines.size() || from == to)
        return;
    m_lines.move(from, to);
    RenumberRegulLines();
    grdMdtToDo->setCurrentCell(to, scNoMdt);
}

void TfrmAddRegul_Mdt::RenumberRegulLines()
{
    if (m_lines.isEmpty())
        return;
    QList<qint64> order;
    for (const TRegulLine& l : m_lines)
        order.append(l.idDetail);
    {
        TWriteGuard write;
        m_store.RenumberOrders(IdEngReg, order);
        write.Commit();
    }
    RefreshRegulLines();
}

void TfrmAddRegul_Mdt::done(int result)
{
    RunGuarded([this] { RenumberRegulLines(); });
    QDialog::done(result);
}
