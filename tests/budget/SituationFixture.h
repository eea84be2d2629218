#pragma once
// A small year for the financial situation: two chapters, one per section,
// whose lines carry every case the situation tells apart, and the per-line
// reference computation the grouped build is checked against.
//
// Section 1, chapter 21-01 (heading H1):
//   A1  primitive 1000.00 visaed 10/01, amending 200.00 visaed 15/06;
//       commitment 15.00 of 01/03 visaed 02/03; a mission of 30.00 and an
//       invoice of 11.00 (paid on a section-1 line: it counts) on orders of
//       March;
//       the salary expense S1 charges it 400.00 (and a deduction whose id is
//       A1's must not count); S1 stands on two orders, one paid (15/03) and
//       one unpaid (20/03).
//   A2  primitive 500.00 dated neither by its visa nor by a sheet (counts
//       from "today", 15/05); S1 charges it 100.00.
//   A3  primitive 800.00 dated by its sheet only (01/04); the salary expense
//       S2 charges it 70.00 on an order of 10/04.
// Section 2, chapter 22-01 (heading H2):
//   B1  primitive 2000.00 visaed 05/01; amending -100.00 dated by its sheet
//       (01/03); gives 300.00 on 20/01 and 50.00 on 20/04 to B2; commitments
//       C1 100.00 10/02 visaed 12/02, C2 50.00 15/02 not visaed, C3 70.00
//       20/02 visaed 10/04, C4 40.00 25/02 cancelled 01/03, C5 30.00 26/02
//       cancelled 15/04, C6 20.00 05/01 visaed 06/01; invoices of 60.00 (paid
//       order 01/03), 90.00 (order 10/04), 15.00 (order without a date) and a
//       mission of 25.00 (unpaid order 10/03).
//   B2  receives the two transfers; an invoice of 5.00 on the unpaid order of
//       10/03; the salary expense S3 charges it 20.00 (a salary on a section-2
//       line: it counts) on the paid order of 01/03.

#include "budget/BudgetFixture.h"
#include "budget/SituationStore.h"
#include "data/WriteGuard.h"

#include <algorithm>
#include <map>

class SituationTest : public BudgetTest {
public:
    static constexpr int Year = 2024;
    static QDate Day(int month, int day) { return QDate(Year, month, day); }
    // The period most cases look at, and the whole year.
    static inline const QDate Feb1{2024, 2, 1};
    static inline const QDate Mar31{2024, 3, 31};
    static inline const QDate Jan1{2024, 1, 1};
    static inline const QDate Dec31{2024, 12, 31};

protected:
    qint64 Line(const QString& chap, const QString& art, int section, Currency bp, const QDate& dateBp = QDate(),
                Currency bs = Currency(), const QDate& dateBs = QDate())
    {
        Exec(QStringLiteral("INSERT INTO FNM (CHAP, ART, PAR, INTITULE, RECTORAT, SECTION, MT_BP, DATE_BP, MT_BS, "
                            "DATE_BS) VALUES (:C, :A, '', :T, 0, :S, :BP, :DBP, :BS, :DBS)"),
             {{"C", chap}, {"A", art}, {"T", QStringLiteral("Ligne ") + chap + QLatin1Char(' ') + art},
              {"S", qint64(section)}, {"BP", bp}, {"DBP", dateBp.isValid() ? db::Value(dateBp) : db::Value()},
              {"BS", bs}, {"DBS", dateBs.isValid() ? db::Value(dateBs) : db::Value()}});
        db::Query q(DM->LURDO, QStringLiteral("SELECT MAX(ID_FNM) AS ID FROM FNM"));
        q.open();
        return q.asInt(QStringLiteral("ID"));
    }

    void Sheet(qint64 id, qint64 line, SheetOrigin origin, SheetObject objet, Currency amount, const QDate& date,
               const QDate& visa = QDate(), qint64 statut = SheetInForce)
    {
        Exec(QStringLiteral("INSERT INTO ENT_ENG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, MONTANT, OBJET, ORIGINE, "
                            "ID_ORIGINE, DATE_VISA, STATUT) VALUES (:ID, :NO, :D, :F, :M, :O, :ORIG, :IDO, :V, :S)"),
             {{"ID", id}, {"NO", QStringLiteral("%1").arg(id % 10000, 4, 10, QLatin1Char('0'))}, {"D", date},
              {"F", line}, {"M", amount}, {"O", toDbValue(objet)}, {"ORIG", toDbValue(origin)}, {"IDO", NoOriginRecord},
              {"V", visa.isValid() ? db::Value(visa) : db::Value()}, {"S", statut}});
    }

