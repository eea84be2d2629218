#include "ui/ListWindow.h"

#include "core/Guard.h"
#include "ui/FormKit.h"
#include "ui/QueryTableModel.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>

void FollowRowCount(QueryTableModel* model, TStatusBar* bar, int panel, const QString& suffix, TRowsCounted counted)
{
    auto show = [model, bar, panel, suffix, counted] {
        const int rows = counted == TRowsCounted::Fetched ? model->totalRowCount() : model->rowCount();
        bar->SetPanel(panel, QString::number(rows) + suffix);
    };
    QObject::connect(model, &QueryTableModel::rowsReread, bar, show);
    show();
}

TListWindow::TListWindow(QWidget* parent, const char* menuName) : QDialog(parent)
{
    m_menu = new QMenu(this);
    m_menu->setObjectName(QString::fromLatin1(menuName));
}

TListWindow::~TListWindow()
{
    SilenceChildren(this);
}

QAction* TListWindow::AddCommand(const char* name, const QString& text, std::function<void()> handler,
                                 const QKeySequence& key, QAbstractButton* button)
{
    QAction* action = MakeCommand(this, name, text, std::move(handler), key);
    m_menu->addAction(action);
    if (!key.isEmpty())
        addAction(action);
    if (button)
        BindButton(button, action);
    return action;
}

void TListWindow::DropMenuFrom(QAbstractButton* button)
{
    connect(button, &QAbstractButton::clicked, this, Guarded([this, button] { DropMenuUnder(m_menu, button); }));
}

void TListWindow::PopUpMenuOn(QWidget* widget)
{
    UseAsContextMenu(widget, m_menu);
}

void TListWindow::FirstShow()
{
    RunGuarded([this] { FormShow(); });
}

void TListWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FirstShow();
    if (m_firstFocus)
        m_firstFocus->setFocus();
}
