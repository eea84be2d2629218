// The commitment tree: the texts of its three levels for each origin of a
// sheet, one node per budget line even when two lines share their chapter,
// article and paragraph, and the search by sheet number.
#include "budget/CommitmentTree.h"
#include "budget/UListTree_Eng.h"
#include "common/DocumentFixture.h"

#include <QTreeView>

using rows::Money;

namespace {

class ListTreeEngTest : public DocumentTest {
protected:
    // A sheet header written as it stands in the table.
    qint64 Sheet(qint64 idFnm, const char* number, const QDate& date, const char* amount, SheetObject objet,
                 SheetOrigin origin, qint64 idOrigine = NoOriginRecord, const QString& visa = QString(),
                 const QDate& visaDate = QDate())
    {
        qint64 id = 0;
        rows::Write([&] {
            id = DM->NextGeneratorValue(QStringLiteral("GEN_ENGAGEMENT_ID"));
            rows::Exec(QStringLiteral("INSERT INTO ENT_ENG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, MONTANT, OBJET, ORIGINE, "
                                      "ID_ORIGINE, NO_VISA, DATE_VISA, STATUT) VALUES (:ID, :NO, :D, :F, :M, :O, :OR, "
                                      ":IO, :V, :DV, 0)"),
                       {{"ID", id}, {"NO", QString::fromLatin1(number)}, {"D", date}, {"F", idFnm},
                        {"M", Money(amount)}, {"O", toDbValue(objet)}, {"OR", toDbValue(origin)},
                        {"IO", idOrigine}, {"V", visa}, {"DV", visaDate.isValid() ? db::Value(visaDate) : db::Value()}});
        });
        return id;
    }
    void Line(qint64 idEng, int noLine, LineObject objet, qint64 idDetail, const char* amount)
    {
        rows::Write([&] {
            rows::Exec(QStringLiteral("INSERT INTO DET_ENG (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) "
                                      "VALUES (:ID, :N, :O, :D, :M)"),
                       {{"ID", idEng}, {"N", qint64(noLine)}, {"O", toDbValue(objet)}, {"D", idDetail},
                        {"M", Money(amount)}});
        });
    }