    void Transfer(qint64 id, const QDate& date, qint64 giving, qint64 receiving, Currency amount)
    {
        for (int i = 0; i < 2; ++i)
            Exec(QStringLiteral("INSERT INTO VIREMENT (ID_VIR, NOLINE, SENS, DATE_VIR, ID_FNM, MONTANT) "
                                "VALUES (:ID, :N, :S, :D, :F, :M)"),
                 {{"ID", id},
                  {"N", qint64(i + 1)},
                  {"S", toDbValue(i == 0 ? TransferSide::Giving : TransferSide::Receiving)},
                  {"D", date},
                  {"F", i == 0 ? giving : receiving},
                  {"M", amount}});
    }

    void Expense(qint64 id, ExpenseKind kind, qint64 line, Currency amount)
    {
        Exec(QStringLiteral("INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_FNM, ID_BEN, MONTANT) "
                            "VALUES (:ID, :K, :F, 1, :M)"),
             {{"ID", id}, {"K", toDbValue(kind)}, {"F", line > 0 ? db::Value(line) : db::Value()}, {"M", amount}});
    }

    void Order(qint64 id, const QDate& date, OrderStatus statut)
    {
        Exec(QStringLiteral("INSERT INTO ENT_MDT (ID_MDT, NO_MDT, DATE_MDT, STATUT) VALUES (:ID, :NO, :D, :S)"),
             {{"ID", id}, {"NO", QStringLiteral("%1").arg(id, 4, 10, QLatin1Char('0'))},
              {"D", date.isValid() ? db::Value(date) : db::Value()}, {"S", toDbValue(statut)}});
    }

    void OrderLine(qint64 order, int no, qint64 expense, Currency amount)
    {
        Exec(QStringLiteral("INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) VALUES (:O, :N, :E, :M)"),
             {{"O", order}, {"N", qint64(no)}, {"E", expense}, {"M", amount}});
    }

    void SalaryLine(qint64 id, qint64 expense, qint64 detail, SalaryLineType type, Currency amount)
    {
        Exec(QStringLiteral("INSERT INTO DET_SALAIRE (ID_DET_SAL, ID_DEPENSE, ID_DETAIL, NO_ORD, TYPE_DET, MONTANT) "
                            "VALUES (:ID, :E, :D, :N, :T, :M)"),
             {{"ID", id}, {"E", expense}, {"D", detail}, {"N", id * 10}, {"T", toDbValue(type)}, {"M", amount}});
    }

