#include "core/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(IniFile, WritesOneKeyAndKeepsEverythingElse)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("VOREL.INI"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("; comment kept\r\n[PARAM]\r\nVILLE=Tizi\r\nfoo bar\r\nEXER=2011\r\n\r\n[OTHER]\r\nA=1\r\n");
    f.close();

    IniWriteString(path, QStringLiteral("param"), QStringLiteral("exer"), QStringLiteral("2012"));
    IniWriteString(path, QStringLiteral("PARAM"), QStringLiteral("USERID"), QStringLiteral("ALI"));
    IniWriteString(path, QStringLiteral("NEW"), QStringLiteral("K"), QStringLiteral("é=v"));

    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_EQ(text, QStringLiteral("; comment kept\r\n[PARAM]\r\nVILLE=Tizi\r\nfoo bar\r\nexer=2012\r\nUSERID=ALI\r\n\r\n"
                                   "[OTHER]\r\nA=1\r\n\r\n[NEW]\r\nK=é=v\r\n"));
    EXPECT_EQ(IniReadString(path, QStringLiteral("PARAM"), QStringLiteral("EXER")), QStringLiteral("2012"));
    EXPECT_EQ(IniReadString(path, QStringLiteral("NEW"), QStringLiteral("k")), QStringLiteral("é=v"));
    EXPECT_EQ(IniReadString(path, QStringLiteral("OTHER"), QStringLiteral("VILLE"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_EQ(IniReadInteger(path, QStringLiteral("OTHER"), QStringLiteral("A"), 7), 1);
    EXPECT_EQ(IniReadInteger(path, QStringLiteral("PARAM"), QStringLiteral("VILLE"), 7), 7);
}

TEST(IniFile, MissingFileGivesDefaultsAndIsCreatedOnWrite)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("none.ini"));
    EXPECT_EQ(IniReadString(path, QStringLiteral("PARAM"), QStringLiteral("X"), QStringLiteral("def")), QStringLiteral("def"));
    IniWriteBool(path, QStringLiteral("PARAM"), QStringLiteral("B"), true);
    EXPECT_TRUE(IniReadBool(path, QStringLiteral("PARAM"), QStringLiteral("B"), false));
    EXPECT_THROW(IniWriteString(dir.filePath(QStringLiteral("no/such/dir/x.ini")), QStringLiteral("S"),
                                QStringLiteral("K"), QStringLiteral("V")), std::runtime_error);
}
