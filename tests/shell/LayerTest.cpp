// Includes run one way: shell -> budget -> expenditure -> refdata ->
// security; the areas -> the documents of reports/ (a folder each, the
// order pages' shared pieces in reports/orders) -> the report frame; the areas
// -> documents; all of them -> ui, data -> core -> controls, db, platform,
// rtf -> money (core/Currency); the report engine knows nothing of the business. A wrong-way include is
// a fault even when it happens to compile. The build holds each library to the
// libraries it links (cmake/CheckIncludes.cmake); this table is the same
// picture by folder.

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

// Money (the Currency type) lives in core/ but is a layer of its own, beneath
// the database and the controls.
bool IsMoney(const QString& relativePath)
{
    return relativePath == QLatin1String("core/Currency.h") || relativePath == QLatin1String("core/Currency.cpp");
}

// The folder a source file or an include belongs to, as the layers name them:
// the folders of reports/ are layers of their own, and so is money.
QString LayerOf(const QString& relativePath)
{
    if (IsMoney(relativePath))
        return QStringLiteral("money");
    const QStringList parts = relativePath.split(QLatin1Char('/'));
    if (parts.first() == QLatin1String("reports") && parts.size() > 2)
        return parts[0] + QLatin1Char('/') + parts[1];
    return parts.first();
}

QSet<QString> Folders(std::initializer_list<const char*> names)
{
    QSet<QString> folders;
    for (const char* name : names)
        folders.insert(QString::fromLatin1(name));
    return folders;
}

// The folder that holds a layer's files.
QString FolderOf(const QString& layer)
{
    return layer == QLatin1String("money") ? QStringLiteral("core") : layer;
}

const QHash<QString, QSet<QString>>& Allowed()
{
    static const QHash<QString, QSet<QString>> allowed = [] {
        const QSet<QString> bottom = Folders({"db", "platform", "controls", "rtf", "money"});
        const QSet<QString> core = bottom + Folders({"core"});
        const QSet<QString> lower = core + Folders({"data", "ui"});
        const QSet<QString> documents = lower + Folders({"documents"});
        const QSet<QString> frame = lower + Folders({"reports/engine", "reports"});
        const QSet<QString> orderPages = frame + Folders({"reports/orders"});
        QHash<QString, QSet<QString>> a;
        a.insert(QStringLiteral("money"), Folders({"money"}));
        a.insert(QStringLiteral("db"), Folders({"db", "money"}));
        a.insert(QStringLiteral("platform"), Folders({"platform"}));
        a.insert(QStringLiteral("rtf"), Folders({"rtf"}));
        a.insert(QStringLiteral("controls"), Folders({"controls", "money"}));
        a.insert(QStringLiteral("reports/engine"), bottom + Folders({"reports/engine"}));
        a.insert(QStringLiteral("core"), core);
        a.insert(QStringLiteral("data"), core + Folders({"data"}));
        a.insert(QStringLiteral("ui"), core + Folders({"data", "ui"}));
        a.insert(QStringLiteral("documents"), documents);
        // The report frame, with the registry and the layout editor that know
        // every document.
        const QSet<QString> documentFolders = Folders({"reports/budget", "reports/commitments", "reports/etats",
                                                       "reports/expenses", "reports/mandat", "reports/transfer"});
        a.insert(QStringLiteral("reports"), frame + documentFolders);
        a.insert(QStringLiteral("reports/orders"), lower + Folders({"reports/engine", "reports/orders"}));
        a.insert(QStringLiteral("reports/commitments"), frame + Folders({"reports/commitments"}));
        a.insert(QStringLiteral("reports/budget"), frame + Folders({"reports/budget", "reports/commitments"}));
        a.insert(QStringLiteral("reports/expenses"), frame + Folders({"reports/expenses"}));
        a.insert(QStringLiteral("reports/mandat"), orderPages + Folders({"reports/mandat"}));
        a.insert(QStringLiteral("reports/transfer"), orderPages + Folders({"reports/transfer"}));
        a.insert(QStringLiteral("reports/etats"), orderPages + Folders({"reports/etats"}));
        a.insert(QStringLiteral("security"), documents + Folders({"security"}));
        a.insert(QStringLiteral("refdata"), documents + Folders({"security", "refdata"}));
        a.insert(QStringLiteral("expenditure"),
                 documents + Folders({"refdata", "reports/etats", "reports/expenses", "reports/mandat",
                                      "reports/transfer", "expenditure"}));
        a.insert(QStringLiteral("budget"), documents + Folders({"expenditure", "refdata", "security", "reports/budget",
                                                                "reports/commitments", "budget"}));
        QSet<QString> everything;
        for (auto it = a.cbegin(); it != a.cend(); ++it)
            everything += it.value() + QSet<QString>{it.key()};
        a.insert(QStringLiteral("shell"), everything + Folders({"shell"}));
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
        for (const auto& [relative, target] : IncludesUnder(FolderOf(it.key()))) {
            if (LayerOf(relative) != it.key())
                continue; // a folder of reports/ and money are checked under their own names
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
    QStringList reached;
    int checked = 0;
    for (const QString& area : {QStringLiteral("security"), QStringLiteral("refdata"), QStringLiteral("budget"),
                                QStringLiteral("expenditure"), QStringLiteral("documents"), QStringLiteral("reports")}) {
        for (const auto& [relative, target] : IncludesUnder(area)) {
            if (!storeOrListing.match(relative).hasMatch())
                continue;
            ++checked;
            const QString include = relative + QStringLiteral(" -> ") + target;
            if (LayerOf(target) == QLatin1String("ui"))
                reached << include;
        }
    }
    EXPECT_GT(checked, 0);
    EXPECT_TRUE(reached.isEmpty()) << reached.join(QLatin1Char('\n')).toStdString();
}
