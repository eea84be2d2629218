#include "budget/BudgetWindowParts.h"

#include "ui/FormKit.h"

#include <QAction>
#include <QBoxLayout>
#include <QPushButton>

TBudgetPrintItems MakeBudgetPrintItems(QWidget* window)
{
    auto make = [window](const char* name, const QString& caption) {
        auto* a = new QAction(caption, window);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    TBudgetPrintItems items;
    items.bp = make("mnFicheBP", QStringLiteral("la fiche d'engagement - Primitif"));
    items.bpPre = make("mnFicheBP_Pre", QStringLiteral("la fiche d'engagement - Primitif - PréImprimé"));
    items.bs = make("mnFicheBS", QStringLiteral("la fiche d'engagement - Modificatif"));
    items.bsPre = make("mnFicheBS_Pre", QStringLiteral("la fiche d'engagement - Modificatif - PréImprimé"));
    return items;
}

TBudgetTrailingButtons AddBudgetTrailingButtons(QWidget* parent, QBoxLayout* bar)
{
    TBudgetTrailingButtons b;
    b.find = AddToolButton(parent, bar, "btnFind", QStringLiteral("Chercher"),
                           QStringLiteral("Chercher une imputation"), QStyle::SP_FileDialogContentsView);
    b.print = AddToolButton(parent, bar, "btnPrint", QStringLiteral("Imprimer"),
                            QStringLiteral("Imprimer des documents"), QStyle::SP_FileIcon);
    b.menu = AddToolButton(parent, bar, "btnMenu", QStringLiteral("&Menu"), QStringLiteral("Menu"),
                           QStyle::SP_ArrowDown);
    bar->addStretch();
    b.close = AddToolButton(parent, bar, "btnClose", QStringLiteral("Fermer"), QStringLiteral("Fermer"),
                            QStyle::SP_DialogCloseButton);
    return b;
}
