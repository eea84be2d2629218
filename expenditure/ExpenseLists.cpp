#include "expenditure/ExpenseLists.h"

#include "core/GlobalState.h"
#include "core/MessageBox.h"
#include "data/AccessRights.h"
#include "data/WriteGuard.h"
#include "expenditure/ExpenseStore.h"
#include "ui/FormKit.h"

QColor ExpenseKindColor(ExpenseKind kind)
{
    switch (kind) {
    case ExpenseKind::Mission: return QColor(245, 254, 226);
    case ExpenseKind::SalaryToPay: return QColor(242, 242, 242);
    case ExpenseKind::SalaryToCommit: return QColor(230, 241, 255);
    default: return QColor();
    }
}

QString ExpenseWriteRight(ExpenseKind kind)
{
    switch (kind) {
    case ExpenseKind::Invoice: return MenuItem::mnFactures;
    case ExpenseKind::SalaryToPay: return MenuItem::mnDepSalaire;
    default: return MenuItem::mnAutreDep;
    }
}

bool DeleteUnheldExpense(qint64 idDepense, const std::array<QString, 3>& refusals, const std::function<bool()>& ask)
{
    const auto refused = [&](const TExpenseHold& hold) {
        if (!hold.Any())
            return false;
        ShowInfo(refusals[size_t(toDb(hold.Code()) - 1)]);
        return true;
    };
    TExpenseStore store;
    if (refused(store.Hold(idDepense)) || !ask())
        return false;
    TExpenseHold hold;
    {
        TWaitCursor wait;
        TWriteGuard write;
        hold = store.DeleteExpense(idDepense);
        if (!hold.Any())
            write.Commit();
    }
    return !refused(hold);
}

bool DeleteExpenseFromList(qint64 idDepense, ExpenseKind kind)
{
    if (!CanWrite(ExpenseWriteRight(kind), CurrentUserId))
        DenyWriteAccess();
    return DeleteUnheldExpense(
        idDepense,
        {QStringLiteral("Cette dépense est déjà Engagée !\rSuppression Impossible."),
         QStringLiteral("Cette dépense est déjà mandatée !\rSuppression Impossible."),
         QStringLiteral("Cette dépense est déjà Engagée et mandatée!\rSuppression Impossible.")},
        [] {
            return ShowStandardDialog(QStringLiteral("Etes-vous sûr de vouloir supprimer cette dépense ?"),
                                      StdDialogType::Confirmation, MsgButton::Yes | MsgButton::No)
                == mrYes;
        });
}
