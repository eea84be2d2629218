// Budget nomenclature: the chapter checks in order, the refusals of a line in
// use, the picker's chapter filter remembered in the settings file, the search
// and the look of chapter headings.
#include "RefDataSupport.h"

#include "core/IniFile.h"
#include "refdata/UFNMSQL.h"
#include "refdata/UListBanque.h"
#include "refdata/UListBenef.h"
#include "refdata/UListFNM.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

class FNMTest : public RefDataTest {
protected:
    void SetUp() override
    {
        RefDataTest::SetUp();
        const char* lines[][4] = {
            {"21-01", "", "", "PERSONNEL"}, {"21-01", "01", "", "TRAITEMENTS"}, {"21-01", "02", "01", "PRIMES"},
            {"22-14", "", "", "MATERIEL"},  {"22-14", "03", "", "MOBILIER"},
        };
        for (const auto& l : lines)
            Exec("INSERT INTO FNM (ID_FNM, CHAP, ART, PAR, INTITULE, RECTORAT, SECTION) VALUES (0, :C, :A, :P, :I, -1, 1)",
                 {{"C", QString(l[0])}, {"A", QString(l[1])}, {"P", QString(l[2])}, {"I", QString(l[3])}});
    }
    static qint64 LineKey(const QString& title)
    {
        return Int("SELECT ID_FNM FROM FNM WHERE INTITULE=:I", {{"I", title}});
    }
    std::unique_ptr<TfrmListFNM> OpenList(bool select = false)
    {
        auto list = std::make_unique<TfrmListFNM>();
        list->SelectMode = select;
        list->show();
        return list;
    }
    static QStringList Titles(const TfrmListFNM& l)
    {
        QStringList out;
        for (int r = 0; r < l.model()->rowCount(); ++r)
            out << l.model()->displayText(r, 3);
        return out;
    }
    static void WithRecord(TfrmListFNM& list, const std::function<void(TfrmFNMSQL&)>& drive) { WithRecordOf(list, drive); }
    // Chooses a chapter in the box: open the list, pick, close it.
    static void ChooseChapter(TfrmListFNM& l, const QString& chapter)
    {
        l.cmbChap->showPopup();
        l.cmbChap->setCurrentIndex(l.cmbChap->findText(chapter));
        l.cmbChap->hidePopup();
        QCoreApplication::processEvents();
    }
};

} // namespace

TEST_F(FNMTest, ChapterIsCheckedInOrderAndOnlyNewDuplicatesAreRefused)
{
    const QString form = QStringLiteral("Le chapitre doit être sous la forme  nn-nn ! Ex. 22-14");
    const QString separator = QStringLiteral("Le séparateur du chapitre doit être : '-' !");
    struct Case {
        const char* chap;
        const char* art;
        QString message;
        const char* focus;
    };
    const Case cases[] = {
        {"", "05", QStringLiteral("Le Chapitre est manquant !"), "edChap"},
        {"2214", "05", form, "edChap"},
        {"22-1", "05", form, "edChap"},
        {"AB-14", "05", form, "edChap"},
        {"22.14", "05", separator, "edChap"},
        {"22_14", "05", separator, "edChap"},
        {"22-14", "03", QStringLiteral("Cette imputation a déjà été saisie !"), "edChap"},
        {"22-14", "05", QString(), ""},
    };
    auto list = OpenList();
    WithRecord(*list, [&](TfrmFNMSQL& r) {
        for (const Case& c : cases) {
            messages->clear();
            r.btnAdd->click();
            r.edChap->setText(c.chap);
            r.edArt->setText(c.art);
            r.mmLib->setPlainText(QStringLiteral(" nouvel article d'été "));
            r.cmbSection->setCurrentIndex(0);
            r.btnPost->click();
            EXPECT_EQ(messages->texts(), c.message.isEmpty() ? QStringList() : QStringList{c.message}) << c.chap;
            if (!c.message.isEmpty()) {
                EXPECT_EQ(messages->calls()[0].type, mtInformation);
                EXPECT_EQ(r.focusWidget()->objectName(), c.focus) << c.chap;
                EXPECT_EQ(r.Mode(), emInsert);
                r.btnCancel->click();
            }
        }
        EXPECT_EQ(r.Mode(), emBrowse);
        EXPECT_EQ(r.IdFnm, LineKey(QStringLiteral("nouvel article d'été")));
        // Editing may give a line the imputation of another one: no duplicate test.
        r.btnEdit->click();
        EXPECT_EQ(r.focusWidget(), r.mmLib);
        r.edArt->setText("03");
        r.btnPost->click();
        EXPECT_EQ(r.Mode(), emBrowse);
    });
    EXPECT_EQ(CommittedRows("SELECT CHAP, ART, PAR, INTITULE, RECTORAT, SECTION, SOUMIS_CHARGE, ID_USER FROM FNM "
                            "WHERE INTITULE LIKE 'nouvel%'"),
              QStringList{QStringLiteral("22-14|03||nouvel article d'été|-1|1|0|TESTEUR")});
}

