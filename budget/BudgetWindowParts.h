#pragma once
// Pieces shared by the budget list and the allocation window: the four print
// items of the budget sheets, the popup-menu items whose keys work on the whole
// window, the tool-bar buttons and the context menu.

#include <QKeySequence>
#include <QList>
#include <QString>
#include <QStyle>

class QAction;
class QBoxLayout;
class QMenu;
class QPushButton;
class QWidget;

// The print items of a budget line, in both print menus of a window; the
// documents connect them.
struct TBudgetPrintItems {
    QAction* bp = nullptr;      // "la fiche d'engagement - Primitif"
    QAction* bpPre = nullptr;   // "... - Primitif - PréImprimé"
    QAction* bs = nullptr;      // "la fiche d'engagement - Modificatif"
    QAction* bsPre = nullptr;   // "... - Modificatif - PréImprimé"
    QList<QAction*> all() const { return {bp, bpPre, bs, bsPre}; }
};
TBudgetPrintItems MakeBudgetPrintItems(QWidget* window);

// Appends an item to `menu`; with a key, the window takes the item too, so the
// key works while the menu is closed.
QAction* AddMenuItem(QWidget* window, QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& key = QKeySequence());

// A tool-bar button with a standard icon, appended to `bar`.
QPushButton* AddToolButton(QWidget* parent, QBoxLayout* bar, const char* name, const QString& text,
                           const QString& hint, QStyle::StandardPixmap icon);

// The buttons that end the tool bar of both budget windows: search, print and
// menu, then the close button at the right edge.
struct TBudgetTrailingButtons {
    QPushButton* find = nullptr;
    QPushButton* print = nullptr;
    QPushButton* menu = nullptr;
    QPushButton* close = nullptr;
};
TBudgetTrailingButtons AddBudgetTrailingButtons(QWidget* parent, QBoxLayout* bar);

// `menu` pops up where `widget` is right-clicked.
void UseAsContextMenu(QWidget* widget, QMenu* menu);
