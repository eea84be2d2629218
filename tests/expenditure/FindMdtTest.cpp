// The payment-order window's search dialog.
#include "common/MessageRecorder.h"
#include "expenditure/UFindMdt.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <ostream>

static void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

TEST(FindMdt, OneEditGreysTheOtherAndAnInternalNumberMustBeWhole)
{
    MessageRecorder messages;
    TfrmFindMdt dlg;
    dlg.show();
    dlg.edIdMdt->setText(QStringLiteral("12a"));
    EXPECT_FALSE(dlg.edNoMdt->isEnabled());
    EXPECT_FALSE(dlg.lNoMdt->isEnabled());
    EXPECT_EQ(QColor(192, 192, 192), dlg.edNoMdt->palette().color(QPalette::Base));
    dlg.btnOk->click();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(QStringList{QStringLiteral("Le N° d'ordre du mandat doit être numérique !")}, messages.texts());
    dlg.edIdMdt->setText(QStringLiteral("12.5"));
    dlg.btnOk->click();
    EXPECT_TRUE(dlg.isVisible());
    dlg.edIdMdt->setText(QStringLiteral(" 12 "));
    dlg.btnOk->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(12, dlg.FoundIdMdt);

    TfrmFindMdt byNumber;
    byNumber.show();
    byNumber.edNoMdt->setText(QStringLiteral(" 7 "));
    EXPECT_FALSE(byNumber.edIdMdt->isEnabled());
    byNumber.edNoMdt->clear();
    EXPECT_TRUE(byNumber.edIdMdt->isEnabled());
    byNumber.edNoMdt->setText(QStringLiteral(" 7 "));
    byNumber.btnOk->click();
    EXPECT_EQ(-1, byNumber.FoundIdMdt);
    EXPECT_EQ(QStringLiteral("7"), byNumber.FoundNoMdt);
}