TEST_F(FNMTest, OtherChecksAndTheLastChapterPrefillingTheNextLine)
{
    auto list = OpenList();
    WithRecord(*list, [&](TfrmFNMSQL& r) {
        struct Case {
            const char* lib;
            int section;
            bool soumis;
            QString message;
            const char* focus;
        };
        const Case cases[] = {
            {"   ", 0, false, QStringLiteral("L'Intitulé  est manquant !"), "mmLib"},
            {"LIGNE", -1, false, QStringLiteral("La section  est manquante !"), "cmbSection"},
            {"LIGNE", 1, true, QStringLiteral("Seules les imputations de la section 1 sont soumises aux charges sociales !"), "chkSoumis"},
            {"LIGNE", 0, true, QString(), ""},
        };
        for (const Case& c : cases) {
            messages->clear();
            r.btnAdd->click();
            r.edChap->setText("23-07");
            r.edArt->setText("02");
            r.mmLib->setPlainText(c.lib);
            r.cmbSection->setCurrentIndex(c.section);
            r.chkSoumis->setChecked(c.soumis);
            r.btnPost->click();
            EXPECT_EQ(messages->texts(), c.message.isEmpty() ? QStringList() : QStringList{c.message});
            if (!c.message.isEmpty()) {
                EXPECT_EQ(r.focusWidget()->objectName(), c.focus);
                r.btnCancel->click();
            }
        }
        // A new line starts with the chapter and article of the last save.
        r.btnAdd->click();
        EXPECT_EQ(r.edChap->text(), "23-07");
        EXPECT_EQ(r.edArt->text(), "02");
        EXPECT_EQ(r.edPar->text(), "");
        EXPECT_EQ(r.mmLib->toPlainText(), "");
        EXPECT_FALSE(r.chkSoumis->isChecked());
        EXPECT_EQ(r.focusWidget(), r.edArt);
    });
    EXPECT_EQ(CommittedRows("SELECT CHAP, ART, SOUMIS_CHARGE, SECTION FROM FNM WHERE INTITULE='LIGNE'"),
              QStringList{"23-07|02|1|1"});
}

TEST_F(FNMTest, LineInUseIsNeverDeleted)
{
    const QString expenses = QStringLiteral("Des dépenses ont été saisies pour cette Imputation !\rSuppression impossible.");
    const QString budget = QStringLiteral("Un budget a été mis en place pour cette imputation !\rSuppression impossible.");
    struct Case {
        const char* name;
        const char* sql;   // :F is the line
        QString refusal;
    };
    const Case cases[] = {
        {"expense", "INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_BEN, ID_FNM) VALUES (1, :INVOICE, 1, :F)", expenses},
        {"salary line", "INSERT INTO DET_SALAIRE (ID_DET_SAL, ID_DEPENSE, ID_DETAIL, NO_ORD, TYPE_DET) VALUES (1, 9, :F, 1, :IMPUTATION)", expenses},
        {"commitment",
         "INSERT INTO ENT_ENG (ID_ENG, NO_ENG, ID_FNM, OBJET, ORIGINE) VALUES (1, '0002', :F, :EXPENSE_SHEET, :USER_ORIGIN)",
         expenses},
        {"payment-order regularisation",
         "INSERT INTO ENT_ENG_REG (ID_ENG, ID_FNM, ORIGINE) VALUES (1, :F, :PAYMENT_ORDERS)", expenses},
        {"primitive budget", "UPDATE FNM SET MT_BP=100 WHERE ID_FNM=:F", budget},
        {"amending budget", "UPDATE FNM SET MT_BS=-5 WHERE ID_FNM=:F", budget},
        {"budget sheet",
         "INSERT INTO ENT_ENG (ID_ENG, NO_ENG, ID_FNM, OBJET, ORIGINE) VALUES (1, '0001', :F, :ECONOMY, :PRIMITIVE)", budget},
        {"transfer", "INSERT INTO VIREMENT (ID_VIR, NOLINE, SENS, ID_FNM, MONTANT) VALUES (1, 1, :GIVING, :F, 10)", budget},
    };
    const qint64 line = LineKey("MOBILIER");
    for (const Case& c : cases) {
        for (const char* table : {"DEPENSE", "DET_SALAIRE", "ENT_ENG", "ENT_ENG_REG", "VIREMENT"})
            Exec(QStringLiteral("DELETE FROM %1").arg(table));
        Exec("UPDATE FNM SET MT_BP=0, MT_BS=0");
        Exec(c.sql, {{"F", line}});
        messages->clear();
        auto list = OpenList();
        list->model()->locate({db::Value(line)});
        list->btnDelete->click();
        EXPECT_EQ(messages->texts(), QStringList{c.refusal}) << c.name;
        EXPECT_EQ(messages->calls().value(0).type, mtWarning);
        messages->clear();
        WithRecord(*list, [&](TfrmFNMSQL& r) {
            r.btnDelete->click();
            EXPECT_EQ(messages->texts(), QStringList{c.refusal}) << c.name << " (record)";
        });
        EXPECT_NE(LineKey("MOBILIER"), -1) << c.name;
    }
    // A free line goes after the confirmation.
    for (const char* table : {"DEPENSE", "DET_SALAIRE", "ENT_ENG", "ENT_ENG_REG", "VIREMENT"})
        Exec(QStringLiteral("DELETE FROM %1").arg(table));
    Exec("UPDATE FNM SET MT_BP=0, MT_BS=0");
    messages->clear();
    auto list = OpenList();
    list->model()->locate({db::Value(line)});
    list->btnDelete->click();
    EXPECT_EQ(messages->texts(), QStringList{"Etes-vous sûr de vouloir supprimer cette imputation ?"});
    EXPECT_TRUE(CommittedRows("SELECT * FROM FNM WHERE INTITULE='MOBILIER'").isEmpty());
    EXPECT_EQ(list->model()->rowCount(), 4);
}

