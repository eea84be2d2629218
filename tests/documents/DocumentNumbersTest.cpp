// How a document takes its number in its series: what is read and decided,
// and above all when the series is locked, since two documents of a series
// keep distinct numbers only because every number is read with the series
// locked (a series here records what the routine asks of it).
#include "documents/DocumentNumbers.h"

#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class RecordedSeries final : public TDrawnNumberSeries {
public:
    QSet<QString> taken;       // numbers other documents hold
    bool lockRefused = false;  // another operation holds the series
    QStringList calls;

    bool Taken(const QString& number, qint64 exceptId) override
    {
        calls << QStringLiteral("taken %1 %2").arg(number).arg(exceptId);
        return taken.contains(number);
    }
    QString Next() override
    {
        calls << QStringLiteral("next");
        return QStringLiteral("0009");
    }

protected:
    void LockSeries() override
    {
        calls << QStringLiteral("lock");
        if (lockRefused)
            throw std::runtime_error("in progress");
    }
};

TEST(DocumentNumbersTest, ADocumentKeepsAFreeNumberAndOtherwiseDrawsTheNextOneWithTheSeriesLocked)
{
    struct Case {
        const char* what;
        QString number;
        bool newToSeries;
        bool takenElsewhere;
        QString expected;
        QString previous;
        QStringList calls;
    };
    const Case cases[] = {
        {"no number yet: drawn", QString(), false, false, "0009", QString(), {"lock", "next"}},
        {"no number, new to the series: drawn", QString(), true, false, "0009", QString(), {"lock", "next"}},
        {"its own number, free: kept without a lock", "0004", false, false, "0004", QString(), {"taken 0004 7"}},
        {"a number new to the series, free: checked locked", "0004", true, false, "0004", QString(),
         {"lock", "taken 0004 7"}},
        {"its own number, taken: the next drawn locked", "0004", false, true, "0009", "0004",
         {"taken 0004 7", "lock", "next"}},
        {"a number new to the series, taken: locked once", "0004", true, true, "0009", "0004",
         {"lock", "taken 0004 7", "next"}},
    };
    for (const Case& c : cases) {
        RecordedSeries series;
        if (c.takenElsewhere)
            series.taken.insert(c.number);
        const TDocumentNumbering n = TakeNumber(series, c.number, 7, c.newToSeries);
        EXPECT_EQ(n.number, c.expected) << c.what;
        EXPECT_EQ(n.previousNumber, c.previous) << c.what;
        EXPECT_EQ(n.Renumbered(), !c.previous.isEmpty()) << c.what;
        EXPECT_EQ(series.calls, c.calls) << c.what;
    }
}

TEST(DocumentNumbersTest, ATypedNumberIsCheckedWithTheSeriesLockedAndNothingIsReadWhenTheLockIsRefused)
{
    RecordedSeries series;
    series.taken.insert(QStringLiteral("0004"));
    EXPECT_FALSE(NumberFree(series, QStringLiteral("0004"), -1));
    EXPECT_TRUE(NumberFree(series, QStringLiteral("0005"), 3));
    // One lock for the operation, each number read under it.
    EXPECT_EQ(series.calls, (QStringList{"lock", "taken 0004 -1", "taken 0005 3"}));

    RecordedSeries busy;
    busy.lockRefused = true;
    EXPECT_THROW(NumberFree(busy, QStringLiteral("0004"), -1), std::runtime_error);
    EXPECT_THROW(DrawNumber(busy), std::runtime_error);
    EXPECT_THROW(TakeNumber(busy, QString(), 7, false), std::runtime_error);
    EXPECT_EQ(busy.calls, (QStringList{"lock", "lock", "lock"}));
}

} // namespace
