// The decision template's editor: the template written only after a real
// edit, with the previous version kept; the style buttons, the font and the
// size following the caret and applied to the selection; a template that
// cannot be read; and the transfer window's items opening the editor and
// printing the decision with the formatting set in the editor.
#include "budget/TransferFixture.h"

#include "budget/UModifDecVir.h"
#include "budget/UVirement.h"
#include "common/PreviewDriver.h"
#include "reports/budget/DecisionTemplate.h"
#include "rtf/Rtf.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontComboBox>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

namespace {

const QByteArray kTemplate =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fnil\\fcharset178 Arial;}}\n"
    "\\pard\\qc\\f0\\fs24 Le Doyen d\\'e9cide le [DATE].\\par\n"
    "\\pard\\qr\\f1 \\'c7\\'e1\\'cc\\'e3\\'e5\\'e6\\'d1\\'ed\\'c9\\par}";

class DecisionTemplateEditor : public TransferTest {
protected:
    void SetUp() override
    {
        TransferTest::SetUp();
        path = DecisionTemplatePath();
    }
    void TearDown() override
    {
        editor.reset();
        TransferTest::TearDown();
    }
    void Write(const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray Bytes(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void Open()
    {
        editor = std::make_unique<TfrmModifDecVir>();
        editor->show();
    }
    void Select(int from, int to)
    {
        QTextCursor c(editor->RichDesc->document());
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        editor->RichDesc->setTextCursor(c);
    }
    void Caret(int at) { Select(at, at); }
    static QTextCharFormat FormatOf(QTextDocument& document, const QString& word)
    {
        const QTextCursor found = document.find(word);
        QTextCursor c(&document);
        c.setPosition(found.selectionStart() + 1);
        return c.charFormat();
    }

    QString path;
    std::unique_ptr<TfrmModifDecVir> editor;
};

TEST_F(DecisionTemplateEditor, OpeningAndClosingWithoutAnEditLeavesTheFileByteForByte)
{
    Write(kTemplate);
    Open();
    EXPECT_FALSE(editor->btnSave->isEnabled());
    EXPECT_TRUE(editor->RichDesc->toPlainText().startsWith(QStringLiteral("Le Doyen décide le [DATE].")));
    // Moving and selecting is no edit.
    Select(3, 8);
    QTest::keyClick(editor->RichDesc, Qt::Key_End);
    EXPECT_FALSE(editor->btnSave->isEnabled());
    QTest::keyClick(editor->RichDesc, Qt::Key_Escape);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(Bytes(path), kTemplate);
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".bak")));
    EXPECT_TRUE(messages->texts().isEmpty());
}

TEST_F(DecisionTemplateEditor, BoldSetAndSavedStaysBoldInTheFileAndOnTheDecision)
{
    Write(kTemplate);
    Open();
    Select(3, 8);   // "Doyen"
    EXPECT_FALSE(editor->btnGras->isChecked());
    editor->btnGras->click();
    EXPECT_TRUE(editor->btnSave->isEnabled());
    // The size of the selection: "décide" in 16 points.
    Select(9, 15);
    editor->cmbSize->setCurrentIndex(editor->cmbSize->findText(QStringLiteral("16")));
    emit editor->cmbSize->activated(editor->cmbSize->currentIndex());
    editor->btnSave->click();
    EXPECT_FALSE(editor->btnSave->isEnabled());
    EXPECT_EQ(Bytes(path + QStringLiteral(".bak")), kTemplate);
    const QByteArray saved = Bytes(path);

    // The buttons and the lists follow the caret.
    Caret(5);
    EXPECT_TRUE(editor->btnGras->isChecked());
    EXPECT_FALSE(editor->btnItalic->isChecked());
    EXPECT_EQ(editor->cmbSize->currentText(), QStringLiteral("12"));
    EXPECT_EQ(editor->cmbFont->currentText(), QStringLiteral("Arial"));
    Caret(11);
    EXPECT_FALSE(editor->btnGras->isChecked());
    EXPECT_EQ(editor->cmbSize->currentText(), QStringLiteral("16"));
    Caret(1);
    EXPECT_FALSE(editor->btnGras->isChecked());
    QTest::keyClick(editor->RichDesc, Qt::Key_Escape);
    EXPECT_EQ(Bytes(path), saved);   // nothing changed since the save: not written again

    QTextDocument read;
    ASSERT_FALSE(rtf::LoadFile(path, read).has_value());
    EXPECT_EQ(FormatOf(read, QStringLiteral("Doyen")).fontWeight(), QFont::Bold);
    EXPECT_NE(FormatOf(read, QStringLiteral("Le")).fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatOf(read, QStringLiteral("décide")).fontPointSize(), 16);
    EXPECT_TRUE(read.toPlainText().contains(QStringLiteral("الجمهورية")));

    // Printed from the transfer window: the word is bold on the decision.
    const qint64 id = SaveTransfer(Example());
    TfrmVirement transfers;
    transfers.IdVir = id;
    transfers.show();
    const bool shown = ReadNextPreview([&] { transfers.mnDecision->trigger(); }, [&](TfrmPreview& preview) {
        const rpt::PageItem* text = preview.Pages()->page(0).item(QStringLiteral("myRichText"));
        ASSERT_NE(text, nullptr);
        EXPECT_TRUE(text->text.contains(QStringLiteral("Le Doyen décide le ")));
        EXPECT_FALSE(text->text.contains(QStringLiteral("[DATE]")));
        EXPECT_EQ(FormatOf(*text->extra->document, QStringLiteral("Doyen")).fontWeight(), QFont::Bold);
    });
    EXPECT_TRUE(shown);
}

