// The missions and other expenses window on a fresh year, driven through its
// controls: the contributions of the social-charge lines, the state rules,
// the mission dates and the numbering.
#include "expenditure/ExpenseFixture.h"

#include "controls/NumEdit.h"
#include "expenditure/UDep_Sal_Eng.h"
#include "expenditure/UMission.h"
#include "ui/FormKit.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <array>

using rows::Money;

namespace {

class MissionTest : public ExpenseTest {
protected:
    std::unique_ptr<TfrmMission> Open(int idDepense = -1)
    {
        auto w = std::make_unique<TfrmMission>();
        w->IdDepense = idDepense;
        w->show();
        QApplication::setActiveWindow(w.get());
        return w;
    }
    static void PickLine(TfrmMission& w, qint64 idFnm)
    {
        ChooseInNextList(QStringLiteral("ID_FNM"), idFnm);
        w.btnGetImp->click();
    }
    static void PickEmployee(TfrmMission& w, qint64 idBen)
    {
        ChooseInNextList(QStringLiteral("ID_BEN"), idBen);
        w.btnGetBen->click();
    }
    // Types a value into an amount field on its keys, over its whole text.
    static void Type(TNumEdit* e, const char* text)
    {
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, QString::fromLatin1(text));
    }
    void TypeNew(TfrmMission& w, qint64 idFnm)
    {
        w.btnAdd->click();
        ASSERT_EQ(w.Mode(), emInsert);
        w.edDFact->setText(QStringLiteral("12/03/2024"));
        PickEmployee(w, employee);
        w.cmbTypePmt->setCurrentIndex(1);
        PickLine(w, idFnm);
        w.edObjet->setText(QStringLiteral("Mission à Oran"));
    }
    qint64 StoredMission(const char* amount, const char* reg, const char* ass, const char* ret, Holder holder,
                         qint64 idFnm = -1)
    {
        const qint64 id = rows::Expense(ExpenseKind::Mission, idFnm < 0 ? social : idFnm, employee, Money(amount));
        rows::Write([&] {
            rows::Exec(QStringLiteral("UPDATE DEPENSE SET REGIME_GEN=:A, ASS_CHOMAGE=:B, RETRAITE_ANT=:C "
                                      "WHERE ID_DEPENSE=:ID"),
                       {{"A", Money(reg)}, {"B", Money(ass)}, {"C", Money(ret)}, {"ID", id}});
        });
        Hold(id, holder, Money(amount));
        return id;
    }
    struct Stored {
        Currency amount, reg, ass, ret;
        QString number;
        QDate start, end;
        qint64 rembours = -1;
    };
    Stored Read(qint64 id)
    {
        db::Query q(Committed(), QStringLiteral("SELECT * FROM DEPENSE WHERE ID_DEPENSE=:ID"));
        q.setParam(QStringLiteral("ID"), id);
        q.open();
        return Stored{q.asCurrency("MONTANT"),      q.asCurrency("REGIME_GEN"), q.asCurrency("ASS_CHOMAGE"),
                      q.asCurrency("RETRAITE_ANT"), q.asString("NO_DEPENSE").trimmed(), q.asDate("DATED_MISSION"),
                      q.asDate("DATEF_MISSION"),    q.isNull("REMBOURS") ? -1 : q.asInt("REMBOURS")};
    }
};

} // namespace

