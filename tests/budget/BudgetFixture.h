#pragma once
// A year database with a few budget lines, the message recorder, and readers
// that look at what was committed through a second connection.

#include "core/GlobalState.h"
#include "data/UDM.h"
#include "common/MessageRecorder.h"
#include "common/ModalDriver.h"
#include "common/YearDb.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>

// Readable texts in the test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// One committed commitment sheet with its line.
struct StoredSheet {
    qint64 id = 0;
    QString number;
    SheetOrigin origin = SheetOrigin::User;
    qint64 idOrigine = 0;
    SheetObject objet = SheetObject::Expense;
    Currency amount;
    QDate sheetDate;
    QDate visaDate;
    QString obs;
    qint64 statut = -1;
    QString user;
    QDate created;
    // The sheet's DET_ENG lines: count, and the first one.
    int lines = 0;
    qint64 lineNo = 0;
    LineObject lineObjet = LineObject::Expense;
    qint64 lineDetail = 0;
    Currency lineAmount;
};

struct StoredLine {
    Currency bp, regie, bs;
    QDate dateBP, dateBS;
    QString user;
};

class BudgetTest : public YearDbTest {
protected:
    void SetUp() override
    {
        YearDbTest::SetUp();
        savedCode = CurrentUserCode;
        savedId = CurrentUserId;
        CurrentUserCode = QStringLiteral("BUDGETIER");
        CurrentUserId = 7;
        messages = std::make_unique<MessageRecorder>();
    }
    void TearDown() override
    {
        // A watch whose dialog never opened must not act on a later test's window.
        EXPECT_TRUE(StopPendingModalWatches());
        messages.reset();
        committed.reset();
        CurrentUserCode = savedCode;
        CurrentUserId = savedId;
        YearDbTest::TearDown();
    }

    void Exec(const QString& sql, const QList<QPair<QString, db::Value>>& params = {})
    {
        db::Query q(DM->LURDO, sql);
        for (const auto& p : params)
            q.setParam(p.first, p.second);
        q.exec();
    }

    qint64 AddLine(const QString& chap, const QString& art, const QString& par, const QString& title,
                   Currency bp = Currency(), Currency bs = Currency())
    {
        Exec(QStringLiteral("INSERT INTO FNM (CHAP, ART, PAR, INTITULE, RECTORAT, SECTION, MT_BP, MT_BS) "
                            "VALUES (:C, :A, :P, :T, 0, 1, :BP, :BS)"),
             {{"C", chap}, {"A", art}, {"P", par}, {"T", title}, {"BP", bp}, {"BS", bs}});
        db::Query q(DM->LURDO, QStringLiteral("SELECT MAX(ID_FNM) AS ID FROM FNM"));
        q.open();
        const qint64 id = q.asInt(QStringLiteral("ID"));
        DM->CommitWork();
        return id;
    }

    void AddObservations(const QString& chap, const QString& bp, const QString& bs, const QString& bsNegative)
    {
        Exec(QStringLiteral("INSERT INTO OBS_SERVICE (CHAP, OBS_BP, OBS_BS, OBS_BS_N) VALUES (:C, :BP, :BS, :BSN)"),
             {{"C", chap}, {"BP", bp}, {"BS", bs}, {"BSN", bsNegative}});
        DM->CommitWork();
    }

    // A user's own commitment sheet of the line (origin empty).
    void AddUserSheet(qint64 idFnm, const QString& number, Currency amount)
    {
        const qint64 id = DM->NextGeneratorValue(QStringLiteral("GEN_ENGAGEMENT_ID"));
        Exec(QStringLiteral("INSERT INTO ENT_ENG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, MONTANT, OBJET, ORIGINE, "
                            "ID_ORIGINE, STATUT) VALUES (:ID, :NO, :D, :F, :M, :OBJET, :ORIGINE, :ID_ORIGINE, :S)"),
             {{"ID", id}, {"NO", number}, {"D", QDate(2024, 2, 1)}, {"F", idFnm}, {"M", amount},
              {"OBJET", toDbValue(SheetObject::Expense)}, {"ORIGINE", toDbValue(SheetOrigin::User)},
              {"ID_ORIGINE", NoOriginRecord}, {"S", SheetInForce}});
        DM->CommitWork();
    }

