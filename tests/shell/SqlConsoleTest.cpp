// The SQL console on a real year: every run ends its writes (committed, or
// rolled back and told), long results are read as the grid scrolls, the grid
// lets its rows go when the connection closes, and the console opens only for
// the users its menu item is shown to.
#include "core/GlobalState.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "security/Rights.h"
#include "ui/FormKit.h"
#include "shell/UKivMain.h"
#include "shell/USql.h"
#include "common/MessageRecorder.h"
#include "common/ProgramFolder.h"
#include "common/YearDb.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SqlConsoleTest : public YearDbTest {
protected:
    void SetUp() override
    {
        YearDbTest::SetUp();
        console = std::make_unique<TfrmSql>();
        console->show();
    }
    void TearDown() override
    {
        console.reset();
        committed.reset();
        YearDbTest::TearDown();
    }

    void Run(QPushButton* button, const QString& text)
    {
        console->Memo1->setPlainText(text);
        button->click();
    }

    // What another program sees: only what was committed.
    qint64 CommittedCount(const QString& sql)
    {
        if (!committed) {
            committed = std::make_unique<db::Connection>();
            committed->open(year->params());
        }
        db::Query q(*committed, sql);
        q.open();
        return db::toInt(q.at(0, 0));
    }

    MessageRecorder messages;
    std::unique_ptr<TfrmSql> console;
    std::unique_ptr<db::Connection> committed;
};

TEST_F(SqlConsoleTest, AFailedStatementOrScriptIsRolledBackAndNeverCommittedByALaterSave)
{
    // Each writes a row, then fails.
    const QString block = QStringLiteral(
        "EXECUTE BLOCK AS DECLARE I INTEGER; BEGIN INSERT INTO BANQUE (RS) VALUES ('perdu'); I = 1 / 0; END");
    const struct {
        const char* what;
        QPushButton* TfrmSql::*button;
        QString text;
    } cases[] = {
        {"script", &TfrmSql::btnSqlProc,
         QStringLiteral("INSERT INTO BANQUE (RS) VALUES ('perdu');\nINSERT INTO TABLE_ABSENTE VALUES (1);")},
        {"statement", &TfrmSql::btnExec, block},
        {"statement through Open", &TfrmSql::btnOpen, block},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        messages.clear();
        Run(console.get()->*c.button, c.text);
        ASSERT_EQ(messages.calls().size(), 1);
        EXPECT_TRUE(messages.calls()[0].text.contains(QStringLiteral("annulé"))) << messages.texts()[0].toStdString();
        EXPECT_FALSE(DM->LURDO.inTransaction());
        EXPECT_FALSE(console->stBar->Panel(3).isEmpty());  // timed all the same
    }

    // A later save commits its own row only.
    {
        TWriteGuard write;
        DM->LURDO.execute(QStringLiteral("INSERT INTO BANQUE (RS) VALUES ('gardé')"));
        write.Commit();
    }
    EXPECT_EQ(CommittedCount(QStringLiteral("SELECT COUNT(*) FROM BANQUE WHERE RS='perdu'")), 0);
    EXPECT_EQ(CommittedCount(QStringLiteral("SELECT COUNT(*) FROM BANQUE WHERE RS='gardé'")), 1);
}

TEST_F(SqlConsoleTest, ExecAndScriptsCommitAndOpenReadsALongResultAsTheGridScrolls)
{
    Run(console->btnSqlProc, QStringLiteral(
        "SET TERM ^ ;\n"
        "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN\n"
        "  WHILE (I < 1000) DO BEGIN INSERT INTO BANQUE (RS) VALUES ('Banque ' || :I); I = I + 1; END\n"
        "END^\n"
        "SET TERM ; ^"));
    Run(console->btnExec, QStringLiteral("UPDATE BANQUE SET RS = 'première' WHERE RS = 'Banque 0'"));
    EXPECT_TRUE(messages.calls().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(CommittedCount(QStringLiteral("SELECT COUNT(*) FROM BANQUE")), 1000);
    EXPECT_EQ(CommittedCount(QStringLiteral("SELECT COUNT(*) FROM BANQUE WHERE RS='première'")), 1);

    Run(console->btnOpen, QStringLiteral("SELECT ID_BANQUE, RS FROM BANQUE ORDER BY ID_BANQUE"));
    TSqlResultModel* model = console->Model();
    EXPECT_EQ(model->columnCount(), 2);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("RS"));
    EXPECT_EQ(model->rowCount(), TfrmSql::FirstRows);
    EXPECT_EQ(model->data(model->index(0, 1), Qt::DisplayRole).toString(), QStringLiteral("première"));
    ASSERT_TRUE(model->canFetchMore(QModelIndex()));
    model->fetchMore(QModelIndex());
    EXPECT_EQ(model->rowCount(), TfrmSql::FirstRows + TSqlResultModel::FetchRows);
    console->grdSQL->scrollToBottom();
    while (model->canFetchMore(QModelIndex()))
        model->fetchMore(QModelIndex());
    EXPECT_EQ(model->rowCount(), 1000);
    EXPECT_EQ(model->data(model->index(999, 1), Qt::DisplayRole).toString(), QStringLiteral("Banque 999"));
    EXPECT_FALSE(DM->LURDO.inTransaction());

    // The grid lets its rows go when the connection closes (a year switch, a backup).
    Run(console->btnOpen, QStringLiteral("SELECT * FROM BANQUE"));
    EXPECT_GT(model->rowCount(), 0);
    DM->CloseDatabase();
    EXPECT_EQ(model->rowCount(), 0);
    EXPECT_EQ(model->columnCount(), 0);
    DM->ReopenDatabase();
}

