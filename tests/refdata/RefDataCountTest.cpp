// The lists' counts follow their rows: after a row is added through the
// record window and after a row is deleted.
#include "RefDataSupport.h"

#include "refdata/UListBanque.h"
#include "refdata/UListBenef.h"
#include "refdata/UListTable.h"

#include <QStatusBar>

namespace {

class ListCountTest : public RefDataTest {};

} // namespace

TEST_F(ListCountTest, EveryListCountFollowsItsRows)
{
    struct Case {
        const char* name;
        std::function<std::unique_ptr<TRefListForm>()> open;
        QString insert;   // what the record window stores, as one statement
        QString field, value;   // the stored row
        QString suffix;
    };
    const Case cases[] = {
        {"beneficiaries", [] { return std::make_unique<TfrmListBenef>(); },
         "INSERT INTO BENEF (ID_BEN, TYPE_BEN, NOM, ID_BANQUE) VALUES (0, :SUPPLIER, 'NOUVEAU', 1)", "NOM", "NOUVEAU",
         " Bénéfs"},
        {"banks", [] { return std::make_unique<TfrmListBanque>(); }, "INSERT INTO BANQUE (ID_BANQUE, RS) VALUES (0, 'BNA')",
         "RS", "BNA", " Banque(s)"},
        {"code table",
         [] {
             auto l = std::make_unique<TfrmListTable>();
             l->CodeTable = "GRADE";
             l->KeyField = "ID_GRADE";
             l->FormCaption = "Grades";
             return l;
         },
         "INSERT INTO GRADE (ID_GRADE, LIBELLE) VALUES (0, 'MAITRE ASSISTANT')", "LIBELLE", "MAITRE ASSISTANT",
         " Elément(s)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<TRefListForm> list = c.open();
        list->show();
        const int before = list->model()->rowCount();
        EXPECT_EQ(list->stBar->Panel(2), QString::number(before) + c.suffix);

        const QString insert = c.insert;
        OnNextModal([insert](QDialog* d) {
            Exec(insert);
            d->reject();
        });
        list->btnModif->click();
        EXPECT_EQ(list->model()->rowCount(), before + 1);
        EXPECT_EQ(list->stBar->Panel(2), QString::number(before + 1) + c.suffix);

        ASSERT_TRUE(list->model()->locate({c.field}, {db::Value(c.value)}));
        messages->answer(mrYes);
        list->btnDelete->click();
        EXPECT_EQ(list->stBar->Panel(2), QString::number(before) + c.suffix);
    }
}
