// The rules of a payment order's header over plain values.
#include "expenditure/OrderRules.h"

#include <gtest/gtest.h>

#include <ostream>

static void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

TEST(OrderRules, TheDateIsEmptyOrOfTheYear)
{
    QDate d;
    EXPECT_FALSE(order::CheckDate(QStringLiteral("  "), 2024, &d).has_value());
    EXPECT_FALSE(d.isValid());
    EXPECT_FALSE(order::CheckDate(QStringLiteral("2/5/2024"), 2024, &d).has_value());
    EXPECT_EQ(QDate(2024, 5, 2), d);
    EXPECT_EQ(QStringLiteral("La Date du mandat est incorrecte !"),
              order::CheckDate(QStringLiteral("32/01/2024"), 2024, &d)->message);
    EXPECT_EQ(QStringLiteral("La date du Mandat ne correspond pas à l'exercice en cours !"),
              order::CheckDate(QStringLiteral("02/05/2023"), 2024, &d)->message);
}

TEST(OrderRules, AttachmentsByKindAndCount)
{
    auto lines = [](ExpenseKind kind, int n) {
        TDocumentLines out;
        for (int i = 0; i < n; ++i) {
            TDocumentLine l;
            l.kind = kind;
            l.idDepense = 100 + i;
            out.append(l);
        }
        return out;
    };
    const auto reference = [](qint64 id) { return QStringLiteral("F.E N° %1 DU 01/02/2024").arg(id); };
    const auto invoices = order::Attachments(lines(ExpenseKind::Invoice, 3), 1, reference);
    ASSERT_TRUE(invoices.has_value());
    EXPECT_EQ(QStringLiteral("F.E N° 101 DU 01/02/2024"), (*invoices)[0]);
    EXPECT_EQ(QStringLiteral("03 Factures"), (*invoices)[1]);
    EXPECT_EQ(QStringLiteral("01 Etat de Paiement de Factures"), (*invoices)[2]);
    const auto mission = order::Attachments(lines(ExpenseKind::Mission, 1), 0, reference);
    ASSERT_TRUE(mission.has_value());
    EXPECT_EQ(QStringLiteral("01 Décision"), (*mission)[1]);
    EXPECT_EQ(QStringLiteral("01 Etat de Paiement de Missions"), (*mission)[2]);
    EXPECT_FALSE(order::Attachments(lines(ExpenseKind::SalaryToPay, 1), 0, reference).has_value());
    EXPECT_FALSE(order::Attachments({}, 0, reference).has_value());
}
