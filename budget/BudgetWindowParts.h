#pragma once
// Pieces shared by the budget list and the allocation window: the four print
// items of the budget sheets and the buttons that end their tool bars.

#include "core/Currency.h"

struct TBudgetLineRow;

#include <QList>
#include <QString>

#include <functional>

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

// The budget line a print item prints: the row as stored.
struct TBudgetPrintLine {
    qint64 idFnm = -1;
    QString chap;
    QString art;
    QString title;
    Currency mtBs;
};
// The print line of a budget line as the budget store reads it, its texts
// without their trailing blanks.
TBudgetPrintLine PrintLineOf(const TBudgetLineRow& line);
// Connects the four items to their documents, for the line `current` gives
// when an item is chosen: on an article line its primitive or amending sheet;
// on a chapter heading the primitive items print the chapter's
// recapitulative sheet and the amending ones ask for an article.
void ConnectBudgetPrintItems(QWidget* window, const TBudgetPrintItems& items,
                             std::function<TBudgetPrintLine()> current);

// The buttons that end the tool bar of both budget windows: search, print and
// menu, then the close button at the right edge.
struct TBudgetTrailingButtons {
    QPushButton* find = nullptr;
    QPushButton* print = nullptr;
    QPushButton* menu = nullptr;
    QPushButton* close = nullptr;
};
TBudgetTrailingButtons AddBudgetTrailingButtons(QWidget* parent, QBoxLayout* bar);
