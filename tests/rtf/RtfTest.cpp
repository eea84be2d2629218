// The RTF reader and writer: sample documents read as written, read again
// the same after being written, and damaged files reported rather than read.
#include "rtf/Rtf.h"

#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QStringList Samples{QStringLiteral("accents.rtf"),    QStringLiteral("arabic.rtf"),
                          QStringLiteral("styles.rtf"),     QStringLiteral("paragraphs.rtf"),
                          QStringLiteral("table.rtf"),      QStringLiteral("picture.rtf")};

QString SamplePath(const QString& name)
{
    return QStringLiteral(VOREL_FIXTURES "/rtf/") + name;
}

QByteArray Sample(const QString& name)
{
    QFile f(SamplePath(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return f.readAll();
}

std::string Str(const QString& s)
{
    return s.toStdString();
}

// One thing a document holds, in document order, with its format; two
// documents are the same when these lists are.
struct Entry {
    QString what;
    QTextFormat format;
    QByteArray picture;
};

void Collect(const QTextDocument& doc, QTextFrame::iterator it, QList<Entry>& out)
{
    for (; !it.atEnd(); ++it) {
        if (const QTextFrame* frame = it.currentFrame()) {
            if (const auto* t = qobject_cast<const QTextTable*>(frame)) {
                out.append({QStringLiteral("table %1x%2").arg(t->rows()).arg(t->columns()), t->format(), {}});
                for (int r = 0; r < t->rows(); ++r) {
                    for (int c = 0; c < t->columns(); ++c) {
                        out.append({QStringLiteral("cell %1,%2").arg(r).arg(c), t->cellAt(r, c).format(), {}});
                        Collect(doc, t->cellAt(r, c).begin(), out);
                    }
                }
            } else {
                Collect(doc, frame->begin(), out);
            }
            continue;
        }
        const QTextBlock block = it.currentBlock();
        out.append({QStringLiteral("paragraph \"%1\"").arg(block.text()), block.blockFormat(), {}});
        out.append({QStringLiteral("its mark"), block.charFormat(), {}});
        for (auto f = block.begin(); !f.atEnd(); ++f) {
            const QTextCharFormat format = f.fragment().charFormat();
            const QByteArray picture =
                format.isImageFormat()
                    ? doc.resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name())).toByteArray()
                    : QByteArray();
            out.append({QStringLiteral("run \"%1\"").arg(f.fragment().text()), format, picture});
        }
    }
}

QString Describe(const QTextFormat& format)
{
    QStringList parts;
    const auto properties = format.properties();
    for (auto p = properties.cbegin(); p != properties.cend(); ++p) {
        const QVariant& v = p.value();
        parts << QStringLiteral("%1=%2").arg(p.key(), 0, 16).arg(
            v.canConvert<QString>() ? v.toString() : QString::fromLatin1(v.typeName()));
    }
    return parts.join(QLatin1Char(' '));
}

// Empty when the documents hold the same text, formats, tables and pictures.
QString Difference(const QTextDocument& a, const QTextDocument& b)
{
    QList<Entry> ea, eb;
    Collect(a, a.rootFrame()->begin(), ea);
    Collect(b, b.rootFrame()->begin(), eb);
    for (qsizetype i = 0; i < qMax(ea.size(), eb.size()); ++i) {
        if (i >= ea.size() || i >= eb.size())
            return QStringLiteral("one document ends before the other, at entry %1").arg(i);
        const Entry& x = ea.at(i);
        const Entry& y = eb.at(i);
        if (x.what != y.what || x.format != y.format || x.picture != y.picture)
            return QStringLiteral("entry %1:\n  %2 {%3}\n  %4 {%5}")
                .arg(i)
                .arg(x.what, Describe(x.format), y.what, Describe(y.format));
    }
    return QString();
}

void ReadOk(const QByteArray& data, QTextDocument& doc)
{
    const auto error = rtf::Read(data, doc);
    ASSERT_FALSE(error.has_value()) << Str(*error);
}

// The format of the last letter of the first occurrence of `text`.
QTextCharFormat FormatOf(const QTextDocument& doc, const QString& text)
{
    const QTextCursor found = doc.find(text);
    EXPECT_FALSE(found.isNull()) << Str(text);
    return found.charFormat();
}

QTextBlockFormat BlockOf(const QTextDocument& doc, const QString& text)
{
    const QTextCursor found = doc.find(text);
    EXPECT_FALSE(found.isNull()) << Str(text);
    return found.blockFormat();
}