TEST_F(SqlConsoleTest, TheButtonsFollowTheTextAndTheHistory)
{
    console->Memo1->setPlainText(QStringLiteral("  \n "));
    for (QPushButton* run : {console->btnExec, console->btnOpen, console->btnSqlProc})
        EXPECT_FALSE(run->isEnabled());
    EXPECT_FALSE(console->btnPrior->isEnabled());
    EXPECT_FALSE(console->btnNext->isEnabled());

    Run(console->btnOpen, QStringLiteral("SELECT 1 FROM RDB$DATABASE"));
    Run(console->btnOpen, QStringLiteral("SELECT 2 FROM RDB$DATABASE"));
    EXPECT_TRUE(console->btnPrior->isEnabled());
    EXPECT_FALSE(console->btnNext->isEnabled());
    console->btnPrior->click();
    EXPECT_EQ(console->Memo1->toPlainText(), QStringLiteral("SELECT 2 FROM RDB$DATABASE"));
    console->btnPrior->click();
    EXPECT_EQ(console->Memo1->toPlainText(), QStringLiteral("SELECT 1 FROM RDB$DATABASE"));
    EXPECT_FALSE(console->btnPrior->isEnabled());
    ASSERT_TRUE(console->btnNext->isEnabled());
    console->btnNext->click();
    EXPECT_EQ(console->Memo1->toPlainText(), QStringLiteral("SELECT 2 FROM RDB$DATABASE"));

    // Esc only hides the console.
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(console->Memo1, &esc);
    EXPECT_FALSE(console->isVisible());
    EXPECT_EQ(console->History().size(), 2);
}

TEST_F(SqlConsoleTest, AFileIsReadAsUtf8OrInTheWindowsCodePage)
{
    QTemporaryDir dir;
    auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(QLatin1String(name)));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    };
    console->LoadFile(write("utf8.txt", "SELECT 'Sétif' FROM RDB$DATABASE"));
    EXPECT_EQ(console->Memo1->toPlainText(), QStringLiteral("SELECT 'Sétif' FROM RDB$DATABASE"));
    console->LoadFile(write("ansi.txt", "SELECT 'B\xe9ja\xef" "a' FROM RDB$DATABASE"));
    EXPECT_EQ(console->Memo1->toPlainText(), QStringLiteral("SELECT 'Béjaïa' FROM RDB$DATABASE"));
    EXPECT_TRUE(messages.calls().isEmpty());
    console->LoadFile(write("binary.bin", QByteArray("\x7f" "ELF\0\0\x01", 7)));
    console->LoadFile(dir.filePath(QStringLiteral("absent.txt")));
    EXPECT_EQ(messages.texts(), (QStringList{QStringLiteral("Mauvais format de fichier !"),
                                             QStringLiteral("Mauvais format de fichier !")}));
    EXPECT_EQ(console->Memo1->toPlainText(), QStringLiteral("SELECT 'Béjaïa' FROM RDB$DATABASE"));
}

TEST(SqlConsoleKey, OpensTheConsoleOnlyForTheUsersItsItemIsShownTo)
{
    ProgramFolder folder;
    YearDb year;
    MessageRecorder messages;
    const bool manager = IsBuiltInManager;
    TfrmKivMain w;
    auto leftShiftCtrlS = [&] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_S, Qt::ShiftModifier | Qt::ControlModifier, 0, 0, 0);
        QApplication::sendEvent(w.lClient, &press);
    };

    // A user of the user form, whose rights are all there: no SQL item, no console.
    IsBuiltInManager = false;
    CurrentUserId = 0;
    ApplyMenuRights(w.menuBar());
    ASSERT_FALSE(w.mnSQL->isVisible());
    leftShiftCtrlS();
    EXPECT_EQ(TfrmSql::Existing(), nullptr);

    IsBuiltInManager = true;
    ApplyMenuRights(w.menuBar());
    leftShiftCtrlS();
    ASSERT_NE(TfrmSql::Existing(), nullptr);
    EXPECT_TRUE(TfrmSql::Existing()->isVisible());
    TfrmSql* first = TfrmSql::Existing();
    first->hide();
    w.mnSQL->trigger();
    EXPECT_EQ(TfrmSql::Existing(), first);  // one console for the process
    EXPECT_TRUE(first->isVisible());
    IsBuiltInManager = manager;
}

} // namespace
