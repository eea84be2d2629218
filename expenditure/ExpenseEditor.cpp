#include "expenditure/ExpenseEditor.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"

// ---------------------------------------------------------------------------
// TExpenseEditor

TExpenseEditor::TExpenseEditor(QWidget* parent, QString writeItemName, const QList<int>& statusWidths, int modePanel)
    : TEditorWindow(Options{.writeRightItem = std::move(writeItemName),
                            .statusWidths = statusWidths,
                            .modePanel = modePanel,
                            .closeRule = CloseRule::SaveAndStay,
                            .confirmCancel = true},
                    parent)
{
}

void TExpenseEditor::RefuseByState(int state, const std::array<QString, 3>& texts)
{
    if (state >= 1 && state <= 3) {
        ShowInfo(texts[size_t(state - 1)]);
        Abort();
    }
}
