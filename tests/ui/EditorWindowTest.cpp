// The editor base on a small window of its own: the mode table (commands,
// their buttons, the entry panel, the mode panel), the close rules, the
// question before a cancel, and the keys.
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "ui/EditorWindow.h"
#include "ui/ListRecordPattern.h"
#include "ui/ListingWindow.h"
#include "common/MessageRecorder.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// One stored name, shown in an edit; Post stores the edit's text, refusing an
// empty one.
class TfrmProbe : public TEditorWindow {
public:
    TfrmProbe(const Options& options, bool hasRow) : TEditorWindow(options, nullptr), m_hasRow(hasRow)
    {
        mnAdd = AddCommand("mnAdd", QStringLiteral("Nouveau"), When::BrowseWithRight, [this] { btnAddClick(); });
        mnEdit = AddCommand("mnEdit", QStringLiteral("Modifier"), When::BrowseOnRowWithRight,
                            [this] { btnEditClick(); }, QKeySequence(Qt::Key_F2));
        mnPost = AddCommand("mnPost", QStringLiteral("Enregistrer"), When::Editing, [this] { btnPostClick(); },
                            QKeySequence(Qt::CTRL | Qt::Key_S));
        mnCancel = AddCommand("mnCancel", QStringLiteral("Annuler"), When::Editing, [this] { CancelEntry(); });
        btnAdd = new QPushButton(QStringLiteral("Nouveau"), this);
        btnPost = new QPushButton(QStringLiteral("Enregistrer"), this);
        BindButton(btnAdd, mnAdd);
        BindButton(btnPost, mnPost);
        for (QAction* a : {mnAdd, mnEdit, mnPost, mnCancel})
            AddWindowKey(a);
        pnlMain = new QWidget(this);
        edName = new QLineEdit(pnlMain);
        edOther = new QLineEdit(pnlMain);
        auto* entry = new QVBoxLayout(pnlMain);
        entry->addWidget(edName);
        entry->addWidget(edOther);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(btnAdd);
        layout->addWidget(btnPost);
        layout->addWidget(pnlMain);
        layout->addWidget(stBar);
        SetEntryPanel(pnlMain);
        AddEnterToNext(edName);
    }

    void btnAddClick()
    {
        RequireWriteRight();
        SetMode(emInsert);
        edName->clear();
        edName->setFocus();
    }
    void btnEditClick()
    {
        RequireWriteRight();
        SetMode(emEdit);
        edName->setFocus();
    }
    void btnPostClick() override
    {
        if (edName->text().isEmpty())
            Refuse(QStringLiteral("Le nom est manquant !"), edName);
        stored = edName->text();
        m_hasRow = true;
        SetMode(emBrowse);
    }
    void btnCancelClick() override
    {
        edName->setText(stored);
        SetMode(emBrowse);
    }
    void FormShow() override
    {
        ++shows;
        edName->setText(stored);
    }

    QAction *mnAdd, *mnEdit, *mnPost, *mnCancel;
    QPushButton *btnAdd, *btnPost;
    QWidget* pnlMain;
    QLineEdit *edName, *edOther;
    QString stored = QStringLiteral("ALPHA");
    int shows = 0;

protected:
    bool HasRows() const override { return m_hasRow; }

private:
    bool m_hasRow;
};

using Options = TEditorWindow::Options;
Options Probe(TEditorWindow::CloseRule rule = TEditorWindow::CloseRule::SaveAndStay, bool confirmCancel = false)
{
    return Options{.statusWidths = {60, 60, 60, 80},
                   .modePanel = 3,
                   .closeRule = rule,
                   .closeQuestion = QStringLiteral("Voulez-vous enregistrer les modifications apportées à cet élément ?"),
                   .confirmCancel = confirmCancel};
}

class EditorWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedAdmin = IsBuiltInAdmin;
        IsBuiltInAdmin = true;   // the write right without a database
    }
    void TearDown() override { IsBuiltInAdmin = savedAdmin; }
    bool savedAdmin = false;
    MessageRecorder messages;
};

