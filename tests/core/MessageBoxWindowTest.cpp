#include "core/UError.h"
#include "core/Routines.h"
#include "controls/Gradient.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>

namespace {

class MessageBoxWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFont::insertSubstitution(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"));
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    }
};

// Runs `action` on the modal box once Execute has shown it.
void OnModal(std::function<void(QWidget*)> action)
{
    QTimer::singleShot(0, [action] {
        if (QWidget* w = QApplication::activeModalWidget())
            action(w);
    });
}

void Key(QWidget* box, int key)
{
    QWidget* target = box->focusWidget() ? box->focusWidget() : box;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

// Presses `key` on the shown box; the box stays open when the key answers
// nothing, so it is then closed with OK and mrNone is reported.
int ExecuteWithKey(MsgButtons buttons, int key)
{
    OnModal([key](QWidget* w) {
        Key(w, key);
        if (QApplication::activeModalWidget() == w)
            static_cast<TfrmError*>(w)->done(mrNone);
    });
    return TfrmError::Execute(QStringLiteral("Question ?"), mtConfirmation, buttons);
}

} // namespace

TEST_F(MessageBoxWindow, OneLineMessageTakesTheMinimumHeight)
{
    for (const char* text : {"Enregistrement effectué.", "", "Deux lignes\rcourtes"}) {
        const auto box = TfrmError::Build(QString::fromUtf8(text), mtInformation, MsgButton::OK);
        EXPECT_EQ(box->lError->height(), 81) << text;
        EXPECT_EQ(box->shpUpper->height(), 86) << text;
        EXPECT_EQ(box->WindowHeight(), 165) << text;
        box->show();
        EXPECT_EQ(box->lError->height(), 81) << text;
        EXPECT_EQ(box->WindowHeight(), 165) << text;
        EXPECT_EQ(box->lError->geometry(), QRect(68, 8, 445, 81)) << text;
        EXPECT_EQ(box->Gradient4->height(), 45);
        EXPECT_EQ(box->Gradient4->geometry().bottom(), box->height() - 1);
        EXPECT_EQ(box->Button(MsgButton::OK)->y(), 95);
    }
}

TEST_F(MessageBoxWindow, LongMessageGrowsTheBox)
{
    const int lineHeight = QFontMetrics(TfrmError::MessageFont()).height();
    QString tenLines;
    for (int i = 1; i <= 10; ++i)
        tenLines += QStringLiteral("Ligne %1\r").arg(i);
    // One paragraph far wider than the label wraps onto several lines.
    const QString wrapped = QString(60, QLatin1Char(' ')).replace(QLatin1String(" "), QLatin1String("montant "));

    struct { QString text; int minLines; } cases[] = {{tenLines, 10}, {wrapped, 4}};
    for (const auto& c : cases) {
        const auto box = TfrmError::Build(c.text, mtWarning, MsgButton::OK);
        const int builtLabel = box->lError->height();
        const int builtWindow = box->WindowHeight();
        EXPECT_EQ(builtWindow, builtLabel + 84);
        EXPECT_EQ(box->shpUpper->height(), builtLabel + 5);
        EXPECT_EQ(box->Button(MsgButton::OK)->y(), builtWindow - 70);

        box->show();
        const int v = box->lError->height();
        EXPECT_GE(v, c.minLines * lineHeight);
        EXPECT_EQ(builtLabel - v, 28);
        EXPECT_EQ(box->WindowHeight(), v + 105);
        EXPECT_EQ(box->shpUpper->height(), v + 25);
        EXPECT_EQ(box->height(), v + 105 - TfrmError::NonClientHeight);
    }
}

TEST_F(MessageBoxWindow, CaptionAndIconByType)
{
    struct { int type; const char* caption; bool icon; } cases[] = {
        {mtWarning, "Avertissement", true}, {mtError, "Erreur", true},
        {mtInformation, "Information", true}, {mtConfirmation, "Confirmation", true},
        {mtCustom, "Vorel - Gestion des Finances", false},
    };
    for (const auto& c : cases) {
        const auto box = TfrmError::Build(QStringLiteral("Texte"), c.type, MsgButton::OK);
        EXPECT_EQ(box->windowTitle(), QString::fromLatin1(c.caption));
        EXPECT_EQ(box->Image != nullptr, c.icon) << c.type;
        if (box->Image) {
            EXPECT_EQ(box->Image->size(), QSize(32, 32));
            EXPECT_FALSE(box->Image->pixmap().isNull());
        }
    }
}

