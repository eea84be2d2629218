// Access rights: the lookups, the rows made for a user from the main menu, the
// menu filtering after login and the rights editor.
#include "LoginFixture.h"

#include "core/Guard.h"
#include "core/IniFile.h"
#include "core/MessageBox.h"
#include "security/Rights.h"
#include "security/USecure.h"
#include "common/MessageRecorder.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace {

const QString kDenied = QStringLiteral("Alerte de sécurité : Ecriture non autorisée !");
const QString kSalaryKey = QStringLiteral("LISTINGDESCHARGESSAL");   // two items share it

QList<QAction*> AllItems(QMenuBar* bar)
{
    QList<QAction*> out;
    for (QAction* top : bar->actions()) {
        out.append(top);
        if (top->menu())
            out += top->menu()->actions();
    }
    return out;
}

QSet<QString> Hidden(QMenuBar* bar)
{
    QSet<QString> out;
    for (QAction* a : AllItems(bar))
        if (!a->isVisible())
            out.insert(a->objectName());
    return out;
}

void HideAll(QMenuBar* bar)
{
    for (QAction* a : AllItems(bar))
        a->setVisible(false);
}

// Rows of the rights grid whose key is `key`.
QList<int> GridRows(const QTableWidget* grid, const QString& key)
{
    QList<int> rows;
    for (int r = 0; r < grid->rowCount(); ++r)
        if (grid->item(r, TfrmSecure::colName)->text() == key)
            rows.append(r);
    return rows;
}

QString Access(const QTableWidget* grid, int row)
{
    return grid->item(row, TfrmSecure::colRead)->text() + "/" + grid->item(row, TfrmSecure::colWrite)->text();
}

void DoubleClick(QTableWidget* grid, int row, int column)
{
    grid->scrollToItem(grid->item(row, column));
    const QPoint at = grid->visualItemRect(grid->item(row, column)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void ChooseUser(QComboBox* combo, int userId)
{
    const int index = combo->findData(userId);
    ASSERT_GE(index, 0);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

} // namespace

TEST_F(LoginTest, LookupsReadTheUsersRowsByTheirTwentyCharacterKey)
{
    const int u = AddUser("U", "", 1);
    const int v = AddUser("V", "", 1);
    AddRight(u, "MNBENEF", 0);
    AddRight(u, "MNBANQUE", 1);
    AddRight(u, "MNFNM", 2);
    AddRight(u, kSalaryKey, 0);
    AddRight(v, "MNGRADES", 0);
    LogInAs(u, "U");

    const struct { const char* item; int level; bool write; } cases[] = {
        {"mnBenef", 0, false},
        {"MNBENEF", 0, false},
        {"mnBanque", 1, false},
        {"mnFNM", 2, true},
        {"mnGrades", 1, true},   // no row of this user: read and write
        {"", 1, true},
        {"Listingdeschargessalarialesmandater1", 0, false},
        {"Listingdeschargessalarialesengager1", 0, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetAccessLevel(c.item, u), c.level) << c.item;
        EXPECT_EQ(CanWrite(c.item, u), c.write) << c.item;
    }
    for (bool* builtIn : {&IsBuiltInManager, &IsBuiltInAdmin}) {
        *builtIn = true;
        for (const auto& c : cases) {
            EXPECT_EQ(GetAccessLevel(c.item, u), 1) << c.item;
            EXPECT_TRUE(CanWrite(c.item, u)) << c.item;
        }
        *builtIn = false;
    }
}

TEST_F(LoginTest, DenyWriteAccessShowsTheAlertAndAbortsSilently)
{
    MessageRecorder messages;
    EXPECT_THROW(DenyWriteAccess(), EAbort);
    ASSERT_EQ(messages.calls().size(), 1);
    EXPECT_EQ(messages.calls()[0].text, kDenied);
    EXPECT_EQ(messages.calls()[0].type, mtError);
    EXPECT_EQ(messages.calls()[0].buttons, MsgButtons(MsgButton::OK));
}

TEST_F(LoginMenuTest, RowsAreMadeOncePerKeyFromTheMainMenu)
{
    const int simple = AddUser("S", "", 1);
    const int manager = AddUser("M", "", 0);
    const int untyped = AddUser("N", "", -1);

    const QList<UserRight> rights = SyncUserRights(main->menuBar(), simple);
    int managed = 0;
    QSet<QString> keys;
    for (const RightsMenuItem& item : MenuItemsForRights(main->menuBar()))
        if (item.managed) {
            ++managed;
            keys.insert(item.key);
        }
    ASSERT_EQ(rights.size(), managed);
    EXPECT_EQ(keys.size(), managed - 1);   // the two salary listings share one key
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) AS V FROM T_SECUR WHERE ID_USER=%1").arg(simple)),
              QString::number(keys.size()));
    for (const char* name : {"N1", "mnParam", "mnSQL", "mnConnection", "mnApropos0", "mnQuitter0", "Imprimer1"})
        EXPECT_TRUE(Rights(simple, RightsKey(name)).isEmpty()) << name;
    EXPECT_EQ(Rights(simple, kSalaryKey), QList<int>{2});
    EXPECT_EQ(Rights(simple, "MNSECURITE"), QList<int>{0});
    EXPECT_EQ(Rights(simple, "MNPJ"), QList<int>{2});   // hidden in the design, managed all the same
    EXPECT_EQ(Scalar(QStringLiteral("SELECT TV_LEVEL || '|' || NB_CHILD || '|' || OBJECT_DESC AS V FROM T_SECUR "
                                    "WHERE ID_USER=%1 AND OBJECT_NAME='MNPFICHIER'").arg(simple)),
              QStringLiteral("1|%1|Fichier").arg(main->mnpFichier->actions().size()));
    EXPECT_EQ(Scalar(QStringLiteral("SELECT TV_LEVEL || '|' || NB_CHILD || '|' || OBJECT_DESC AS V FROM T_SECUR "
                                    "WHERE ID_USER=%1 AND OBJECT_NAME='MNBENEF'").arg(simple)),
              QStringLiteral("2|0|Bénéficiaires"));

    SyncUserRights(main->menuBar(), manager);
    SyncUserRights(main->menuBar(), untyped);
    EXPECT_EQ(Rights(manager, "MNSECURITE"), QList<int>{2});
    EXPECT_EQ(Rights(untyped, "MNSECURITE"), QList<int>{2});

    // Loading again keeps one row per key: stale and duplicated rows go, the
    // oldest row of a key stays with its right.
    db::Query set(DM->LURDO, QStringLiteral("UPDATE T_SECUR SET TYPE_ACCES=1 WHERE ID_USER=:U AND OBJECT_NAME='MNBENEF'"));
    set.setParam("U", simple);
    set.exec();
    ASSERT_TRUE(DM->CommitWork());
    AddRight(simple, "MNBENEF", 2);
    AddRight(simple, kSalaryKey, 0);
    AddRight(simple, "MNGONE", 2);
    SyncUserRights(main->menuBar(), simple);
    EXPECT_EQ(Rights(simple, "MNBENEF"), QList<int>{1});
    EXPECT_EQ(Rights(simple, kSalaryKey), QList<int>{2});
    EXPECT_TRUE(Rights(simple, "MNGONE").isEmpty());
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) AS V FROM T_SECUR WHERE ID_USER=%1").arg(simple)),
              QString::number(keys.size()));
}