// On a social-contribution line the amount is the exact sum of the three
// contributions, typed new, changed later, or stored otherwise by an older entry.
TEST_F(MissionTest, AmountIsTheContributionsSumOnEveryPath)
{
    auto w = Open();
    TypeNew(*w, social);
    EXPECT_TRUE(w->ContributionMode());
    EXPECT_TRUE(w->edReg_Gen->isVisible());
    EXPECT_FALSE(w->edMontant->isEnabled());
    EXPECT_TRUE(w->mnChargesSoc->isEnabled());
    Type(w->edReg_Gen, "100.00");
    Type(w->edAss_Chom, "4.21");
    Type(w->edRet_Ant, "1.05");
    EXPECT_EQ(w->edMontant->AsCurrency(), Money("105.26"));
    w->btnPost->click();
    ASSERT_EQ(w->Mode(), emBrowse) << messages->texts().join(" | ").toStdString();
    const qint64 id = w->IdDepense;
    Stored s = Read(id);
    EXPECT_EQ(s.amount, Money("105.26"));
    EXPECT_EQ(s.reg, Money("100.00"));
    EXPECT_EQ(s.ass, Money("4.21"));
    EXPECT_EQ(s.ret, Money("1.05"));
    // Its number is its key, whatever was proposed; payment type and no mission dates.
    EXPECT_EQ(s.number, QString::number(id));
    EXPECT_EQ(w->edNoFact->text(), QString::number(id));
    EXPECT_EQ(s.rembours, 1);
    EXPECT_FALSE(s.start.isValid());
    EXPECT_FALSE(s.end.isValid());
    EXPECT_FALSE(w->mnChargesSoc->isEnabled());

    // Shown again, the amount stays locked to the sum; a change follows.
    w->btnModif->click();
    EXPECT_FALSE(w->edMontant->isEnabled());
    EXPECT_TRUE(w->edAss_Chom->isEnabled());
    Type(w->edAss_Chom, "10.00");
    EXPECT_EQ(w->edMontant->AsCurrency(), Money("111.05"));
    w->btnPost->click();
    EXPECT_EQ(Read(id).amount, Money("111.05"));
    EXPECT_EQ(Read(id).number, QString::number(id));

    // Another line hides the contributions and gives the amount back to the user.
    const qint64 old = StoredMission("105.26", "100.00", "4.21", "1.05", Holder::None);
    auto w2 = Open(int(old));
    w2->btnModif->click();
    PickLine(*w2, line);
    EXPECT_FALSE(w2->ContributionMode());
    EXPECT_FALSE(w2->edReg_Gen->isVisible());
    EXPECT_TRUE(w2->edMontant->isEnabled());
    EXPECT_FALSE(w2->mnChargesSoc->isEnabled());
    Type(w2->edMontant, "80.00");
    w2->btnPost->click();
    EXPECT_EQ(Read(old).amount, Money("80.00"));
}

// An amount stored apart from its contributions (an older entry's) stays as it
// is until the user changes a contribution: neither entering the edit mode nor
// a save that changed none of them replaces it by their sum.
TEST_F(MissionTest, TheContributionsSumReplacesTheAmountOnlyWhenOneIsChanged)
{
    enum Change { Object, Contribution, SameLine, ContributionLine };
    struct Case {
        const char* name;
        const char* amount;                 // stored
        std::array<const char*, 3> shares;  // stored contributions
        bool onSocialLine;
        Change change;
        const char* saved;                  // the amount after the save; nullptr: refused
    };
    const Case cases[] = {
        {"sum differs, object changed", "500.00", {"300.00", "100.00", "0.00"}, true, Object, "500.00"},
        {"no contributions, object changed", "500.00", {"0.00", "0.00", "0.00"}, true, Object, "500.00"},
        {"sum equal, object changed", "105.26", {"100.00", "4.21", "1.05"}, true, Object, "105.26"},
        {"sum differs, a contribution changed", "500.00", {"300.00", "100.00", "0.00"}, true, Contribution,
         "450.00"},
        {"no contributions, one typed", "500.00", {"0.00", "0.00", "0.00"}, true, Contribution, "150.00"},
        {"sum differs, the same line picked again", "500.00", {"300.00", "100.00", "0.00"}, true, SameLine,
         "500.00"},
        {"another line's amount, a contribution line picked", "80.00", {"0.00", "0.00", "0.00"}, false,
         ContributionLine, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const qint64 id = StoredMission(c.amount, c.shares[0], c.shares[1], c.shares[2], Holder::None,
                                        c.onSocialLine ? social : line);
        rows::Write([&] { rows::Exec(QStringLiteral("UPDATE DEPENSE SET REMBOURS=0 WHERE ID_DEPENSE=:ID"), {{"ID", id}}); });
        auto w = Open(int(id));
        w->btnModif->click();
        ASSERT_EQ(w->Mode(), emEdit);
        EXPECT_EQ(w->edMontant->AsCurrency(), Money(c.amount));
        w->edObjet->setText(QStringLiteral("changé"));
        switch (c.change) {
        case Object: break;
        case Contribution: Type(w->edAss_Chom, "150.00"); break;
        case SameLine: PickLine(*w, social); break;
        case ContributionLine: PickLine(*w, social); break;
        }
        messages->clear();
        w->btnPost->click();
        if (c.saved) {
            EXPECT_EQ(w->Mode(), emBrowse) << messages->texts().join(" | ").toStdString();
            EXPECT_EQ(Read(id).amount, Money(c.saved));
            EXPECT_EQ(w->edMontant->AsCurrency(), Money(c.saved));
        } else {
            EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Le Montant de la Facture est incorrect !")});
            EXPECT_EQ(w->Mode(), emEdit);
            EXPECT_EQ(Read(id).amount, Money(c.amount));
            w->btnCancel->click();
        }
        const Stored s = Read(id);
        if (c.change != Contribution) {
            EXPECT_EQ(s.reg, Money(c.shares[0]));
            EXPECT_EQ(s.ass, Money(c.shares[1]));
        }
        EXPECT_EQ(s.ret, Money(c.shares[2]));
        w->close();
    }
}

// A committed or mandated mission keeps its amount, contributions and budget
// line; no document ever lets it be deleted.
TEST_F(MissionTest, StateLocksContributionsAndDeletion)
{
    struct Case {
        const char* name;
        Holder holder;
        bool locked;
        const char* deleteRefusal;
    };
    const std::vector<Case> cases = {
        {"free", Holder::None, false, nullptr},
        {"committed", Holder::Sheet, true, "Cette Dépense est déjà Engagée !\rSuppression Impossible."},
        {"on a cancelled sheet", Holder::CancelledSheet, false,
         "Cette Dépense est déjà Engagée !\rSuppression Impossible."},
        {"mandated", Holder::Order, true, "Cette Dépense est déjà mandatée !\rSuppression Impossible."},
        {"both", Holder::Both, true, "Cette Dépense est déjà Engagée et mandatée!\rSuppression Impossible."},
    };
    const QString lockedInfo =
        QStringLiteral("Cette dépense est engagée ou/et mandatée !\rCertaines informations ne peuvent être modifiées.");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const qint64 id = StoredMission("105.26", "100.00", "4.21", "1.05", c.holder);
        rows::Write([&] { rows::Exec(QStringLiteral("UPDATE DEPENSE SET REMBOURS=0 WHERE ID_DEPENSE=:ID"), {{"ID", id}}); });
        auto w = Open(int(id));
        messages->clear();
        w->btnModif->click();
        EXPECT_EQ(messages->texts(), c.locked ? QStringList{lockedInfo} : QStringList{});
        for (TNumEdit* e : {w->edReg_Gen, w->edAss_Chom, w->edRet_Ant})
            EXPECT_EQ(e->isEnabled(), !c.locked);
        EXPECT_FALSE(w->edMontant->isEnabled());
        EXPECT_EQ(w->btnGetImp->isEnabled(), !c.locked);
        w->edObjet->setText(QStringLiteral("changé"));
        messages->clear();
        w->btnPost->click();
        EXPECT_EQ(w->Mode(), emBrowse) << messages->texts().join(" | ").toStdString();
        EXPECT_EQ(Read(id).amount, Money("105.26"));

        messages->clear();
        w->btnDelete->click();
        if (c.deleteRefusal) {
            EXPECT_EQ(messages->texts(), QStringList{QString::fromUtf8(c.deleteRefusal)});
            EXPECT_EQ(CommittedScalar(QStringLiteral("SELECT COUNT(*) FROM DEPENSE WHERE ID_DEPENSE=:ID"), {{"ID", id}}), 1);
        } else {
            EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Etes-vous sûr de vouloir supprimer cette Dépense ?")});
            EXPECT_EQ(CommittedScalar(QStringLiteral("SELECT COUNT(*) FROM DEPENSE WHERE ID_DEPENSE=:ID"), {{"ID", id}}), 0);
        }
        w->close();
    }
}