TEST_F(MessageBoxWindow, ButtonsInOrderCentredAndEquallyWide)
{
    const QFontMetrics canvas(TfrmError::CanvasFont());
    struct { MsgButtons set; QStringList names; } cases[] = {
        {MsgButton::OK, {"OK"}},
        {MsgButton::Yes | MsgButton::No, {"Yes", "No"}},
        {MsgButton::Cancel | MsgButton::No | MsgButton::Yes, {"Yes", "No", "Cancel"}},
        {MsgButton::YesToAll | MsgButton::NoToAll | MsgButton::Abort, {"Abort", "NoToAll", "YesToAll"}},
    };
    for (const auto& c : cases) {
        const auto box = TfrmError::Build(QStringLiteral("Texte"), mtWarning, c.set);
        QList<QPushButton*> buttons;
        for (QPushButton* b : box->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly))
            buttons << b;
        std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
        QStringList names;
        for (QPushButton* b : buttons) {
            names << b->objectName();
            EXPECT_EQ(b->width(), buttons[0]->width());
            EXPECT_GE(b->width(), canvas.horizontalAdvance(StripAccelerator(b->text())) + 8) << b->text().toStdString();
        }
        EXPECT_EQ(names, c.names);
        const int leftGap = buttons.first()->x();
        const int rightGap = TfrmError::ClientWidth - (buttons.last()->x() + buttons.last()->width());
        EXPECT_LE(std::abs(leftGap - rightGap), 1);
    }
}

TEST_F(MessageBoxWindow, DefaultAndEscapeButtons)
{
    struct { MsgButtons set; const char* defaultName; const char* escapeName; int enter; int esc; } cases[] = {
        {MsgButton::OK, "OK", "OK", mrOk, mrOk},
        {MsgButton::Yes | MsgButton::No, "Yes", "No", mrYes, mrNo},
        {MsgButton::Yes | MsgButton::No | MsgButton::Cancel, "Yes", "Cancel", mrYes, mrCancel},
        {MsgButton::OK | MsgButton::Cancel, "OK", "Cancel", mrOk, mrCancel},
        {MsgButton::Abort | MsgButton::Retry | MsgButton::Ignore, "Retry", nullptr, mrRetry, mrNone},
    };
    for (const auto& c : cases) {
        const auto box = TfrmError::Build(QStringLiteral("Question ?"), mtConfirmation, c.set);
        ASSERT_NE(box->DefaultButton(), nullptr);
        EXPECT_EQ(box->DefaultButton()->objectName(), QLatin1String(c.defaultName));
        EXPECT_TRUE(box->DefaultButton()->isDefault());
        EXPECT_EQ(box->EscapeButton() ? box->EscapeButton()->objectName() : QString(),
                  c.escapeName ? QLatin1String(c.escapeName) : QLatin1String(""));

        EXPECT_EQ(ExecuteWithKey(c.set, Qt::Key_Return), c.enter) << c.defaultName;
        EXPECT_EQ(ExecuteWithKey(c.set, Qt::Key_Escape), c.esc) << c.defaultName;
    }

    // Without OK, Yes or Retry no button is the default.
    const auto box = TfrmError::Build(QStringLiteral("?"), mtWarning, MsgButton::No | MsgButton::Ignore);
    EXPECT_EQ(box->DefaultButton(), nullptr);
    for (QPushButton* b : box->findChildren<QPushButton*>())
        EXPECT_FALSE(b->isDefault()) << b->objectName().toStdString();
    EXPECT_EQ(box->EscapeButton()->objectName(), "No");
}

TEST_F(MessageBoxWindow, ClickTitleBarCloseAndFade)
{
    OnModal([](QWidget* w) { w->findChild<QPushButton*>(QStringLiteral("No"))->click(); });
    EXPECT_EQ(TfrmError::Execute(QStringLiteral("?"), mtConfirmation, MsgButton::Yes | MsgButton::No), mrNo);

    // Closing by the title bar answers Cancel whatever the buttons.
    OnModal([](QWidget* w) { w->close(); });
    EXPECT_EQ(TfrmError::Execute(QStringLiteral("!"), mtWarning, MsgButton::OK), mrCancel);

    // A button without a modal result keeps the box open.
    OnModal([](QWidget* w) {
        w->findChild<QPushButton*>(QStringLiteral("Help"))->click();
        EXPECT_EQ(QApplication::activeModalWidget(), w);
        w->findChild<QPushButton*>(QStringLiteral("OK"))->click();
    });
    EXPECT_EQ(TfrmError::Execute(QStringLiteral("?"), mtWarning, MsgButton::OK | MsgButton::Help), mrOk);

    // The box fades from 180 down to 12 (of 255) before it closes.
    const auto box = TfrmError::Build(QStringLiteral("!"), mtWarning, MsgButton::OK);
    box->show();
    box->Button(MsgButton::OK)->click();
    EXPECT_EQ(box->result(), mrOk);
    EXPECT_NEAR(box->windowOpacity(), 12 / 255.0, 0.005);
    EXPECT_FALSE(box->isVisible());
}

TEST_F(MessageBoxWindow, ShowMessageBoxOpensTheWindowWithoutResponder)
{
    const MessageResponder saved = CurrentMessageResponder();
    SetMessageResponder({});
    OnModal([](QWidget* w) {
        EXPECT_NE(qobject_cast<TfrmError*>(w), nullptr);
        EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("lError"))->text(), "Une\nDeux");
        Key(w, Qt::Key_Escape);
    });
    EXPECT_EQ(ShowMessageBox(QStringLiteral("Une\rDeux"), mtConfirmation, MsgButton::Yes | MsgButton::No), mrNo);
    SetMessageResponder(saved);
}
