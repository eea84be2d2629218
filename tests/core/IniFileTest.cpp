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

// A settings file of the earlier Windows program is in the Windows code page:
// its accents are read as letters and written back in the same encoding.
TEST(IniFile, AWindowsCodePageFileKeepsItsEncoding)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("VOREL.INI"));
    auto write = [&](const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };
    auto bytes = [&] {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    };
    const QString section = QStringLiteral("PARAM");

    write("[PARAM]\r\nVILLE=B\xe9ja\xef" "a\r\nSIGNATAIRE=Le Doyen de la Facult\xe9 \x80\r\n");
    EXPECT_EQ(IniReadString(path, section, QStringLiteral("VILLE")), QStringLiteral("Béjaïa"));
    EXPECT_EQ(IniReadString(path, section, QStringLiteral("SIGNATAIRE")), QStringLiteral("Le Doyen de la Faculté €"));
    IniWriteString(path, section, QStringLiteral("EXER"), QStringLiteral("2024"));
    IniWriteString(path, section, QStringLiteral("RIT"), QStringLiteral("Trésor"));
    EXPECT_EQ(bytes(), QByteArray("[PARAM]\r\nVILLE=B\xe9ja\xef" "a\r\nSIGNATAIRE=Le Doyen de la Facult\xe9 \x80\r\n"
                                  "EXER=2024\r\nRIT=Tr\xe9sor\r\n"));

    // A value the code page cannot hold turns the file to UTF-8, losing nothing.
    IniWriteString(path, section, QStringLiteral("SUFFIXE"), QStringLiteral("ك"));
    EXPECT_EQ(bytes(), QByteArray("[PARAM]\r\nVILLE=B\xc3\xa9ja\xc3\xaf" "a\r\nSIGNATAIRE=Le Doyen de la Facult\xc3\xa9 "
                                  "\xe2\x82\xac\r\nEXER=2024\r\nRIT=Tr\xc3\xa9sor\r\nSUFFIXE=\xd9\x83\r\n"));
    EXPECT_EQ(IniReadString(path, section, QStringLiteral("VILLE")), QStringLiteral("Béjaïa"));

    // A UTF-8 file stays UTF-8, its byte-order mark kept.
    write("\xef\xbb\xbf[PARAM]\nVILLE=B\xc3\xa9ja\xc3\xaf" "a\n");
    IniWriteString(path, section, QStringLiteral("RIP"), QStringLiteral("é"));
    EXPECT_EQ(bytes(), QByteArray("\xef\xbb\xbf[PARAM]\nVILLE=B\xc3\xa9ja\xc3\xaf" "a\nRIP=\xc3\xa9\n"));
}

TEST(IniFile, ValuesAreReadWithoutTheBlanksAroundThem)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("VOREL.INI"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[PARAM]\nEXER = 2023 \nDEC_ENG =\t1\t\nVILLE=  Tizi Ouzou  \nEMPTY=   \n");
    f.close();
    const QString section = QStringLiteral("PARAM");
    EXPECT_EQ(IniReadString(path, section, QStringLiteral("EXER")), QStringLiteral("2023"));
    EXPECT_EQ(IniReadInteger(path, section, QStringLiteral("DEC_ENG"), 2), 1);
    EXPECT_EQ(IniReadString(path, section, QStringLiteral("VILLE")), QStringLiteral("Tizi Ouzou"));
    EXPECT_EQ(IniReadString(path, section, QStringLiteral("EMPTY"), QStringLiteral("d")), QString());
}
