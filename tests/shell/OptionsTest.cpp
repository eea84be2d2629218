// The settings dialog on real settings files: it shows the values in force,
// writes them back in the file's own encoding, applies them at once, and a
// Cancel or a refused entry writes nothing.
#include "controls/NumEdit.h"
#include "core/GlobalState.h"
#include "core/IniFile.h"
#include "core/Settings.h"
#include "shell/UOption.h"
#include "common/MessageRecorder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        IniPath = dir.filePath(QStringLiteral("VOREL.INI"));
        // The program as a first start leaves it: every default.
        ApplyParamSettings(ReadParamSettings(dir.filePath(QStringLiteral("absent.ini"))));
    }
    void TearDown() override
    {
        IniPath = savedIni;
        ApplyParamSettings(savedSettings);
    }

    void WriteIni(const QByteArray& bytes)
    {
        QFile f(IniPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray IniBytes() const
    {
        QFile f(IniPath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString Param(const char* key) const
    {
        return IniReadString(IniPath, QStringLiteral("PARAM"), QLatin1String(key), QStringLiteral("<absent>"));
    }

    QTemporaryDir dir;
    MessageRecorder messages;
    QString savedIni = IniPath;
    TParamSettings savedSettings = CurrentParamSettings();
};

TEST_F(OptionsTest, CeilingsShowTheValuesInForceAndAreStoredOnlyWhenChanged)
{
    struct Case {
        const char* ini;
        const char* shownService;
        const char* shownGoods;
        const char* typedGoods;       // nothing: left as shown
        const char* storedService;
        const char* storedGoods;
    };
    const Case cases[] = {
        // No keys: the defaults the program applies, not 0 (which switches the check off).
        {"[PARAM]\nVILLE=Oran\n", "4 000 000.00", "6 000 000.00", nullptr, "<absent>", "<absent>"},
        {"[PARAM]\nPRESTMAX=150000.5\nFOURMAX=0\n", "150 000.50", "0.00", nullptr, "150000.5", "0"},
        // An unreadable ceiling is the default, as at start-up.
        {"[PARAM]\nPRESTMAX=quatre\nFOURMAX=1 000\n", "4 000 000.00", "6 000 000.00", nullptr, "quatre", "1 000"},
        // Changed: stored as a plain number with two decimals.
        {"[PARAM]\nPRESTMAX=150000.5\nFOURMAX=0\n", "150 000.50", "0.00", "7 500 000.25", "150000.5", "7500000.25"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.ini) + (c.typedGoods ? c.typedGoods : ""));
        WriteIni(c.ini);
        TfrmOptions dialog;
        EXPECT_EQ(dialog.edPrestMax->text(), QString::fromUtf8(c.shownService));
        EXPECT_EQ(dialog.edFourMax->text(), QString::fromUtf8(c.shownGoods));
        if (c.typedGoods)
            dialog.edFourMax->setText(QString::fromUtf8(c.typedGoods));
        dialog.btnOk->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(Param("PRESTMAX"), QString::fromUtf8(c.storedService));
        EXPECT_EQ(Param("FOURMAX"), QString::fromUtf8(c.storedGoods));
        // What the next start reads is what the dialog showed and applied.
        EXPECT_EQ(ReadParamSettings(IniPath).ceilings, SupplierThresholds);
    }
}

// Two programs sharing one program folder, each with the dialog open: each
// save writes only what its user changed, so neither undoes the other's.
TEST_F(OptionsTest, TwoSavesFromTwoProgramsKeepEachOthersChanges)
{
    WriteIni("[PARAM]\nVILLE=Oran\nSIGNATAIRE=Le Doyen\nDEC_ENG=2\n");
    TfrmOptions first;
    TfrmOptions second;
    first.edVille->setText(QStringLiteral("Sétif"));
    first.btnOk->click();
    second.edSignataire->setText(QStringLiteral("Le Vice-Doyen"));
    second.cmbDec_Eng->setCurrentIndex(1);
    second.btnOk->click();
    EXPECT_EQ(Param("VILLE"), QStringLiteral("Sétif"));
    EXPECT_EQ(Param("SIGNATAIRE"), QStringLiteral("Le Vice-Doyen"));
    EXPECT_EQ(Param("DEC_ENG"), QStringLiteral("1"));
    EXPECT_TRUE(messages.calls().isEmpty()) << messages.texts().join(" | ").toStdString();

    // A save without a change writes nothing at all.
    const QByteArray before = IniBytes();
    TfrmOptions third;
    third.btnOk->click();
    EXPECT_EQ(IniBytes(), before);
}

TEST_F(OptionsTest, OkAppliesEverySettingAtOnce)
{
    WriteIni("[PARAM]\nVILLE=Oran\nDEC_MDT=-1\n");
    TfrmOptions dialog;
    // A payment-order policy stored as -1 shows (and is then stored) as "ask".
    EXPECT_EQ(dialog.cmbDec_Mdt->currentIndex(), 2);
    for (QComboBox* policy : {dialog.cmbDec_Eng, dialog.cmbDec_Mdt, dialog.cmbDec_Trans, dialog.cmbDec_Mdt_Eng}) {
        EXPECT_FALSE(policy->isEditable()) << policy->objectName().toStdString();
        EXPECT_EQ(policy->count(), 3);
    }
    dialog.edVille->setText(QStringLiteral("  Sétif  "));
    dialog.edRIT->setText(QStringLiteral("T-0042"));
    dialog.edRIP->setText(QStringLiteral("0012345678"));
    dialog.edPrestMax->SetAsCurrency(Currency::fromUnits(250000));
    dialog.cmbDec_Eng->setCurrentIndex(1);
    dialog.cmbDec_Mdt->setCurrentIndex(0);
    dialog.cmbDec_Trans->setCurrentIndex(2);
    dialog.chkPrintFacName->setChecked(false);
    dialog.edAgentPayeur->setText(QStringLiteral("Monsieur le Payeur"));
    dialog.edActelCpt->setText(QStringLiteral("998877"));
    dialog.edFaculte->setText(QStringLiteral("Faculté des Sciences"));
    dialog.btnOk->click();

    EXPECT_EQ(City, QStringLiteral("Sétif"));
    EXPECT_EQ(TreasuryAccount, QStringLiteral("T-0042"));
    EXPECT_EQ(PostalAccount, QStringLiteral("0012345678"));
    EXPECT_EQ(SupplierThresholds[0], Currency::fromUnits(250000));
    EXPECT_EQ(DecisionCommit, 1);
    EXPECT_EQ(DecisionMandate, 0);
    EXPECT_EQ(DecisionTransfer, 2);
    EXPECT_FALSE(PrintFacultyName);
    EXPECT_EQ(PayingAgentTitle, QStringLiteral("Monsieur le Payeur"));
    EXPECT_EQ(PhonePayeeAccount, QStringLiteral("998877"));
    EXPECT_EQ(FacultyName, QStringLiteral("Faculté des Sciences"));
    EXPECT_EQ(Param("VILLE"), QStringLiteral("Sétif"));
    EXPECT_EQ(Param("DEC_MDT"), QStringLiteral("0"));
    EXPECT_EQ(Param("PRINT_FAC_NAME"), QStringLiteral("0"));
    EXPECT_EQ(Param("AGENT_PAYEUR"), QStringLiteral("Monsieur le Payeur"));
    EXPECT_EQ(Param("PRESTMAX"), QStringLiteral("250000.00"));
    EXPECT_EQ(Param("FOURMAX"), QStringLiteral("<absent>"));   // left as shown
    EXPECT_TRUE(messages.calls().isEmpty()) << messages.texts().join(" | ").toStdString();
}

TEST_F(OptionsTest, ARefusedEntryOrCancelWritesAndAppliesNothing)
{
    WriteIni("[PARAM]\nVILLE=Oran\nPRESTMAX=100.00\n");
    const QByteArray before = IniBytes();
    struct Case {
        const char* what;
        std::function<void(TfrmOptions&)> change;
        const char* message;
    };
    const Case cases[] = {
        {"no city", [](TfrmOptions& d) { d.edVille->setText(QStringLiteral("   ")); }, "La ville est manquante !"},
        {"negative ceiling", [](TfrmOptions& d) { d.edFourMax->SetAsCurrency(Currency::fromUnits(-5)); },
         "Le seuil doit être un montant positif (0 : pas de seuil) !"},
        // Beyond what an amount column holds, and beyond any amount at all.
        {"ceiling too large",
         [](TfrmOptions& d) { d.edPrestMax->SetAsCurrency(MaxStoredAmount + Currency::fromRaw(100)); },
         "Le seuil est trop grand : il ne peut dépasser 9 999 999 999 999.99 DA !"},
        {"ceiling beyond any amount",
         [](TfrmOptions& d) { d.edFourMax->setText(QStringLiteral("99 999 999 999 999 999 999.00")); },
         "Le seuil est trop grand : il ne peut dépasser 9 999 999 999 999.99 DA !"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.clear();
        TfrmOptions dialog;
        dialog.show();
        dialog.cmbDec_Eng->setCurrentIndex(0);
        c.change(dialog);
        dialog.btnOk->click();
        EXPECT_EQ(messages.texts(), QStringList{QString::fromUtf8(c.message)});
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(IniBytes(), before);
        EXPECT_EQ(DecisionCommit, PolicyAsk);
    }

    TfrmOptions dialog;
    dialog.show();
    dialog.edVille->setText(QStringLiteral("Blida"));
    dialog.cmbDec_Eng->setCurrentIndex(0);
    dialog.btnCancel->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(IniBytes(), before);
    EXPECT_EQ(City, QString::fromUtf8(DefaultCity));
    EXPECT_EQ(DecisionCommit, PolicyAsk);
}

TEST_F(OptionsTest, AnAccentedCitySurvivesASaveOfAWindowsCodePageFile)
{
    // As the earlier Windows program wrote it: Windows-1252, CR LF.
    WriteIni("[PARAM]\r\nVILLE=S\xe9tif\r\nSIGNATAIRE=Le Doyen de la Facult\xe9\r\n");
    TfrmOptions dialog;
    EXPECT_EQ(dialog.edVille->text(), QStringLiteral("Sétif"));
    dialog.btnOk->click();
    const QByteArray after = IniBytes();
    EXPECT_TRUE(after.contains("VILLE=S\xe9tif\r\n")) << after.toStdString();
    EXPECT_TRUE(after.contains("SIGNATAIRE=Le Doyen de la Facult\xe9\r\n"));
    EXPECT_EQ(ReadParamSettings(IniPath).city, QStringLiteral("Sétif"));
}

TEST_F(OptionsTest, ASettingsFileThatCannotBeWrittenIsToldAndChangesNothing)
{
    // The settings "file" is a folder: nothing can be written there.
    IniPath = dir.path();
    TfrmOptions dialog;
    dialog.show();
    dialog.edVille->setText(QStringLiteral("Blida"));
    dialog.btnOk->click();
    ASSERT_EQ(messages.calls().size(), 1);
    EXPECT_TRUE(messages.calls()[0].text.startsWith(QStringLiteral("Impossible d'écrire le fichier")));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(City, QString::fromUtf8(DefaultCity));
}

} // namespace
