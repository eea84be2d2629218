#include "budget/UGet_Eng.h"

#include "budget/UFindFE.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "ui/FormKit.h"
#include "ui/ListRecordPattern.h"
#include "ui/QueryTableModel.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TfrmGet_Eng::TfrmGet_Eng(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmGet_Eng"));
    setWindowTitle(QStringLiteral("Sélection d'une fiche d'engagement"));
    setModal(true);

    grdEng = new QTableView(this);
    grdEng->setObjectName(QStringLiteral("grdEng"));
    grdEng->verticalHeader()->hide();
    grdEng->verticalHeader()->setDefaultSectionSize(20);
    m_model = new QueryTableModel(this);
    m_model->addColumn(QStringLiteral("CHAP"), QStringLiteral("Chap."), QueryTableModel::Text);
    m_model->addColumn(QStringLiteral("ART"), QStringLiteral("Art."), QueryTableModel::Text);
    m_model->addColumn(QStringLiteral("PAR"), QStringLiteral("Par."), QueryTableModel::Text);
    m_model->addColumn(QStringLiteral("NO_ENG"), QStringLiteral("No FE"), QueryTableModel::Text, Qt::AlignCenter);
    m_model->addColumn(QStringLiteral("DATE_ENG"), QStringLiteral("Date"), QueryTableModel::Date, Qt::AlignCenter);
    m_model->addColumn(QStringLiteral("ANC_SOLDE"), QStringLiteral("Ancien Solde"), QueryTableModel::Money);
    m_model->addColumn(QStringLiteral("MONTANT"), QStringLiteral("Montant"), QueryTableModel::Money);
    m_model->addColumn(QStringLiteral("SOLDE"), QStringLiteral("Solde"), QueryTableModel::Money);
    m_model->addColumn(QStringLiteral("NO_VISA"), QStringLiteral("N° Visa"), QueryTableModel::Text);
    m_model->addColumn(QStringLiteral("DATE_VISA"), QStringLiteral("Date Visa"), QueryTableModel::Date,
                       Qt::AlignCenter);
    m_model->setKeyFields({QStringLiteral("ID_ENG")});
    m_model->attachView(grdEng);
    SetSelectionColors(grdEng, palette().color(QPalette::Highlight), palette().color(QPalette::HighlightedText));
    for (int c : {0, 1, 2, 3})
        grdEng->setColumnWidth(c, c == 0 ? 60 : 45);
    grdEng->setColumnWidth(4, 85);
    for (int c : {5, 6, 7})
        grdEng->setColumnWidth(c, 130);
    grdEng->horizontalHeader()->setStretchLastSection(true);
    connect(grdEng, &QTableView::doubleClicked, this, Guarded([this] { btnOkClick(); }));

    mnSelect = MakeCommand(this, "mnSelect", QStringLiteral("Séléctionner"), [this] { btnOkClick(); });
    mnFind = MakeCommand(this, "mnFind", QStringLiteral("Chercher"), [this] { btnFindClick(); },
                         QKeySequence(Qt::Key_F3));
    mnClose = MakeCommand(this, "mnClose", QStringLiteral("Fermer"), [this] { reject(); });
    for (QAction* a : {mnSelect, mnFind, mnClose}) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
    PopMenu = new QMenu(this);
    PopMenu->setObjectName(QStringLiteral("PopMenu"));
    PopMenu->addActions({mnSelect, mnFind});
    PopMenu->addSeparator();
    PopMenu->addAction(mnClose);
    UseAsContextMenu(grdEng, PopMenu);

    btnOk = MakeButton(this, "btnOk", QStringLiteral("OK"));
    btnFind = MakeButton(this, "btnFind", QStringLiteral("&Chercher"));
    btnCancel = MakeButton(this, "btnCancel", QStringLiteral("&Annuler"));
    btnClose = MakeButton(this, "btnClose", QStringLiteral("Fermer"));
    BindButton(btnOk, mnSelect);
    BindButton(btnFind, mnFind);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnFind);
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grdEng, 1);
    layout->addLayout(buttons);
    resize(900, 480);

    RunGuarded([this] { ReadSheets(); });
}

void TfrmGet_Eng::ReadSheets()
{
    TWaitCursor wait;
    m_sheets = m_store.CancellableSheets();
    std::vector<std::vector<db::Value>> rows;
    rows.reserve(size_t(m_sheets.size()));
    for (const TCancellableSheet& c : m_sheets) {
        const TSheet& s = c.sheet;
        rows.push_back({db::Value(s.id), db::Value(c.chap), db::Value(c.art), db::Value(c.par), db::Value(s.number),
                        s.date.isValid() ? db::Value(s.date) : db::Value(), db::Value(c.oldBalance),
                        db::Value(s.amount), db::Value(c.NewBalance()), db::Value(s.visaNumber),
                        s.visaDate.isValid() ? db::Value(s.visaDate) : db::Value()});
    }
    m_model->setRows({QStringLiteral("ID_ENG"), QStringLiteral("CHAP"), QStringLiteral("ART"), QStringLiteral("PAR"),
                      QStringLiteral("NO_ENG"), QStringLiteral("DATE_ENG"), QStringLiteral("ANC_SOLDE"),
                      QStringLiteral("MONTANT"), QStringLiteral("SOLDE"), QStringLiteral("NO_VISA"),
                      QStringLiteral("DATE_VISA")},
                     std::move(rows));
    mnSelect->setEnabled(!m_model->isEmpty());
}

void TfrmGet_Eng::btnOkClick()
{
    if (m_model->isEmpty() || m_model->currentRow() < 0)
        return;
    SelectedIdEng = m_sheets.at(m_model->sourceRow(m_model->currentRow())).sheet.id;
    accept();
}

void TfrmGet_Eng::btnFindClick()
{
    TfrmFindFE dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!m_model->locate({QStringLiteral("CHAP"), QStringLiteral("ART"), QStringLiteral("PAR"), QStringLiteral("NO_ENG")},
                         {db::Value(dialog.FoundChap), db::Value(dialog.FoundArt), db::Value(dialog.FoundPar),
                          db::Value(dialog.FoundNoFE)}))
        ShowInfo(QStringLiteral("Fiche d'Engagement inexistante ! "));
}

void TfrmGet_Eng::keyPressEvent(QKeyEvent* event)
{
    // Enter chooses the sheet; Esc closes without a choice.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        event->accept();
        RunGuarded([this] { btnOkClick(); });
        return;
    }
    QDialog::keyPressEvent(event);
}
