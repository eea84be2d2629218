#pragma once
// What the expense editors share (invoices, missions and other expenses, salary
// expenses) on top of the editor base: the key of the expense shown, the
// expense store, the unsaved-changes and cancel questions, and the refusal of
// a deletion by the expense's state. The checks of a save are in
// expenditure/ExpenseRules.h.

#include "data/Amounts.h"
#include "expenditure/ExpenseStore.h"
#include "ui/EditorWindow.h"
#include "ui/ListRecordPattern.h"

#include <QString>
#include <array>

class TExpenseEditor : public TEditorWindow {
    Q_OBJECT
public:
    // The expense to show first (-1: the last in date order); while the window
    // runs it holds the key of the expense shown.
    int IdDepense = -1;

    // Largest amount a DECIMAL(15,2) column holds.
    static constexpr Currency MaxAmount = MaxStoredAmount;

protected:
    // `statusWidths`: the widths of the status panels; `modePanel` shows the
    // mode. The cancel command asks before dropping the entry; leaving with
    // unsaved changes asks the unsaved-changes question.
    TExpenseEditor(QWidget* parent, QString writeItemName, const QList<int>& statusWidths, int modePanel);

    // Refuses to delete an expense whose state is not 0 with the message of the
    // state (committed, mandated, both).
    static void RefuseByState(int state, const std::array<QString, 3>& texts);

    // The SQL of the expenses.
    TExpenseStore m_expenses;
};
