// The commitment window's search dialog.
#include "budget/UFindFE.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <ostream>

static void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

TEST(FindFE, AChapterIsTypedStraightIntoTheArticleAndTheNumberIsPadded)
{
    TfrmFindFE dlg;
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    dlg.edChap->setFocus();
    QTest::keyClicks(dlg.edChap, QStringLiteral("22-03"));
    QApplication::processEvents();
    EXPECT_EQ(QStringLiteral("22-03"), dlg.edChap->text());
    EXPECT_TRUE(dlg.edArt->hasFocus());
    dlg.edArt->setText(QStringLiteral("01"));
    dlg.edPar->setText(QStringLiteral(" "));
    dlg.edNoFE->setText(QStringLiteral("2"));
    dlg.btnOk->click();
    EXPECT_EQ(QStringLiteral("0002"), dlg.FoundNoFE);
    EXPECT_EQ(QStringLiteral("22-03"), dlg.FoundChap);
    EXPECT_EQ(QStringLiteral("01"), dlg.FoundArt);
    EXPECT_EQ(QString(), dlg.FoundPar);

    TfrmFindFE cancelled;
    cancelled.show();
    cancelled.edNoFE->setText(QStringLiteral("7"));
    cancelled.btnCancel->click();
    EXPECT_EQ(QString(), cancelled.FoundNoFE);
}
