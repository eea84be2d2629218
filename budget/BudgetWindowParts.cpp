#include "budget/BudgetWindowParts.h"

#include "core/Guard.h"
#include "ui/ListRecordPattern.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QWidget>

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

QAction* AddMenuItem(QWidget* window, QMenu* menu, const char* name, const QString& caption, const QKeySequence& key)
{
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty()) {
        a->setShortcut(key);
        window->addAction(a);
    }
    return a;
}

QPushButton* AddToolButton(QWidget* parent, QBoxLayout* bar, const char* name, const QString& text,
                           const QString& hint, QStyle::StandardPixmap icon)
{
    QPushButton* b = MakeButton(parent, name, text, hint);
    b->setIcon(parent->style()->standardIcon(icon));
    bar->addWidget(b);
    return b;
}

void UseAsContextMenu(QWidget* widget, QMenu* menu)
{
    // A scroll area reports positions in its viewport.
    auto* area = qobject_cast<QAbstractScrollArea*>(widget);
    QWidget* origin = area ? area->viewport() : widget;
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(widget, &QWidget::customContextMenuRequested, menu,
                     [menu, origin](const QPoint& pos) { RunGuarded([&] { menu->popup(origin->mapToGlobal(pos)); }); });
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
