#include "budget/UAddRegul_FE.h"

#include "core/Guard.h"
#include "core/Refusal.h"
#include "data/WriteGuard.h"
#include "ui/FormKit.h"
#include "ui/QueryTableModel.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

TfrmAddRegul_FE::TfrmAddRegul_FE(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAddRegul_FE"));
    setWindowTitle(QStringLiteral("Sélection d'une fiche d'engagement"));
    auto* main = new QVBoxLayout(this);
    auto* imput = new QHBoxLayout;
    imput->addWidget(MakeCaption(this, QStringLiteral("Imputation : ")));
    lImput = new QLabel(this);
    lImput->setObjectName(QStringLiteral("lImput"));
    QFont bold = lImput->font();
    bold.setBold(true);
    lImput->setFont(bold);
    imput->addWidget(lImput, 1);
    main->addLayout(imput);

    grdEng = new QTableView(this);
    grdEng->setObjectName(QStringLiteral("grdEng"));
    grdEng->verticalHeader()->hide();
    grdEng->verticalHeader()->setDefaultSectionSize(20);
    using Sheet = TCopyableSheet;
    m_model = new TItemsModel<Sheet>(
        this,
        {{QStringLiteral("No FE"), [](const Sheet& s) { return db::Value(s.number); }, QueryTableModel::Text,
          Qt::AlignCenter},
         {QStringLiteral("Date"), [](const Sheet& s) { return db::Value(s.date); }, QueryTableModel::Date, Qt::AlignCenter},
         {QStringLiteral("Chapitre"), [](const Sheet& s) { return db::Value(s.chap); }, QueryTableModel::Text,
          Qt::AlignCenter},
         {QStringLiteral("Art."), [](const Sheet& s) { return db::Value(s.art); }, QueryTableModel::Text, Qt::AlignCenter},
         {QStringLiteral("Par."), [](const Sheet& s) { return db::Value(s.par); }, QueryTableModel::Text, Qt::AlignCenter},
         {QStringLiteral("Montant"), [](const Sheet& s) { return db::Value(s.amount); }, QueryTableModel::Money},
         {QStringLiteral("Date Visa"), [](const Sheet& s) { return db::Value(s.visaDate); }, QueryTableModel::Date,
          Qt::AlignCenter}},
        [](const Sheet& s) { return db::Value(s.idEng); });
    m_model->setRowTextColor([this](int shownRow, const QueryRow&) {
        return m_model->item(shownRow)->objet == SheetObject::Economy ? QColor(0, 128, 0) : QColor(200, 0, 0);
    });
    m_model->setRowFont([](int, const QueryRow&, const QFont& base) {
        QFont f = base;
        f.setBold(true);
        return f;
    });
    m_model->attachView(grdEng);
    main->addWidget(grdEng, 1);
    main->addLayout(MakeOkCancelRow(this, &btnOk, &btnCancel));
    btnOk->setText(QStringLiteral("&OK"));
    btnCancel->setText(QStringLiteral("&Annuler"));
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnOk, &QPushButton::clicked, this, Guarded([this] { CopyCurrent(); }));
    connect(grdEng, &QTableView::doubleClicked, this, Guarded([this] { CopyCurrent(); }));

    PopMenu = new QMenu(this);
    PopMenu->setObjectName(QStringLiteral("PopMenu"));
    QAction* close = PopMenu->addAction(QStringLiteral("Fermer"));
    connect(close, &QAction::triggered, this, &QDialog::reject);
    UseAsContextMenu(grdEng, PopMenu);
    resize(620, 420);
}

void TfrmAddRegul_FE::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    switch (Origine) {
    case SheetOrigin::Transfer: setWindowTitle(QStringLiteral("Transferts")); break;
    case SheetOrigin::Cancellation: setWindowTitle(QStringLiteral("Désengagements")); break;
    default: setWindowTitle(QStringLiteral("Modificatif")); break;
    }
    m_sheets = m_store.CopyableSheets(Origine, IdFnm);
    m_model->setItems(m_sheets);
    FitColumns();
    grdEng->setFocus();
}

void TfrmAddRegul_FE::FitColumns()
{
    // Each column as wide as its title and its texts need, so that an amount
    // is never cut; the grid, and the dialog with it, wide enough for all.
    // A little air between the columns; the last one takes what is left.
    constexpr int Padding = 12;
    grdEng->horizontalHeader()->setStretchLastSection(false);
    grdEng->resizeColumnsToContents();
    int width = 2 * grdEng->frameWidth() + grdEng->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < m_model->columnCount(); ++c) {
        grdEng->setColumnWidth(c, grdEng->columnWidth(c) + Padding);
        width += grdEng->columnWidth(c);
    }
    grdEng->setMinimumWidth(width);
    grdEng->horizontalHeader()->setStretchLastSection(true);
}

void TfrmAddRegul_FE::CopyCurrent()
{
    const TCopyableSheet* copied = m_model->currentItem();
    if (!copied)
        return;
    const qint64 idCopied = copied->idEng;
    try {
        TWriteGuard write;
        m_store.CopySheet(IdEngReg, idCopied, Origine);
        write.Commit();
    } catch (const TRefusalError& refused) {
        ShowRefusal(refused.refusal(), nullptr);
        return;
    }
    if (const std::optional<TRegulSheet> s = m_store.Read(IdEngReg))
        IdFnm = s->idFnm;
    accept();
}
