// The transfer decision: the template's placeholders filled in the read
// document whatever formatting splits them and whatever the values hold; the
// decision filled from the transfer and printed whole over as many pages as
// the template takes; a missing or unreadable template printing nothing; the
// program's own template installed only where none is.
#include "ReportTestSupport.h"

#include "common/MessageRecorder.h"
#include "common/YearDb.h"
#include "core/GlobalState.h"
#include "core/Routines.h"
#include "reports/budget/DecisionTemplate.h"
#include "reports/budget/URptDecVir.h"
#include "rtf/Rtf.h"

#include <QDir>
#include <QFile>
#include <QTextImageFormat>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

std::unique_ptr<QTextDocument> ReadRtf(const QByteArray& rtf)
{
    auto document = std::make_unique<QTextDocument>();
    EXPECT_FALSE(rtf::Read(rtf, *document).has_value());
    return document;
}

// The format of the character at `index` of the plain text.
QTextCharFormat FormatAt(QTextDocument& document, int index)
{
    QTextCursor c(&document);
    c.setPosition(index + 1);
    return c.charFormat();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QList<TPlaceholder> kValues = {
    {QStringLiteral("[UNIV]"), QStringLiteral("UNIVERSITÉ {ALGER} \\ 1")},
    {QStringLiteral("[MONTANT]"), QStringLiteral("Cent Dinars Algériens (100.00 DA)")},
    {QStringLiteral("[EXER]"), QStringLiteral("2024")},
    {QStringLiteral("[DATE]"), QStringLiteral("05/03/2024")},
};

TEST(DecisionTemplate, PlaceholdersAreReplacedInTheReadDocument)
{
    struct Case {
        const char* rtf;
        const char* text;       // the text once filled
        int boldAt = -1;        // a character of the text that must be bold
        int plainAt = -1;       // one that must not
    };
    const Case cases[] = {
        // Every occurrence, and in lower case.
        {R"({\rtf1\ansi Le [DATE], vu [date] ([Date]).\par})", "Le 05/03/2024, vu 05/03/2024 (05/03/2024)."},
        // Values holding braces, backslashes and accents stay whole.
        {R"({\rtf1\ansi [UNIV] - [MONTANT]\par})", "UNIVERSITÉ {ALGER} \\ 1 - Cent Dinars Algériens (100.00 DA)"},
        // The value takes the placeholder's formatting; the text around keeps its own.
        {R"({\rtf1\ansi Exercice {\b [EXER]} clos\par})", "Exercice 2024 clos", 9, 0},
        // A placeholder split by formatting is still found.
        {R"({\rtf1\ansi Le [{\b DATE}].\par})", "Le 05/03/2024.", 3, 0},
        {R"({\rtf1\ansi [E{\i XE}R]\par})", "2024"},
        // Written differently: left as written.
        {R"({\rtf1\ansi [ DATE ] [DATES] x[DATE]\par})", "[ DATE ] [DATES] x[DATE]"},
        // Each paragraph and table cell.
        {R"({\rtf1\ansi [EXER]\par\trowd\cellx2000\cellx4000 [DATE]\cell [UNIV]\cell\row})",
         "2024\n05/03/2024\nUNIVERSITÉ {ALGER} \\ 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rtf);
        const std::unique_ptr<QTextDocument> read = ReadRtf(c.rtf);
        QTextDocument& document = *read;
        FillPlaceholders(document, kValues);
        QStringList paragraphs;
        for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
            if (!b.text().isEmpty())
                paragraphs << b.text();
        EXPECT_EQ(paragraphs.join(QLatin1Char('\n')), QString::fromUtf8(c.text));
        if (c.boldAt >= 0) {
            EXPECT_EQ(FormatAt(document, c.boldAt).fontWeight(), QFont::Bold);
        }
        if (c.plainAt >= 0) {
            EXPECT_NE(FormatAt(document, c.plainAt).fontWeight(), QFont::Bold);
        }
        // Written and read again, the filled text is the same.
        EXPECT_EQ(ReadRtf(rtf::Write(document))->toPlainText(), document.toPlainText());
    }
}

TEST(DecisionTemplate, AValueHoldingAPlaceholderIsNotSearchedAgain)
{
    const std::unique_ptr<QTextDocument> document = ReadRtf(R"({\rtf1\ansi [UNIV] et [UNIV]\par})");
    FillPlaceholders(*document, {{QStringLiteral("[UNIV]"), QStringLiteral("[UNIV] de [univ]")}});
    EXPECT_EQ(document->toPlainText(), QStringLiteral("[UNIV] de [univ] et [UNIV] de [univ]"));
}

TEST(DecisionTemplate, TheAmountInWordsAndFigures)
{
    const struct {
        const char* amount;
        QString text;
    } cases[] = {
        {"150000", AmountToWords(Currency::fromUnits(150000)) + QStringLiteral(" Algériens (150 000.00 DA)")},
        {"0", QStringLiteral(" Algériens (0.00 DA)")},
        {"1234.5", AmountToWords(*Currency::parse(QStringLiteral("1234.5"))) + QStringLiteral(" Algériens (1 234.50 DA)")},
    };
    for (const auto& c : cases) {
        const QList<TPlaceholder> values =
            DecisionPlaceholders(QStringLiteral("Université d'Alger"), *Currency::parse(QString::fromLatin1(c.amount)),
                                 QStringLiteral("2024"), QDate(2024, 3, 5));
        ASSERT_EQ(values.size(), 4);
        EXPECT_EQ(values[0], TPlaceholder(QStringLiteral("[UNIV]"), QStringLiteral("UNIVERSITÉ D'ALGER")));
        EXPECT_EQ(values[1].first, QStringLiteral("[MONTANT]"));
        EXPECT_EQ(values[1].second, c.text) << c.amount;
        EXPECT_EQ(values[2], TPlaceholder(QStringLiteral("[EXER]"), QStringLiteral("2024")));
        EXPECT_EQ(values[3], TPlaceholder(QStringLiteral("[DATE]"), QStringLiteral("05/03/2024")));
    }
    EXPECT_TRUE(AmountToWords(Currency::fromUnits(150000)).contains(QStringLiteral("Cinquante Mille")));
}

class Decision : public YearDbTest {
protected:
    void SetUp() override
    {
        YearDbTest::SetUp();
        savedUniversity = UniversityName;
        UniversityName = QStringLiteral("Université des Sciences {USTHB}");
    }
    void TearDown() override
    {
        UniversityName = savedUniversity;
        YearDbTest::TearDown();
    }
    // A transfer giving 60 000 and 40 000 to one line of 100 000.
    void AddTransfer(qint64 idVir)
    {
        const struct {
            int line;
            const char* sens;
            const char* amount;
        } rows[] = {{1, "D", "60000"}, {2, "D", "40000"}, {3, "E", "100000"}};
        for (const auto& r : rows) {
            db::Query q(DM->LURDO, QStringLiteral("INSERT INTO VIREMENT (ID_VIR, NOLINE, SENS, DATE_VIR, ID_FNM, MONTANT) "
                                                  "VALUES (:ID, :NO, :SENS, '2024-03-01', :NO, :M)"));
            q.setParam(QStringLiteral("ID"), idVir);
            q.setParam(QStringLiteral("NO"), r.line);
            q.setParam(QStringLiteral("SENS"), QString::fromLatin1(r.sens));
            q.setParam(QStringLiteral("M"), *Currency::parse(QString::fromLatin1(r.amount)));
            q.exec();
        }
        DM->CommitWork();
    }
    std::unique_ptr<rpt::PreparedPages> Print(qint64 idVir)
    {
        TfrmRptDecVir form;
        form.IdVir = idVir;
        form.Today = [] { return QDate(2024, 3, 5); };
        return form.Prepare();
    }
    QString savedUniversity;
};

TEST_F(Decision, TheDefaultTemplateIsFilledFromTheTransfer)
{
    ASSERT_TRUE(InstallDefaultDecisionTemplate(AppDir));
    AddTransfer(7);
    const auto pages = Print(7);
    ASSERT_EQ(pages->count(), 1) << pages->refusal.toStdString();
    EXPECT_EQ(pages->title, QStringLiteral("Décision de transfert de crédits"));
    const QString text = pages->page(0).textsOf(QStringLiteral("myRichText")).join(QLatin1Char('\n'));
    EXPECT_TRUE(text.contains(QStringLiteral("UNIVERSITÉ DES SCIENCES {USTHB}")));
    EXPECT_TRUE(text.contains(AmountToWords(Currency::fromUnits(100000))
                              + QStringLiteral(" Algériens (100 000.00 DA)")));
    EXPECT_TRUE(text.contains(QStringLiteral("exercice 2024")));
    EXPECT_TRUE(text.contains(QStringLiteral("05/03/2024")));
    EXPECT_FALSE(text.contains(QLatin1Char('[')));
}

TEST_F(Decision, ALongTemplateGoesOnOverPagesEveryLineWhole)
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\fs24 ";
    for (int i = 1; i <= 150; ++i) {
        rtf += "\\pard\\qj Article " + QByteArray::number(i)
               + " : le transfert de [MONTANT] est port\\'e9 aux \\'e9critures de l'exercice [EXER].\\par\n";
        // A table whose rows of several lines may be cut between two pages.
        if (i == 40)
            for (int row = 1; row <= 20; ++row)
                rtf += "\\trowd\\cellx2000\\cellx9000 Ligne " + QByteArray::number(row)
                       + "\\cell Une cellule assez longue pour tenir sur trois ou quatre lignes dans la colonne "
                         "de droite du tableau, coup\\'e9e entre deux lignes seulement.\\cell\\row\n";
    }
    rtf += "}";
    WriteFile(DecisionTemplatePath(), rtf);
    AddTransfer(3);
    const auto pages = Print(3);
    ASSERT_GE(pages->count(), 3) << pages->refusal.toStdString();
    QStringList lines;
    const double bottom = rpt::MmToPx(297 - 20);
    for (int p = 0; p < pages->count(); ++p) {
        const rpt::PageItem* item = pages->page(p).item(QStringLiteral("myRichText"));
        ASSERT_NE(item, nullptr) << p;
        EXPECT_NEAR(item->rect.top(), rpt::MmToPx(20), 0.5) << p;
        EXPECT_LE(item->rect.bottom(), bottom + 0.01) << p;
        lines += item->text.split(QLatin1Char('\n'));
    }
    // Every line printed once, in order, on one page or the next.
    QTextDocument read;
    ASSERT_FALSE(rtf::LoadFile(DecisionTemplatePath(), read).has_value());
    const QString all = lines.join(QLatin1Char(' '));
    int from = 0;
    for (int i = 1; i <= 150; ++i) {
        const int at = all.indexOf(QStringLiteral("Article %1 :").arg(i), from);
        ASSERT_GE(at, from) << i;
        from = at + 1;
    }
    EXPECT_EQ(all.count(QStringLiteral("Article ")), 150);
    for (int row = 1; row <= 20; ++row)
        EXPECT_EQ(all.count(QStringLiteral("Ligne %1 ").arg(row)), 1) << row;
    EXPECT_EQ(all.count(QStringLiteral("seulement.")), 20);
    EXPECT_EQ(all.count(QStringLiteral("Algériens (100 000.00 DA)")), 150);
}

TEST_F(Decision, AMissingOrUnreadableTemplatePrintsNothingAndSaysWhy)
{
    AddTransfer(1);
    const QByteArray cases[] = {QByteArray(), QByteArray("Ceci n'est pas un document RTF"),
                                QByteArray("{\\rtf1\\ansi coupé")};
    for (const QByteArray& content : cases) {
        SCOPED_TRACE(content.toStdString());
        QFile::remove(DecisionTemplatePath());
        if (!content.isEmpty())
            WriteFile(DecisionTemplatePath(), content);
        const auto pages = Print(1);
        EXPECT_TRUE(pages->isEmpty());
        EXPECT_TRUE(pages->refusal.contains(QStringLiteral("DECVIR.RTF"))) << pages->refusal.toStdString();
    }
}

// A folder in the template's place: the decision does not print, and the
// reason is the program's own French, no system text.
TEST_F(Decision, AFolderInTheTemplatesPlaceIsToldInFrench)
{
    AddTransfer(1);
    QFile::remove(DecisionTemplatePath());
    ASSERT_TRUE(QDir().mkpath(DecisionTemplatePath()));
    const auto pages = Print(1);
    EXPECT_TRUE(pages->isEmpty());
    EXPECT_EQ(pages->refusal, QStringLiteral("Impossible de lire le fichier %1 : c'est un dossier, pas un fichier.")
                                  .arg(DecisionTemplatePath()));
    QDir(DecisionTemplatePath()).removeRecursively();
}

// A picture the template gives an absurd size is drawn within the page's
// printable area, its proportions kept: the decision takes a page or three
// (the text before, the picture, the text after), the picture whole on one.
TEST_F(Decision, APictureOfAnAbsurdSizeIsDrawnWithinThePage)
{
    // A PNG of 4 x 2 pixels.
    const QByteArray png = "89504e470d0a1a0a0000000d4948445200000004000000020802000000f0caea"
                           "34000000097048597300000ec400000ec401952b0e1b00000014494441540899"
                           "63fccf80004c0c0c0c8c0c50110020370203b9d2375a0000000049454e44ae42"
                           "6082";
    struct Case {
        const char* what;
        const char* size;
        double ratio;   // width / height as the template gives it
    };
    const Case cases[] = {
        {"kilometres high", "\\picwgoal1500\\pichgoal32000\\picscaley10000", 1500.0 / 3200000},
        {"kilometres wide", "\\picwgoal32000\\pichgoal750\\picscalex5000", 1600000.0 / 750},
        {"both", "\\picwgoal30000\\pichgoal30000\\picscalex9000\\picscaley9000", 1.0},
    };
    const double printableHeight = rpt::MmToPx(297 - 40);
    AddTransfer(2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(DecisionTemplatePath(), "{\\rtf1\\ansi D\\'e9cision du [DATE]\\par {\\pict\\pngblip\\picw4\\pich2"
                                              + QByteArray(c.size) + " " + png + "}\\par Fin.\\par}");
        const auto pages = Print(2);
        ASSERT_GE(pages->count(), 1) << pages->refusal.toStdString();
        ASSERT_LE(pages->count(), 3);
        const rpt::PageItem* text = pages->page(0).item(QStringLiteral("myRichText"));
        ASSERT_NE(text, nullptr);
        QTextImageFormat image;
        for (QTextBlock b = text->extra->document->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().isImageFormat())
                    image = it.fragment().charFormat().toImageFormat();
        ASSERT_TRUE(image.isValid());
        // One page shows the whole picture (to the layout's rounding), and the
        // text after it prints.
        bool whole = false;
        QString printed;
        for (int p = 0; p < pages->count(); ++p) {
            const rpt::PageItem* part = pages->page(p).item(QStringLiteral("myRichText"));
            ASSERT_NE(part, nullptr);
            EXPECT_LE(part->rect.bottom(), rpt::MmToPx(297 - 20) + 0.01);
            whole = whole || part->rect.height() >= image.height() - 1;
            printed += part->text;
        }
        EXPECT_TRUE(whole);
        EXPECT_TRUE(printed.contains(QStringLiteral("Fin.")));
        EXPECT_LE(image.width(), text->rect.width() + 0.01);
        EXPECT_LE(image.height(), printableHeight + 0.01);
        // As large as the page allows, not shrunk further.
        EXPECT_TRUE(image.width() > text->rect.width() - 0.5 || image.height() > printableHeight * 0.95);
        EXPECT_NEAR(image.width() / image.height(), c.ratio, c.ratio * 1e-6);
    }
}

TEST(DecisionTemplateFile, TheProgramsTemplateIsInstalledOnlyWhereNoneIs)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("DECVIR.RTF"));
    ASSERT_TRUE(InstallDefaultDecisionTemplate(folder.path()));
    QTextDocument installed;
    ASSERT_FALSE(rtf::LoadFile(path, installed).has_value());
    for (const char* placeholder : {"[UNIV]", "[MONTANT]", "[EXER]", "[DATE]"})
        EXPECT_TRUE(installed.toPlainText().contains(QString::fromLatin1(placeholder))) << placeholder;

    // The users' own template, even one that is not RTF, is never replaced.
    for (const QByteArray& own : {QByteArray("{\\rtf1\\ansi Notre d\\'e9cision [DATE]\\par}"), QByteArray("x")}) {
        WriteFile(path, own);
        EXPECT_TRUE(InstallDefaultDecisionTemplate(folder.path()));
        EXPECT_EQ(ReadBytes(path), own);
    }
}

} // namespace
