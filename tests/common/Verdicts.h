#pragma once
// Checks of a rule's answer in the tables of cases: accepted (no message), or
// refused with that message on that field; and an `ask` callback that records
// the questions and gives one answer to all of them.

#include "core/Refusal.h"

#include <QStringList>
#include <gtest/gtest.h>

inline void ExpectVerdict(const TVerdict& verdict, const char* message, int field)
{
    if (!message) {
        EXPECT_FALSE(verdict.has_value()) << verdict->message.toStdString();
        return;
    }
    ASSERT_TRUE(verdict.has_value());
    EXPECT_EQ(verdict->message.toStdString(), std::string(message));
    EXPECT_EQ(verdict->field, field);
}

inline TAsk Answering(bool answer, QStringList& asked)
{
    return [answer, &asked](const QString& question) {
        asked << question;
        return answer;
    };
}
