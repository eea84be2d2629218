#pragma once
// Pieces shared by the budget list and the allocation window: the four print
// items of the budget sheets and the buttons that end their tool bars.

#include <QList>

class QAction;
class QBoxLayout;
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

// The buttons that end the tool bar of both budget windows: search, print and
// menu, then the close button at the right edge.
struct TBudgetTrailingButtons {
    QPushButton* find = nullptr;
    QPushButton* print = nullptr;
    QPushButton* menu = nullptr;
    QPushButton* close = nullptr;
};
TBudgetTrailingButtons AddBudgetTrailingButtons(QWidget* parent, QBoxLayout* bar);
