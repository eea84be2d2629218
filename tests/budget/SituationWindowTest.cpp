// The financial-situation window: its settings, the period checks, a display
// with its grid and totals bar, the recap on a quarter, and the workbook export
// read back from the file.
#include "budget/SituationFixture.h"
#include "budget/XlsxReader.h"

#include "budget/USF.h"
#include "common/ProgramFolder.h"
#include "shell/UKivMain.h"
#include "core/IniFile.h"
#include "core/Routines.h"
#include "platform/DocumentOpener.h"
#include "ui/ListRecordPattern.h"
#include "ui/QueryTableModel.h"
#include "ui/UProgress.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

// Runs an action once, when a progress window's gauge reaches its end: a
// display has then written and committed its situation.
class AtProgressEnd : public QObject {
public:
    explicit AtProgressEnd(std::function<void()> action) : m_action(std::move(action)) { qApp->installEventFilter(this); }
    ~AtProgressEnd() override { qApp->removeEventFilter(this); }
    bool ran() const { return !m_action; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* progress = qobject_cast<TfrmProgress*>(watched);
        if (progress && event->type() == QEvent::Show)
            connect(progress->myGauge, &QProgressBar::valueChanged, this, [this, progress](int value) {
                if (value == progress->myGauge->maximum() && m_action)
                    std::exchange(m_action, nullptr)();
            });
        return false;
    }

private:
    std::function<void()> m_action;
};

class SituationWindow : public SituationTest {
protected:
    void SetUp() override
    {
        SituationTest::SetUp();
        platform::SetDocumentOpener([this](const QString& path) {
            opened << path;
            return openerWorks;
        });
    }
    void TearDown() override
    {
        frm.reset();
        platform::SetDocumentOpener({});
        SituationTest::TearDown();
    }
    void Open()
    {
        frm = std::make_unique<TfrmSF>();
        frm->show();
    }
    void Period(int view, const QDate& start, const QDate& end)
    {
        Period(view, DateText(start), DateText(end));
    }
    // The two dates as typed.
    void Period(int view, const QString& start, const QString& end)
    {
        frm->cmbSection->setCurrentIndex(view);
        for (auto [field, text] : {std::pair(frm->edDateD, start), std::pair(frm->edDateF, end)}) {
            field->clear();
            QTest::keyClicks(field, text);
        }
    }
    QString Ini(const char* key) { return IniReadString(IniPath, QStringLiteral("SIT_FIN"), QString::fromLatin1(key)); }

    std::unique_ptr<TfrmSF> frm;
    QStringList opened;
    bool openerWorks = true;
};