// The text of every paragraph, those of table cells included, one a line.
QString Text(const QTextDocument& doc)
{
    QStringList lines;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        lines << b.text();
    return lines.join(QLatin1Char('\n'));
}

QString Family(const QTextCharFormat& f)
{
    return f.fontFamilies().toStringList().value(0);
}

} // namespace

// What each sample reads as: its text, and what it is there to show.
TEST(Rtf, SamplesReadAsWritten)
{
    struct Case {
        QString file;
        QString text;
        std::function<void(const QTextDocument&)> check;
    };
    const QString arabicWord = QStringLiteral("الجامعة");
    const QString algeria = QStringLiteral("الجزائر");
    const QList<Case> cases{
        {QStringLiteral("accents.rtf"),
         QStringLiteral("Université d'Algérie, € = € et “cité”\ncoût à régler"),
         [](const QTextDocument& doc) {
             EXPECT_EQ(Family(FormatOf(doc, QStringLiteral("Université"))), QStringLiteral("Times New Roman"));
             EXPECT_EQ(FormatOf(doc, QStringLiteral("Université")).fontPointSize(), 12.0);
         }},
        {QStringLiteral("arabic.rtf"),
         arabicWord + QLatin1Char(' ') + algeria + QStringLiteral("\nUniversité d'Alger"),
         [&](const QTextDocument& doc) {
             const QTextCharFormat f = FormatOf(doc, arabicWord);
             EXPECT_EQ(Family(f), QStringLiteral("Traditional Arabic"));
             EXPECT_EQ(f.fontPointSize(), 14.0);
             const QTextBlockFormat b = BlockOf(doc, algeria);
             EXPECT_EQ(b.layoutDirection(), Qt::RightToLeft);
             EXPECT_EQ(b.alignment(), Qt::AlignRight | Qt::AlignAbsolute);
             EXPECT_NE(BlockOf(doc, QStringLiteral("Alger")).layoutDirection(), Qt::RightToLeft);
         }},
        {QStringLiteral("styles.rtf"),
         QStringLiteral("Le gras, italique, souligné non, barré, rouge, surligné, m2, H2O, grand, "
                        "gras puis tout rien."),
         [](const QTextDocument& doc) {
             EXPECT_EQ(FormatOf(doc, QStringLiteral("Le")).fontWeight(), QFont::Normal);
             EXPECT_EQ(FormatOf(doc, QStringLiteral("Le gras")).fontWeight(), QFont::Bold);
             EXPECT_TRUE(FormatOf(doc, QStringLiteral("italique")).fontItalic());
             EXPECT_TRUE(FormatOf(doc, QStringLiteral("souligné")).fontUnderline());
             EXPECT_FALSE(FormatOf(doc, QStringLiteral(" non")).fontUnderline());
             EXPECT_TRUE(FormatOf(doc, QStringLiteral("barré")).fontStrikeOut());
             EXPECT_EQ(FormatOf(doc, QStringLiteral("rouge")).foreground().color(), QColor(255, 0, 0));
             EXPECT_EQ(FormatOf(doc, QStringLiteral("surligné")).background().color(), QColor(255, 255, 0));
             EXPECT_EQ(FormatOf(doc, QStringLiteral("m2")).verticalAlignment(), QTextCharFormat::AlignSuperScript);
             EXPECT_EQ(FormatOf(doc, QStringLiteral("H2")).verticalAlignment(), QTextCharFormat::AlignSubScript);
             const QTextCharFormat big = FormatOf(doc, QStringLiteral("grand"));
             EXPECT_EQ(Family(big), QStringLiteral("Arial"));
             EXPECT_EQ(big.fontPointSize(), 18.0);
             EXPECT_EQ(Family(FormatOf(doc, QStringLiteral("grand,"))), QStringLiteral("Times New Roman"));
             // Switched on and off in the paragraph's own text, then \plain.
             EXPECT_EQ(FormatOf(doc, QStringLiteral("grand, gras")).fontWeight(), QFont::Bold);
             EXPECT_EQ(FormatOf(doc, QStringLiteral("puis")).fontWeight(), QFont::Normal);
             const QTextCharFormat all = FormatOf(doc, QStringLiteral("tout"));
             EXPECT_TRUE(all.fontItalic() && all.fontUnderline());
             const QTextCharFormat none = FormatOf(doc, QStringLiteral("rien"));
             EXPECT_FALSE(none.fontItalic() || none.fontUnderline());
         }},
        {QStringLiteral("paragraphs.rtf"),
         QStringLiteral("Centré\nÀ droite, retraits et interligne\na\tb\tc") + QChar::LineSeparator
             + QStringLiteral("suite\nInterligne minimal\nà gauche dans un paragraphe de droite à gauche\n"
                              "insécable") + QChar::Nbsp + QStringLiteral(": mot") + QChar::SoftHyphen
             + QStringLiteral("coupé, trait") + QChar(0x2011) + QStringLiteral("d'union, ‘simple’ – — •"),
         [](const QTextDocument& doc) {
             EXPECT_EQ(BlockOf(doc, QStringLiteral("Centré")).alignment(), Qt::AlignHCenter);
             const QTextBlockFormat right = BlockOf(doc, QStringLiteral("retraits"));
             EXPECT_EQ(right.alignment(), Qt::AlignRight);
             EXPECT_DOUBLE_EQ(right.leftMargin(), 48);   // 720 twips at 96 pixels per inch
             EXPECT_DOUBLE_EQ(right.rightMargin(), 24);
             EXPECT_DOUBLE_EQ(right.textIndent(), -24);
             EXPECT_DOUBLE_EQ(right.topMargin(), 8);
             EXPECT_DOUBLE_EQ(right.bottomMargin(), 16);
             EXPECT_EQ(right.lineHeightType(), QTextBlockFormat::ProportionalHeight);
             EXPECT_DOUBLE_EQ(right.lineHeight(), 150);
             const QTextBlockFormat tabs = BlockOf(doc, QStringLiteral("suite"));
             EXPECT_EQ(tabs.alignment(), Qt::AlignJustify);
             EXPECT_EQ(tabs.lineHeightType(), QTextBlockFormat::FixedHeight);
             EXPECT_DOUBLE_EQ(tabs.lineHeight(), 20);
             const QList<QTextOption::Tab> stops{QTextOption::Tab(96, QTextOption::LeftTab),
                                                  QTextOption::Tab(5000 / 15.0, QTextOption::RightTab),
                                                  QTextOption::Tab(200, QTextOption::CenterTab)};
             EXPECT_EQ(tabs.tabPositions(), stops);
             EXPECT_EQ(BlockOf(doc, QStringLiteral("minimal")).lineHeightType(), QTextBlockFormat::MinimumHeight);
             const QTextBlockFormat rtl = BlockOf(doc, QStringLiteral("paragraphe de droite"));
             EXPECT_EQ(rtl.layoutDirection(), Qt::RightToLeft);
             EXPECT_EQ(rtl.alignment(), Qt::AlignLeft | Qt::AlignAbsolute);
         }},
        {QStringLiteral("table.rtf"), QStringLiteral("Avant\nA1\nB1\ndeuxième ligne\nA2\nB2\nAprès"),
         [](const QTextDocument& doc) {
             QTextCursor at = doc.find(QStringLiteral("A1"));
             const QTextTable* table = at.currentTable();
             ASSERT_NE(table, nullptr);
             EXPECT_EQ(table->rows(), 2);
             EXPECT_EQ(table->columns(), 2);
             EXPECT_EQ(table->cellAt(0, 1).firstCursorPosition().block().text(), QStringLiteral("B1"));
             EXPECT_EQ(table->cellAt(0, 1).lastCursorPosition().block().text(), QStringLiteral("deuxième ligne"));
             EXPECT_EQ(table->cellAt(1, 0).firstCursorPosition().block().text(), QStringLiteral("A2"));
             EXPECT_EQ(table->cellAt(1, 0).firstCursorPosition().blockFormat().alignment(), Qt::AlignHCenter);
             EXPECT_EQ(FormatOf(doc, QStringLiteral("A1")).fontWeight(), QFont::Bold);
             const QTextTableFormat f = table->format();
             EXPECT_EQ(f.columnWidthConstraints(),
                       (QList<QTextLength>{QTextLength(QTextLength::FixedLength, 200),
                                           QTextLength(QTextLength::FixedLength, 300)}));
             EXPECT_EQ(f.border(), 1);
             EXPECT_DOUBLE_EQ(f.cellPadding(), 108 / 15.0);
             EXPECT_EQ(doc.find(QStringLiteral("Avant")).currentTable(), nullptr);
             EXPECT_EQ(doc.find(QStringLiteral("Après")).currentTable(), nullptr);
         }},
        {QStringLiteral("picture.rtf"),
         QStringLiteral("Logo ") + QChar::ObjectReplacementCharacter + QStringLiteral(" et photo ")
             + QChar::ObjectReplacementCharacter,
         [](const QTextDocument& doc) {
             QList<QTextImageFormat> images;
             for (auto it = doc.begin().begin(); !it.atEnd(); ++it) {
                 if (it.fragment().charFormat().isImageFormat())
                     images << it.fragment().charFormat().toImageFormat();
             }
             ASSERT_EQ(images.size(), 2);
             EXPECT_DOUBLE_EQ(images[0].width(), 100); // 1500 twips
             EXPECT_DOUBLE_EQ(images[0].height(), 50);
             EXPECT_DOUBLE_EQ(images[1].width(), 4); // its own 8 pixels at 50%
             EXPECT_DOUBLE_EQ(images[1].height(), 4);
             const QByteArray jpeg = doc.resource(QTextDocument::ImageResource, QUrl(images[1].name())).toByteArray();
             const QImage logo = QImage::fromData(
                 doc.resource(QTextDocument::ImageResource, QUrl(images[0].name())).toByteArray(), "PNG");
             EXPECT_EQ(logo.size(), QSize(4, 2));
             EXPECT_EQ(logo.pixel(1, 1), qRgb(0, 0, 255));
             EXPECT_EQ(QImage::fromData(jpeg, "JPEG").size(), QSize(8, 8));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Str(c.file));
        QTextDocument doc;
        ReadOk(Sample(c.file), doc);
        EXPECT_EQ(Text(doc), c.text);
        EXPECT_FALSE(doc.isModified());
        c.check(doc);
    }
}

// Read, written and read again: the same document; written again: the same
// bytes.
TEST(Rtf, ReadWrittenAndReadAgainIsTheSameDocument)
{
    for (const QString& name : Samples) {
        SCOPED_TRACE(Str(name));
        QTextDocument first, second;
        ReadOk(Sample(name), first);
        const QByteArray written = rtf::Write(first);
        ReadOk(written, second);
        EXPECT_EQ(Str(Difference(first, second)), "") << written.toStdString();
        EXPECT_EQ(rtf::Write(second), written);
    }
}

// What the reader passes over, and the characters it makes of control words.
TEST(Rtf, ReaderTextCases)
{
    const struct {
        const char* rtf;
        QString text;
    } cases[] = {
        {"{\\rtf1{\\stylesheet{\\s0 Normal;}}{\\info{\\title Titre}{\\author Moi}}{\\header En-tete\\par}"
         "{\\footer Pied}{\\*\\generator Writer;}{\\*\\inconnu {groupe} texte}Corps}",
         QStringLiteral("Corps")},
        {"{\\rtf1 Voir {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt {\\ul le site}}} ici.}",
         QStringLiteral("Voir le site ici.")},
        {"{\\rtf1 \\{a\\}\\\\b \\motinconnu42 c}", QStringLiteral("{a}\\b c")},
        {"{\\rtf1 a\\u-4064?b\\uc0\\u233 c}", QStringLiteral("a") + QChar(0xF020) + QStringLiteral("béc")},
        {"{\\rtf1 \\u55357?\\u56832?}", QString::fromUtf8("\xF0\x9F\x98\x80")},
        {"{\\rtf1\\ansi\\ansicpg1256{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset0 Times;}}\\f0\\'c7\\f1\\'c7}",
         QStringLiteral("اÇ")},
        {"{\\rtf1 {\\*\\bkmkstart x}un{\\*\\bkmkend x}\\bin3 {}z deux}", QStringLiteral("un deux")},
        {"{\\rtf1 ligne\r\nsuite\\\r\nfin}", QStringLiteral("lignesuite\nfin")},
        {"{\\rtf1 {\\pntext 1.\\tab}Premier\\par}", QStringLiteral("1.\tPremier")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rtf);
        QTextDocument doc;
        ReadOk(c.rtf, doc);
        EXPECT_EQ(Text(doc), c.text);
    }
}

// A document made in an editor, as the template editor will: written and
// read back, its text is whole and what the user set is kept.
TEST(Rtf, AnEditedDocumentKeepsItsTextAndFormatting)
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextCharFormat arial;
    arial.setFontFamilies({QStringLiteral("Arial")});
    arial.setFontPointSize(14);
    const QString text =
        QStringLiteral("Décision {n°1} \\ [UNIV] 150 000,00 € — اللغة ") + QString::fromUtf8("\xF0\x9F\x98\x80");
    cursor.insertText(text, arial);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("[DATE]"));
    QTextCursor word = doc.find(QStringLiteral("[UNIV]"));
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    word.mergeCharFormat(bold);

    const QByteArray written = rtf::Write(doc);
    EXPECT_TRUE(written.startsWith("{\\rtf1\\ansi\\ansicpg1252")) << written.toStdString();
    for (const char* expected : {"D\\'e9cision \\{n\\'b01\\} \\\\ ", "\\'80 \\'97 \\u1575?\\u1604?",
                                 "\\u-10179?\\u-8704?"})
        EXPECT_TRUE(written.contains(expected)) << expected << "\n" << written.toStdString();
    for (const char c : written)
        EXPECT_LT(uchar(c), 0x80) << written.toStdString();

    QTextDocument back;
    ReadOk(written, back);
    EXPECT_EQ(Text(back), text + QStringLiteral("\n[DATE]"));
    const QTextCharFormat univ = FormatOf(back, QStringLiteral("[UNIV]"));
    EXPECT_EQ(univ.fontWeight(), QFont::Bold);
    EXPECT_EQ(Family(univ), QStringLiteral("Arial"));
    EXPECT_EQ(univ.fontPointSize(), 14.0);
    EXPECT_EQ(FormatOf(back, QStringLiteral("Décision")).fontWeight(), QFont::Normal);
}

