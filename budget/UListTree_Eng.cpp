#include "budget/UListTree_Eng.h"

#include "budget/CommitmentTree.h"
#include "core/MessageBox.h"
#include "core/Routines.h"
#include "ui/FormKit.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

TfrmListTree_Eng::TfrmListTree_Eng(QWidget* parent)
    : TListWindow(parent, "PopupMenu1")
{
    setObjectName(QStringLiteral("frmListTree_Eng"));
    setWindowTitle(QStringLiteral("Listing des Engagements"));

    m_model = new TCommitmentTreeModel(this);
    MyTV = new QTreeView(this);
    MyTV->setObjectName(QStringLiteral("MyTV"));
    MyTV->setHeaderHidden(true);
    MyTV->setUniformRowHeights(true);
    MyTV->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MyTV->setModel(m_model);
    PopUpMenuOn(MyTV);

    btnClose = MakeButton(this, "btnClose", QStringLiteral("Fermer"));
    mnFind = AddCommand("mnFind", QStringLiteral("&Chercher"), [this] { FindClick(); }, QKeySequence(Qt::Key_F3));
    // F5 starts the calculator from anywhere in the window.
    addAction(MakeCommand(this, "mnCalc", QStringLiteral("Calculatrice"), [] { RunCalculator(); },
                          QKeySequence(Qt::Key_F5)));
    mnClose = AddCommand("mnClose", QStringLiteral("Fermer"), [this] { close(); }, QKeySequence(Qt::CTRL | Qt::Key_F4),
                         btnClose);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MyTV, 1);
    layout->addLayout(buttons);
    resize(760, 560);
    SetFirstFocus(MyTV);

    // The tree is read once, as the window is made.
    {
        const TWaitCursor wait;
        m_model->SetData(TCommitmentTreeData::Read());
    }
}

TfrmListTree_Eng::~TfrmListTree_Eng() = default;

void TfrmListTree_Eng::FormShow()
{
    if (m_model->rowCount() == 0)
        ShowMessageBox(QStringLiteral("Aucun Engagement n'a été saisi !"), mtWarning, MsgButton::OK);
}

void TfrmListTree_Eng::FindClick()
{
    const std::optional<QString> typed =
        InputBox(this, QStringLiteral("Rechercher un engagement"), QStringLiteral("Tapez le No du mandat : "));
    if (typed && !typed->isEmpty())
        ShowSheet(*typed);
}

bool TfrmListTree_Eng::ShowSheet(const QString& typed)
{
    const int sheet = m_model->Data().FindSheet(typed);
    if (sheet < 0) {
        ShowMessageBox(typed + QStringLiteral(" : Ce No de Mandat est introuvable ! "), mtWarning, MsgButton::OK);
        return false;
    }
    const QModelIndex node = m_model->SheetIndex(sheet);
    MyTV->expand(node.parent());
    MyTV->expand(node);
    MyTV->setCurrentIndex(node);
    MyTV->scrollTo(node);
    return true;
}