// A mission that a payment order took while it was being changed keeps its
// contributions and amount: the save writes nothing and shows the stored ones
// again, locked; the other fields are then saved.
TEST_F(MissionTest, AMissionMandatedWhileBeingChangedKeepsItsContributions)
{
    const qint64 id = StoredMission("105.26", "100.00", "4.21", "1.05", Holder::None);
    rows::Write([&] { rows::Exec(QStringLiteral("UPDATE DEPENSE SET REMBOURS=0 WHERE ID_DEPENSE=:ID"), {{"ID", id}}); });
    auto w = Open(int(id));
    w->btnModif->click();
    ASSERT_TRUE(w->edReg_Gen->isEnabled());
    Type(w->edReg_Gen, "200.00");
    EXPECT_EQ(w->edMontant->AsCurrency(), Money("205.26"));
    w->edObjet->setText(QStringLiteral("changé"));
    Hold(id, Holder::Order, Money("105.26"));

    messages->clear();
    w->btnPost->click();
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Cette dépense est engagée ou/et mandatée !\r"
                                                            "Certaines informations ne peuvent être modifiées.")});
    EXPECT_EQ(w->Mode(), emEdit);
    EXPECT_EQ(Read(id).amount, Money("105.26"));
    EXPECT_EQ(Read(id).reg, Money("100.00"));
    EXPECT_EQ(w->edReg_Gen->AsCurrency(), Money("100.00"));
    EXPECT_EQ(w->edMontant->AsCurrency(), Money("105.26"));
    EXPECT_FALSE(w->edReg_Gen->isEnabled());
    EXPECT_FALSE(w->btnGetImp->isEnabled());

    messages->clear();
    w->btnPost->click();
    EXPECT_EQ(w->Mode(), emBrowse) << messages->texts().join(" | ").toStdString();
    EXPECT_EQ(Read(id).amount, Money("105.26"));
    EXPECT_EQ(Read(id).reg, Money("100.00"));
    EXPECT_EQ(CommittedScalar(QStringLiteral("SELECT COUNT(*) FROM DEPENSE WHERE ID_DEPENSE=:ID AND OBJET='changé'"),
                              {{"ID", id}}),
              1);
}

