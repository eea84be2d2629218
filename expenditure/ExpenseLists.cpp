#include "expenditure/ExpenseLists.h"

#include "core/GlobalState.h"
#include "core/MessageBox.h"
#include "data/AccessRights.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "expenditure/ExpenseStore.h"
#include "ui/FormKit.h"

QColor ExpenseKindColor(int kind)
{
    switch (kind) {
    case 1: return QColor(245, 254, 226);
    case 2: return QColor(242, 242, 242);
    case 3: return QColor(230, 241, 255);
    default: return QColor();
    }
}

QString ExpenseWriteRight(int kind)
{
    switch (kind) {
    case 0: return QStringLiteral("mnFactures");
    case 2: return QStringLiteral("mnDepSalaire");
    default: return QStringLiteral("mnAutreDep");
    }
}

namespace {

// The refusal of an expense that a document holds; true when there was one.
bool RefuseHeld(const TExpenseHold& hold)
{
    switch (hold.Code()) {
    case 1: ShowInfo(QStringLiteral("Cette dépense est déjà Engagée !\rSuppression Impossible.")); return true;
    case 2: ShowInfo(QStringLiteral("Cette dépense est déjà mandatée !\rSuppression Impossible.")); return true;
    case 3: ShowInfo(QStringLiteral("Cette dépense est déjà Engagée et mandatée!\rSuppression Impossible.")); return true;
    default: return false;
    }
}

} // namespace

bool DeleteExpenseAsked(qint64 idDepense, int kind)
{
    if (!CanWrite(ExpenseWriteRight(kind), CurrentUserId))
        DenyWriteAccess();
    // Any sheet (a cancelled one too, whose lines must stay whole) or order
    // holding the expense refuses, before the question and again inside the
    // deleting transaction.
    TExpenseStore store;
    if (RefuseHeld(store.Hold(idDepense)))
        return false;
    if (ShowStandardDialog(QStringLiteral("Etes-vous sûr de vouloir supprimer cette dépense ?"),
                           StdDialogType::Confirmation, MsgButton::Yes | MsgButton::No)
        != mrYes)
        return false;
    TExpenseHold hold;
    {
        TWaitCursor wait;
        TWriteGuard write;
        hold = store.DeleteExpense(idDepense);
        if (!hold.Any())
            write.Commit();
    }
    return !RefuseHeld(hold);
}