// What kept a row from being deleted is asked again inside the deleting
// transaction: a budget line, a beneficiary or a bank that another user put to
// use while the question was on screen stays, and the user is told why.
TEST_F(FNMTest, ARowPutToUseWhileTheDeletionIsAskedStays)
{
    const qint64 line = LineKey("MOBILIER");
    Exec("INSERT INTO BANQUE (ID_BANQUE, RS) VALUES (0, 'BNA')");
    const qint64 bank = Int("SELECT ID_BANQUE FROM BANQUE WHERE RS='BNA'");
    Exec("INSERT INTO BENEF (ID_BEN, TYPE_BEN, NOM, ID_BANQUE) VALUES (0, :SUPPLIER, 'SARL ALPHA', 999)");
    const qint64 ben = Int("SELECT ID_BEN FROM BENEF WHERE NOM='SARL ALPHA'");
    struct Case {
        const char* name;
        std::function<bool()> remove;
        const char* meanwhile;   // run when the question is asked
        QString refusal;
        const char* count;       // the row, still there
    };
    const Case cases[] = {
        {"budget line", [&] { return DeleteBudgetLine(line); },
         "INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_BEN, ID_FNM) VALUES (1, :INVOICE, 999, :K)",
         QStringLiteral("Des dépenses ont été saisies pour cette Imputation !\rSuppression impossible."),
         "SELECT COUNT(*) FROM FNM WHERE ID_FNM=:K"},
        {"beneficiary", [&] { return DeleteBeneficiary(ben); },
         "INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_BEN) VALUES (2, :INVOICE, :K)",
         QStringLiteral("Ce Bénéficiaire a déjà des dépenses !\rSuppression impossible."),
         "SELECT COUNT(*) FROM BENEF WHERE ID_BEN=:K"},
        {"bank", [&] { return DeleteBank(bank); },
         "INSERT INTO BENEF (ID_BEN, TYPE_BEN, NOM, ID_BANQUE) VALUES (0, :SUPPLIER, 'EURL BETA', :K)",
         QStringLiteral("Cette Banque est affectée à un bénéficiaire !\rSuppression impossible."),
         "SELECT COUNT(*) FROM BANQUE WHERE ID_BANQUE=:K"},
    };
    const qint64 keys[] = {line, ben, bank};
    const MessageResponder previous = CurrentMessageResponder();
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        QStringList told;
        SetMessageResponder([&](const MessageCall& call) {
            told << call.text;
            if (call.text.startsWith(QStringLiteral("Etes-vous sûr")))
                Exec(QString::fromLatin1(c.meanwhile), {{"K", keys[i]}});
            return call.buttons.testFlag(MsgButton::Yes) ? int(mrYes) : int(mrOk);
        });
        EXPECT_FALSE(c.remove());
        SetMessageResponder(previous);
        ASSERT_EQ(told.size(), 2);
        EXPECT_EQ(told.last(), c.refusal);
        EXPECT_EQ(CommittedRows(QString::fromLatin1(c.count).replace(":K", QString::number(keys[i]))),
                  QStringList{"1"});
    }
}

