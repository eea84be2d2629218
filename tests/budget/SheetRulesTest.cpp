// The rules of a commitment sheet's header over plain values.
#include "budget/SheetRules.h"

#include <gtest/gtest.h>

#include <ostream>

static void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

TEST(SheetRules, NumbersArePaddedWholeNumbersFromTwo)
{
    struct Case {
        const char* typed;
        const char* padded;   // null: refused with `message`
        const char* message;
    };
    const Case cases[] = {
        {"12", "0012", nullptr},
        {" 0013 ", "0013", nullptr},
        {"2", "0002", nullptr},
        {"1", nullptr, "Le N° de la fiche doit être supérieur à 1 !"},
        {"0001", nullptr, "Le N° de la fiche doit être supérieur à 1 !"},
        {"", nullptr, "Le N° de la Fiche est manquant !"},
        {"1a", nullptr, "Le N° de la fiche doit être numérique !"},
        {"-5", nullptr, "Le N° de la fiche doit être numérique !"},
        {"12345", nullptr, "Le N° de la fiche doit être numérique !"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        QString padded;
        const TVerdict v = sheet::CheckNumber(QString::fromUtf8(c.typed), &padded);
        if (c.padded) {
            EXPECT_FALSE(v.has_value());
            EXPECT_EQ(QString::fromUtf8(c.padded), padded);
        } else {
            ASSERT_TRUE(v.has_value());
            EXPECT_EQ(QString::fromUtf8(c.message), v->message);
        }
    }
}

TEST(SheetRules, DatesBelongToTheYearAndALaterVisaIsAskedAbout)
{
    struct Case {
        const char* date;
        const char* visa;
        bool answer;
        const char* message;   // null: accepted; "" refused without a message
        bool asked;
    };
    const Case cases[] = {
        {"01/04/2024", "", true, nullptr, false},
        {"01/04/2024", "31/03/2024", true, nullptr, false},
        {"01/04/2024", "02/04/2024", true, nullptr, true},
        {"01/04/2024", "02/04/2024", false, "", true},
        {"", "", true, "La Date de la Fiche est manquante !", false},
        {"31/02/2024", "", true, "La Date de la Fiche est incorrecte !", false},
        {"01/04/2023", "", true, "La date de la Fiche ne correspond pas à l'exercice en cours !", false},
        {"01/04/2024", "x", true, "La Date du Visa est incorrecte !", false},
        {"01/04/2024", "01/01/2025", true, "La date du Visa ne correspond pas à l'exercice en cours !", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.date) + " / " + c.visa);
        bool asked = false;
        QDate date, visa;
        const TVerdict v = sheet::CheckDates(QString::fromUtf8(c.date), QString::fromUtf8(c.visa), 2024,
                                                   [&](const QString&) {
                                                       asked = true;
                                                       return c.answer;
                                                   },
                                                   &date, &visa);
        EXPECT_EQ(c.asked, asked);
        if (c.message) {
            ASSERT_TRUE(v.has_value());
            EXPECT_EQ(QString::fromUtf8(c.message), v->message);
        } else {
            EXPECT_FALSE(v.has_value());
            EXPECT_TRUE(date.isValid());
        }
    }
    // With nothing to ask through, a later visa date is taken as it is.
    QDate date, visa;
    EXPECT_FALSE(sheet::CheckDates(QStringLiteral("01/04/2024"), QStringLiteral("02/04/2024"), 2024, TAsk(), &date,
                                   &visa)
                     .has_value());
    EXPECT_EQ(visa, QDate(2024, 4, 2));
}

TEST(SheetRules, TheObservationFollowsTheFirstLinesKind)
{
    using enum ExpenseKind;
    auto line = [](ExpenseKind kind, qint64 ben, const char* name) {
        TDocumentLine l;
        l.kind = kind;
        l.idBen = ben;
        l.benName = QString::fromUtf8(name);
        l.noDepense = QStringLiteral("F-12");
        l.dateDepense = QDate(2024, 3, 5);
        l.intitule = QStringLiteral("Frais de mission");
        l.expenseObject = QStringLiteral("SALAIRES DE MARS");
        return l;
    };
    EXPECT_EQ(QStringLiteral("***"), sheet::CommitmentObservation({}));
    EXPECT_EQ(QStringLiteral("ENGAGEMENT DE LA FACTURE NO F-12  DU  05/03/2024 DU FOURNISSEUR SARL A"),
              sheet::CommitmentObservation({line(Invoice, 1, "SARL A")}));
    EXPECT_EQ(QStringLiteral("ENGAGEMENT DE DIVERSES FACTURES  DU FOURNISSEUR SARL A"),
              sheet::CommitmentObservation({line(Invoice, 1, "SARL A"), line(Invoice, 1, "SARL A")}));
    EXPECT_EQ(QStringLiteral("ENGAGEMENT DE DIVERSES FACTURES  DE DIVERS FOURNISSEURS"),
              sheet::CommitmentObservation({line(Invoice, 1, "SARL A"), line(Invoice, 2, "SARL B")}));
    EXPECT_EQ(QStringLiteral("ENGAGEMENT FRAIS DE MISSION DE : M. ALI"),
              sheet::CommitmentObservation({line(Mission, 3, "M. ALI"), line(Mission, 3, "M. ALI")}));
    EXPECT_EQ(QStringLiteral("ENGAGEMENT FRAIS DE MISSION"),
              sheet::CommitmentObservation({line(Mission, 3, "M. ALI"), line(Mission, 4, "M. OMAR")}));
    EXPECT_EQ(QStringLiteral("SALAIRES DE MARS"), sheet::CommitmentObservation({line(SalaryToCommit, 5, "CNAS")}));
}