// A child that signals as its window hides, as a drop-down box does when the
// window closes.
class THideTeller : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void hideEvent(QHideEvent* event) override
    {
        QLineEdit::hideEvent(event);
        emit textChanged(QStringLiteral("hidden"));
    }
};

// Windows of each base whose handler of that signal notes when it runs after
// the window's own destructor.
template <typename Base>
struct TLateHandlerProbe : Base {
    template <typename... A>
    TLateHandlerProbe(bool* late, A&&... args) : Base(std::forward<A>(args)...)
    {
        auto* teller = new THideTeller(this);
        QObject::connect(teller, &QLineEdit::textChanged, this, [this, late] {
            if (m_gone)
                *late = true;
        });
    }
    ~TLateHandlerProbe() override { m_gone = true; }
    bool m_gone = false;
};

struct TEditorProbe : TLateHandlerProbe<TfrmProbe> {
    explicit TEditorProbe(bool* late) : TLateHandlerProbe<TfrmProbe>(late, Probe(), true) {}
};

struct TListProbe : TLateHandlerProbe<TRefListForm> {
    explicit TListProbe(bool* late) : TLateHandlerProbe<TRefListForm>(late, TRefListForm::Options{}, nullptr) {}
    void FormShow() override {}
    void RunRecordWindow() override {}
    void DeleteCurrent() override {}
    void SetResults(bool) override {}
};

struct TListingProbe : TLateHandlerProbe<TListingWindow> {
    explicit TListingProbe(bool* late) : TLateHandlerProbe<TListingWindow>(late, nullptr, "grdProbe") {}
    void ShowFiltered() override {}
    void FormShow() override {}
};

} // namespace

TEST_F(EditorWindowTest, NoHandlerRunsOnceTheWindowIsBeingDestroyed)
{
    bool late = false;
    {
        auto* editor = new TEditorProbe(&late);
        editor->show();
        delete editor;
        EXPECT_FALSE(late) << "editor window";
    }
    {
        auto* list = new TListProbe(&late);
        list->show();
        delete list;
        EXPECT_FALSE(late) << "list window";
    }
    {
        auto* listing = new TListingProbe(&late);
        listing->show();
        delete listing;
        EXPECT_FALSE(late) << "listing window";
    }
}