    // The year described above, committed.
    void MakeYear()
    {
        h1 = Line(QStringLiteral("21-01"), QString(), 1, Currency());
        a1 = Line(QStringLiteral("21-01"), QStringLiteral("01"), 1, Money("1000"), Day(1, 10), Money("200"), Day(6, 15));
        a2 = Line(QStringLiteral("21-01"), QStringLiteral("02"), 1, Money("500"));
        a3 = Line(QStringLiteral("21-01"), QStringLiteral("03"), 1, Money("800"));
        h2 = Line(QStringLiteral("22-01"), QString(), 2, Currency());
        b1 = Line(QStringLiteral("22-01"), QStringLiteral("01"), 2, Money("2000"), Day(1, 5), Money("-100"));
        b2 = Line(QStringLiteral("22-01"), QStringLiteral("02"), 2, Currency());

        // Budget sheets: A3's primitive budget and B1's amending budget are dated by them only.
        Sheet(1, a1, SheetOrigin::PrimitiveBudget, SheetObject::Economy, Money("1000"), Day(1, 12), Day(1, 10));
        Sheet(2, a3, SheetOrigin::PrimitiveBudget, SheetObject::Economy, Money("800"), Day(4, 1));
        Sheet(3, b1, SheetOrigin::PrimitiveBudget, SheetObject::Economy, Money("2000"), Day(1, 6), Day(1, 5));
        Sheet(4, b1, SheetOrigin::AmendingBudget, SheetObject::Expense, Money("-100"), Day(3, 1));
        Transfer(1, Day(1, 20), b1, b2, Money("300"));
        Transfer(2, Day(4, 20), b1, b2, Money("50"));

        // Commitments and cancellations.
        Sheet(11, b1, SheetOrigin::User, SheetObject::Expense, Money("100"), Day(2, 10), Day(2, 12));
        Sheet(12, b1, SheetOrigin::User, SheetObject::Expense, Money("50"), Day(2, 15));
        Sheet(13, b1, SheetOrigin::User, SheetObject::Expense, Money("70"), Day(2, 20), Day(4, 10));
        Sheet(14, b1, SheetOrigin::User, SheetObject::Expense, Money("40"), Day(2, 25), QDate(), 21);
        Sheet(15, b1, SheetOrigin::User, SheetObject::Expense, Money("30"), Day(2, 26), QDate(), 22);
        Sheet(16, b1, SheetOrigin::User, SheetObject::Expense, Money("20"), Day(1, 5), Day(1, 6));
        Sheet(17, a1, SheetOrigin::User, SheetObject::Expense, Money("15"), Day(3, 1), Day(3, 2));
        Sheet(21, b1, SheetOrigin::Cancellation, SheetObject::Economy, Money("40"), Day(3, 1));
        Sheet(22, b1, SheetOrigin::Cancellation, SheetObject::Economy, Money("30"), Day(4, 15));

        // Expenses and their orders.
        Order(1, Day(3, 1), OrderStatus::Paid);
        Order(2, Day(3, 10), OrderStatus::Pending);
        Order(3, Day(4, 10), OrderStatus::Paid);
        Order(4, QDate(), OrderStatus::Paid);
        Order(5, Day(3, 15), OrderStatus::Paid);
        Order(6, Day(3, 20), OrderStatus::Pending);
        Expense(101, ExpenseKind::Invoice, b1, Money("60"));
        OrderLine(1, 1, 101, Money("60"));
        Expense(102, ExpenseKind::Mission, b1, Money("25"));
        OrderLine(2, 1, 102, Money("25"));
        Expense(103, ExpenseKind::Invoice, b1, Money("90"));
        OrderLine(3, 1, 103, Money("90"));
        Expense(104, ExpenseKind::Invoice, b1, Money("15"));
        OrderLine(4, 1, 104, Money("15"));
        Expense(105, ExpenseKind::Mission, a1, Money("30"));
        OrderLine(5, 1, 105, Money("30"));
        Expense(106, ExpenseKind::Invoice, a1, Money("11"));
        OrderLine(1, 2, 106, Money("11"));
        Expense(107, ExpenseKind::Invoice, b2, Money("5"));
        OrderLine(2, 2, 107, Money("5"));
        Expense(201, ExpenseKind::SalaryToPay, 0, Money("500"));
        SalaryLine(1, 201, a1, SalaryLineType::Imputation, Money("400"));
        SalaryLine(2, 201, a2, SalaryLineType::Imputation, Money("100"));
        SalaryLine(3, 201, a1, SalaryLineType::Deduction, Money("33"));
        OrderLine(5, 2, 201, Money("500"));
        OrderLine(6, 1, 201, Money("500"));
        Expense(202, ExpenseKind::SalaryToPay, 0, Money("70"));
        SalaryLine(4, 202, a3, SalaryLineType::Imputation, Money("70"));
        OrderLine(3, 2, 202, Money("70"));
        Expense(203, ExpenseKind::SalaryToPay, 0, Money("20"));
        SalaryLine(5, 203, b2, SalaryLineType::Imputation, Money("20"));
        OrderLine(1, 3, 203, Money("20"));
        DM->CommitWork();
    }

    // The rows written to SIT_FIN as one committed operation.
    static void Store(TSituationStore& store, const std::vector<TSituationRow>& rows)
    {
        TWriteGuard write;
        store.Replace(rows);
        write.Commit();
    }

