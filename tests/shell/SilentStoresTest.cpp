// A store or listing decides and never speaks: it shows no message, asks no
// question and opens no input box; it returns a verdict or throws the one
// refusal type (TRefusalError), and only windows tell the user.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

TEST(Stores, ShowNoMessageAskNoQuestionAndRefuseOnlyThroughTheRefusalType)
{
    const QDir root(QStringLiteral(VOREL_SOURCE_DIR));
    const QRegularExpression storeFile(QStringLiteral("(Store|Listing)\\.(h|cpp)$"));
    const QRegularExpression comment(QStringLiteral("//[^\\n]*"));
    // The calls that show, ask or abandon a handler, and a refusal thrown as
    // a bare runtime error.
    const QRegularExpression speaking(QStringLiteral(
        "\\b(ShowMessageBox|ShowInfo|ShowStandardDialog|ShowStandardError|InputBox|AskConfirmation|AskDeletionTwice|"
        "ShowRefusal|Refuse|Abort|DenyWriteAccess)\\s*\\(|\\bruntime_error\\b"));
    QStringList found;
    int stores = 0;
    for (const QString& folder : {QStringLiteral("security"), QStringLiteral("refdata"), QStringLiteral("budget"),
                                  QStringLiteral("expenditure"), QStringLiteral("reports"), QStringLiteral("documents"),
                                  QStringLiteral("data")}) {
        QDirIterator files(root.filePath(folder), QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            if (!storeFile.match(path).hasMatch())
                continue;
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
            ++stores;
            const QString code = QString::fromUtf8(file.readAll()).remove(comment);
            for (auto m = speaking.globalMatch(code); m.hasNext();)
                found << root.relativeFilePath(path) + QStringLiteral(": ") + m.next().captured(0);
        }
    }
    EXPECT_GT(stores, 0);
    EXPECT_TRUE(found.isEmpty()) << found.join(QLatin1Char('\n')).toStdString();
}
