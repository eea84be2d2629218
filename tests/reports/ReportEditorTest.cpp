// The layout editor: what it stores is what the document prints with; moves
// by mouse, handle, keys and typed millimetres; a failed save stores nothing;
// the close question; the copy outlives its description.
#include "common/DocumentFixture.h"
#include "reports/DocumentRegistry.h"
#include "reports/ReportLayout.h"
#include "reports/UReport.h"
#include "reports/commitments/URptFEDep_PreImp.h"
#include "reports/commitments/URptFEDep_Regul_PreImp.h"
#include "reports/mandat/URptMandat_P.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMap>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

namespace {

// "F.E - Dépense": the pre-printed commitment sheet.
constexpr int SheetEntry = 2;

class ReportEditorTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        RegisterProgramDocuments();
        editor = std::make_unique<TfrmReport>();
        editor->show();
        Choose(SheetEntry);
        ASSERT_TRUE(editor->Loaded());
    }

    void TearDown() override
    {
        editor.reset();
        DocumentTest::TearDown();
    }

    void Choose(int index)
    {
        editor->cmbReport->setCurrentIndex(index);
        editor->cmbReportChange();
    }

    TLayoutControl* C(const char* name)
    {
        TLayoutControl* c = editor->FindControl(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }

    static void Mouse(QWidget* w, QEvent::Type type, const QPoint& local, Qt::MouseButtons buttons)
    {
        QMouseEvent e(type, QPointF(local), QPointF(w->mapToGlobal(local)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }

    // Drags a control of the copy by `delta` with the left button.
    void Drag(TLayoutControl* c, const QPoint& delta)
    {
        const QPoint start(2, 2);
        Mouse(c, QEvent::MouseButtonPress, start, Qt::LeftButton);
        Mouse(c, QEvent::MouseMove, start + delta / 2, Qt::LeftButton);
        Mouse(c, QEvent::MouseMove, start + delta, Qt::LeftButton);
        Mouse(c, QEvent::MouseButtonRelease, start + delta, Qt::NoButton);
    }

    QWidget* Handle(const char* name)
    {
        for (QWidget* h : editor->Handles)
            if (h->objectName() == QLatin1String(name))
                return h;
        ADD_FAILURE() << name;
        return nullptr;
    }

    // Drags a size handle of the selected control to a point of its band.
    void DragHandle(const char* name, const QPoint& inBand)
    {
        QWidget* h = Handle(name);
        const QPoint target = h->mapFromGlobal(editor->Selected()->band()->mapToGlobal(inBand));
        Mouse(h, QEvent::MouseButtonPress, {3, 3}, Qt::LeftButton);
        Mouse(h, QEvent::MouseMove, target, Qt::LeftButton);
        Mouse(h, QEvent::MouseButtonRelease, target, Qt::NoButton);
    }

    // The committed rows of the sheet's layout, by control name.
    QMap<QString, QRect> Stored(const QString& report = QStringLiteral("RPTFEDEP_PREIMP"))
    {
        db::Query q(Committed(), QStringLiteral("SELECT COMPNAME, PLEFT, PTOP, PWIDTH, PHEIGHT FROM REPORT "
                                                "WHERE REPORTNAME=:R"));
        q.setParam(QStringLiteral("R"), report);
        q.open();
        QMap<QString, QRect> rows;
        for (q.first(); !q.eof(); q.next())
            rows.insert(q.asString(QStringLiteral("COMPNAME")),
                        QRect(int(q.asInt(QStringLiteral("PLEFT"))), int(q.asInt(QStringLiteral("PTOP"))),
                              int(q.asInt(QStringLiteral("PWIDTH"))), int(q.asInt(QStringLiteral("PHEIGHT")))));
        return rows;
    }

    std::unique_ptr<TfrmReport> editor;
};

} // namespace

TEST_F(ReportEditorTest, TheSavedPositionsAreThoseTheDocumentPrintsWith)
{
    EXPECT_EQ(editor->ReportName(), QStringLiteral("RPTFEDEP_PREIMP"));
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Mise en page : Fiche d'engagement - Dépense ** "));
    EXPECT_FALSE(editor->btnSave->isEnabled());
    EXPECT_FALSE(editor->edPTop->isEnabled());

    // Mouse: the control follows the drag.
    TLayoutControl* lFact1 = C("lFact1");
    const QRect fact1 = lFact1->geometry();
    Drag(lFact1, {30, 40});
    EXPECT_EQ(lFact1->geometry(), fact1.translated(30, 40));
    EXPECT_EQ(editor->Selected(), lFact1);
    EXPECT_TRUE(editor->Modified());
    EXPECT_TRUE(editor->btnSave->isEnabled());
    EXPECT_TRUE(editor->edPTop->isEnabled());

    // A handle sets the side to the pointer's place in the band (whose top is
    // the page's top margin in the copy, not 0).
    TLayoutControl* lNoFe = C("lNoFe");
    editor->SelectControl(lNoFe);
    ASSERT_GT(lNoFe->band()->y(), 0);
    DragHandle("_sqB", {lNoFe->x() + 10, lNoFe->y() + 60});
    EXPECT_EQ(lNoFe->height(), 60);
    DragHandle("_sqD", {lNoFe->x() + 90, lNoFe->y() + 10});
    EXPECT_EQ(lNoFe->width(), 90);

    // Keys: Ctrl moves, Shift resizes, 2 pixels at a time, wherever the focus is.
    TLayoutControl* lObjet = C("lObjet");
    editor->SelectControl(lObjet);
    const QRect objet = lObjet->geometry();
    QTest::keyClick(editor->cmbReport, Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(editor->cmbReport, Qt::Key_Up, Qt::ControlModifier);
    QTest::keyClick(editor->edWidth, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(editor->edWidth, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(lObjet->geometry(), QRect(objet.x() + 2, objet.y() - 2, objet.width() - 2, objet.height() + 2));
    EXPECT_EQ(editor->cmbReport->currentIndex(), SheetEntry);

    // A shape too.
    TLayoutControl* frame = C("shpObjet");
    ASSERT_EQ(frame->kind(), TLayoutControl::Kind::Shape);
    Drag(frame, {-6, 4});

    editor->btnSave->click();
    EXPECT_FALSE(editor->Modified());
    EXPECT_TRUE(messages->calls().isEmpty()) << messages->texts().join(" | ").toStdString();

    // Exactly the copy's controls are stored, under the report's name: not the
    // handles, the outline or the bands.
    const QMap<QString, QRect> stored = Stored();
    QStringList names;
    for (TLayoutControl* c : editor->Controls())
        names << c->objectName().toUpper();
    names.sort();
    EXPECT_EQ(stored.keys(), names);
    EXPECT_EQ(rows::Scalar(QStringLiteral("SELECT COUNT(*) FROM REPORT")), names.size());
    EXPECT_EQ(stored.value("LNOFE"), lNoFe->geometry());
    EXPECT_EQ(rows::Scalar(QStringLiteral("SELECT COUNT(*) FROM REPORT WHERE COMPNAME='SHPOBJET' AND FNAME IS NULL "
                                          "AND FSIZE IS NULL")), 1);
    EXPECT_EQ(rows::Scalar(QStringLiteral("SELECT FSIZE FROM REPORT WHERE COMPNAME='LOBJET'")), 14);

    // The document applies them to every control.
    TfrmRptFEDep_PreImp form;
    LoadReportLayout(form.report());
    for (TLayoutControl* c : editor->Controls()) {
        const rpt::Control* printed = form.report().find(c->objectName());
        ASSERT_NE(printed, nullptr);
        EXPECT_EQ(printed->rect(), c->geometry()) << c->objectName().toStdString();
    }

    // "Charger l'Original": the design positions, not modified; the stored rows stay.
    editor->btnLoadOriginal->click();
    EXPECT_EQ(C("lFact1")->geometry(), fact1);
    EXPECT_FALSE(editor->Modified());
    EXPECT_FALSE(editor->btnSave->isEnabled());
    EXPECT_EQ(Stored(), stored);

    // A new editor shows the stored positions.
    TfrmReport again;
    again.cmbReport->setCurrentIndex(SheetEntry);
    again.cmbReportChange();
    EXPECT_EQ(again.FindControl(QStringLiteral("lFact1"))->geometry(), fact1.translated(30, 40));

    // A label's stored font name and size show in the copy, and are saved again.
    rows::Write([] {
        rows::Exec(QStringLiteral("UPDATE REPORT SET FNAME='Courier New', FSIZE=9 WHERE COMPNAME='LOBJET'"));
    });
    TfrmReport fonts;
    fonts.cmbReport->setCurrentIndex(SheetEntry);
    fonts.cmbReportChange();
    const TLayoutControl* objetCopy = fonts.FindControl(QStringLiteral("lObjet"));
    EXPECT_EQ(objetCopy->reportFont.family(), QStringLiteral("Courier New"));
    EXPECT_EQ(objetCopy->reportFont.pointSize(), 9);
    Drag(fonts.FindControl(QStringLiteral("lFact1")), {2, 2});
    fonts.btnSave->click();
    EXPECT_EQ(rows::Scalar(QStringLiteral("SELECT FSIZE FROM REPORT WHERE COMPNAME='LOBJET'")), 9);
}

TEST_F(ReportEditorTest, AControlDraggedAboveOrLeftOfItsBandIsStoredAt1)
{
    TLayoutControl* lCodeMin = C("lCodeMin");
    Drag(lCodeMin, {-lCodeMin->x() - 50, -lCodeMin->y() - 30});
    EXPECT_LT(lCodeMin->x(), 0);
    EXPECT_LT(lCodeMin->y(), 0);
    editor->btnSave->click();
    EXPECT_EQ(Stored().value("LCODEMIN").topLeft(), QPoint(1, 1));

    TfrmRptFEDep_PreImp form;
    LoadReportLayout(form.report());
    EXPECT_EQ(form.report().find(QStringLiteral("lCodeMin"))->rect().topLeft(), QPoint(1, 1));
}

TEST_F(ReportEditorTest, TypedMillimetresAreCutToTwoDecimalsAndRoundedToPixels)
{
    TLayoutControl* lExer = C("lExer");
    editor->SelectControl(lExer);
    constexpr int NotANumber = -1000, OffThePage = -2000;
    struct Case {
        QLineEdit* field;
        const char* typed;
        int expected;   // top, left, height or width, or the refusal
    };
    // The sheet prints on A3 landscape: 420 mm wide, 297 mm long.
    const Case cases[] = {
        {editor->edPTop, "10.00", 38},        {editor->edPTop, "10.009", 38},      {editor->edPLeft, " 5 ", 19},
        {editor->edHeight, "12.5", 47},       {editor->edWidth, "0", 1},           {editor->edPTop, "-1", -4},
        {editor->edPTop, "abc", NotANumber},  {editor->edWidth, "1,5", NotANumber},
        {editor->edPTop, "297", 1123},        {editor->edPTop, "-297", -1123},     {editor->edPLeft, "420", 1587},
        {editor->edPTop, "297.01", OffThePage}, {editor->edPTop, "10000", OffThePage},
        {editor->edPTop, "1000000000", OffThePage}, {editor->edPTop, "99999999999999999999999", OffThePage},
        {editor->edPLeft, "-420.01", OffThePage}, {editor->edWidth, "420.01", OffThePage},
        {editor->edHeight, "-3", OffThePage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        SCOPED_TRACE(c.field->objectName().toStdString());
        editor->SelectControl(lExer);
        const QRect before = lExer->geometry();
        if (editor->Modified())
            editor->btnSave->click();
        messages->clear();
        c.field->setText(QString::fromLatin1(c.typed));
        QTest::keyClick(c.field, Qt::Key_Return);
        const int value = c.field == editor->edPTop ? lExer->y() : c.field == editor->edPLeft ? lExer->x()
                        : c.field == editor->edHeight ? lExer->height() : lExer->width();
        if (c.expected == NotANumber || c.expected == OffThePage) {
            if (c.expected == NotANumber) {
                EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Valeur non numérique !")});
            } else {
                ASSERT_EQ(messages->texts().size(), 1);
                EXPECT_TRUE(messages->texts()[0].endsWith(QStringLiteral(" mm !"))) << messages->texts()[0].toStdString();
                EXPECT_TRUE(messages->texts()[0].startsWith(QStringLiteral("La valeur de « ")));
            }
            EXPECT_EQ(lExer->geometry(), before);
            EXPECT_FALSE(editor->Modified());
            EXPECT_FALSE(c.field->text().isEmpty());
            EXPECT_EQ(c.field->text().toDouble(), QString::number(value * 25.4 / 96, 'f', 2).toDouble());
        } else {
            EXPECT_TRUE(messages->calls().isEmpty());
            EXPECT_EQ(value, c.expected);
            EXPECT_TRUE(editor->Modified());
        }
    }

    messages->clear();
    editor->edPTop->setText(QStringLiteral("10000"));
    QTest::keyClick(editor->edPTop, Qt::Key_Return);
    EXPECT_EQ(messages->texts(),
              QStringList{QStringLiteral("La valeur de « Haut » doit rester dans la page : entre -297.00 et 297.00 mm !")});
}

TEST_F(ReportEditorTest, AFailedSaveStoresNothingAndStaysModified)
{
    Drag(C("lFact1"), {10, 10});
    editor->btnSave->click();
    const QMap<QString, QRect> stored = Stored();
    ASSERT_FALSE(stored.isEmpty());

    DM->LURDO.execute(QStringLiteral("CREATE EXCEPTION E_LAYOUT_TEST 'refus du test'"));
    DM->CommitWork();
    DM->LURDO.execute(QStringLiteral("CREATE TRIGGER REPORT_TEST FOR REPORT ACTIVE BEFORE INSERT POSITION 0 AS "
                                     "BEGIN IF (NEW.COMPNAME = 'LOBS') THEN EXCEPTION E_LAYOUT_TEST; END"));
    DM->CommitWork();

    Drag(C("lFact1"), {20, 20});
    messages->clear();
    editor->btnSave->click();
    ASSERT_EQ(messages->calls().size(), 1);
    EXPECT_TRUE(messages->calls()[0].standard);
    EXPECT_TRUE(editor->Modified());
    EXPECT_TRUE(editor->btnSave->isEnabled());

    // Another window's write later on commits nothing of the failed save.
    rows::Write([] { rows::Exec(QStringLiteral("UPDATE FNM SET INTITULE=INTITULE WHERE ID_FNM=-1")); });
    EXPECT_EQ(Stored(), stored);

    // An empty layout never replaces stored rows.
    EXPECT_FALSE(SaveReportLayout(QStringLiteral("RptFEDep_PreImp"), {}, {}));
    EXPECT_EQ(Stored(), stored);
}

TEST_F(ReportEditorTest, LeavingAModifiedLayoutAsksWhetherToSaveIt)
{
    const QString question = QStringLiteral("Voulez-vous enregistrer les modifications apportées au rapport ?");
    const QRect design = C("lFact1")->geometry();

    // Another report chosen, Cancel: the copy and the list stay as they were.
    Drag(C("lFact1"), {8, 8});
    messages->answer(mrCancel);
    Choose(0);
    EXPECT_EQ(messages->texts(), QStringList{question});
    EXPECT_TRUE(messages->calls()[0].standard);
    EXPECT_EQ(editor->cmbReport->currentIndex(), SheetEntry);
    EXPECT_EQ(C("lFact1")->geometry(), design.translated(8, 8));
    EXPECT_TRUE(editor->Modified());

    // Closing: Cancel keeps the window, No closes without saving.
    messages->clear();
    messages->answer(mrCancel);
    editor->close();
    EXPECT_TRUE(editor->isVisible());
    messages->answer(mrNo);
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(messages->texts(), (QStringList{question, question}));
    EXPECT_TRUE(Stored().isEmpty());

    // Esc, Yes: saved, then closed.
    editor->show();
    messages->clear();
    messages->answer(mrYes);
    QTest::keyClick(editor.get(), Qt::Key_Escape);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(Stored().value("LFACT1"), design.translated(8, 8));

    // Nothing modified: no question.
    editor->show();
    messages->clear();
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(messages->calls().isEmpty());
}

TEST_F(ReportEditorTest, TheDescriptionOfTheCopyLeavesTheCopyInPlace)
{
    Drag(C("lFact1"), {4, 4});
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(editor->pnlTools->mapToGlobal(QPoint(5, 5))),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor->pnlTools, &click);
    ASSERT_EQ(messages->calls().size(), 1);
    const QStringList lines = messages->texts()[0].split(QLatin1Char('\r'));
    EXPECT_EQ(lines.value(0), QStringLiteral(" ** bdDetail pnlReport"));
    EXPECT_TRUE(lines.contains(QStringLiteral("       - lFact1")));
    EXPECT_EQ(lines.size(), 1 + editor->Controls().size());

    // The copy is still there, and a save stores it whole.
    ASSERT_FALSE(editor->Controls().isEmpty());
    editor->btnSave->click();
    EXPECT_EQ(Stored().size(), editor->Controls().size());
}

TEST_F(ReportEditorTest, TheStationeryPaymentOrderPrintsAControlWhereTheEditorPutIt)
{
    Choose(0);   // "Mandat de paiement simple"
    ASSERT_EQ(editor->ReportName(), QStringLiteral("RPTMANDAT_P"));
    TLayoutControl* lNom = C("lNom");
    editor->SelectControl(lNom);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(editor->edPTop, Qt::Key_Down, Qt::ControlModifier);
    editor->edPLeft->setText(QStringLiteral("20"));
    QTest::keyClick(editor->edPLeft, Qt::Key_Return);
    EXPECT_EQ(lNom->x(), 76);
    editor->btnSave->click();
    ASSERT_FALSE(editor->Modified());

    const qint64 fnm = rows::BudgetLine(QStringLiteral("21-03"), QStringLiteral("02"), QString(),
                                        QStringLiteral("Mobilier de bureau"));
    const qint64 expense = rows::Expense(ExpenseKind::Invoice, fnm, rows::Beneficiary(QStringLiteral("SARL MEUBLES")), rows::Money("10"));
    rows::Write([&] {
        rows::Exec(QStringLiteral("INSERT INTO ENT_MDT (ID_MDT, NO_MDT, DATE_MDT, STATUT, MONTANT) "
                                  "VALUES (3, '0003', '2024-03-05', :S, 10)"),
                   {{"S", toDbValue(OrderStatus::Paid)}});
        rows::Exec(QStringLiteral("INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) VALUES (3, 1, :E, 10)"),
                   {{"E", expense}});
    });
    TfrmRptMandat_P form;
    form.IdMdt = 3;
    const auto pages = form.Prepare();
    ASSERT_EQ(pages->count(), 1);
    const rpt::Page& page = pages->page(0);
    const rpt::PageItem* item = page.item(QStringLiteral("lNom"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(page.textsOf(QStringLiteral("lNom")), QStringList{QStringLiteral("SARL MEUBLES")});
    EXPECT_EQ(item->rect.translated(-page.bands.at(0).rect.topLeft()).toRect(), lNom->geometry());
}

TEST_F(ReportEditorTest, TheRegularisationHeadingIsPlacedInTheEditorAndPrintsThere)
{
    Choose(5);   // "F.E - Régul - Dépense"
    ASSERT_EQ(editor->ReportName(), QStringLiteral("RPTFEDEP_REGUL_PREIMP"));
    TLayoutControl* heading = C("LibRegul");
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->caption,
              QStringLiteral("FICHE DE REGULARISATION DES DEPENSES EFFECTUEES DANS LE CADRE DU CONTROLE A POSTERIORI"));
    editor->SelectControl(heading);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(editor->edPTop, Qt::Key_Down, Qt::ControlModifier);
    editor->btnSave->click();
    ASSERT_FALSE(editor->Modified());
    EXPECT_EQ(Stored(QStringLiteral("RPTFEDEP_REGUL_PREIMP")).value(QStringLiteral("LIBREGUL")), heading->geometry());

    const qint64 fnm = rows::BudgetLine(QStringLiteral("21-03"), QStringLiteral("02"), QString(),
                                        QStringLiteral("Mobilier de bureau"));
    rows::Write([&] {
        rows::Exec(QStringLiteral("INSERT INTO ENT_ENG_REG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, OBS, OBJET, MONTANT, "
                                  "ORIGINE, ID_ORIGINE, STATUT) VALUES (7, '0002', '2024-06-05', :F, '', 0, 0, :O, -1, 0)"),
                   {{"F", fnm}, {"O", toDbValue(SheetOrigin::PaymentOrders)}});
    });
    TfrmRptFEDep_Regul_PreImp form;
    form.IdEng = 7;
    form.IdFnm = int(fnm);
    const auto pages = form.Prepare();
    ASSERT_EQ(pages->count(), 1);
    const rpt::Page& page = pages->page(0);
    const rpt::PageItem* item = page.item(QStringLiteral("LibRegul"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->rect.translated(-page.bands.at(0).rect.topLeft()).toRect(), heading->geometry());
}