TEST_F(LoginMenuTest, MenuVisibilityAfterLogin)
{
    QMenuBar* bar = main->menuBar();
    const int simple = AddUser("S", "", 1);
    const int manager = AddUser("M", "", 0);
    const QSet<QString> reserved{"mnSQL", "mnConnection"};

    // First login of a SIMPLE USER: rows are made; everything shows, the design's
    // hidden items included, except the security item and the reserved ones.
    LogInAs(simple, "S");
    ApplyMenuRights(bar);
    EXPECT_EQ(Hidden(bar), reserved + QSet<QString>{"mnSecurite"});
    EXPECT_FALSE(Rights(simple, "MNBENEF").isEmpty());

    // No access hides an item, a whole menu through its own item, and both items
    // of a shared key.
    for (const char* key : {"MNBENEF", "MNPBUDGET", "LISTINGDESCHARGESSAL"}) {
        db::Query q(DM->LURDO, QStringLiteral("UPDATE T_SECUR SET TYPE_ACCES=0 WHERE ID_USER=:U AND OBJECT_NAME=:K"));
        q.setParam("U", simple);
        q.setParam("K", key);
        q.exec();
    }
    ASSERT_TRUE(DM->CommitWork());
    ApplyMenuRights(bar);
    const QSet<QString> refused{"mnSecurite", "mnBenef", "mnpBudget", "Listingdeschargessalarialesmandater1",
                                "Listingdeschargessalarialesengager1"};
    EXPECT_EQ(Hidden(bar), reserved + refused);

    // A MANAGER-type user keeps the security item.
    LogInAs(manager, "M");
    HideAll(bar);
    ApplyMenuRights(bar);
    EXPECT_EQ(Hidden(bar), reserved);

    // Built-in MANAGER: everything, SQL and connection settings included, and
    // no rows are made for it.
    LogOut();
    IsBuiltInManager = true;
    HideAll(bar);
    ApplyMenuRights(bar);
    EXPECT_TRUE(Hidden(bar).isEmpty());
    EXPECT_EQ(Scalar("SELECT COUNT(*) AS V FROM T_SECUR WHERE ID_USER=0"), "0");

    // Built-in ADMIN: rows under 0 once, everything but the reserved items.
    LogOut();
    IsBuiltInAdmin = true;
    HideAll(bar);
    ApplyMenuRights(bar);
    EXPECT_EQ(Hidden(bar), reserved);
    EXPECT_NE(Scalar("SELECT COUNT(*) AS V FROM T_SECUR WHERE ID_USER=0"), "0");
}

