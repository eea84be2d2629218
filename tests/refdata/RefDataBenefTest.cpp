// Beneficiaries: the list's type filter and its type-ahead kept for the run,
// the picker results, the record window's checks in order, the refused
// deletion of a beneficiary with expenses.
#include "RefDataSupport.h"

#include "refdata/UBenef.h"
#include "refdata/UListBenef.h"
#include "common/Isql.h"

#include <QToolButton>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

class BenefTest : public RefDataTest {
protected:
    void SetUp() override
    {
        RefDataTest::SetUp();
        Exec("INSERT INTO BANQUE (ID_BANQUE, RS) VALUES (0, 'BNA')");
        Exec("INSERT INTO GRADE (ID_GRADE, LIBELLE) VALUES (0, 'PROFESSEUR')");
        Exec("INSERT INTO AGENCE (ID_AGENCE, LIBELLE) VALUES (0, 'AGENCE 1')");
        using enum BeneficiaryType;
        const std::pair<const char*, BeneficiaryType> people[] = {
            {"DUPONT SARL", Supplier}, {"DUPUIS", Employee}, {"DURAND", Employee},
            {"ECOLE ETE", Other},      {"FOURNIL", Supplier}, {"dupré", Supplier}};
        for (const auto& [nom, type] : people)
            Exec("INSERT INTO BENEF (ID_BEN, TYPE_BEN, NOM, ADR, ID_BANQUE, COMPTE) VALUES (0, :T, :N, 'ALGER', 1, 'X')",
                 {{"T", toDbValue(type)}, {"N", QString::fromUtf8(nom)}});
    }

    std::unique_ptr<TfrmListBenef> OpenList(bool select = false, std::optional<BeneficiaryType> type = std::nullopt)
    {
        auto list = std::make_unique<TfrmListBenef>();
        list->SelectMode = select;
        list->TypeBen = type;
        list->show();
        return list;
    }
    static QStringList Names(const TfrmListBenef& l)
    {
        QStringList out;
        for (int r = 0; r < l.model()->rowCount(); ++r)
            out << l.model()->displayText(r, 0);
        return out;
    }
    static void WithRecord(TfrmListBenef& list, const std::function<void(TfrmBenef&)>& drive) { WithRecordOf(list, drive); }
};

} // namespace

TEST_F(BenefTest, TypeBoxAndTypeAheadFilterTheListAndTheTextOutlivesTheWindow)
{
    auto list = OpenList(true, BeneficiaryType::Employee);
    EXPECT_TRUE(list->pnlSelect->isVisible());
    EXPECT_EQ(list->cmbTypeBen->currentText(), "EMPLOYE");
    EXPECT_EQ(Names(*list), (QStringList{"DUPUIS", "DURAND"}));
    EXPECT_EQ(list->stBar->Panel(2), "2 Bénéfs");
    EXPECT_EQ(list->stBar->Panel(3), "Filtre ...");
    list->cmbTypeBen->setCurrentIndex(3);
    emit list->cmbTypeBen->activated(3);
    EXPECT_EQ(list->stBar->Panel(2), "6 Bénéfs");

    struct Step {
        std::function<void()> key;
        QStringList names;
        const char* text;
    };
    QTableView* g = list->grdBenef;
    const Step steps[] = {
        {[&] { TypeText(g, "d"); }, {"DUPONT SARL", "dupré", "DUPUIS", "DURAND"}, "d"},
        {[&] { TypeText(g, "up"); }, {"DUPONT SARL", "dupré", "DUPUIS"}, "dup"},
        {[&] { TypeText(g, "0 -./"); }, {"DUPONT SARL", "dupré", "DUPUIS"}, "dup"},   // not above "0": ignored
        {[&] { TypeText(g, "r"); }, {"dupré"}, "dupr"},
        {[&] { PressKey(g, Qt::Key_Backspace); }, {"DUPONT SARL", "dupré", "DUPUIS"}, "dup"},
        {[&] { TypeText(g, QStringLiteral("é")); }, {}, "dupé"},   // accents are not folded
        {[&] { PressKey(g, Qt::Key_Backspace); }, {"DUPONT SARL", "dupré", "DUPUIS"}, "dup"},
    };
    for (const Step& s : steps) {
        s.key();
        EXPECT_EQ(Names(*list), s.names) << s.text;
        EXPECT_EQ(list->stBar->Panel(4), QString::fromUtf8(s.text));
        EXPECT_EQ(list->stBar->Panel(2), QString::number(s.names.size()) + " Bénéfs");
    }
    // The next opening starts filtered by the same text.
    list->btnClose->click();
    auto again = OpenList();
    EXPECT_EQ(Names(*again), (QStringList{"DUPONT SARL", "dupré", "DUPUIS"}));
    EXPECT_EQ(again->stBar->Panel(4), "");
    // Esc first clears the text, then closes.
    PressKey(again->grdBenef, Qt::Key_Escape);
    EXPECT_TRUE(again->isVisible());
    EXPECT_EQ(TfrmListBenef::TypeAheadText(), "");
    EXPECT_EQ(again->stBar->Panel(3), "");
    EXPECT_EQ(Names(*again).size(), 6);
    PressKey(again->grdBenef, Qt::Key_Escape);
    EXPECT_FALSE(again->isVisible());
}

