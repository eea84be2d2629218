#include "budget/BudgetWindowParts.h"

#include "budget/BudgetStore.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "data/Codes.h"
#include "reports/budget/URptFEEco_Art.h"
#include "reports/budget/URptFEEco_Art_PreImp.h"
#include "reports/budget/URptFEEco_Chap.h"
#include "reports/budget/URptFEEco_Chap_PreImp.h"
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

namespace {

template <class Form>
void PreviewLineSheet(QWidget* caller, const TBudgetPrintLine& line, bool amending)
{
    Form form;
    form.Objet = toDb(!amending || line.mtBs > Currency() ? SheetObject::Economy : SheetObject::Expense);
    form.Origine = int(amending ? SheetOrigin::AmendingBudget : SheetOrigin::PrimitiveBudget);
    form.IdOrigine = int(line.idFnm);
    form.IdFnm = int(line.idFnm);
    form.Preview(caller);
}

template <class Form>
void PreviewChapterSheet(QWidget* caller, const TBudgetPrintLine& line)
{
    Form form;
    form.Origine = int(SheetOrigin::PrimitiveBudget);
    form.Chap = line.chap;
    form.Intitule = line.title;
    form.Preview(caller);
}

void PrintBudgetSheet(QWidget* caller, const TBudgetPrintLine& line, bool amending, bool prePrinted)
{
    if (line.idFnm <= 0)
        return;
    if (line.art.trimmed().isEmpty()) {
        if (amending) {
            ShowInfo(QStringLiteral("Vueillez sélectionner un article SVP !"));
            return;
        }
        if (prePrinted)
            PreviewChapterSheet<TfrmRptFEEco_Chap_PreImp>(caller, line);
        else
            PreviewChapterSheet<TfrmRptFEEco_Chap>(caller, line);
        return;
    }
    if (prePrinted)
        PreviewLineSheet<TfrmRptFEEco_Art_PreImp>(caller, line, amending);
    else
        PreviewLineSheet<TfrmRptFEEco_Art>(caller, line, amending);
}

} // namespace

void ConnectBudgetPrintItems(QWidget* window, const TBudgetPrintItems& items,
                             std::function<TBudgetPrintLine()> current)
{
    const auto connectItem = [&](QAction* item, bool amending, bool prePrinted) {
        QObject::connect(item, &QAction::triggered, window, Guarded([window, current, amending, prePrinted] {
                             PrintBudgetSheet(window, current(), amending, prePrinted);
                         }));
    };
    connectItem(items.bp, false, false);
    connectItem(items.bpPre, false, true);
    connectItem(items.bs, true, false);
    connectItem(items.bsPre, true, true);
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

TBudgetPrintLine PrintLineOf(const TBudgetLineRow& line)
{
    TBudgetPrintLine p;
    p.idFnm = line.id;
    p.chap = line.chap.trimmed();
    p.art = line.art.trimmed();
    p.title = line.intitule.trimmed();
    p.mtBs = line.bs;
    return p;
}