TEST_F(EditorWindowTest, TheModeTableSetsCommandsButtonsPanelAndModeTextTogether)
{
    // (Without the right, which needs the database, see the windows' own tests.)
    struct Case {
        const char* name;
        bool row;
        void (TfrmProbe::*act)();
        bool add, edit, post, cancel, panel;
        const char* mode;
    };
    const Case cases[] = {
        {"browse on a row", true, nullptr, true, true, false, false, false, "Affichage"},
        {"browse without a row", false, nullptr, true, false, false, false, false, "Affichage"},
        {"insert", true, &TfrmProbe::btnAddClick, false, false, true, true, true, "Insertion"},
        {"edit", true, &TfrmProbe::btnEditClick, false, false, true, true, true, "Edition"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TfrmProbe w(Probe(), c.row);
        w.show();
        if (c.act)
            (w.*c.act)();
        EXPECT_EQ(w.mnAdd->isEnabled(), c.add);
        EXPECT_EQ(w.btnAdd->isEnabled(), c.add);
        EXPECT_EQ(w.mnEdit->isEnabled(), c.edit);
        EXPECT_EQ(w.mnPost->isEnabled(), c.post);
        EXPECT_EQ(w.btnPost->isEnabled(), c.post);
        EXPECT_EQ(w.mnCancel->isEnabled(), c.cancel);
        EXPECT_EQ(w.pnlMain->isEnabled(), c.panel);
        EXPECT_EQ(w.stBar->Panel(3), QString::fromLatin1(c.mode));
        EXPECT_EQ(w.shows, 1);
    }
    EXPECT_TRUE(messages.calls().isEmpty());
}

TEST_F(EditorWindowTest, CloseRulesDecideWhatLeavingAnEntryDoes)
{
    using Rule = TEditorWindow::CloseRule;
    struct Case {
        const char* name;
        Rule rule;
        const char* typed;
        int answer;
        bool open;
        TEditMode mode;
        const char* stored;
        int questions;
    };
    const Case cases[] = {
        {"discard closes without a question", Rule::Discard, "BETA", mrYes, false, emEdit, "ALPHA", 0},
        {"save and stay: Yes saves, stays", Rule::SaveAndStay, "BETA", mrYes, true, emBrowse, "BETA", 1},
        {"save and stay: No closes", Rule::SaveAndStay, "BETA", mrNo, false, emEdit, "ALPHA", 1},
        {"save and stay: Cancel stays", Rule::SaveAndStay, "BETA", mrCancel, true, emEdit, "ALPHA", 1},
        {"save then close: Yes saves, closes", Rule::SaveThenClose, "BETA", mrYes, false, emBrowse, "BETA", 1},
        {"save then close: a refused save stays", Rule::SaveThenClose, "", mrYes, true, emEdit, "ALPHA", 1},
        {"save then close: No cancels, closes", Rule::SaveThenClose, "BETA", mrNo, false, emBrowse, "ALPHA", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        TfrmProbe w(Probe(c.rule), true);
        w.show();
        w.btnEditClick();
        w.edName->setText(QString::fromLatin1(c.typed));
        messages.answer(c.answer);
        w.close();
        EXPECT_EQ(w.isVisible(), c.open);
        EXPECT_EQ(w.Mode(), c.mode);
        EXPECT_EQ(w.stored, QString::fromLatin1(c.stored));
        const QStringList texts = messages.texts();
        ASSERT_GE(texts.size(), c.questions);
        if (c.questions > 0) {
            EXPECT_EQ(texts[0], c.rule == Rule::SaveAndStay ? TEditorWindow::UnsavedQuestion
                                                            : QStringLiteral("Voulez-vous enregistrer les modifications "
                                                                             "apportées à cet élément ?"));
        }
    }
}

TEST_F(EditorWindowTest, EscAsksBeforeDroppingTheEntryWhereTheWindowSaysSoThenCloses)
{
    TfrmProbe w(Probe(TEditorWindow::CloseRule::Discard, true), true);
    w.show();
    w.btnEditClick();
    w.edName->setText(QStringLiteral("BETA"));

    messages.answer(mrNo);
    QTest::keyClick(w.edName, Qt::Key_Escape);
    EXPECT_EQ(messages.texts(), QStringList{TEditorWindow::CancelQuestion});
    EXPECT_EQ(w.Mode(), emEdit);
    EXPECT_EQ(w.edName->text(), QStringLiteral("BETA"));

    messages.answer(mrYes);
    QTest::keyClick(w.edName, Qt::Key_Escape);
    EXPECT_EQ(w.Mode(), emBrowse);
    EXPECT_EQ(w.edName->text(), QStringLiteral("ALPHA"));
    EXPECT_TRUE(w.isVisible());

    // In browse mode Esc closes, with no question.
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(messages.calls().size(), 2);
}

TEST_F(EditorWindowTest, EnterMovesToTheNextFieldAndTheWindowsKeysWinOverTheEdits)
{
    TfrmProbe w(Probe(), true);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_F2);
    ASSERT_EQ(w.Mode(), emEdit);
    ASSERT_TRUE(w.edName->hasFocus());
    QTest::keyClick(w.edName, Qt::Key_Return);
    EXPECT_TRUE(w.edOther->hasFocus());
    EXPECT_TRUE(w.isVisible());

    // Ctrl+S typed in an edit saves through the window's command.
    w.edName->setText(QStringLiteral("GAMMA"));
    QTest::keyClick(w.edOther, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(w.Mode(), emBrowse);
    EXPECT_EQ(w.stored, QStringLiteral("GAMMA"));
    EXPECT_TRUE(messages.calls().isEmpty());
}