TEST_F(BenefTest, TheKeyFAnywhereTypesAnF)
{
    auto list = OpenList();
    PressKey(list->cmbTypeBen, Qt::Key_F, Qt::ControlModifier, "f");
    EXPECT_EQ(TfrmListBenef::TypeAheadText(), "F");
    EXPECT_EQ(Names(*list), QStringList{"FOURNIL"});
}

TEST_F(BenefTest, PickerReturnsTheChosenBeneficiaryOrZero)
{
    for (bool ok : {true, false}) {
        auto list = OpenList(true, BeneficiaryType::Other);
        ok ? list->btnOk->click() : list->btnClose->click();
        EXPECT_EQ(list->NomBen, ok ? QString("ECOLE ETE") : QString());
        EXPECT_EQ(list->IdBen, ok ? Int("SELECT ID_BEN FROM BENEF WHERE NOM='ECOLE ETE'") : 0);
    }
    auto list = OpenList();
    EXPECT_FALSE(list->pnlSelect->isVisible());
}

TEST_F(BenefTest, SaveChecksRunInOrderAndEachStopsOnItsField)
{
    struct Case {
        const char* name;
        std::function<void(TfrmBenef&)> fill;   // on top of a complete supplier entry
        QList<int> answers;
        QStringList texts;
        const char* focus;
        bool saved;
    };
    const QString gradeQ = QStringLiteral("Le grade du Bénéficiaire est manquant !\rContinuer ?");
    const QString serviceQ = QStringLiteral("Le type de service du Bénéficiaire est manquant !\rContinuer ?");
    const Case cases[] = {
        {"name", [](TfrmBenef& r) { r.mmNom->setPlainText("  "); }, {}, {"Le nom du bénéficiaire est manquant !"}, "mmNom", false},
        {"type", [](TfrmBenef& r) { r.cmbTypeBen->setCurrentIndex(-1); }, {}, {"Le type de Bénéficiaire est manquant !"}, "cmbTypeBen", false},
        {"grade, No", [](TfrmBenef& r) { r.cmbTypeBen->setCurrentIndex(1); emit r.cmbTypeBen->activated(1); r.cmbGrade->setCurrentIndex(-1); }, {mrNo}, {gradeQ}, "cmbGrade", false},
        {"service, No", [](TfrmBenef& r) { r.cmbService->setCurrentIndex(-1); }, {mrNo}, {serviceQ}, "cmbService", false},
        {"grade OK, no bank", [](TfrmBenef& r) { r.cmbTypeBen->setCurrentIndex(1); r.cmbGrade->setCurrentIndex(-1); SetComboKey(r.cmbBnq, -1); },
         {mrOk}, {gradeQ, "La Banque du bénéficiaire est manquante !"}, "cmbBnq", false},
        {"account", [](TfrmBenef& r) { r.edCpt->setText("  "); }, {}, {"Le N° de compte du bénéficiaire est manquante !"}, "edCpt", false},
        {"service OK, saved", [](TfrmBenef& r) { r.cmbService->setCurrentIndex(-1); }, {mrOk}, {serviceQ}, "", true},
    };
    for (const Case& c : cases) {
        Exec("DELETE FROM BENEF WHERE NOM LIKE 'NOUVEAU%'");
        messages->clear();
        auto list = OpenList();
        WithRecord(*list, [&](TfrmBenef& r) {
            r.btnAdd->click();
            r.mmNom->setPlainText(QStringLiteral(" nouveau fournisseur d'été "));
            r.cmbTypeBen->setCurrentIndex(0);
            r.cmbService->setCurrentIndex(1);
            SetComboKey(r.cmbBnq, Int("SELECT ID_BANQUE FROM BANQUE"));
            r.edCpt->setText(QStringLiteral(" rib 0012 "));
            c.fill(r);
            for (int a : c.answers)
                messages->answer(a);
            r.btnPost->click();
            EXPECT_EQ(messages->texts(), c.texts) << c.name;
            EXPECT_EQ(r.Mode(), c.saved ? emBrowse : emInsert) << c.name;
            if (!c.saved) {
                EXPECT_EQ(r.focusWidget() ? r.focusWidget()->objectName() : QString(), c.focus) << c.name;
            }
        });
        const QStringList rows = CommittedRows("SELECT NOM, TYPE_BEN, SERVICE_GRADE, COMPTE, ID_WIL, ID_AGENCE FROM BENEF "
                                               "WHERE NOM LIKE 'NOUVEAU%'");
        EXPECT_EQ(rows, c.saved ? QStringList{QStringLiteral("NOUVEAU FOURNISSEUR D'ÉTÉ|0|-1|RIB 0012|-1|-1")} : QStringList())
            << c.name;
    }
}