    static TSituationRequest Request(int view, int eng, int mdt, const QDate& start, const QDate& end)
    {
        TSituationRequest r;
        r.view = view;
        r.commitments = eng;
        r.payments = mdt;
        r.start = start;
        r.end = end;
        r.today = Day(5, 15);
        return r;
    }

    qint64 h1 = 0, a1 = 0, a2 = 0, a3 = 0, h2 = 0, b1 = 0, b2 = 0;
};

// The financial situation computed line by line, each measure read by its own
// query for each line, the chapter sums made by SQL on SIT_FIN: the slow way,
// kept to prove the grouped build. Writes SIT_FIN and returns its rows.
inline std::vector<TSituationRow> ReferenceSituation(db::Connection& conn, const TSituationRequest& r)
{
    auto sum = [&](const QString& sql, qint64 line, const QString& column) {
        db::Query q(conn, sql);
        for (const QString& p : q.paramNames()) {
            if (p == QLatin1String("ID_FNM"))
                q.setParam(p, line);
            else if (p == QLatin1String("DATE_D"))
                q.setParam(p, r.start);
            else if (p == QLatin1String("DATE_F") || p == QLatin1String("DATE_VISA") || p == QLatin1String("DATE_VIR"))
                q.setParam(p, r.end);
            else if (p == QLatin1String("STATUT"))
                q.setParam(p, toDb(OrderStatus::Paid));
            else if (p == QLatin1String("IN_FORCE"))
                q.setParam(p, SheetInForce);
            else if (p == QLatin1String("ORIGINE"))
                q.setParam(p, toDb(SheetOrigin::User));
            else if (p == QLatin1String("CANCELLATION"))
                q.setParam(p, toDb(SheetOrigin::Cancellation));
            else if (p == QLatin1String("OBJET"))
                q.setParam(p, toDb(SheetObject::Expense));
            else if (p == QLatin1String("INVOICE"))
                q.setParam(p, toDb(ExpenseKind::Invoice));
            else if (p == QLatin1String("MISSION"))
                q.setParam(p, toDb(ExpenseKind::Mission));
            else if (p == QLatin1String("IMPUTATION"))
                q.setParam(p, toDb(SalaryLineType::Imputation));
        }
        q.open();
        return q.asCurrency(column);
    };
    auto sheetDates = [&](const QString& sql, SheetOrigin origin) {
        db::Query q(conn, sql);
        q.setParam(QStringLiteral("ORIGINE"), toDb(origin));
        if (q.paramNames().contains(QStringLiteral("OBJET")))
            q.setParam(QStringLiteral("OBJET"), toDb(SheetObject::Economy));
        q.open();
        std::map<qint64, QDate> dates;
        for (q.first(); !q.eof(); q.next())
            dates.emplace(q.asInt(QStringLiteral("ID_FNM")), q.asDate(QStringLiteral("DATE_ENG")));
        return dates;
    };
    const auto bpSheets = sheetDates(QStringLiteral("SELECT DATE_ENG, ID_FNM FROM ENT_ENG WHERE OBJET=:OBJET AND ORIGINE=:ORIGINE "
                                                    "ORDER BY ID_ENG"),
                                     SheetOrigin::PrimitiveBudget);
    const auto bsSheets = sheetDates(QStringLiteral("SELECT DATE_ENG, ID_FNM FROM ENT_ENG WHERE ORIGINE=:ORIGINE ORDER BY ID_ENG"),
                                     SheetOrigin::AmendingBudget);
    auto budgetDate = [&](const QDate& visa, const std::map<qint64, QDate>& sheets, qint64 line) {
        if (visa.isValid())
            return visa;
        const auto it = sheets.find(line);
        return it != sheets.end() && it->second.isValid() ? it->second : r.today;
    };

    const QString status = r.payments == pfPaid ? QStringLiteral("STATUT=:STATUT AND ")
                           : r.payments == pfUnpaid ? QStringLiteral("STATUT<>:STATUT AND ")
                                                    : QString();
    const QString visaTest = r.commitments == cfVisaed      ? QStringLiteral("DATE_VISA<=:DATE_VISA AND ")
                             : r.commitments == cfNotVisaed ? QStringLiteral("DATE_VISA IS NULL AND ")
                                                            : QString();
    const QString commitments =
        QStringLiteral("SELECT SUM(MONTANT) AS MT_ENG FROM ENT_ENG E WHERE ID_FNM=:ID_FNM AND STATUT>=:IN_FORCE AND "
                       "ORIGINE=:ORIGINE AND OBJET=:OBJET AND ")
        + visaTest
        + QStringLiteral("DATE_ENG>=:DATE_D AND DATE_ENG<=:DATE_F AND NOT EXISTS (SELECT 1 FROM ENT_ENG C "
                         "WHERE C.ID_ENG=E.STATUT AND C.ORIGINE=:CANCELLATION AND (C.DATE_ENG IS NULL OR C.DATE_ENG<=:DATE_F))");
    // A salary line counts once, whatever the number of orders its expense stands on.
    const QString salaries =
        QStringLiteral("SELECT SUM(A.MONTANT) AS TOT_PMT FROM DET_SALAIRE A WHERE (TYPE_DET=:IMPUTATION) AND (A.ID_DETAIL=:ID_FNM) "
                       "AND A.ID_DEPENSE IN (SELECT ID_DETAIL FROM DET_MDT WHERE ID_MDT IN (SELECT ID_MDT FROM ENT_MDT "
                       "WHERE ")
        + status + QStringLiteral("DATE_MDT>=:DATE_D AND DATE_MDT<=:DATE_F))");
    auto orderLines = [&](const QString& kinds) {
        return QStringLiteral("SELECT SUM(A.MONTANT) AS TOT_PMT FROM DET_MDT A LEFT JOIN ENT_MDT B ON A.ID_MDT=B.ID_MDT "
                              "WHERE ")
               + status
               + QStringLiteral("DATE_MDT>=:DATE_D AND DATE_MDT<=:DATE_F AND ID_DETAIL IN (SELECT ID_DEPENSE FROM "
                                "DEPENSE WHERE ID_FNM=:ID_FNM AND ")
               + kinds + QStringLiteral(")");
    };
    const QString invoicesAndMissions = orderLines(QStringLiteral("( (TYPE_DEPENSE=:INVOICE) or (TYPE_DEPENSE=:MISSION) )"));

    struct Line {
        TSituationRow row;
        qint64 section;
    };
    std::vector<Line> lines;
    {
        db::Query q(conn, QStringLiteral("SELECT * FROM FNM ORDER BY CHAP, ART, PAR"));
        q.open();
        for (q.first(); !q.eof(); q.next()) {
            Line l;
            l.section = q.asInt(QStringLiteral("SECTION"));
            TSituationRow& row = l.row;
            row.idFnm = q.asInt(QStringLiteral("ID_FNM"));
            row.chap = q.asString(QStringLiteral("CHAP")).trimmed();
            row.art = q.asString(QStringLiteral("ART")).trimmed();
            row.par = q.asString(QStringLiteral("PAR")).trimmed();
            row.intitule = q.asString(QStringLiteral("INTITULE"));
            const qint64 id = row.idFnm;
            if (r.end >= budgetDate(q.asDate(QStringLiteral("DATE_BP")), bpSheets, id))
                row.crAl = q.asCurrency(QStringLiteral("MT_BP"));
            Currency amending;
            if (r.end >= budgetDate(q.asDate(QStringLiteral("DATE_BS")), bsSheets, id))
                amending = q.asCurrency(QStringLiteral("MT_BS"));
            Currency transfers;
            db::Query v(conn, QStringLiteral("SELECT SENS, SUM(MONTANT) AS MT_VIR FROM VIREMENT WHERE ID_FNM=:ID_FNM AND "
                                             "DATE_VIR<=:DATE_VIR GROUP BY SENS"));
            v.setParam(QStringLiteral("ID_FNM"), id);
            v.setParam(QStringLiteral("DATE_VIR"), r.end);
            v.open();
            for (v.first(); !v.eof(); v.next()) {
                const Currency a = v.asCurrency(QStringLiteral("MT_VIR"));
                transfers += fromDb<TransferSide>(v.asString(QStringLiteral("SENS")).trimmed()) == TransferSide::Giving ? -a : a;
            }
            row.crRv = row.crAl + amending + transfers;
            row.eng = sum(commitments, id, QStringLiteral("MT_ENG"));
            // Every payment on the line it is charged to, whatever the line's section.
            row.pmt = sum(salaries, id, QStringLiteral("TOT_PMT")) + sum(invoicesAndMissions, id, QStringLiteral("TOT_PMT"));
            row.sld = row.crRv - row.pmt;
            row.taux = SituationRate(row.pmt, row.crRv);
            lines.push_back(l);
        }
    }

    // The rows are written through the store, the chapter sums made by SQL.
    std::vector<TSituationRow> rows;
    if (r.view == svRecap) {
        for (qint64 section : {1, 2}) {
            TSituationRow recap;
            recap.idFnm = -2;
            recap.chap = QStringLiteral("R");
            recap.art = recap.par = QStringLiteral(".");
            recap.intitule = QStringLiteral("SECTION ") + QString::number(section);
            for (const Line& l : lines) {
                if (l.section != section)
                    continue;
                recap.crAl += l.row.crAl;
                recap.crRv += l.row.crRv;
                recap.eng += l.row.eng;
                recap.pmt += l.row.pmt;
            }
            recap.sld = recap.crRv - recap.pmt;
            recap.taux = SituationRate(recap.pmt, recap.crRv);
            rows.push_back(recap);
        }
        TSituationStore(conn).Replace(rows);
    } else {
        for (const Line& l : lines)
            if (r.view == svBothSections || l.section == r.view + 1)
                rows.push_back(l.row);
        TSituationStore(conn).Replace(rows);
        db::Query chapters(conn, QStringLiteral("SELECT CHAP, SUM(CR_AL) AS TCR_AL, SUM(CR_RV) AS TCR_RV, SUM(ENG) AS "
                                                "T_ENG, SUM(PMT) AS T_PMT, SUM(SLD) AS T_SLD FROM SIT_FIN GROUP BY CHAP "
                                                "ORDER BY CHAP"));
        chapters.open();
        for (chapters.first(); !chapters.eof(); chapters.next()) {
            db::Query u(conn, QStringLiteral("UPDATE SIT_FIN SET CR_AL=:CR_AL, CR_RV=:CR_RV, ENG=:ENG, PMT=:PMT, "
                                             "SLD=:SLD, TAUX=:TAUX WHERE CHAP=:CHAP AND ART=:ART"));
            u.setParam(QStringLiteral("CR_AL"), chapters.asCurrency(QStringLiteral("TCR_AL")));
            u.setParam(QStringLiteral("CR_RV"), chapters.asCurrency(QStringLiteral("TCR_RV")));
            u.setParam(QStringLiteral("ENG"), chapters.asCurrency(QStringLiteral("T_ENG")));
            u.setParam(QStringLiteral("PMT"), chapters.asCurrency(QStringLiteral("T_PMT")));
            u.setParam(QStringLiteral("SLD"), chapters.asCurrency(QStringLiteral("T_SLD")));
            u.setParam(QStringLiteral("TAUX"), SituationRate(chapters.asCurrency(QStringLiteral("T_PMT")),
                                                             chapters.asCurrency(QStringLiteral("TCR_RV"))));
            u.setParam(QStringLiteral("CHAP"), chapters.asString(QStringLiteral("CHAP")));
            u.setParam(QStringLiteral("ART"), QString());
            u.exec();
        }
    }
    return TSituationStore(conn).StoredRows();
}

// Rows in a stable order for comparisons.
inline std::vector<TSituationRow> Sorted(std::vector<TSituationRow> rows)
{
    std::stable_sort(rows.begin(), rows.end(), [](const TSituationRow& a, const TSituationRow& b) {
        return std::tie(a.chap, a.art, a.par, a.idFnm) < std::tie(b.chap, b.art, b.par, b.idFnm);
    });
    return rows;
}

// One row as text, for readable failures.
inline QString Describe(const TSituationRow& r)
{
    return QStringLiteral("%1 %2 %3 [%4]: %5 %6 %7 %8 %9 %10")
        .arg(r.chap, r.art, r.par)
        .arg(r.idFnm)
        .arg(r.crAl.toFixed2(), r.crRv.toFixed2(), r.eng.toFixed2(), r.pmt.toFixed2(), r.sld.toFixed2(),
             r.taux.toFixed2());
}
