#pragma once
// TDocumentWindow: what the windows of the year's documents share (the
// commitment sheets, their cancellations, the regularisation sheets and the
// payment orders), on the editor base (ui/EditorWindow.h). Each browses its
// documents one at a time through their keys (documents/DocumentBrowsing.h):
//
// - construction: a modal window named and titled by the window, the status
//   bar's panels (the user, the year, then the window's, the mode in the
//   fifth) and the list of keys the navigator moves through;
// - the commands every such window has, under the names rights and tests
//   know: mnAdd, mnModif, mnPost, mnCancel, mnDelete (the entry), mnFind,
//   mnCalc and mnClose, with their keys; the window gives their texts and
//   when the ones that differ are enabled, and handles btnAddClick,
//   btnModifClick, btnDeleteClick and btnFindClick;
// - the popup menu: the entry commands first, the window's own in the middle,
//   the calculator and Close at the end; dropped under the menu button and
//   the window's context menu;
// - the browsing: the entry panel and the navigator over the keys, each move
//   showing the document.

#include "ui/EditorWindow.h"

#include <QString>

#include <functional>
#include <variant>

class QAction;
class QMenu;
class QToolButton;
class QWidget;
class TDocumentKeyList;
class TRecordNavigator;

class TDocumentWindow : public TEditorWindow {
    Q_OBJECT
public:
    ~TDocumentWindow() override;

    // Controls every document window has.
    QWidget* pnlMain = nullptr;
    QToolButton* btnAdd = nullptr;
    QToolButton* btnPost = nullptr;
    QToolButton* btnCancel = nullptr;
    QToolButton* btnDelete = nullptr;
    QToolButton* btnFind = nullptr;
    QToolButton* btnPrint = nullptr;
    QToolButton* btnMenu = nullptr;
    QToolButton* btnClose = nullptr;
    TRecordNavigator* MyNavigator = nullptr;
    QAction* mnAdd = nullptr;
    QAction* mnModif = nullptr;
    QAction* mnPost = nullptr;
    QAction* mnCancel = nullptr;
    QAction* mnDelete = nullptr;
    QAction* mnFind = nullptr;
    QAction* mnCalc = nullptr;
    QAction* mnClose = nullptr;

    // Handlers of the common commands.
    virtual void btnAddClick() = 0;
    virtual void btnModifClick() = 0;
    virtual void btnDeleteClick() = 0;
    virtual void btnFindClick() = 0;

protected:
    // How the window closes (CloseRule) and whether its navigator stays usable
    // while an entry is open; the rest is every document window's.
    struct Shape {
        const char* name;          // the window's object name
        QString title;
        QString writeRightItem;    // the menu item whose write right it takes
        CloseRule closeRule = CloseRule::Discard;
        bool navigatorWhileEditing = true;
    };
    TDocumentWindow(const Shape& shape, QWidget* parent);

    // When a command is enabled: one of the mode table's rules, or the window's own.
    using Rule = std::variant<When, std::function<bool()>>;
    struct Commands {
        QString add, modif, del, find;   // the texts of mnAdd, mnModif, mnDelete, mnFind
        Rule modifWhen = When::BrowseOnRowWithRight;
        Rule deleteWhen = When::BrowseOnRowWithRight;
        Rule findWhen = When::Browse;
    };
    // Makes the eight common commands (mnAdd is enabled in browse mode with
    // the write right, mnPost and mnCancel while editing, mnCalc and mnClose
    // always).
    void AddDocumentCommands(const Commands& commands);

    // The popup menu `name` with the entry commands and a separator; the
    // window adds its own, then EndPopupMenu.
    QMenu* BeginPopupMenu(const char* name);
    // The calculator, a separator and Close closing `menu`, then the menu
    // attached to the menu button and as the window's context menu.
    void EndPopupMenu(QMenu* menu);

    // The entry panel pnlMain and the navigator over the keys; each move of
    // the navigator shows the document through `show`.
    void BrowseDocuments(std::function<void()> show);

    TDocumentKeyList* m_keys = nullptr;

private:
    QAction* AddRuledCommand(const char* name, const QString& text, const Rule& rule, std::function<void()> handler,
                             const QKeySequence& key = QKeySequence());
};