TEST_F(BenefTest, AnInsertedBeneficiaryBecomesTheRowShownAndEdited)
{
    auto list = OpenList();
    WithRecord(*list, [&](TfrmBenef& r) {
        const qint64 before = r.IdBen;
        r.btnAdd->click();
        r.mmNom->setPlainText("ZOUAOUI");
        r.cmbTypeBen->setCurrentIndex(1);
        emit r.cmbTypeBen->activated(1);
        EXPECT_EQ(r.lServiceGrade->text(), "Grade : ");
        r.cmbGrade->setCurrentIndex(0);
        SetComboKey(r.cmbBnq, Int("SELECT ID_BANQUE FROM BANQUE"));
        r.cmbAgence->setCurrentIndex(0);
        r.edCpt->setText("123");
        r.btnPost->click();
        const qint64 id = Int("SELECT ID_BEN FROM BENEF WHERE NOM='ZOUAOUI'");
        EXPECT_EQ(r.IdBen, id);
        EXPECT_NE(r.IdBen, before);
        r.btnEdit->click();
        EXPECT_EQ(r.focusWidget(), r.edAdr);
        r.edAdr->setText("  ORAN ");
        r.btnPost->click();
        EXPECT_EQ(CommittedRows("SELECT NOM, ADR, SERVICE_GRADE, ID_AGENCE FROM BENEF WHERE ADR<>'ALGER'"),
                  QStringList{QString("ZOUAOUI|ORAN|%1|%2").arg(Int("SELECT ID_GRADE FROM GRADE")).arg(Int("SELECT ID_AGENCE FROM AGENCE"))});
    });
}

