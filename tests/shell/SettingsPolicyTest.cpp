// A credit-shortage policy chosen in the settings dialog is the one the
// expense picker applies next, without a restart.
#include "budget/SheetStore.h"
#include "common/DocumentFixture.h"
#include "expenditure/UAddDep.h"
#include "shell/UOption.h"
#include "ui/QueryTableModel.h"

#include <QComboBox>
#include <QPushButton>

using rows::Money;

namespace {

class SettingsPolicyTest : public DocumentTest {
protected:
    void TearDown() override
    {
        ApplyParamSettings(saved);
        DocumentTest::TearDown();
    }
    TParamSettings saved = CurrentParamSettings();
};

TEST_F(SettingsPolicyTest, ThePickerFollowsTheCommitPolicyChosenInTheSettingsAtOnce)
{
    const qint64 supplier = rows::Beneficiary(QStringLiteral("SARL ALPHA"), BeneficiaryType::Supplier,
                                                toDb(ServiceKind::Supply));
    const qint64 line = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("01"), QString(),
                                         QStringLiteral("Fournitures"), Money("100"));
    const qint64 expense = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("200"));
    TSheetStore sheets;
    TSheet s;
    s.date = QDate(2024, 4, 1);
    qint64 sheet = 0;
    rows::Write([&] { sheet = sheets.InsertUserSheet(s); });

    auto choose = [](int commitPolicy) {
        TfrmOptions options;
        options.cmbDec_Eng->setCurrentIndex(commitPolicy);
        options.btnOk->click();
        ASSERT_EQ(options.result(), QDialog::Accepted);
    };
    TfrmAddDep picker;
    picker.SelectMode = true;
    picker.ModeDoc = PickerMode::Commitment;
    picker.TableDet = QStringLiteral("DET_ENG");
    picker.IdDoc = sheet;
    picker.Document = std::make_unique<TSheetExpenseLines>();
    picker.show();
    auto pick = [&] {
        ASSERT_TRUE(picker.Expenses()->locate({db::Value(expense)}));
        picker.btnAdd->click();
    };

    choose(1);  // "Ne pas engager"
    pick();
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Crédit insuffisant pour engager cette dépense !")});
    EXPECT_EQ(picker.LineCount(), 0);

    messages->clear();
    choose(0);  // "Engager"
    pick();
    EXPECT_TRUE(messages->calls().isEmpty()) << messages->texts().join(" | ").toStdString();
    EXPECT_EQ(picker.LineCount(), 1);
}

} // namespace