// A file that is not RTF, or is cut short, is reported; the document keeps
// what it held.
TEST(Rtf, DamagedDocumentsAreReported)
{
    const struct {
        QByteArray rtf;
        QString message;
    } cases[] = {
        {"", QStringLiteral("Ce fichier n'est pas un document RTF.")},
        {"Universit\xe9", QStringLiteral("Ce fichier n'est pas un document RTF.")},
        {"{\\rtf1 abc", QStringLiteral("incomplet")},
        {"{\\rtf1 {\\b abc}", QStringLiteral("incomplet")},
        {"{\\rtf1 \\'e", QStringLiteral("incomplet")},
        {"{\\rtf1 \\", QStringLiteral("incomplet")},
        {"{\\rtf1 {\\pict\\pngblip\\bin99 ab}}", QStringLiteral("incomplet")},
        {"{\\rtf1 " + QByteArray(100000, '{'), QStringLiteral("trop de groupes")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rtf.left(40).toStdString());
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("avant"));
        const auto error = rtf::Read(c.rtf, doc);
        ASSERT_TRUE(error.has_value());
        EXPECT_TRUE(error->contains(c.message)) << Str(*error);
        EXPECT_EQ(Text(doc), QStringLiteral("avant"));
    }
}

// Every sample cut anywhere is reported as cut; no byte changed anywhere
// brings the reader down.
TEST(Rtf, CutOrCorruptedSamplesNeverCrash)
{
    // Damaged pictures are expected here; their decoder's complaints are not.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.jpeg=false"));
    for (const QString& name : Samples) {
        SCOPED_TRACE(Str(name));
        const QByteArray data = Sample(name);
        const qsizetype end = data.lastIndexOf('}');
        for (qsizetype n = 0; n < end; ++n) {
            QTextDocument doc;
            const auto error = rtf::Read(data.left(n), doc);
            ASSERT_TRUE(error.has_value()) << n;
        }
        for (qsizetype i = 0; i < data.size(); ++i) {
            for (const char c : {'{', '}', '\\', '\'', '0'}) {
                QByteArray changed = data;
                changed[i] = c;
                QTextDocument doc;
                (void)rtf::Read(changed, doc);
            }
        }
    }
    QLoggingCategory::setFilterRules(QString());
}