TEST_F(LoginMenuTest, RightsEditorTogglesAndSavesByKey)
{
    const int simple = AddUser("S", "", 1, "ZORRO", "DIEGO");
    LogOut();
    IsBuiltInManager = true;
    IniWriteInteger(IniPath, "SEC", "ID_USER", simple);

    MessageRecorder messages;
    TfrmSecure editor(main->menuBar());
    editor.show();
    QTableWidget* grid = editor.grdSecure;
    EXPECT_EQ(editor.cmbUser->currentText(), "ZORRO  DIEGO");
    EXPECT_EQ(editor.ChosenUser(), simple);
    EXPECT_EQ(grid->rowCount(), SyncUserRights(main->menuBar(), simple).size());
    EXPECT_FALSE(editor.btnPost->isEnabled());
    const int benef = GridRows(grid, "MNBENEF").value(0, -1);
    ASSERT_GE(benef, 0);
    EXPECT_EQ(grid->item(benef, TfrmSecure::colModule)->text(), "    Bénéficiaires");
    EXPECT_EQ(Access(grid, benef), "OUI/OUI");
    EXPECT_EQ(Access(grid, GridRows(grid, "MNSECURITE")[0]), "NON/NON");
    EXPECT_FALSE(grid->item(benef, TfrmSecure::colNo)->flags() & Qt::ItemIsSelectable);
    // The visible columns fill the grid's width without scrolling sideways.
    QApplication::processEvents();
    int shownWidth = 0;
    for (int c : {TfrmSecure::colNo, TfrmSecure::colModule, TfrmSecure::colRead, TfrmSecure::colWrite})
        shownWidth += grid->columnWidth(c);
    EXPECT_LE(shownWidth, grid->viewport()->width());
    EXPECT_GE(shownWidth, grid->viewport()->width() - 4);

    const struct { const char* key; int nth; int column; const char* shown; } clicks[] = {
        {"MNBENEF", 0, TfrmSecure::colWrite, "OUI/NON"},
        {"MNBANQUE", 0, TfrmSecure::colRead, "NON/NON"},     // read off takes write with it
        {"MNFNM", 0, TfrmSecure::colRead, "NON/NON"},
        {"MNFNM", 0, TfrmSecure::colWrite, "NON/OUI"},      // write without read
        {"MNSECURITE", 0, TfrmSecure::colRead, "OUI/NON"},  // a SIMPLE USER: no question
        {"LISTINGDESCHARGESSAL", 1, TfrmSecure::colWrite, "OUI/NON"},
        {"MNPFICHIER", 0, TfrmSecure::colModule, "OUI/OUI"},  // only the two right cells toggle
    };
    for (const auto& c : clicks) {
        const int row = GridRows(grid, c.key).value(c.nth, -1);
        ASSERT_GE(row, 0) << c.key;
        DoubleClick(grid, row, c.column);
        EXPECT_EQ(Access(grid, row), c.shown) << c.key;
    }
    const QList<int> salary = GridRows(grid, kSalaryKey);
    ASSERT_EQ(salary.size(), 2);
    EXPECT_EQ(Access(grid, salary[0]), "OUI/NON");   // both items of the key show the change
    EXPECT_TRUE(messages.calls().isEmpty());
    EXPECT_TRUE(editor.btnPost->isEnabled());

    editor.btnPost->click();
    EXPECT_FALSE(editor.btnPost->isEnabled());
    const struct { const char* key; int stored; } stored[] = {
        {"MNBENEF", 1}, {"MNBANQUE", 0}, {"MNFNM", 0}, {"MNSECURITE", 1}, {"LISTINGDESCHARGESSAL", 1}, {"MNPFICHIER", 2},
    };
    for (const auto& s : stored)
        EXPECT_EQ(Rights(simple, s.key), QList<int>{s.stored}) << s.key;
    LogInAs(simple, "S");
    EXPECT_EQ(GetAccessLevel("mnFNM", simple), 0);   // in force at once
    LogOut();
    IsBuiltInManager = true;

    // Cancel brings back what is stored.
    DoubleClick(grid, GridRows(grid, "MNOBS")[0], TfrmSecure::colRead);
    editor.btnCancel->click();
    EXPECT_EQ(Access(grid, GridRows(grid, "MNOBS")[0]), "OUI/OUI");

    editor.close();
    EXPECT_EQ(IniReadInteger(IniPath, "SEC", "ID_USER", -1), simple);
}

