// The main menu opens each reference-data window with the fields it sets.
#include "RefDataSupport.h"

#include "shell/UKivMain.h"
#include "refdata/UListBanque.h"
#include "refdata/UListBenef.h"
#include "refdata/UListFNM.h"
#include "refdata/UListTable.h"
#include "refdata/UObs.h"
#include "refdata/UPJFile.h"
#include "common/ProgramFolder.h"

#include <QAction>

TEST(RefDataMenu, EachItemOpensItsWindowModally)
{
    ProgramFolder folder;
    auto main = std::make_unique<TfrmKivMain>();
    YearDb year;
    MessageRecorder messages;
    struct Case {
        const char* item;
        const char* window;
        QStringList codeTable;   // CodeTable, KeyField, FormCaption, ObjectName
    };
    const Case cases[] = {
        {"mnBenef", "frmListBenef", {}},
        {"mnGrades", "frmListTable", {"GRADE", "ID_GRADE", "Grades", "mnGrades"}},
        {"mnBanque", "frmListBanque", {}},
        {"mnAgence", "frmListTable", {"AGENCE", "ID_AGENCE", "Agences bancaires", "mnAgence"}},
        {"mnFNM", "frmListFNM", {}},
        {"mnRetenues", "frmListTable", {"FRET", "ID_RETENUE", "Retenues", "mnRetenues"}},
        {"mnPJ", "frmPJFile", {}},
        {"mnObs", "frmObs", {}},
        {"mnWilaya", "frmListTable", {"FWIL", "ID_WIL", "Wilayas", "mnWilaya"}},
    };
    for (const Case& c : cases) {
        auto* action = main->findChild<QAction*>(c.item);
        ASSERT_NE(action, nullptr) << c.item;
        bool opened = false;
        OnNextModal([&](QDialog* d) {
            opened = true;
            EXPECT_EQ(d->objectName(), c.window) << c.item;
            EXPECT_EQ(d->parentWidget(), main.get()) << c.item;
            if (auto* l = qobject_cast<TRefListForm*>(d)) {
                EXPECT_FALSE(l->SelectMode) << c.item;
            }
            if (auto* t = qobject_cast<TfrmListTable*>(d)) {
                EXPECT_EQ((QStringList{t->CodeTable, t->KeyField, t->FormCaption, t->ObjectName}), c.codeTable);
            }
            d->reject();
        });
        action->trigger();
        EXPECT_TRUE(opened) << c.item;
    }
    EXPECT_TRUE(messages.calls().isEmpty()) << messages.texts().join(" | ").toStdString();
}