TEST(Rtf, FilesAreLoadedAndSavedOrTheFailureNamed)
{
    QTemporaryDir dir;
    QTextDocument doc;
    const QString missing = dir.filePath(QStringLiteral("DECVIR.RTF"));
    auto error = rtf::LoadFile(missing, doc);
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->startsWith(QStringLiteral("Impossible de lire le fichier ") + missing)) << Str(*error);

    const QString plain = dir.filePath(QStringLiteral("texte.rtf"));
    {
        QFile f(plain);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Du texte");
    }
    error = rtf::LoadFile(plain, doc);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(*error,
              QStringLiteral("Impossible de lire le fichier %1 : Ce fichier n'est pas un document RTF.").arg(plain));

    ASSERT_FALSE(rtf::LoadFile(SamplePath(QStringLiteral("table.rtf")), doc).has_value());
    const QString saved = dir.filePath(QStringLiteral("copie.rtf"));
    ASSERT_FALSE(rtf::SaveFile(saved, doc).has_value());
    QTextDocument back;
    ASSERT_FALSE(rtf::LoadFile(saved, back).has_value());
    EXPECT_EQ(Str(Difference(doc, back)), "");

    const QString nowhere = dir.filePath(QStringLiteral("absent/DECVIR.RTF"));
    error = rtf::SaveFile(nowhere, doc);
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->startsWith(QStringLiteral("Impossible d'écrire le fichier ") + nowhere)) << Str(*error);
}