// The save's checks in order; the mission dates are both or neither, in order.
TEST_F(MissionTest, SaveChecksAndMissionDates)
{
    auto w = Open();
    struct Case {
        const char* name;
        std::function<void(TfrmMission&)> change;
        QString message;
        const char* focus;
    };
    const std::vector<Case> cases = {
        {"no date", [](TfrmMission& m) { m.edDFact->clear(); }, QStringLiteral("La Date Facture est manquante !"),
         "edDFact"},
        {"no amount", [](TfrmMission& m) { m.edMontant->SetAsCurrency(Currency()); },
         QStringLiteral("Le Montant de la Facture est incorrect !"), "edMontant"},
        {"no payment type", [](TfrmMission& m) { m.cmbTypePmt->setCurrentIndex(-1); },
         QStringLiteral("Le type de paiement est manquant !"), "cmbTypePmt"},
        {"end missing", [](TfrmMission& m) { m.edDateD->setText(QStringLiteral("10/03/2024")); },
         QStringLiteral("La Date de fin de mission est manquante !"), "edDateF"},
        {"end before start",
         [](TfrmMission& m) {
             m.edDateD->setText(QStringLiteral("10/03/2024"));
             m.edDateF->setText(QStringLiteral("09/03/2024"));
         },
         QStringLiteral("La Date de fin de mission est antérieure à la date de début !"), "edDateF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TypeNew(*w, line);
        Type(w->edMontant, "2500.00");
        c.change(*w);
        messages->clear();
        w->btnPost->click();
        EXPECT_EQ(messages->texts(), QStringList{c.message});
        EXPECT_EQ(w->Mode(), emInsert);
        ASSERT_TRUE(w->focusWidget());
        EXPECT_EQ(w->focusWidget()->objectName(), QString::fromLatin1(c.focus));
        messages->answer(mrYes);
        w->btnCancel->click();
    }
    EXPECT_EQ(CommittedScalar(QStringLiteral("SELECT COUNT(*) FROM DEPENSE WHERE TYPE_DEPENSE=:K"),
                              {{QStringLiteral("K"), toDbValue(ExpenseKind::Mission)}}),
              0);

    TypeNew(*w, line);
    Type(w->edMontant, "2500.00");
    w->edDateD->setText(QStringLiteral("10/03/2024"));
    w->edDateF->setText(QStringLiteral("10/03/2024"));
    messages->clear();
    w->btnPost->click();
    ASSERT_EQ(w->Mode(), emBrowse) << messages->texts().join(" | ").toStdString();
    const Stored s = Read(w->IdDepense);
    EXPECT_EQ(s.start, QDate(2024, 3, 10));
    EXPECT_EQ(s.end, QDate(2024, 3, 10));
    EXPECT_EQ(s.amount, Money("2500.00"));
    EXPECT_EQ(s.reg, Currency());
}

// Enter moves from field to field in the order they are shown, passing the
// pick and calendar buttons and the read-only fields, never resting on one.
TEST_F(MissionTest, EnterGoesThroughTheFieldsInTheOrderShown)
{
    const auto chain = [](QWidget* from, int presses) {
        QStringList names{from->objectName()};
        from->setFocus();
        for (int i = 0; i < presses; ++i) {
            QWidget* at = QApplication::focusWidget();
            if (!at)
                break;
            QTest::keyClick(at, Qt::Key_Return);
            names << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
        }
        return names;
    };
    auto w = Open();
    TypeNew(*w, line);
    QApplication::setActiveWindow(w.get());
    EXPECT_EQ(chain(w->edDFact, 5), (QStringList{"edDFact", "cmbTypePmt", "edDateD", "edDateF", "edMontant", "edObjet"}));
    PickLine(*w, social);
    QApplication::setActiveWindow(w.get());
    EXPECT_EQ(chain(w->edDateF, 4), (QStringList{"edDateF", "edReg_Gen", "edAss_Chom", "edRet_Ant", "edObjet"}));
    messages->answer(mrNo);
    w->close();

    TfrmDep_Sal_Eng salaries;
    salaries.show();
    QApplication::setActiveWindow(&salaries);
    salaries.btnAdd->click();
    EXPECT_EQ(chain(salaries.edDFact, 2), (QStringList{"edDFact", "edMontant", "edObjet"}));
    salaries.close();
}
