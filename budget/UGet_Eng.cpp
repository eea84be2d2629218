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
    using Sheet = TCancellableSheet;
    auto date = [](const QDate& d) { return d.isValid() ? db::Value(d) : db::Value(); };
    m_model = new TItemsModel<Sheet>(
        this,
        {{QStringLiteral("Chap."), [](const Sheet& c) { return db::Value(c.chap); }, QueryTableModel::Text},
         {QStringLiteral("Art."), [](const Sheet& c) { return db::Value(c.art); }, QueryTableModel::Text},
         {QStringLiteral("Par."), [](const Sheet& c) { return db::Value(c.par); }, QueryTableModel::Text},
         {QStringLiteral("No FE"), [](const Sheet& c) { return db::Value(c.sheet.number); }, QueryTableModel::Text,
          Qt::AlignCenter},
         {QStringLiteral("Date"), [date](const Sheet& c) { return date(c.sheet.date); }, QueryTableModel::Date,
          Qt::AlignCenter},
         {QStringLiteral("Ancien Solde"), [](const Sheet& c) { return db::Value(c.oldBalance); }, QueryTableModel::Money},
         {QStringLiteral("Montant"), [](const Sheet& c) { return db::Value(c.sheet.amount); }, QueryTableModel::Money},
         {QStringLiteral("Solde"), [](const Sheet& c) { return db::Value(c.NewBalance()); }, QueryTableModel::Money},
         {QStringLiteral("N° Visa"), [](const Sheet& c) { return db::Value(c.sheet.visaNumber); }, QueryTableModel::Text},
         {QStringLiteral("Date Visa"), [date](const Sheet& c) { return date(c.sheet.visaDate); }, QueryTableModel::Date,
          Qt::AlignCenter}},
        [](const Sheet& c) { return db::Value(c.sheet.id); });
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
    m_model->setItems(m_store.CancellableSheets());
    mnSelect->setEnabled(!m_model->isEmpty());
}

void TfrmGet_Eng::btnOkClick()
{
    const TCancellableSheet* chosen = m_model->currentItem();
    if (!chosen)
        return;
    SelectedIdEng = chosen->sheet.id;
    accept();
}

void TfrmGet_Eng::btnFindClick()
{
    TfrmFindFE dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    auto same = [](const QString& shown, const QString& found) {
        return QueryTableModel::sameValue(db::Value(shown), db::Value(found));
    };
    if (!m_model->locateItem([&](const TCancellableSheet& c) {
            return same(c.chap, dialog.FoundChap) && same(c.art, dialog.FoundArt) && same(c.par, dialog.FoundPar)
                   && same(c.sheet.number, dialog.FoundNoFE);
        }))
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