    // A connection of its own: it sees only what was committed.
    db::Connection& Committed()
    {
        if (!committed) {
            committed = std::make_unique<db::Connection>();
            committed->open(year->params());
        }
        committed->commit();   // a fresh snapshot for each look
        return *committed;
    }

    StoredLine Line(qint64 idFnm)
    {
        db::Query q(Committed(), QStringLiteral("SELECT * FROM FNM WHERE ID_FNM=:ID"));
        q.setParam(QStringLiteral("ID"), idFnm);
        q.open();
        return StoredLine{q.asCurrency(QStringLiteral("MT_BP")), q.asCurrency(QStringLiteral("MT_REGIE")),
                          q.asCurrency(QStringLiteral("MT_BS")), q.asDate(QStringLiteral("DATE_BP")),
                          q.asDate(QStringLiteral("DATE_BS")), q.asString(QStringLiteral("ID_USER")).trimmed()};
    }

    // The committed sheets of a line, in number order.
    std::vector<StoredSheet> Sheets(qint64 idFnm)
    {
        db::Query q(Committed(), QStringLiteral("SELECT * FROM ENT_ENG WHERE ID_FNM=:ID ORDER BY NO_ENG"));
        q.setParam(QStringLiteral("ID"), idFnm);
        q.open();
        std::vector<StoredSheet> out;
        for (q.first(); !q.eof(); q.next()) {
            StoredSheet s;
            s.id = q.asInt(QStringLiteral("ID_ENG"));
            s.number = q.asString(QStringLiteral("NO_ENG")).trimmed();
            s.origin = fromDb<SheetOrigin>(q.asString(QStringLiteral("ORIGINE")));
            s.idOrigine = q.asInt(QStringLiteral("ID_ORIGINE"));
            s.objet = fromDb<SheetObject>(q.asInt(QStringLiteral("OBJET")));
            s.amount = q.asCurrency(QStringLiteral("MONTANT"));
            s.sheetDate = q.asDate(QStringLiteral("DATE_ENG"));
            s.visaDate = q.asDate(QStringLiteral("DATE_VISA"));
            s.obs = q.asString(QStringLiteral("OBS"));
            s.statut = q.asInt(QStringLiteral("STATUT"));
            s.user = q.asString(QStringLiteral("ID_USER")).trimmed();
            s.created = q.asDate(QStringLiteral("DATEC"));
            db::Query l(Committed(), QStringLiteral("SELECT * FROM DET_ENG WHERE ID_ENG=:ID ORDER BY NOLINE"));
            l.setParam(QStringLiteral("ID"), s.id);
            l.open();
            s.lines = l.rowCount();
            if (!l.isEmpty()) {
                s.lineNo = l.asInt(QStringLiteral("NOLINE"));
                s.lineObjet = fromDb<LineObject>(l.asInt(QStringLiteral("OBJET")));
                s.lineDetail = l.asInt(QStringLiteral("ID_DETAIL"));
                s.lineAmount = l.asCurrency(QStringLiteral("MONTANT"));
            }
            out.push_back(s);
        }
        return out;
    }

    static std::optional<StoredSheet> ByOrigin(const std::vector<StoredSheet>& sheets, SheetOrigin origin)
    {
        for (const StoredSheet& s : sheets)
            if (s.origin == origin)
                return s;
        return std::nullopt;
    }

    // Every DET_ENG line of the database (to see that nothing is left behind).
    int AllSheetLines()
    {
        db::Query q(Committed(), QStringLiteral("SELECT COUNT(*) AS N FROM DET_ENG"));
        q.open();
        return int(q.asInt(QStringLiteral("N")));
    }

    static Currency Money(const char* text) { return *Currency::parse(QString::fromUtf8(text)); }

    std::unique_ptr<MessageRecorder> messages;
    std::unique_ptr<db::Connection> committed;
    QString savedCode;
    int savedId = 0;
};