TEST_F(FNMTest, PickerFiltersByChapterRemembersItAndReturnsTheLine)
{
    auto picker = OpenList(true);
    EXPECT_TRUE(picker->cmbChap->isVisible());
    EXPECT_EQ(picker->cmbChap->count(), 2);
    EXPECT_EQ(Titles(*picker).size(), 5);
    ChooseChapter(*picker, "22-14");
    EXPECT_EQ(Titles(*picker), (QStringList{"MATERIEL", "MOBILIER"}));
    EXPECT_EQ(picker->stBar->Panel(2), "2");
    picker->model()->setCurrentRow(1);
    PressKey(picker->grdBudget, Qt::Key_Return);
    EXPECT_EQ(picker->IdFnm, LineKey("MOBILIER"));
    EXPECT_EQ(QStringList({picker->Chap, picker->Art, picker->Par, picker->Intitule}),
              (QStringList{"22-14", "03", "", "MOBILIER"}));
    EXPECT_EQ(IniReadString(IniPath, "LIST_FNM", "CHAP"), "22-14");

    // The next picker starts filtered; opening the box and closing it without a choice shows every line.
    auto again = OpenList(true);
    EXPECT_EQ(again->cmbChap->currentText(), "22-14");
    EXPECT_EQ(Titles(*again).size(), 2);
    again->cmbChap->showPopup();
    again->cmbChap->hidePopup();
    QCoreApplication::processEvents();
    EXPECT_EQ(Titles(*again).size(), 5);
    ChooseChapter(*again, "21-01");
    again->btnClose->click();
    EXPECT_EQ(again->IdFnm, -1);
    EXPECT_EQ(again->Intitule, "");
    EXPECT_EQ(IniReadString(IniPath, "LIST_FNM", "CHAP"), "21-01");

    // The plain list shows everything and forgets the chapter when it closes.
    auto plain = OpenList(false);
    EXPECT_FALSE(plain->cmbChap->isVisible());
    EXPECT_EQ(Titles(*plain).size(), 5);
    plain->btnClose->click();
    EXPECT_EQ(IniReadString(IniPath, "LIST_FNM", "CHAP", "x"), "");
}

// The list follows the chapter chosen in the open drop-down list at once, by
// a click on it or by the arrows and Enter, the way Qt applies the choice.
TEST_F(FNMTest, PickerFiltersOnTheChapterChosenByMouseOrByKeys)
{
    for (const bool mouse : {true, false}) {
        SCOPED_TRACE(mouse ? "mouse" : "keys");
        auto picker = OpenList(true);
        picker->cmbChap->showPopup();
        QAbstractItemView* list = picker->cmbChap->view();
        ASSERT_TRUE(list->isVisible());
        const QModelIndex chapter = list->model()->index(picker->cmbChap->findText("22-14"), 0);
        if (mouse) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(chapter).center());
        } else {
            for (int i = 0; i < 5 && list->currentIndex() != chapter; ++i)
                QTest::keyClick(list, Qt::Key_Down);
            QTest::keyClick(list, Qt::Key_Return);
        }
        QCoreApplication::processEvents();
        EXPECT_FALSE(list->isVisible());
        EXPECT_EQ(picker->cmbChap->currentText(), "22-14");
        EXPECT_EQ(Titles(*picker), (QStringList{"MATERIEL", "MOBILIER"}));
        EXPECT_EQ(picker->stBar->Panel(2), "2");
    }
}

TEST_F(FNMTest, FindLooksOnlyAmongTheShownLines)
{
    auto picker = OpenList(true);
    ChooseChapter(*picker, "21-01");
    struct Case {
        const char* typed;
        const char* current;
        QStringList messages;
    };
    const Case cases[] = {
        {"21-01", "PERSONNEL", {}},
        {"22-14", "PERSONNEL", {"22-14 : Ce chapitre est introuvable ! "}},   // hidden by the filter
    };
    for (const Case& c : cases) {
        messages->clear();
        picker->model()->setCurrentRow(2);
        OnNextModal([&](QDialog* d) {
            auto* input = qobject_cast<QInputDialog*>(d);
            ASSERT_NE(input, nullptr);
            EXPECT_EQ(input->windowTitle(), "Rechercher un chapitre");
            EXPECT_EQ(input->labelText(), "Tapez le No du chapitre : ");
            input->setTextValue(c.typed);
            input->accept();
        });
        picker->btnFind->click();
        EXPECT_EQ(picker->model()->current().asString("INTITULE"), c.typed == QString("21-01") ? c.current : "PRIMES");
        EXPECT_EQ(messages->texts(), c.messages);
    }
}

TEST_F(FNMTest, ChapterHeadingsAreBoldOnPaleGreen)
{
    auto list = OpenList();
    QueryTableModel* m = list->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        const bool heading = m->row(r).asString("ART").isEmpty();
        EXPECT_EQ(m->data(m->index(r, 3), Qt::FontRole).value<QFont>().bold(), heading) << r;
        EXPECT_EQ(m->data(m->index(r, 3), Qt::BackgroundRole).value<QColor>(),
                  heading ? QColor(239, 254, 188) : QColor()) << r;
    }
}