TEST_F(SituationWindow, SettingsAreReadWhenShownAndWrittenWhenClosed)
{
    const QDate today = QDate::currentDate();
    Open();
    EXPECT_EQ(frm->cmbSection->currentIndex(), 1);
    EXPECT_EQ(frm->cmbEng->currentIndex(), 0);
    EXPECT_EQ(frm->cmbMdt->currentIndex(), 0);
    EXPECT_EQ(frm->cmbPeriode->currentIndex(), today.month() <= 6 ? 0 : today.month() <= 9 ? 1 : 2);
    EXPECT_EQ(frm->edDateD->text(), QStringLiteral("01/01/2024"));
    EXPECT_EQ(frm->edDateF->text(), DateText(DefaultDate()));
    EXPECT_TRUE(frm->lTotAll->text().isEmpty() || frm->lTotAll->text() == QStringLiteral("0.00"));
    EXPECT_FALSE(frm->btnPrint->isEnabled());   // SIT_FIN is empty
    EXPECT_FALSE(frm->mnExcel->isEnabled());

    frm->cmbSection->setCurrentIndex(svRecap);
    frm->cmbEng->setCurrentIndex(2);
    frm->cmbMdt->setCurrentIndex(1);
    frm->cmbPeriode->setCurrentIndex(3);
    frm->edDateD->setText(QStringLiteral("3/2/2024"));
    frm->edDateF->setText(QStringLiteral("05/04/2024"));
    frm->close();
    EXPECT_EQ(Ini("SECTION"), QStringLiteral("3"));
    EXPECT_EQ(Ini("ENG"), QStringLiteral("2"));
    EXPECT_EQ(Ini("MDT"), QStringLiteral("1"));
    EXPECT_EQ(Ini("PERIODE"), QStringLiteral("3"));
    EXPECT_EQ(Ini("DATE_D"), QStringLiteral("03/02/2024"));
    EXPECT_EQ(Ini("DATE_F"), QStringLiteral("05/04/2024"));

    // Shown again: the same choices; the recap shows the quarter in place of the dates.
    Open();
    EXPECT_EQ(frm->cmbSection->currentIndex(), svRecap);
    EXPECT_EQ(frm->cmbEng->currentIndex(), 2);
    EXPECT_EQ(frm->cmbPeriode->currentIndex(), 3);
    EXPECT_EQ(frm->edDateD->text(), QStringLiteral("03/02/2024"));
    EXPECT_TRUE(frm->cmbPeriode->isVisible());
    for (QWidget* w : std::initializer_list<QWidget*>{frm->edDateD, frm->btnGetDateD, frm->edDateF, frm->btnGetDateF})
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    frm->cmbSection->setCurrentIndex(svSection1);
    EXPECT_FALSE(frm->cmbPeriode->isVisible());
    EXPECT_TRUE(frm->edDateD->isVisible());
    EXPECT_TRUE(frm->btnGetDateF->isVisible());

    // Unreadable values fall back on the defaults; a date not typed as one is
    // not kept.
    frm->edDateF->setText(QStringLiteral("31/13/2024"));
    frm->close();
    IniWriteString(IniPath, QStringLiteral("SIT_FIN"), QStringLiteral("SECTION"), QStringLiteral("9"));
    IniWriteString(IniPath, QStringLiteral("SIT_FIN"), QStringLiteral("DATE_D"), QStringLiteral("31/02/2024"));
    EXPECT_EQ(Ini("DATE_F"), QString());
    Open();
    EXPECT_EQ(frm->cmbSection->currentIndex(), 1);
    EXPECT_EQ(frm->edDateD->text(), QStringLiteral("01/01/2024"));
    EXPECT_EQ(frm->edDateF->text(), DateText(DefaultDate()));
}

