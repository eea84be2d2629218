#pragma once
// A year database for the windows that fill documents (commitment sheets,
// payment orders) through the expense picker: the policies and limits of the
// settings put to known values, the message recorder, modal windows driven
// and stopped at the end of each test, and a connection of its own that sees
// only what was committed.

#include "common/ExpenseRows.h"
#include "common/MessageRecorder.h"
#include "common/ModalDriver.h"
#include "common/YearDb.h"
#include "core/GlobalState.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

class DocumentTest : public YearDbTest {
protected:
    void SetUp() override
    {
        YearDbTest::SetUp();
        saved = Saved{CurrentUserCode, CurrentUserId, DecisionCommit, DecisionMandate, SupplierThresholds, MaxDocLines};
        CurrentUserCode = QStringLiteral("TESTEUR");
        CurrentUserId = 9;
        DecisionCommit = 1;
        DecisionMandate = 1;
        SupplierThresholds = {Currency(), Currency()};
        MaxDocLines = 25;
        PanelColorActive = QColor(253, 245, 200);
        PanelColorInactive = QColor(212, 208, 200);
        EditColorActive = QColor(255, 255, 255);
        EditColorInactive = QColor(230, 230, 230);
        messages = std::make_unique<MessageRecorder>();
    }

    void TearDown() override
    {
        EXPECT_TRUE(StopPendingModalWatches());
        messages.reset();
        committed.reset();
        CurrentUserCode = saved.code;
        CurrentUserId = saved.id;
        DecisionCommit = saved.commit;
        DecisionMandate = saved.mandate;
        SupplierThresholds = saved.ceilings;
        MaxDocLines = saved.maxLines;
        YearDbTest::TearDown();
    }

    // A connection of its own: it sees only what was committed.
    db::Connection& Committed()
    {
        if (!committed) {
            committed = std::make_unique<db::Connection>();
            committed->open(year->params());
        }
        committed->commit();
        return *committed;
    }

    qint64 CommittedInt(const QString& sql, qint64 key, const QList<QPair<QString, db::Value>>& more = {})
    {
        db::Query q(Committed(), sql);
        q.setParam(QStringLiteral("ID"), key);
        for (const auto& p : more)
            q.setParam(p.first, p.second);
        q.open();
        return q.isEmpty() ? -1 : db::toInt(q.at(0, 0));
    }

    QString CommittedText(const QString& sql, qint64 key)
    {
        db::Query q(Committed(), sql);
        q.setParam(QStringLiteral("ID"), key);
        q.open();
        return q.isEmpty() ? QString() : db::toText(q.at(0, 0)).trimmed();
    }

    Currency CommittedMoney(const QString& sql, qint64 key)
    {
        db::Query q(Committed(), sql);
        q.setParam(QStringLiteral("ID"), key);
        q.open();
        return q.isEmpty() ? Currency() : db::toCurrency(q.at(0, 0));
    }

    // The committed lines of a document as "NOLINE:ID_DETAIL" in number order.
    QStringList CommittedLines(const QString& table, const QString& key, qint64 id)
    {
        db::Query q(Committed(), QStringLiteral("SELECT NOLINE, ID_DETAIL FROM %1 WHERE %2=:ID ORDER BY NOLINE")
                                     .arg(table, key));
        q.setParam(QStringLiteral("ID"), id);
        q.open();
        QStringList out;
        for (int r = 0; r < q.rowCount(); ++r)
            out << QStringLiteral("%1:%2").arg(db::toInt(q.at(r, 0))).arg(db::toInt(q.at(r, 1)));
        return out;
    }

    // Takes away the current user's write right on a menu item.
    void ReadOnly(const QString& menuItem)
    {
        rows::Exec(QStringLiteral("INSERT INTO T_SECUR (ID_USER, OBJECT_NAME, TYPE_ACCES, TV_LEVEL, NB_CHILD) VALUES (:U, :O, 1, 1, 0)"),
                   {{"U", qint64(CurrentUserId)}, {"O", menuItem.toUpper().left(20)}});
        DM->CommitWork();
    }

    std::unique_ptr<MessageRecorder> messages;
    std::unique_ptr<db::Connection> committed;

private:
    struct Saved {
        QString code;
        int id = 0;
        std::uint8_t commit = 2, mandate = 2;
        std::array<Currency, 2> ceilings{};
        std::int16_t maxLines = 25;
    } saved;
};

// The documents that print a place and a signatory: "Alger" and "Le Doyen"
// while the test runs.
class SignedDocumentTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        signing = {City, Signatory};
        City = QStringLiteral("Alger");
        Signatory = QStringLiteral("Le Doyen");
    }

    void TearDown() override
    {
        City = signing.first;
        Signatory = signing.second;
        DocumentTest::TearDown();
    }

private:
    QPair<QString, QString> signing;
};