TEST_F(BenefTest, BeneficiaryWithExpensesIsNeverDeleted)
{
    const qint64 id = Int("SELECT ID_BEN FROM BENEF WHERE NOM='DUPONT SARL'");
    Exec("INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_BEN, MONTANT) VALUES (1, :INVOICE, :B, 10)", {{"B", id}});
    const QString refusal = QStringLiteral("Ce Bénéficiaire a déjà des dépenses !\rSuppression impossible.");
    auto list = OpenList();
    ASSERT_EQ(list->model()->current().asString("NOM"), "DUPONT SARL");
    list->btnDelete->click();
    EXPECT_EQ(messages->texts(), QStringList{refusal});
    WithRecord(*list, [&](TfrmBenef& r) {
        messages->clear();
        r.btnDelete->click();
        EXPECT_EQ(messages->texts(), QStringList{refusal});
        r.btnNext->click();   // dupré has none: deleted after Yes, and a row that exists is shown
        messages->clear();
        r.btnDelete->click();
        EXPECT_EQ(messages->texts(), QStringList{"Etes-vous sûr de vouloir supprimer cet enregistrement ?"});
        EXPECT_EQ(r.mmNom->toPlainText(), "DUPONT SARL");
        EXPECT_EQ(r.IdBen, id);
    });
    EXPECT_EQ(CommittedRows("SELECT COUNT(*) FROM BENEF WHERE NOM IN ('DUPONT SARL', 'dupré')"), QStringList{"1"});
}

TEST_F(BenefTest, RecordPopupKeysDoNothingBecauseThePopupIsOnlyTheMenuButtons)
{
    auto list = OpenList();
    WithRecord(*list, [&](TfrmBenef& r) {
        r.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&r));
        for (int key : {int(Qt::Key_Insert), int(Qt::Key_F2)})
            QTest::keyClick(&r, Qt::Key(key));
        EXPECT_EQ(r.Mode(), emBrowse);
        r.btnMenu->click();
        EXPECT_TRUE(r.PopMenu->isVisible());
        EXPECT_EQ(PopupPoint, r.btnMenu->mapToGlobal(QPoint(0, r.btnMenu->height())));
        r.PopMenu->hide();
    });
}

// The list sorts names in French order, an accented letter among its plain
// letter, on a year of this program (UTF8) and on a year file of the earlier
// Windows program (no character set, Windows code-page text).
TEST_F(BenefTest, NamesSortInFrenchOrderOnEveryKindOfYear)
{
    const QStringList names = {"ENTREPRISE TRANSPORT", "ÉCOLE NATIONALE", "AGENCE", "ENTREPRISE ÉLECTRICITÉ",
                               "EURL ZÉNITH"};
    const QStringList french = {"AGENCE", "ÉCOLE NATIONALE", "ENTREPRISE ÉLECTRICITÉ", "ENTREPRISE TRANSPORT",
                                "EURL ZÉNITH"};
    Exec("DELETE FROM BENEF");
    for (const QString& nom : names)
        Exec("INSERT INTO BENEF (ID_BEN, TYPE_BEN, NOM, ID_BANQUE) VALUES (0, 0, :N, 1)", {{"N", nom}});
    EXPECT_EQ(Names(*OpenList()), french);

    delete DM;
    DM = nullptr;
    QDir().mkpath(year->dir() + "windows");
    DbPath = year->dir() + "windows/" + DbFileName;
    QByteArray rows = "INSERT INTO BANQUE (RS) VALUES ('BNA');\n";
    for (const QString& nom : names)
        rows += "INSERT INTO BENEF (TYPE_BEN, NOM, ID_BANQUE) VALUES (0, '" + nom.toLatin1() + "', 1);\n";
    MakeWindowsProgramYear(DbPath, rows);
    DM = new TDM();
    ASSERT_TRUE(DM->LURDO.isOpen());
    ASSERT_EQ(DM->LURDO.params().charset, "WIN1252");
    EXPECT_EQ(Names(*OpenList()), french);
}