TEST_F(SituationWindow, ThePeriodMustBeOrderedAndInTheFiscalYear)
{
    MakeYear();
    Open();
    struct Case {
        const char* start;
        const char* end;
        const char* message;
        const char* focus;
    };
    const Case cases[] = {
        {"", "01/02/2024", "La date de début période est incorrecte !", "edDateD"},
        {"01/02/2024", "30/02/2024", "La date de fin période est incorrecte !", "edDateF"},
        {"2024-01-01", "01/02/2024", "La date de début période est incorrecte !", "edDateD"},
        {"01/03/2024", "01/02/2024", "La date de fin est inférieure à la date de début !", "edDateF"},
        {"01/12/2023", "01/02/2024", "La date de début période ne correspond pas à l'exercice en cours !", "edDateD"},
        {"01/12/2024", "10/01/2025", "La date de fin période ne correspond pas à l'exercice en cours !", "edDateF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " - " + c.end);
        messages->clear();
        Period(svSection2, QString::fromLatin1(c.start), QString::fromLatin1(c.end));
        frm->btnDisplay->click();
        EXPECT_EQ(messages->texts(), QStringList{QString::fromUtf8(c.message)});
        ASSERT_TRUE(frm->focusWidget() != nullptr);
        EXPECT_EQ(frm->focusWidget()->objectName(), QString::fromLatin1(c.focus));
        EXPECT_EQ(frm->model()->rowCount(), 0);   // nothing computed
    }
}

// The window opens within the screen (1 280 wide at most), whatever it shows:
// its buttons all within it, before and after a display and in the recap.
TEST_F(SituationWindow, TheWindowFitsTheScreenWithEveryButtonInIt)
{
    MakeYear();
    Open();
    const QRect screen = frm->screen()->availableGeometry();
    auto fits = [&](const char* when) {
        SCOPED_TRACE(when);
        QCoreApplication::processEvents();
        EXPECT_LE(frm->width(), std::min(1280, screen.width()));
        EXPECT_LE(frm->minimumSizeHint().width(), std::min(1280, screen.width()));
        for (QWidget* button : std::initializer_list<QWidget*>{frm->btnDisplay, frm->btnPrint, frm->btnClose}) {
            const QRect at(button->mapTo(frm.get(), QPoint(0, 0)), button->size());
            EXPECT_LE(at.right(), frm->width()) << button->objectName().toStdString();
        }
    };
    fits("opened");
    Period(svBothSections, Feb1, Mar31);
    frm->btnDisplay->click();
    ASSERT_GT(frm->model()->rowCount(), 0);
    fits("displayed");
    frm->cmbSection->setCurrentIndex(svRecap);
    fits("recap");
}

TEST_F(SituationWindow, DisplayFillsTheGridAndTheTotalsBar)
{
    MakeYear();
    Open();
    Period(svBothSections, Feb1, Mar31);
    frm->grdSF->setFocus();
    QTest::keyClick(frm->grdSF, Qt::Key_Return);   // Enter is the OK button
    // The order without a date is reported, in the standard dialog.
    ASSERT_EQ(messages->calls().size(), 1);
    EXPECT_TRUE(messages->calls()[0].standard);
    EXPECT_EQ(messages->texts()[0], QStringLiteral("Vorel a trouvé des mandats non visés et, donc, ne sont pas pris en compte !"));

    QueryTableModel* m = frm->model();
    ASSERT_EQ(m->rowCount(), 7);
    EXPECT_EQ(m->displayText(0, 0), QStringLiteral("21-01"));
    EXPECT_EQ(m->displayText(1, 7), QStringLiteral("441.00"));
    EXPECT_EQ(m->displayText(4, 4), QStringLiteral("2 000.00"));
    EXPECT_EQ(frm->lTotAll->text(), QStringLiteral("3 000.00"));
    EXPECT_EQ(frm->lTotRev->text(), QStringLiteral("2 900.00"));
    EXPECT_EQ(frm->lTotEng->text(), QStringLiteral("265.00"));
    EXPECT_EQ(frm->lTotPmt->text(), QStringLiteral("651.00"));
    EXPECT_EQ(frm->lTotSLD->text(), QStringLiteral("2 249.00"));
    EXPECT_EQ(frm->lTaux->text(), QStringLiteral("22.44"));
    EXPECT_EQ(frm->stBar->Panel(0), QStringLiteral("S.F SECTION 1 + SECTION 2"));
    EXPECT_TRUE(frm->btnPrint->isEnabled());
    EXPECT_TRUE(frm->mnExcel->isEnabled());
    EXPECT_TRUE(frm->btnDisplay->isEnabled());

    // Every amount fits its column, every total its place under the column.
    QFont bold = frm->grdSF->font();
    bold.setBold(true);
    for (int c = 4; c < 10; ++c)
        for (int r = 0; r < m->rowCount(); ++r)
            EXPECT_LE(QFontMetrics(bold).horizontalAdvance(m->displayText(r, c)), frm->grdSF->columnWidth(c));
    for (QLabel* total : {frm->lTotAll, frm->lTotRev, frm->lTotEng, frm->lTotPmt, frm->lTotSLD, frm->lTaux})
        EXPECT_LE(QFontMetrics(total->font()).horizontalAdvance(total->text()), total->contentsRect().width());

    // The table outlives the window: shown again, it shows the last display.
    frm.reset();
    Open();
    EXPECT_EQ(frm->model()->rowCount(), 7);
    EXPECT_EQ(frm->lTotPmt->text(), QStringLiteral("651.00"));
}

// Two users display the situation at once, each through a connection of its
// own: a display shows the rows and totals it wrote, never the other's.
TEST_F(SituationWindow, ADisplayShowsWhatItWroteWhateverAnotherUserDisplays)
{
    MakeYear();
    Open();
    db::Connection& other = Committed();
    auto otherDisplay = [&](bool commit) {
        TSituationStore store(other);
        store.Replace(store.LineRows(Request(svSection2, cfAll, pfAll, Feb1, Mar31)));
        if (commit)
            other.commit();
    };
    auto committedRows = [&] {
        db::Query q(Committed(), QStringLiteral("SELECT COUNT(*) AS N FROM SIT_FIN"));
        q.open();
        return q.asInt(QStringLiteral("N"));
    };

    // The other user's display commits right after this one's.
    {
        AtProgressEnd otherCommits([&] { otherDisplay(true); });
        Period(svSection1, Feb1, Mar31);
        frm->btnDisplay->click();
        ASSERT_TRUE(otherCommits.ran());
    }
    QueryTableModel* m = frm->model();
    ASSERT_EQ(m->rowCount(), 4);
    EXPECT_EQ(m->displayText(1, 1), QStringLiteral("01"));
    EXPECT_EQ(m->displayText(1, 7), QStringLiteral("441.00"));
    EXPECT_EQ(frm->lTotPmt->text(), QStringLiteral("541.00"));
    EXPECT_EQ(frm->lTotAll->text(), QStringLiteral("1 000.00"));
    EXPECT_EQ(committedRows(), 3);   // the table holds the later display

    // The other user's display is in progress: this one is refused, the
    // user is told, and the grid keeps what it showed.
    otherDisplay(false);
    messages->clear();
    Period(svBothSections, Feb1, Mar31);
    frm->btnDisplay->click();
    ASSERT_FALSE(messages->texts().isEmpty());
    EXPECT_TRUE(messages->texts().last().startsWith(QStringLiteral("Ces informations sont en cours de modification "
                                                                   "par un autre utilisateur")))
        << messages->texts().last().toStdString();
    EXPECT_EQ(m->rowCount(), 4);
    EXPECT_EQ(frm->lTotPmt->text(), QStringLiteral("541.00"));
    EXPECT_TRUE(frm->btnDisplay->isEnabled());
    other.rollback();
    EXPECT_EQ(committedRows(), 3);
}

// Another user's display committed into the table, empty until then, while
// this one was writing (an autonomous transaction of the engine commits it
// there): the display would show a mixture, so it is abandoned and said so.
TEST_F(SituationWindow, ADisplayMixedWithAnotherIsAbandoned)
{
    MakeYear();
    DM->LURDO.executeScript(QStringLiteral(
        "SET TERM ^ ;"
        "CREATE TRIGGER OTHER_DISPLAY FOR SIT_FIN AFTER INSERT AS BEGIN"
        "  IF (NEW.ID_FNM <> -9) THEN"
        "    IN AUTONOMOUS TRANSACTION DO"
        "      IF (NOT EXISTS (SELECT 1 FROM SIT_FIN WHERE ID_FNM = -9)) THEN"
        "        INSERT INTO SIT_FIN (ID_FNM, CHAP, ART, PAR, INTITULE) VALUES (-9, '99-99', '01', '', 'AUTRE');"
        "END^"
        "SET TERM ; ^"
        "COMMIT;"));
    Open();
    messages->clear();
    Period(svSection1, Feb1, Mar31);
    frm->btnDisplay->click();
    EXPECT_EQ(messages->texts().last(), QStringLiteral("Un autre utilisateur calcule la situation financière en ce "
                                                       "moment : réessayez dans un instant."));
    EXPECT_EQ(frm->model()->rowCount(), 0);
    EXPECT_EQ(frm->lTotPmt->text(), QStringLiteral("0.00"));
    db::Query q(Committed(), QStringLiteral("SELECT COUNT(*) AS N FROM SIT_FIN"));
    q.open();
    EXPECT_EQ(q.asInt(QStringLiteral("N")), 1);   // only the other display's row
}

TEST_F(SituationWindow, RecapRunsFromTheFirstOfJanuaryToTheQuartersEnd)
{
    MakeYear();
    Open();
    frm->cmbSection->setCurrentIndex(svRecap);
    frm->cmbPeriode->setCurrentIndex(0);
    // The hidden dates hold a period of another year: the quarter decides.
    frm->edDateD->setText(QStringLiteral("01/05/2023"));
    frm->edDateF->setText(QStringLiteral("02/05/2023"));
    frm->btnDisplay->click();
    QueryTableModel* m = frm->model();
    ASSERT_EQ(m->rowCount(), 2);
    EXPECT_EQ(m->displayText(0, 3), QStringLiteral("SECTION 1"));
    EXPECT_EQ(m->displayText(1, 3), QStringLiteral("SECTION 2"));
    EXPECT_EQ(m->displayText(1, 6), QStringLiteral("270.00"));
    EXPECT_EQ(frm->lTotAll->text(), QStringLiteral("3 000.00"));
    EXPECT_EQ(frm->lTotEng->text(), QStringLiteral("285.00"));
    EXPECT_EQ(frm->stBar->Panel(0), QStringLiteral("Récap. Générale"));
    const TSituationRequest r = frm->Request();
    EXPECT_EQ(r.start, QDate(2024, 1, 1));
    EXPECT_EQ(r.end, QDate(2024, 3, 31));
}

TEST_F(SituationWindow, ExportWritesTheWorkbookAndOpensIt)
{
    MakeYear();
    Open();
    Period(svSection2, Feb1, Mar31);
    frm->btnDisplay->click();
    messages->clear();

    // No: nothing is written.
    messages->answer(mrNo);
    frm->mnExcel->trigger();
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Voulez-vous réellement exporter les données vers Microsoft Excel ?")});
    EXPECT_TRUE(opened.isEmpty());

    messages->clear();
    frm->mnExcel->trigger();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(messages->texts().size(), 1);   // the question only
    EXPECT_TRUE(opened[0].startsWith(TempDir));
    EXPECT_TRUE(opened[0].endsWith(QStringLiteral(".xlsx")));

    XlsxReader book(opened[0]);
    ASSERT_TRUE(book.ok());
    const char* const headers[] = {"CHAP", "ART", "PAR", "Intitulé", "CRD Alloués", "CRD Révisés",
                                   "Engagements", "Paiemsnts", "Solde", "Tx Cons."};
    for (int c = 0; c < 10; ++c) {
        const auto h = book.cell(QString(QChar('A' + c)) + QStringLiteral("1"));
        ASSERT_TRUE(h.has_value()) << c;
        EXPECT_EQ(h->text, QString::fromUtf8(headers[c]));
        EXPECT_TRUE(h->bold);
    }
    EXPECT_TRUE(book.cell(QStringLiteral("K1")).has_value());   // the header range runs to K
    EXPECT_FALSE(book.cell(QStringLiteral("A2")).has_value());
    EXPECT_EQ(book.lastRow(), 5);

    // Row 3: the chapter row, bold; row 4: line B1.
    const auto chap = *book.cell(QStringLiteral("A3"));
    EXPECT_EQ(chap.text, QStringLiteral("22-01"));
    EXPECT_TRUE(chap.bold);
    EXPECT_EQ(chap.horizontal, QStringLiteral("left"));
    const auto chapPaid = *book.cell(QStringLiteral("H3"));
    EXPECT_TRUE(chapPaid.number);
    EXPECT_TRUE(chapPaid.bold);
    EXPECT_DOUBLE_EQ(chapPaid.value, 110.0);

    EXPECT_EQ(book.cell(QStringLiteral("B4"))->text, QStringLiteral(" 01"));
    EXPECT_FALSE(book.cell(QStringLiteral("A4"))->bold);
    EXPECT_EQ(book.cell(QStringLiteral("D4"))->text, QStringLiteral("Ligne 22-01 01"));
    struct Number {
        const char* ref;
        double value;
    };
    for (const Number& n : {Number{"E4", 2000}, Number{"F4", 1600}, Number{"G4", 250}, Number{"H4", 85},
                            Number{"I4", 1515}, Number{"J4", 5.31}}) {
        const auto c = book.cell(QString::fromLatin1(n.ref));
        ASSERT_TRUE(c.has_value()) << n.ref;
        EXPECT_TRUE(c->number) << n.ref;
        EXPECT_FALSE(c->bold) << n.ref;
        EXPECT_DOUBLE_EQ(c->value, n.value) << n.ref;
        EXPECT_EQ(c->numberFormat, QStringLiteral("#,##0.00")) << n.ref;
        EXPECT_EQ(c->horizontal, QStringLiteral("left")) << n.ref;
        EXPECT_TRUE(c->vertical.isEmpty() || c->vertical == QLatin1String("bottom")) << n.ref;   // bottom is the default
    }

    // Without an application to open it, the user is told where the workbook is.
    openerWorks = false;
    messages->clear();
    frm->mnExcel->trigger();
    ASSERT_EQ(opened.size(), 2);
    ASSERT_EQ(messages->calls().size(), 2);
    EXPECT_TRUE(messages->calls()[1].standard);
    EXPECT_TRUE(messages->texts()[1].contains(opened[1]));
    EXPECT_TRUE(QFile::exists(opened[1]));
}

TEST(SituationMenu, MenuItemOpensTheSituation)
{
    ProgramFolder folder;
    YearDb year;
    MessageRecorder messages;
    TfrmKivMain main;
    EXPECT_EQ(ClassOfNextModal([&] { main.mnSF->trigger(); }), QStringLiteral("TfrmSF"));
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_TRUE(StopPendingModalWatches());
}

} // namespace