TEST_F(LoginMenuTest, RightsEditorAsksBeforeTouchingTheSecurityItemOfAManager)
{
    AddUser("S", "", 1, "ZORRO", "DIEGO");
    const int manager = AddUser("M", "", 0, "ALPHA", "BOSS");
    LogOut();
    IsBuiltInAdmin = true;

    MessageRecorder messages;
    TfrmSecure editor(main->menuBar());
    editor.show();
    EXPECT_EQ(editor.ChosenUser(), -1);   // nothing remembered: nothing loaded, no rows made
    EXPECT_EQ(editor.grdSecure->rowCount(), 0);
    ChooseUser(editor.cmbUser, manager);
    const int row = GridRows(editor.grdSecure, "MNSECURITE")[0];
    const QString warning = QStringLiteral(
        "Vous êtes en train de retirer les droits de sécurité pour un utilisateur de type \"MANAGER\" !\r\rSi vous "
        "continuer, cet utilisateur n'aura plus la possibilité de contrôler les accés aux différents modules "
        "d'Tarvex !\r\rEtes-vous sûr de vouloir continuer ?");
    const QString confirm = QStringLiteral("Confirmer la modification de l'accés au module de sécurité.\r\rConfirmer ?");

    const struct { QList<int> answers; QStringList asked; const char* shown; } cases[] = {
        {{mrNo}, {warning}, "OUI/OUI"},
        {{mrYes, mrNo}, {warning, confirm}, "OUI/OUI"},
        {{mrYes, mrYes}, {warning, confirm}, "OUI/NON"},
    };
    for (const auto& c : cases) {
        messages.clear();
        for (int a : c.answers)
            messages.answer(a);
        DoubleClick(editor.grdSecure, row, TfrmSecure::colWrite);
        EXPECT_EQ(messages.texts(), c.asked);
        EXPECT_EQ(Access(editor.grdSecure, row), c.shown);
    }
    EXPECT_EQ(messages.calls()[0].type, mtWarning);
    EXPECT_EQ(messages.calls()[1].type, mtConfirmation);
}

TEST_F(LoginMenuTest, RightsEditorWithoutTheWriteRightRefusesEveryChange)
{
    const int simple = AddUser("S", "", 1, "ZORRO", "DIEGO");
    SyncUserRights(main->menuBar(), simple);   // no access to the security item
    LogInAs(simple, "S");
    IniWriteInteger(IniPath, "SEC", "ID_USER", simple);

    MessageRecorder messages;
    TfrmSecure editor(main->menuBar());
    editor.show();
    EXPECT_FALSE(editor.WriteAllowed());
    EXPECT_FALSE(editor.btnUsers->isEnabled());
    EXPECT_FALSE(editor.btnPost->isEnabled());
    EXPECT_FALSE(editor.mnPost->isEnabled());
    const int row = GridRows(editor.grdSecure, "MNBENEF")[0];
    DoubleClick(editor.grdSecure, row, TfrmSecure::colRead);
    EXPECT_EQ(messages.texts(), QStringList{kDenied});
    EXPECT_EQ(Access(editor.grdSecure, row), "OUI/OUI");
    EXPECT_EQ(editor.grdSecure->item(row, TfrmSecure::colChanged)->text(), "0");
}

TEST_F(LoginMenuTest, MainWindowShowsOnlyAfterALoginAndFiltersItsMenu)
{
    const int simple = AddUser("S", "pw", 1);
    const auto answerLogin = [](const QString& code, const QString& pw, bool ok) {
        WhenModal<TfrmPassWord>([=](TfrmPassWord* dlg) {
            dlg->edUserId->setText(code);
            dlg->edPassword->setText(pw);
            (ok ? dlg->btnOk : dlg->btnCancel)->click();
        });
    };

    auto second = std::make_unique<TfrmKivMain>();
    answerLogin("S", "pw", true);
    second->show();
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(CurrentUserId, simple);
    EXPECT_EQ(Hidden(second->menuBar()), (QSet<QString>{"mnSQL", "mnConnection", "mnSecurite"}));
    second.reset();

    // A refused login: the window never shows and the program is told to end.
    // That end request, made outside a running loop, would stop every later
    // modal loop of this test program: a short application loop clears it
    // however this test ends.
    struct ClearEndRequest {
        ~ClearEndRequest()
        {
            QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
            QCoreApplication::exec();
        }
    } clearEndRequest;
    LogOut();
    answerLogin("S", "pw", false);
    main->show();
    EXPECT_FALSE(main->isVisible());
    // The program was told to end: a modal loop started now returns at once
    // instead of waiting to be closed.
    QDialog probe;
    bool closedByTest = false;
    QTimer::singleShot(0, &probe, [&] {
        closedByTest = true;
        probe.done(QDialog::Rejected);
    });
    probe.exec();
    EXPECT_FALSE(closedByTest) << "the refused login did not ask the program to end";
}