    static QStringList Children(const QAbstractItemModel& m, const QModelIndex& parent)
    {
        QStringList texts;
        for (int r = 0; r < m.rowCount(parent); ++r)
            texts << m.index(r, 0, parent).data().toString();
        return texts;
    }
};

// Each level's text, and the label of a sheet line by the sheet's origin: the
// beneficiary's name of an expense (dotted to 30), the movement's name
// otherwise; a sheet without lines has no child; sheets without a budget line
// come first under a node of their own.
TEST_F(ListTreeEngTest, NodesShowEachLevelAndTheLineLabelOfEachOrigin)
{
    const qint64 alpha = rows::Beneficiary(QStringLiteral("SARL ALPHA"));
    const qint64 fnm = rows::BudgetLine(QStringLiteral("22-04"), QStringLiteral("02"), QStringLiteral("01"),
                                        QStringLiteral("Frais de mission"));
    const qint64 expense = rows::Expense(ExpenseKind::Invoice, fnm, alpha, Money("300"));
    const qint64 primitive = Sheet(fnm, "0001", QDate(2024, 1, 5), "900000", SheetObject::Economy,
                                   SheetOrigin::PrimitiveBudget, fnm);
    Line(primitive, 1, LineObject::PrimitiveBudget, fnm, "900000");
    const qint64 user = Sheet(fnm, "0002", QDate(2024, 3, 2), "1234.5", SheetObject::Expense, SheetOrigin::User,
                              NoOriginRecord, QStringLiteral("V12"), QDate(2024, 3, 9));
    Line(user, 1, LineObject::Expense, expense, "300");
    Line(user, 2, LineObject::Expense, 9999, "934.5");   // an expense no longer there
    const qint64 cancel = Sheet(fnm, "0003", QDate(2024, 3, 3), "1234.5", SheetObject::Economy,
                                SheetOrigin::Cancellation, user);
    Line(cancel, 1, LineObject::Cancellation, user, "1234.5");
    const qint64 amending = Sheet(fnm, "0004", QDate(2024, 6, 1), "1000", SheetObject::Economy,
                                  SheetOrigin::AmendingBudget, fnm);
    Line(amending, 1, LineObject::AmendingBudget, fnm, "1000");
    const qint64 transfer = Sheet(fnm, "0005", QDate(2024, 7, 1), "50", SheetObject::Expense, SheetOrigin::Transfer, 3);
    Line(transfer, 1, LineObject::Transfer, fnm, "50");
    const qint64 unfilled = Sheet(-1, "", QDate(2024, 8, 1), "0", SheetObject::Expense, SheetOrigin::User);

    TfrmListTree_Eng w;
    const QAbstractItemModel& m = *w.Tree();
    ASSERT_EQ(m.rowCount(), 2);
    EXPECT_EQ(m.index(0, 0).data().toString(), QStringLiteral(". - - [-1]"));
    EXPECT_EQ(Children(m, m.index(0, 0)),
              QStringList{QStringLiteral(" - 01/08/2024 - %1 - -   [0%2]").arg(QStringLiteral("0.00"), 12).arg(unfilled)});
    EXPECT_EQ(m.rowCount(m.index(0, 0, m.index(0, 0))), 0);

    const QModelIndex line = m.index(1, 0);
    EXPECT_EQ(line.data().toString(), QStringLiteral("22-04.02 01-Frais de mission - [%1]").arg(fnm));
    const QStringList sheets = Children(m, line);
    ASSERT_EQ(sheets.size(), 5);
    EXPECT_EQ(sheets[0], QStringLiteral("0001 - 05/01/2024 -   900 000.00 - -   [1%1]").arg(primitive));
    EXPECT_EQ(sheets[1], QStringLiteral("0002 - 02/03/2024 -     1 234.50 - V12-09/03/2024   [0%1]").arg(user));
    const auto lines = [&](int sheet) { return Children(m, m.index(sheet, 0, line)); };
    EXPECT_EQ(lines(0), QStringList{QStringLiteral(" 1. BUDGET PRIMITIF -   900 000.00 - [%1]").arg(fnm)});
    EXPECT_EQ(lines(1), (QStringList{QStringLiteral(" 1. SARL ALPHA.................... -       300.00 - [%1]")
                                         .arg(expense),
                                     QStringLiteral(" 2.  -       934.50 - [9999]")}));
    EXPECT_EQ(lines(2), QStringList{QStringLiteral(" 1. DESENGAGEMENT -     1 234.50 - [%1]").arg(user)});
    EXPECT_EQ(lines(3), QStringList{QStringLiteral(" 1. BUDGET MODIFICATIF -     1 000.00 - [%1]").arg(fnm)});
    EXPECT_EQ(lines(4), QStringList{QStringLiteral(" 1. TRANSFERT -        50.00 - [%1]").arg(fnm)});
}

// Two budget lines of the same chapter, article and paragraph: each its own
// node holding its own sheets in number order, however their numbers mix.
// The search pads the number typed and takes the first sheet of that number
// in tree order.
TEST_F(ListTreeEngTest, DuplicateLinesGetOneNodeEachAndTheSearchFindsASheetByNumber)
{
    const qint64 a = rows::BudgetLine(QStringLiteral("21-01"), QStringLiteral("01"), QString(), QStringLiteral("A"));
    const qint64 b = rows::BudgetLine(QStringLiteral("21-01"), QStringLiteral("01"), QString(), QStringLiteral("B"));
    const qint64 c = rows::BudgetLine(QStringLiteral("20-01"), QStringLiteral("01"), QString(), QStringLiteral("C"));
    Sheet(a, "0003", QDate(2024, 2, 1), "3", SheetObject::Expense, SheetOrigin::User);
    Sheet(b, "0002", QDate(2024, 2, 1), "2", SheetObject::Expense, SheetOrigin::User);
    Sheet(a, "0001", QDate(2024, 1, 1), "1", SheetObject::Economy, SheetOrigin::PrimitiveBudget, a);
    Sheet(b, "0001", QDate(2024, 1, 1), "1", SheetObject::Economy, SheetOrigin::PrimitiveBudget, b);
    Sheet(c, "0007", QDate(2024, 1, 1), "7", SheetObject::Expense, SheetOrigin::User);

    TfrmListTree_Eng w;
    w.show();
    const QAbstractItemModel& m = *w.Tree();
    ASSERT_EQ(m.rowCount(), 3);
    const auto numbers = [&](int row) {
        QStringList out;
        for (const QString& t : Children(m, m.index(row, 0)))
            out << t.section(QLatin1Char('-'), 0, 0).trimmed();
        return out;
    };
    EXPECT_TRUE(m.index(0, 0).data().toString().startsWith(QStringLiteral("20-01.01 -C")));
    EXPECT_EQ(numbers(1), (QStringList{"0001", "0003"}));
    EXPECT_EQ(numbers(2), (QStringList{"0001", "0002"}));
    EXPECT_TRUE(m.index(1, 0).data().toString().endsWith(QStringLiteral("[%1]").arg(a)));
    EXPECT_TRUE(m.index(2, 0).data().toString().endsWith(QStringLiteral("[%1]").arg(b)));

    struct Case {
        const char* typed;
        int line;        // the budget-line node of the sheet found; -1: none
        int sheet;
    };
    const Case cases[] = {
        {"0002", 2, 1}, {"2", 2, 1}, {" 7 ", 0, 0}, {"0001", 1, 0}, {"0009", -1, -1}, {"00001", -1, -1},
    };
    for (const Case& k : cases) {
        messages->clear();
        const bool found = w.ShowSheet(QString::fromLatin1(k.typed));
        EXPECT_EQ(found, k.line >= 0) << k.typed;
        if (k.line < 0) {
            ASSERT_EQ(messages->calls().size(), 1) << k.typed;
            EXPECT_EQ(messages->calls()[0].text,
                      QString::fromLatin1(k.typed) + QStringLiteral(" : Ce No de Mandat est introuvable ! "));
            continue;
        }
        const QModelIndex current = w.MyTV->currentIndex();
        EXPECT_EQ(current, m.index(k.sheet, 0, m.index(k.line, 0))) << k.typed;
        EXPECT_TRUE(w.MyTV->isExpanded(current.parent())) << k.typed;
    }
}

TEST_F(ListTreeEngTest, AYearWithoutSheetsSaysSo)
{
    TfrmListTree_Eng w;
    w.show();
    EXPECT_EQ(w.Tree()->rowCount(), 0);
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Aucun Engagement n'a été saisi !")});
}

} // namespace