TEST_F(DecisionTemplateEditor, AnEditNotSavedIsWrittenAtClosing)
{
    Write(kTemplate);
    Open();
    QTest::keyClick(editor->RichDesc, Qt::Key_End);
    QTest::keyClicks(editor->RichDesc, QStringLiteral(" Vu le budget."));
    QTest::keyClick(editor->RichDesc, Qt::Key_Escape);
    EXPECT_EQ(Bytes(path + QStringLiteral(".bak")), kTemplate);
    QTextDocument read;
    ASSERT_FALSE(rtf::LoadFile(path, read).has_value());
    EXPECT_TRUE(read.toPlainText().startsWith(QStringLiteral("Le Doyen décide le [DATE]. Vu le budget.")));
}

TEST_F(DecisionTemplateEditor, ATemplateThatCannotBeReadIsReportedAndNeverOverwritten)
{
    for (const QByteArray& content : {QByteArray(), QByteArray("pas du RTF")}) {
        SCOPED_TRACE(content.toStdString());
        QFile::remove(path);
        if (!content.isEmpty())
            Write(content);
        messages->clear();
        Open();
        ASSERT_EQ(messages->texts().size(), 1);
        EXPECT_TRUE(messages->texts().first().contains(QStringLiteral("DECVIR.RTF")));
        EXPECT_TRUE(editor->RichDesc->toPlainText().isEmpty());
        EXPECT_FALSE(editor->btnSave->isEnabled());
        editor->close();
        EXPECT_EQ(QFileInfo::exists(path), !content.isEmpty());
        EXPECT_EQ(Bytes(path), content);
    }
    // Typed and saved: written.
    Open();
    QTest::keyClicks(editor->RichDesc, QStringLiteral("Decision du [DATE]"));
    editor->btnSave->click();
    QTextDocument read;
    ASSERT_FALSE(rtf::LoadFile(path, read).has_value());
    EXPECT_EQ(read.toPlainText(), QStringLiteral("Decision du [DATE]"));
}

TEST_F(DecisionTemplateEditor, TheTransferWindowOpensTheEditor)
{
    Write(kTemplate);
    TfrmVirement transfers;
    transfers.show();
    EXPECT_EQ(ClassOfNextModal([&] { transfers.mnModiDec->trigger(); }), QStringLiteral("TfrmModifDecVir"));
    EXPECT_EQ(Bytes(path), kTemplate);
}

// Another user saved the template while this editor held it: a save or a
// close does not replace it without the user's word. No keeps the other
// version, Cancel (at closing) stays, Yes replaces it whole.
TEST_F(DecisionTemplateEditor, ATemplateAnotherUserSavedMeanwhileIsReplacedOnlyWhenTheUserSaysSo)
{
    Write(kTemplate);
    Open();
    QTest::keyClick(editor->RichDesc, Qt::Key_End);
    QTest::keyClicks(editor->RichDesc, QStringLiteral(" Vu le budget."));
    const QByteArray theirs = "{\\rtf1\\ansi Leur d\\'e9cision du [DATE].\\par}";
    Write(theirs);

    messages->answer(mrNo);
    editor->btnSave->click();
    ASSERT_EQ(messages->texts().size(), 1);
    EXPECT_TRUE(messages->texts().first().contains(QStringLiteral("modifié par un autre utilisateur")));
    EXPECT_TRUE(messages->texts().first().contains(path));
    EXPECT_EQ(Bytes(path), theirs);
    EXPECT_TRUE(editor->btnSave->isEnabled());

    messages->clear();
    messages->answer(mrCancel);
    editor->close();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(messages->calls().size(), 1);
    EXPECT_EQ(Bytes(path), theirs);

    messages->clear();
    messages->answer(mrYes);
    editor->btnSave->click();
    EXPECT_EQ(messages->calls().size(), 1);
    EXPECT_EQ(Bytes(path + QStringLiteral(".bak")), theirs);
    QTextDocument read;
    ASSERT_FALSE(rtf::LoadFile(path, read).has_value());
    EXPECT_TRUE(read.toPlainText().startsWith(QStringLiteral("Le Doyen décide le [DATE]. Vu le budget.")));

    // The editor's own save is no other user's: the next one asks nothing.
    messages->clear();
    QTest::keyClicks(editor->RichDesc, QStringLiteral(" Fin."));
    QTest::keyClick(editor->RichDesc, Qt::Key_Escape);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(messages->calls().isEmpty());
    ASSERT_FALSE(rtf::LoadFile(path, read).has_value());
    EXPECT_TRUE(read.toPlainText().contains(QStringLiteral("Vu le budget. Fin.")));

    // Closing after another user's save, answered No: the window closes and
    // their version stays.
    Open();
    QTest::keyClicks(editor->RichDesc, QStringLiteral("Brouillon "));
    Write(theirs);
    messages->answer(mrNo);
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(Bytes(path), theirs);
}

// A folder in the template's place is told in French, and the editor writes
// nothing into it.
TEST_F(DecisionTemplateEditor, AFolderInTheTemplatesPlaceIsToldInFrench)
{
    QFile::remove(path);
    ASSERT_TRUE(QDir().mkpath(path));
    Open();
    ASSERT_EQ(messages->texts().size(), 1);
    EXPECT_EQ(messages->texts().first(),
              QStringLiteral("Impossible de lire le fichier %1 : c'est un dossier, pas un fichier.").arg(path));
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(QFileInfo(path).isDir());
    QDir(path).removeRecursively();
}

} // namespace
