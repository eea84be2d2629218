#pragma once
// Budget lines with credit for credit transfers, and readers of the stored
// transfer rows through a second connection.

#include "budget/BudgetFixture.h"
#include "budget/TransferStore.h"
#include "data/WriteGuard.h"

struct StoredTransferRow {
    int noLine = 0;
    TransferSide sens = TransferSide::Giving;
    qint64 idFnm = 0;
    Currency amount;
    QDate date;
    QString user;
};

class TransferTest : public BudgetTest {
protected:
    void SetUp() override
    {
        BudgetTest::SetUp();
        savedDbUser = DbUser;
        savedPolicy = DecisionTransfer;
        DbUser = QStringLiteral("SYSDBA");
        Exec(QStringLiteral("INSERT INTO OBS_SERVICE (CHAP, OBS_VIR_D, OBS_VIR_E) VALUES ('22-01', 'Diminution', 'Augmentation')"));
        // Three lines of chapter 22-01: the first two with their primitive-budget
        // sheet "0001", the third with no sheet at all.
        giving = AddLine(QStringLiteral("22-01"), QStringLiteral("01"), QString(), QStringLiteral("Fournitures"),
                         Money("300000"));
        PrimitiveSheet(giving, Money("300000"));
        receiving = AddLine(QStringLiteral("22-01"), QStringLiteral("02"), QString(), QStringLiteral("Mobilier"),
                            Money("50000"));
        PrimitiveSheet(receiving, Money("50000"));
        empty = AddLine(QStringLiteral("22-01"), QStringLiteral("03"), QString(), QStringLiteral("Documentation"));
    }
    void TearDown() override
    {
        DbUser = savedDbUser;
        DecisionTransfer = savedPolicy;
        BudgetTest::TearDown();
    }

    void PrimitiveSheet(qint64 line, Currency amount)
    {
        const qint64 id = DM->NextGeneratorValue(QStringLiteral("GEN_ENGAGEMENT_ID"));
        Exec(QStringLiteral("INSERT INTO ENT_ENG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, MONTANT, OBJET, ORIGINE, "
                            "ID_ORIGINE, STATUT) VALUES (:ID, '0001', :D, :F, :M, :OBJET, :ORIGINE, :F, :S)"),
             {{"ID", id}, {"D", QDate(2024, 1, 5)}, {"F", line}, {"M", amount},
              {"OBJET", toDbValue(SheetObject::Economy)}, {"ORIGINE", toDbValue(SheetOrigin::PrimitiveBudget)},
              {"S", SheetInForce}});
        DM->CommitWork();
    }

    // A payment order of `amount` dated `date` (none: not dated yet) on an invoice of the line.
    void Paid(qint64 line, Currency amount, const QDate& date)
    {
        static qint64 next = 500;
        ++next;
        Exec(QStringLiteral("INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_FNM, ID_BEN, MONTANT) VALUES (:ID, :K, :F, 1, :M)"),
             {{"ID", next}, {"K", toDbValue(ExpenseKind::Invoice)}, {"F", line}, {"M", amount}});
        Exec(QStringLiteral("INSERT INTO ENT_MDT (ID_MDT, NO_MDT, DATE_MDT, STATUT, MONTANT) VALUES (:ID, :NO, :D, :S, :M)"),
             {{"ID", next}, {"NO", QString::number(next)}, {"D", date.isValid() ? db::Value(date) : db::Value()},
              {"S", toDbValue(OrderStatus::Paid)}, {"M", amount}});
        Exec(QStringLiteral("INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) VALUES (:ID, 1, :ID, :M)"),
             {{"ID", next}, {"M", amount}});
        DM->CommitWork();
    }

    static TTransferRow Row(qint64 line, const char* chap, const char* amount)
    {
        TTransferRow r;
        r.idFnm = line;
        r.chap = QString::fromLatin1(chap);
        r.amount = *Currency::parse(QString::fromLatin1(amount));
        return r;
    }

    // One giving line, two receiving ones: 100 000.00 = 60 000.00 + 40 000.00.
    TTransfer Example(const QDate& date = QDate(2024, 3, 10))
    {
        TTransfer t;
        t.date = date;
        t.giving = {Row(giving, "22-01", "100000")};
        t.receiving = {Row(receiving, "22-01", "60000"), Row(empty, "22-01", "40000")};
        return t;
    }

    qint64 SaveTransfer(const TTransfer& t)
    {
        TTransferStore store;
        TWriteGuard write;
        const qint64 id = store.Save(t);
        write.Commit();
        return id;
    }

    std::vector<StoredTransferRow> TransferRows(qint64 idVir)
    {
        db::Query q(Committed(), QStringLiteral("SELECT * FROM VIREMENT WHERE ID_VIR=:ID ORDER BY NOLINE"));
        q.setParam(QStringLiteral("ID"), idVir);
        q.open();
        std::vector<StoredTransferRow> rows;
        for (q.first(); !q.eof(); q.next())
            rows.push_back({int(q.asInt(QStringLiteral("NOLINE"))), fromDb<TransferSide>(q.asString(QStringLiteral("SENS"))),
                            q.asInt(QStringLiteral("ID_FNM")), q.asCurrency(QStringLiteral("MONTANT")),
                            q.asDate(QStringLiteral("DATE_VIR")), q.asString(QStringLiteral("ID_USER"))});
        return rows;
    }

    // The committed transfer sheet of a line, if any.
    std::optional<StoredSheet> TransferSheet(qint64 line)
    {
        return ByOrigin(Sheets(line), SheetOrigin::Transfer);
    }

    qint64 giving = 0, receiving = 0, empty = 0;
    QString savedDbUser;
    std::uint8_t savedPolicy = 0;
};
