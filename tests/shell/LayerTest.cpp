// Includes run one way: shell -> areas -> documents -> ui, data -> core ->
// controls, db, platform, rtf; the report engine knows nothing of the
// business. A wrong-way include is a fault even when it happens to compile.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QPair>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

namespace {

// The folder a source file or an include belongs to, as the layers name them.
QString LayerOf(const QString& relativePath)
{
    if (relativePath.startsWith(QLatin1String("reports/engine/")))
        return QStringLiteral("reports/engine");
    return relativePath.section(QLatin1Char('/'), 0, 0);
}

const QHash<QString, QSet<QString>>& Allowed()
{
    static const QHash<QString, QSet<QString>> allowed = [] {
        const QSet<QString> bottom{QStringLiteral("db"), QStringLiteral("platform"), QStringLiteral("controls"),
                                   QStringLiteral("rtf")};
        const QSet<QString> core = bottom + QSet<QString>{QStringLiteral("core")};
        const QSet<QString> lower = core + QSet<QString>{QStringLiteral("data"), QStringLiteral("ui")};
        const QSet<QString> documents = lower + QSet<QString>{QStringLiteral("documents")};
        const QSet<QString> areas{QStringLiteral("security"), QStringLiteral("refdata"), QStringLiteral("budget"),
                                  QStringLiteral("expenditure"), QStringLiteral("reports"),
                                  QStringLiteral("reports/engine")};
        QHash<QString, QSet<QString>> a;
        a.insert(QStringLiteral("db"), {QStringLiteral("db")});
        a.insert(QStringLiteral("platform"), {QStringLiteral("platform")});
        a.insert(QStringLiteral("rtf"), {QStringLiteral("rtf")});
        a.insert(QStringLiteral("controls"), {QStringLiteral("controls"), QStringLiteral("db")});
        a.insert(QStringLiteral("reports/engine"), bottom + QSet<QString>{QStringLiteral("reports/engine")});
        a.insert(QStringLiteral("core"), core);
        a.insert(QStringLiteral("data"), core + QSet<QString>{QStringLiteral("data")});
        a.insert(QStringLiteral("ui"), core + QSet<QString>{QStringLiteral("data"), QStringLiteral("ui")});
        a.insert(QStringLiteral("documents"), documents);
        for (const QString& area : areas) {
            if (area != QLatin1String("reports/engine"))
                a.insert(area, documents + areas);
        }
        a.insert(QStringLiteral("shell"), documents + areas + QSet<QString>{QStringLiteral("shell")});
        return a;
    }();
    return allowed;
}

// The program's includes ("folder/file.h") of the files under `folder`, as
// (the including file, the included one), both from the source root.
QList<QPair<QString, QString>> IncludesUnder(const QString& folder)
{
    const QDir root(QStringLiteral(VOREL_SOURCE_DIR));
    const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s+\"([^\"]+)\""),
                                     QRegularExpression::MultilineOption);
    QList<QPair<QString, QString>> includes;
    QDirIterator files(root.filePath(folder), {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            ADD_FAILURE() << path.toStdString();
            continue;
        }
        const QString text = QString::fromUtf8(file.readAll());
        for (auto m = include.globalMatch(text); m.hasNext();) {
            const QString target = m.next().captured(1);
            if (target.contains(QLatin1Char('/')))
                includes.append({root.relativeFilePath(path), target});
        }
    }
    return includes;
}

} // namespace

TEST(Layers, IncludesRunFromHigherLayersToLowerOnesOnly)
{
    const QDir root(QStringLiteral(VOREL_SOURCE_DIR));
    QStringList wrongWay;
    int checked = 0;
    for (auto it = Allowed().cbegin(); it != Allowed().cend(); ++it) {
        for (const auto& [relative, target] : IncludesUnder(it.key())) {
            if (LayerOf(relative) != it.key())
                continue; // reports/engine is checked under its own name
            const QString to = LayerOf(target);
            if (!Allowed().contains(to))
                continue; // not a folder of the program
            ++checked;
            if (!it.value().contains(to))
                wrongWay << relative + QStringLiteral(" -> ") + target;
        }
    }
    EXPECT_GT(checked, 0);
    EXPECT_TRUE(wrongWay.isEmpty()) << wrongWay.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(root.exists(QStringLiteral("app"))) << "the old catch-all folder is back";
}

// What commitment sheets and payment orders share lives in documents/: the
// budget and expenditure areas include nothing of each other's but windows
// (units named U..., as a commitment sheet opens the expense picker).
TEST(Layers, BudgetAndExpenditureShareSheetsAndOrdersThroughTheDocumentsLayer)
{
    QStringList reached;
    for (const auto& [from, to] : {std::pair(QStringLiteral("budget"), QStringLiteral("expenditure")),
                                   std::pair(QStringLiteral("expenditure"), QStringLiteral("budget"))}) {
        for (const auto& [relative, target] : IncludesUnder(from)) {
            if (LayerOf(target) == to && !target.section(QLatin1Char('/'), -1).startsWith(QLatin1Char('U')))
                reached << relative + QStringLiteral(" -> ") + target;
        }
    }
    EXPECT_TRUE(reached.isEmpty()) << reached.join(QLatin1Char('\n')).toStdString();
}

// Stores and listings hand windows their rows (data/ListingRows.h) and know
// nothing of how a list is shown: none includes a header of ui/ (the grid
// model, the form kit). The data module below them cannot (the table above).
TEST(Layers, StoresAndListingsIncludeNothingOfTheWidgetLayer)
{
    const QRegularExpression storeOrListing(QStringLiteral("(Store|Listing)\\.(h|cpp)$"));
    // The deletion of a payment order still asks its two questions from the
    // listing, under a wait cursor: it leaves with the listing's questions.
    const QSet<QString> pending{QStringLiteral("expenditure/OrderListing.cpp -> ui/FormKit.h")};
    QStringList reached;
    int checked = 0;
    for (const QString& area : {QStringLiteral("security"), QStringLiteral("refdata"), QStringLiteral("budget"),
                                QStringLiteral("expenditure"), QStringLiteral("documents"), QStringLiteral("reports")}) {
        for (const auto& [relative, target] : IncludesUnder(area)) {
            if (!storeOrListing.match(relative).hasMatch())
                continue;
            ++checked;
            const QString include = relative + QStringLiteral(" -> ") + target;
            if (LayerOf(target) == QLatin1String("ui") && !pending.contains(include))
                reached << include;
        }
    }
    EXPECT_GT(checked, 0);
    EXPECT_TRUE(reached.isEmpty()) << reached.join(QLatin1Char('\n')).toStdString();
}
