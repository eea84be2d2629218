// The current user's registry stand-in: keys opened by their Windows path,
// created on request, values kept between openings.
#include "platform/Registry.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Registry, KeysAreCreatedOnRequestAndKeepTheirValues)
{
    QTemporaryDir dir;
    platform::Registry::SetStorePath(dir.filePath(QStringLiteral("conf/registry.ini")));
    {
        platform::Registry reg;
        EXPECT_FALSE(reg.OpenKey(QStringLiteral("Control Panel\\International\\"), false));
        EXPECT_THROW(reg.WriteString(QStringLiteral("sDate"), QStringLiteral("/")), std::runtime_error);
        ASSERT_TRUE(reg.OpenKey(QStringLiteral("Control Panel\\International\\"), true));
        reg.WriteString(QStringLiteral("sDate"), QStringLiteral("/"));
        reg.WriteString(QStringLiteral("sCurrency"), QStringLiteral(" "));
        reg.WriteString(QStringLiteral("sDate"), QStringLiteral("-"));
        reg.CloseKey();
    }
    platform::Registry reg;
    // The same key, however its path is written.
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("Control Panel\\International"), false));
    EXPECT_EQ(reg.ReadString(QStringLiteral("sDate")), QStringLiteral("-"));
    EXPECT_EQ(reg.ReadString(QStringLiteral("sCurrency")), QStringLiteral(" "));
    EXPECT_TRUE(reg.ValueExists(QStringLiteral("sCurrency")));
    EXPECT_FALSE(reg.ValueExists(QStringLiteral("sDecimal")));
    // A sibling key is a key of its own.
    EXPECT_FALSE(reg.OpenKey(QStringLiteral("Control Panel\\Desktop\\"), false));
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("Control Panel\\Desktop\\"), true));
    EXPECT_FALSE(reg.ValueExists(QStringLiteral("sDate")));
    platform::Registry::SetStorePath(QString());
}
