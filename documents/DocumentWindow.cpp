#include "documents/DocumentWindow.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/Routines.h"
#include "documents/DocumentBrowsing.h"
#include "ui/FormKit.h"
#include "ui/RecordNavigator.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

TDocumentWindow::TDocumentWindow(const Shape& shape, QWidget* parent)
    : TEditorWindow(Options{.writeRightItem = shape.writeRightItem,
                            .statusWidths = {80, 50, 110, 60, 100},
                            .modePanel = 4,
                            .closeRule = shape.closeRule,
                            .confirmCancel = true,
                            .navigatorWhileEditing = shape.navigatorWhileEditing},
                    parent)
{
    setObjectName(QString::fromLatin1(shape.name));
    setWindowTitle(shape.title);
    setModal(true);
    m_keys = new TDocumentKeyList(this);
    stBar->SetPanel(0, CurrentUserCode);
    stBar->SetPanel(1, FiscalYear);
}

TDocumentWindow::~TDocumentWindow() = default;

QAction* TDocumentWindow::AddRuledCommand(const char* name, const QString& text, const Rule& rule,
                                          std::function<void()> handler, const QKeySequence& key)
{
    if (const When* when = std::get_if<When>(&rule))
        return AddCommand(name, text, *when, std::move(handler), key);
    return AddCommand(name, text, std::get<std::function<bool()>>(rule), std::move(handler), key);
}

void TDocumentWindow::AddDocumentCommands(const Commands& c)
{
    mnAdd = AddCommand("mnAdd", c.add, When::BrowseWithRight, [this] { btnAddClick(); },
                       QKeySequence(Qt::CTRL | Qt::Key_Insert));
    mnModif = AddRuledCommand("mnModif", c.modif, c.modifWhen, [this] { btnModifClick(); }, QKeySequence(Qt::Key_F2));
    mnPost = AddCommand("mnPost", QStringLiteral("Enregistrer"), When::Editing, [this] { btnPostClick(); },
                        QKeySequence(Qt::CTRL | Qt::Key_S));
    mnCancel = AddCommand("mnCancel", QStringLiteral("Annuler"), When::Editing, [this] { CancelEntry(); },
                          QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnDelete = AddRuledCommand("mnDelete", c.del, c.deleteWhen, [this] { btnDeleteClick(); },
                               QKeySequence(Qt::CTRL | Qt::Key_Delete));
    mnFind = AddRuledCommand("mnFind", c.find, c.findWhen, [this] { btnFindClick(); }, QKeySequence(Qt::Key_F3));
    mnCalc = AddCommand("mnCalc", QStringLiteral("Afficher la calculatrice"), When::Always, [] { RunCalculator(); },
                        QKeySequence(Qt::Key_F5));
    mnClose = AddCommand("mnClose", QStringLiteral("Fermer"), When::Always, [this] { close(); },
                         QKeySequence(Qt::CTRL | Qt::Key_F4));
}

QMenu* TDocumentWindow::BeginPopupMenu(const char* name)
{
    auto* menu = new QMenu(this);
    menu->setObjectName(QString::fromLatin1(name));
    menu->addActions({mnAdd, mnModif, mnPost, mnCancel, mnDelete});
    menu->addSeparator();
    return menu;
}

void TDocumentWindow::EndPopupMenu(QMenu* menu)
{
    menu->addAction(mnCalc);
    menu->addSeparator();
    menu->addAction(mnClose);
    AttachPopupMenu(menu, btnMenu);
}

void TDocumentWindow::BrowseDocuments(std::function<void()> show)
{
    SetEntryPanel(pnlMain);
    SetNavigator(MyNavigator);
    MyNavigator->SetModel(m_keys);
    connect(MyNavigator, &TRecordNavigator::moved, this, Guarded(std::move(show)));
}
