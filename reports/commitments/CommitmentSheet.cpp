#include "reports/commitments/CommitmentSheet.h"

#include "core/GlobalState.h"
#include "core/Routines.h"
#include "data/UDM.h"
#include "reports/ReportLayout.h"

#include <algorithm>

namespace {

// The codes of the ministry and of the service, printed after "Ministère : "
// and "Service : " (values of the installation).
const QString MinistryCode = QStringLiteral("ES");
const QString ServiceCode = QStringLiteral("FD");

// The right half of the white-paper form starts here; the pre-printed form
// places the same fields at the same place of the sheet, its margins being
// 5 mm further left and 5 mm lower.
constexpr int Right = 765;
constexpr int PrePrintedDx = 19;
constexpr int PrePrintedDy = -19;

constexpr int WhiteBandHeight = 1080;
constexpr int PrePrintedBandHeight = 1060;
constexpr int FirstRowTop = sheetdoc::TableFirstTop;
// The zone of the observations ends this far above the place and date.
constexpr int ZoneGap = 6;
// The rows' table: its rows end above the frame of the white paper's table,
// or as far below the first row as the stationery's twenty rows reach.
constexpr int WhiteRowsBottom = sheetdoc::TableRowsBottom;
constexpr int RowsHeight = 600;
// Below a text that takes more than its row's step, before the next row.
constexpr int RowGap = 1;

// A payment-order regularisation sheet heads its budget line and observation
// with the regularisation heading; the rows below it move down to make room.
const QString RegulHeading = QStringLiteral(
    "FICHE DE REGULARISATION DES DEPENSES EFFECTUEES DANS LE CADRE DU CONTROLE A POSTERIORI");
constexpr int RegulHeadingTop = 428;
constexpr int RegulHeadingShift = 16;
// The left of an order's own row on a payment-order regularisation sheet,
// set in from its expenses' rows.
constexpr int WhiteOrderLeft = 260;
constexpr int PrePrintedOrderLeft = 264;

} // namespace

// ---------------------------------------------------------------------------
// Texts and placement

namespace {

// The expense columns of a row of the lines' queries (TYPE_DEPENSE,
// NO_DEPENSE, DATE_DEPENSE, the mission dates, OBJET_DEP, NOM and GRADE).
void ReadExpense(const db::Query& q, TSheetPrintLine& line)
{
    line.typeDepense = fromDb<ExpenseKind>(q.asInt(QStringLiteral("TYPE_DEPENSE")));
    line.noDepense = q.asString(QStringLiteral("NO_DEPENSE")).trimmed();
    line.dateDepense = q.asDate(QStringLiteral("DATE_DEPENSE"));
    line.datedMission = q.asDate(QStringLiteral("DATED_MISSION"));
    line.datefMission = q.asDate(QStringLiteral("DATEF_MISSION"));
    line.objetDepense = q.asString(QStringLiteral("OBJET_DEP")).trimmed();
    line.beneficiary = q.asString(QStringLiteral("NOM")).trimmed();
    line.grade = q.asString(QStringLiteral("GRADE")).trimmed();
}

} // namespace

namespace sheetdoc {

QString PaymentOrderSuffix(const TSheetPrintLine& line)
{
    if (line.noMdt.isEmpty())
        return QString();
    return QStringLiteral(" - MANDAT No ") + line.noMdt + QStringLiteral(" DU ") + DateText(line.dateMdt);
}

QString LineText(const TSheetPrintLine& line, const TSheetPrintHeader& header, Presentation presentation)
{
    const bool white = presentation == Presentation::WhitePaper;
    switch (line.objet) {
    case LineObject::Expense: {
        // Only an expense line prints an expense, and only when the expense exists.
        if (!line.hasExpense)
            return QString();
        const QString suffix = PaymentOrderSuffix(line);
        if (line.typeDepense == ExpenseKind::Mission) {
            if (IsChapter08(line.expenseChapter))
                return header.obs + QStringLiteral(" - ") + suffix;
            QString text = line.grade.isEmpty() ? line.beneficiary
                                                : line.beneficiary + QStringLiteral(" - ") + line.grade;
            if (line.datedMission.isValid())
                text += QStringLiteral(" - Du ") + DateText(line.datedMission) + QStringLiteral(" au ") +
                        DateText(line.datefMission);
            return white ? text + suffix : text;
        }
        if (line.typeDepense == ExpenseKind::SalaryToCommit)
            return white ? line.objetDepense + suffix : line.objetDepense;
        const QString text = QStringLiteral("FACTURE N° ") + line.noDepense + QStringLiteral(" DU ") +
                             DateText(line.dateDepense) + QStringLiteral(" DE ") + line.beneficiary;
        return white ? text + suffix : text;
    }
    case LineObject::Cancellation:
        return QStringLiteral("FICHE D'ENGAGEMENT N° ") + line.cancelledNumber + QStringLiteral(" DU ") +
               DateText(line.cancelledDate);
    case LineObject::PrimitiveBudget:
        return QStringLiteral("BUDGET PRIMITIF");
    case LineObject::AmendingBudget:
        return QStringLiteral("BUDGET MODIFICATIF");
    case LineObject::Transfer:
        return QStringLiteral("TRANSFERT DE CREDITS N° ") + QString::number(header.idOrigine) +
               QStringLiteral(" DU ") + DateText(header.date);
    default:
        return QString();
    }
}

QList<TSheetPrintLine> ReadLines(qint64 idEng)
{
    QList<TSheetPrintLine> lines;
    {
        // Expense columns only for expense lines, the cancelled sheet only for
        // cancellation lines: other lines carry other keys in ID_DETAIL.
        db::Query q(DM->LURDO,
                    QStringLiteral(
                        "SELECT A.NOLINE, A.OBJET, A.ID_DETAIL, A.MONTANT, D.ID_DEPENSE, D.TYPE_DEPENSE, "
                        "D.NO_DEPENSE, D.DATE_DEPENSE, D.DATED_MISSION, D.DATEF_MISSION, D.OBJET AS OBJET_DEP, "
                        "(SELECT FIRST 1 F.CHAP FROM FNM F WHERE F.ID_FNM=D.ID_FNM) AS CHAP_DEP, B.NOM, "
                        "(SELECT FIRST 1 G.LIBELLE FROM GRADE G WHERE B.TYPE_BEN=:EMPLOYEE AND G.ID_GRADE=B.SERVICE_GRADE) "
                        "AS GRADE, C.NO_ENG AS NO_ENG_ANNUL, C.DATE_ENG AS DATE_ENG_ANNUL "
                        "FROM DET_ENG A "
                        "LEFT JOIN DEPENSE D ON A.OBJET=:EXPENSE_LINE AND D.ID_DEPENSE=A.ID_DETAIL "
                        "LEFT JOIN BENEF B ON B.ID_BEN=D.ID_BEN "
                        "LEFT JOIN ENT_ENG C ON A.OBJET=:CANCELLATION_LINE AND C.ID_ENG=A.ID_DETAIL "
                        "WHERE A.ID_ENG=:ID_ENG ORDER BY A.NOLINE"));
        q.setParam(QStringLiteral("EXPENSE_LINE"), toDb(LineObject::Expense));
        q.setParam(QStringLiteral("CANCELLATION_LINE"), toDb(LineObject::Cancellation));
        q.setParam(QStringLiteral("ID_ENG"), idEng);
        q.setParam(QStringLiteral("EMPLOYEE"), toDb(BeneficiaryType::Employee));
        q.open();
        for (q.first(); !q.eof(); q.next()) {
            TSheetPrintLine line;
            line.noLine = int(q.asInt(QStringLiteral("NOLINE")));
            line.objet = fromDb<LineObject>(q.asInt(QStringLiteral("OBJET")));
            line.idDetail = q.asInt(QStringLiteral("ID_DETAIL"));
            line.amount = q.asCurrency(QStringLiteral("MONTANT"));
            line.hasExpense = !q.isNull(QStringLiteral("ID_DEPENSE"));
            if (line.hasExpense) {
                ReadExpense(q, line);
                line.expenseChapter = q.asString(QStringLiteral("CHAP_DEP"));
            }
            line.cancelledNumber = q.asString(QStringLiteral("NO_ENG_ANNUL")).trimmed();
            line.cancelledDate = q.asDate(QStringLiteral("DATE_ENG_ANNUL"));
            lines.append(line);
        }
    }

    // The payment order of each expense, the first one when there are several.
    struct Order {
        QString number;
        QDate date;
    };
    QHash<qint64, Order> orders;
    {
        db::Query q(DM->LURDO,
                    QStringLiteral("SELECT A.ID_DETAIL, B.NO_MDT, B.DATE_MDT FROM DET_ENG E "
                                   "JOIN DET_MDT A ON A.ID_DETAIL=E.ID_DETAIL "
                                   "JOIN ENT_MDT B ON B.ID_MDT=A.ID_MDT "
                                   "WHERE E.ID_ENG=:ID_ENG AND E.OBJET=:EXPENSE_LINE ORDER BY A.ID_DETAIL, B.ID_MDT"));
        q.setParam(QStringLiteral("ID_ENG"), idEng);
        q.setParam(QStringLiteral("EXPENSE_LINE"), toDb(LineObject::Expense));
        q.open();
        for (q.first(); !q.eof(); q.next()) {
            const qint64 id = q.asInt(QStringLiteral("ID_DETAIL"));
            if (!orders.contains(id))
                orders.insert(id, Order{q.asString(QStringLiteral("NO_MDT")).trimmed(),
                                        q.asDate(QStringLiteral("DATE_MDT"))});
        }
    }
    for (TSheetPrintLine& line : lines) {
        if (!line.hasExpense)
            continue;
        const auto it = orders.constFind(line.idDetail);
        if (it != orders.constEnd()) {
            line.noMdt = it->number;
            line.dateMdt = it->date;
        }
    }
    return lines;
}

QList<TRegulPrintRow> RegulOrderRows(qint64 idEng, qint64 idFnm)
{
    // The order lines of the sheet with each order's expense lines; only the
    // expenses charged to the line print, the order's own line always does.
    db::Query q(DM->LURDO, QStringLiteral(
        "SELECT R.NOLINE AS REG_LINE, R.ID_DETAIL AS ID_MDT, R.MONTANT AS REG_MONTANT, M.NO_MDT, M.DATE_MDT, "
        "D.NOLINE, D.MONTANT, E.ID_DEPENSE, E.ID_FNM, E.TYPE_DEPENSE, E.NO_DEPENSE, E.DATE_DEPENSE, "
        "E.DATED_MISSION, E.DATEF_MISSION, E.OBJET AS OBJET_DEP, B.NOM, "
        "(SELECT FIRST 1 G.LIBELLE FROM GRADE G WHERE B.TYPE_BEN=:EMPLOYEE AND G.ID_GRADE=B.SERVICE_GRADE) AS GRADE "
        "FROM DET_ENG_REG R "
        "LEFT JOIN ENT_MDT M ON M.ID_MDT=R.ID_DETAIL "
        "LEFT JOIN DET_MDT D ON D.ID_MDT=R.ID_DETAIL "
        "LEFT JOIN DEPENSE E ON E.ID_DEPENSE=D.ID_DETAIL "
        "LEFT JOIN BENEF B ON B.ID_BEN=E.ID_BEN "
        "WHERE R.ID_ENG=:ID_ENG AND R.OBJET=:ORDER_LINE ORDER BY R.NOLINE, R.ID_DETAIL, D.NOLINE"));
    q.setParam(QStringLiteral("ID_ENG"), idEng);
    q.setParam(QStringLiteral("ORDER_LINE"), toDb(LineObject::PaymentOrder));
    q.setParam(QStringLiteral("EMPLOYEE"), toDb(BeneficiaryType::Employee));
    q.open();
    QList<TRegulPrintRow> rows;
    const TSheetPrintHeader none;
    for (q.first(); !q.eof();) {
        const qint64 order = q.asInt(QStringLiteral("ID_MDT"));
        const int regLine = int(q.asInt(QStringLiteral("REG_LINE")));
        TRegulPrintRow own;
        own.order = true;
        own.text = QStringLiteral("MANDAT N° ") + q.asString(QStringLiteral("NO_MDT")).trimmed() + QStringLiteral(" DU ")
                   + DateText(q.asDate(QStringLiteral("DATE_MDT")));
        own.amount = q.asCurrency(QStringLiteral("REG_MONTANT"));
        int expense = 0;
        for (; !q.eof() && q.asInt(QStringLiteral("ID_MDT")) == order
               && int(q.asInt(QStringLiteral("REG_LINE"))) == regLine;
             q.next()) {
            if (q.isNull(QStringLiteral("ID_DEPENSE")) || q.isNull(QStringLiteral("ID_FNM"))
                || q.asInt(QStringLiteral("ID_FNM")) != idFnm)
                continue;
            TSheetPrintLine line;
            line.hasExpense = true;
            ReadExpense(q, line);
            // The order follows its expenses: no order suffix on them.
            rows.append({QString::number(++expense) + QStringLiteral("- "),
                         LineText(line, none, Presentation::PrePrinted), q.asCurrency(QStringLiteral("MONTANT")),
                         false});
        }
        rows.append(own);
    }
    return rows;
}

int RegulSlotLimit(Presentation presentation)
{
    if (presentation == Presentation::WhitePaper)
        return std::min(int(MaxDocLines) + 1, RegulWhitePaperSlots);
    return std::min(int(MaxDocLines), PrePrintedRows);
}

QString RegulTooManyText(Presentation presentation, int rows, int limit)
{
    const QString first = presentation == Presentation::WhitePaper
                              ? QStringLiteral("La fiche ne peut pas prendre plus de dépenses !")
                              : QStringLiteral("La fiche ne peut pas prendre plus de factures !");
    return first + QStringLiteral(" (%1 lignes ; %2 au plus)").arg(rows).arg(limit);
}

QString TooManyLinesText(Presentation presentation, int lines)
{
    const bool stationery = presentation == Presentation::PrePrinted;
    const QString text = QStringLiteral("Cette fiche porte sur %1 lignes ; le formulaire%2 n'en contient que %3. ")
                             .arg(lines)
                             .arg(stationery ? QStringLiteral(" pré-imprimé") : QString())
                             .arg(stationery ? PrePrintedRows : WhitePaperRows);
    if (stationery && lines <= WhitePaperRows)
        return text + QStringLiteral("Imprimez-la sur papier blanc.");
    return text + QStringLiteral("Répartissez-les sur plusieurs fiches.");
}

RowPlacement PlaceRows(Presentation presentation, bool depense, int rows, int storedTop)
{
    const int spread = std::min(600 / std::max(rows, 1), 45);
    if (presentation == Presentation::PrePrinted)
        return {storedTop, spread, 0};
    if (!depense)
        return {FirstRowTop, spread, 0};
    return rows <= 23 ? RowPlacement{FirstRowTop, 33, 10} : RowPlacement{FirstRowTop, 29, 9};
}

QRect At(Presentation presentation, const QRect& whitePaper)
{
    if (presentation == Presentation::WhitePaper)
        return whitePaper;
    return whitePaper.translated(PrePrintedDx, PrePrintedDy);
}

rpt::Label* AddRowLabel(rpt::Band* band, Presentation presentation, const QString& name, const QRect& whitePaper,
                        Qt::Alignment alignment, bool wrap)
{
    rpt::Label* l = band->addLabel(name, At(presentation, whitePaper));
    l->setAlignment(alignment);
    l->setWordWrap(wrap);
    return l;
}

void StartSheetRun(rpt::Report& report, const rpt::DesignSnapshot& design, Presentation presentation)
{
    design.restore();
    if (presentation == Presentation::PrePrinted)
        LoadReportLayout(report);
}

void SetText(rpt::Report& report, const QString& control, const QString& text)
{
    if (rpt::Label* l = report.label(control))
        l->setCaption(text);
}

} // namespace sheetdoc

// ---------------------------------------------------------------------------
// The form

using sheetdoc::Presentation;

TCommitmentSheetForm::TCommitmentSheetForm(const QString& reportName, Presentation presentation,
                                           sheetdoc::Series series)
    : TReportForm(reportName, QStringLiteral("Fiche d'engagement - Dépense")), m_presentation(presentation),
      m_series(series)
{
    Param(QStringLiteral("IdEng"), IdEng);
    if (m_series == sheetdoc::Series::RegulOrders)
        Param(QStringLiteral("IdFnm"), IdFnm);
    BuildDesign();
    m_design.take(report());
    report().setPrintIfEmpty(true);
    report().onBeforePrint = [this] { RptBeforePrint(); };
    report().onAfterPrint = [this] { RptAfterPrint(); };
    report().band(rpt::BandKind::Detail)->onBeforePrint = [this](rpt::Band&, bool&) { bdDetailBeforePrint(); };
}

TCommitmentSheetForm::~TCommitmentSheetForm() = default;

int TCommitmentSheetForm::Slots() const
{
    const bool white = m_presentation == Presentation::WhitePaper;
    if (m_series == sheetdoc::Series::Commitments)
        return white ? sheetdoc::WhitePaperRows : sheetdoc::PrePrintedRows;
    return white ? sheetdoc::RegulWhitePaperSlots : sheetdoc::PrePrintedRows;
}

rpt::Band* sheetdoc::BuildSheetPage(rpt::Report& r, Presentation presentation)
{
    const bool white = presentation == Presentation::WhitePaper;
    r.setPage(rpt::PageSetup::Standard(rpt::Paper::A3, QPageLayout::Landscape,
                                       white ? rpt::Margins{5, 5, 7, 18} : rpt::Margins{10, 5, 2, 0}));
    r.setFont(QFont(QStringLiteral("Arial"), 10));
    rpt::Band* band =
        r.addBand(rpt::BandKind::Detail, QStringLiteral("bdDetail"), white ? WhiteBandHeight : PrePrintedBandHeight);

    // Positions are those of the white-paper form; the pre-printed form moves
    // them to the same place of the sheet.
    const auto at = [&](int left, int top, int width, int height) {
        return sheetdoc::At(presentation, QRect(left, top, width, height));
    };

    enum Style { Plain = 0, Bold = 1, Underline = 2, Italic = 4, Centre = 8, RightAlign = 16, Wrap = 32 };
    const auto label = [&](const char* name, const QRect& rect, const QString& caption, int style = Plain,
                           double size = 0) {
        rpt::Label* l = band->addLabel(QString::fromLatin1(name), rect, caption);
        if (style & Bold)
            l->setBold(true);
        if (style & Underline)
            l->setUnderline(true);
        if (style & Italic)
            l->setItalic(true);
        if (style & Centre)
            l->setAlignment(Qt::AlignHCenter);
        if (style & RightAlign)
            l->setAlignment(Qt::AlignRight);
        l->setWordWrap(style & Wrap);
        if (size > 0)
            l->setFontSize(size);
        return l;
    };
    // Fixed texts and frames of the white paper only.
    const auto fixed = [&](const char* name, const QRect& rect, const QString& caption, int style = Plain,
                           double size = 0) {
        if (white)
            label(name, rect, caption, style, size);
    };
    const auto frame = [&](const char* name, const QRect& rect, double pen = 1) {
        if (!white)
            return;
        band->addShape(QString::fromLatin1(name), rect)->setPenWidth(pen);
    };
    const auto rule = [&](const char* name, const QRect& rect, rpt::Shape::Form form, Qt::PenStyle style = Qt::SolidLine) {
        if (!white)
            return;
        rpt::Shape* s = band->addShape(QString::fromLatin1(name), rect, form);
        QPen pen(Qt::black, 1, style);
        s->setPen(pen);
    };
    using Form = rpt::Shape::Form;

    // --- Right half: header ------------------------------------------------
    fixed("lMinistere", at(Right, 0, 728, 18),
          QStringLiteral("MINISTERE DE L'ENSEIGNEMENT SUPERIEUR ET DE LA RECHERCHE SCIENTIFIQUE"), Bold | Centre);
    fixed("lUniv", at(Right, 20, 728, 18), QString(), Bold | Centre);
    if (white)
        label("lFac", at(Right, 40, 728, 18), QString(), Centre);
    fixed("lBudget", at(Right, 68, 728, 26), QStringLiteral("BUDGET DE L'ETAT"), Bold | Underline | Centre, 14);
    fixed("lCapMin", at(Right + 10, 112, 90, 20), QStringLiteral("Ministère : "));
    label("lCodeMin", at(Right + 100, 112, 40, 20), MinistryCode, Bold);
    fixed("lCapServ", at(Right + 10, 140, 90, 20), QStringLiteral("Service : "));
    label("lCodeServ", at(Right + 100, 140, 40, 20), ServiceCode, Bold);

    frame("shpExer", at(Right + 170, 104, 250, 64));
    fixed("lCapExer", at(Right + 180, 112, 90, 20), QStringLiteral("Année :"), Bold);
    label("lExer", at(Right + 270, 112, 140, 20), QString(), Bold);
    fixed("lCapNoFe", at(Right + 180, 140, 90, 20), QStringLiteral("Fiche N° :"), Bold);
    label("lNoFe", at(Right + 270, 140, 140, 20), QString(), Bold);

    frame("shpVisa", at(Right + 440, 104, 288, 110));
    fixed("lVisa", at(Right + 440, 110, 288, 20), QStringLiteral("Visa du Contrôleur Financier"), Bold | Underline | Centre);
    rule("shpVisa1", at(Right + 455, 146, 258, 8), Form::HorLine, Qt::DotLine);
    rule("shpVisa2", at(Right + 455, 182, 258, 8), Form::HorLine, Qt::DotLine);

    fixed("lCapObjet", at(Right + 10, 192, 100, 24), QStringLiteral("Objet de :"), Bold, 12);
    if (white) {
        rpt::RoundRect* rr = band->addRoundRect(QStringLiteral("rrObjet"), at(Right + 115, 182, 240, 42));
        rr->shape().SetPen(QPen(Qt::black, 2));
        rr->shape().SetEllipseWidth(15);
        rr->shape().SetEllipseHeight(15);
    } else {
        band->addShape(QStringLiteral("shpObjet"), at(Right + 115, 182, 240, 42));
    }
    label("lObjet", at(Right + 120, 190, 230, 26), QString(), Bold | Centre, 14);

    // --- Right half: balances ----------------------------------------------
    frame("shpSolde", at(Right, 240, 728, 84), 2);
    rule("shpSoldeHead", at(Right, 268, 728, 8), Form::HorLine);
    const int columns[] = {Right + 90, Right + 160, Right + 220, Right + 390, Right + 560};
    const char* rules[] = {"shpSolde1", "shpSolde2", "shpSolde3", "shpSolde4", "shpSolde5"};
    for (int i = 0; i < 5; ++i)
        rule(rules[i], at(columns[i] - 4, 240, 8, 84), Form::VertLine);
    fixed("lHChap", at(Right, 247, 90, 20), QStringLiteral("Chapitre"), Bold | Centre, 9);
    fixed("lHArt", at(Right + 90, 247, 70, 20), QStringLiteral("Article"), Bold | Centre, 9);
    fixed("lHPar", at(Right + 160, 247, 60, 20), QStringLiteral("Par."), Bold | Centre, 9);
    fixed("lHOldSolde", at(Right + 220, 247, 170, 20), QStringLiteral("Ancien Solde"), Bold | Centre, 9);
    fixed("lHMontant", at(Right + 390, 247, 170, 20), QStringLiteral("Montant de l'opération"), Bold | Centre, 9);
    fixed("lHNewSolde", at(Right + 560, 247, 168, 20), QStringLiteral("Nouveau Solde"), Bold | Centre, 9);
    label("dbChap1", at(Right, 286, 90, 22), QString(), Bold | Centre);
    label("dbArt1", at(Right + 90, 286, 70, 22), QString(), Bold | Centre);
    label("dbPar1", at(Right + 160, 286, 60, 22), QString(), Bold | Centre);
    label("lOldSolde", at(Right + 224, 286, 162, 22), QString(), Bold | RightAlign);
    label("lMontant", at(Right + 394, 286, 162, 22), QString(), Bold | RightAlign);
    label("lNewSolde", at(Right + 564, 286, 160, 22), QString(), Bold | RightAlign);

    // --- Right half: the budget line and the observations ------------------
    fixed("lHObs", at(Right, 345, 728, 24), QStringLiteral("OBSERVATIONS DU SERVICE"), Bold | Underline | Centre, 12);
    fixed("lSection", at(Right + 10, 380, 250, 20), QStringLiteral("SECTION  II"), Bold);
    fixed("lSousSection", at(Right + 10, 402, 250, 20), QStringLiteral("SOUS-SECTION  II"), Bold);
    label("lCapChap", at(Right + 10, 440, 70, 20), QStringLiteral("CHAP. : "), Bold);
    label("dbChap", at(Right + 80, 440, 60, 20), QString(), Bold);
    label("lTiretChap", at(Right + 140, 440, 14, 20), QStringLiteral("-"), Centre);
    label("dblChap", at(Right + 157, 440, 571, 20), QString(), Wrap);
    label("lCapArt", at(Right + 10, 468, 70, 20), QStringLiteral("ART.   : "), Bold);
    label("dbArt", at(Right + 80, 468, 60, 20), QString(), Bold);
    label("lTiretArt", at(Right + 140, 468, 14, 20), QStringLiteral("-"), Centre);
    label("dblArt", at(Right + 157, 468, 571, 20), QString(), Wrap);
    label("lPar", at(Right + 10, 496, 70, 20), QStringLiteral("PAR.   : "), Bold);
    label("dbPar", at(Right + 80, 496, 60, 20), QString(), Bold);
    label("lTiretPar", at(Right + 140, 496, 14, 20), QStringLiteral("-"), Centre);
    label("dblPar", at(Right + 157, 496, 571, 20), QString(), Wrap);
    label("lObs", at(Right + 10, 540, 718, 40), QString(), Wrap);
    if (white)
        label("lVille", at(Right + 320, 960, 408, 20), QString(), Centre);
    else
        label("lDate", at(Right + 320, 960, 408, 20), QString(), Centre);
    label("lSignataire", at(Right + 320, 990, 408, 22), QString(), Bold | Centre, 11);

    // --- Left half: the lines ----------------------------------------------
    fixed("lTitreDetail", at(0, 40, 730, 26), QStringLiteral("DETAIL DES ENGAGEMENTS"), Bold | Underline | Centre, 14);
    frame("shpDetail", at(0, 80, 730, 806), 2);
    rule("shpDetailHead", at(0, 108, 730, 8), Form::HorLine);
    rule("shpDetailCol", at(556, 80, 8, 806), Form::VertLine);
    fixed("lHNature", at(0, 86, 560, 22), QStringLiteral("Nature des Engagements"), Bold | Centre, 11);
    fixed("lHMt", at(560, 86, 170, 22), QStringLiteral("Montant"), Bold | Centre, 11);
    frame("shpTotal", at(0, 886, 730, 34), 2);
    rule("shpTotalCol", at(556, 886, 8, 34), Form::VertLine);
    fixed("lTotal", at(200, 893, 350, 22), QStringLiteral("T O T A L"), Bold | Centre, 12);
    label("lMontant1", at(566, 893, 158, 22), QString(), Bold | RightAlign, 11);
    fixed("lTotLettres", at(0, 940, 175, 22), QStringLiteral("TOTAL EN LETTRES : "), Bold);
    label("lLettre", at(175, 940, 555, 60), QString(), Bold | Italic | Wrap);
    return band;
}

void TCommitmentSheetForm::BuildDesign()
{
    const bool white = m_presentation == Presentation::WhitePaper;
    rpt::Band* band = sheetdoc::BuildSheetPage(report(), m_presentation);
    if (m_series == sheetdoc::Series::RegulOrders) {
        // On both papers, and so in the layout editor for the stationery.
        for (const char* name : {"lCapChap", "dbChap", "lTiretChap", "dblChap", "lCapArt", "dbArt", "lTiretArt",
                                 "dblArt", "lPar", "dbPar", "lTiretPar", "dblPar", "lObs"})
            if (rpt::Control* c = report().find(QString::fromLatin1(name)))
                c->setTop(c->top() + RegulHeadingShift);
        rpt::Label* heading = band->addLabel(QStringLiteral("LibRegul"),
                                             sheetdoc::At(m_presentation, QRect(Right + 10, RegulHeadingTop, 718, 18)),
                                             RegulHeading);
        heading->setBold(true);
        heading->setFontSize(9);
        heading->setAlignment(Qt::AlignHCenter);
    }
    const int rows = Slots();
    // Rows of two lines; the stationery's rows are placed one under the
    // other in the editor as they print with twenty rows.
    const int rowHeight = white ? 32 : 30;
    const int designStep = white ? 33 : 30;
    for (int k = 1; k <= rows; ++k) {
        const int top = FirstRowTop + (k - 1) * designStep;
        sheetdoc::AddRowLabel(band, m_presentation, QStringLiteral("lNum%1").arg(k), QRect(4, top, 40, rowHeight));
        sheetdoc::AddRowLabel(band, m_presentation, QStringLiteral("lFact%1").arg(k), QRect(44, top, 510, rowHeight),
                              Qt::AlignLeft, true);
        sheetdoc::AddRowLabel(band, m_presentation, QStringLiteral("lMt%1").arg(k), QRect(566, top, 158, rowHeight),
                              Qt::AlignRight);
    }
}

void TCommitmentSheetForm::RptBeforePrint()
{
    // Every run starts from the design: the band event moves, hides and
    // refills controls for the sheet at hand.
    sheetdoc::StartSheetRun(report(), m_design, m_presentation);
    if (!qEng)
        qEng = std::make_unique<db::Query>(DM->LURDO, m_series == sheetdoc::Series::Commitments
                                                          ? QStringLiteral("SELECT * FROM ENT_ENG WHERE ID_ENG=:ID_ENG")
                                                          : QStringLiteral("SELECT * FROM ENT_ENG_REG WHERE ID_ENG=:ID_ENG"));
    qEng->close();
    qEng->setParam(QStringLiteral("ID_ENG"), qint64(IdEng));
    qEng->open();
    report().setDataSet(qEng.get());
}

void TCommitmentSheetForm::RptAfterPrint()
{
    if (qEng)
        qEng->close();
}

TSheetPrintHeader TCommitmentSheetForm::ReadHeader() const
{
    TSheetPrintHeader h;
    h.idEng = qEng->asInt(QStringLiteral("ID_ENG"));
    h.number = qEng->asString(QStringLiteral("NO_ENG")).trimmed();
    h.date = qEng->asDate(QStringLiteral("DATE_ENG"));
    h.idFnm = qEng->isNull(QStringLiteral("ID_FNM")) ? -1 : qEng->asInt(QStringLiteral("ID_FNM"));
    h.amount = qEng->asCurrency(QStringLiteral("MONTANT"));
    // A new regularisation sheet has OBJET -1 (or none): neither of the two.
    h.objet = qEng->isNull(QStringLiteral("OBJET")) ? SheetObject(-1)
                                                    : fromDb<SheetObject>(qEng->asInt(QStringLiteral("OBJET")));
    h.obs = qEng->asString(QStringLiteral("OBS"));
    h.idOrigine = qEng->isNull(QStringLiteral("ID_ORIGINE")) ? -1 : qEng->asInt(QStringLiteral("ID_ORIGINE"));
    return h;
}

void TCommitmentSheetForm::SetText(const QString& control, const QString& text)
{
    sheetdoc::SetText(report(), control, text);
}

void TCommitmentSheetForm::bdDetailBeforePrint()
{
    const bool white = m_presentation == Presentation::WhitePaper;
    const TSheetPrintHeader h = ReadHeader();

    if (white) {
        SetText(QStringLiteral("lUniv"), UniversityName.toUpper());
        SetText(QStringLiteral("lFac"), FacultyName);
    }
    SetText(QStringLiteral("lExer"), FiscalYear);
    SetText(QStringLiteral("lNoFe"), h.number);

    const bool regul = m_series != sheetdoc::Series::Commitments;
    // A sheet of payment orders is an expense when it says so; any other
    // regularisation sheet unless it gives credit back, so that a new sheet
    // without lines prints as an expense of nothing.
    const bool depense = m_series == sheetdoc::Series::RegulOthers ? h.objet != SheetObject::Economy
                                                                    : h.objet == SheetObject::Expense;
    const Currency before = regul ? DM->Queries().RegularisationBalanceBefore(h.idFnm, h.number)
                                  : DM->Queries().CommitmentBalanceBefore(h.idFnm, h.number);
    // The regularisation series counts its credits with their sign.
    const Currency after = !regul ? BudgetQueries::CommitmentBalanceAfter(before, h.objet, h.amount)
                           : depense ? before - h.amount.abs()
                                     : before + h.amount;
    SetText(QStringLiteral("lOldSolde"), before.formatMoney());
    SetText(QStringLiteral("lMontant"), h.amount.formatMoney());
    SetText(QStringLiteral("lMontant1"), h.amount.formatMoney());
    SetText(QStringLiteral("lNewSolde"), after.formatMoney());
    SetText(QStringLiteral("lObjet"), depense ? QStringLiteral("DEPENSE") : QStringLiteral("ECONOMIE"));

    SetText(QStringLiteral("lObs"), h.obs);
    SetText(QStringLiteral("lLettre"), AmountToWords(h.amount));
    SetText(QStringLiteral("lSignataire"), Signatory);
    if (white)
        SetText(QStringLiteral("lVille"), City + QStringLiteral(", le ") + DateText(h.date));
    else
        SetText(QStringLiteral("lDate"), DateText(h.date));

    sheetdoc::FillBudgetLine(report(), h.idFnm);
    if (regul)
        FillRegulRows(h);
    else
        FillRows(h);
    if (white)
        sheetdoc::FitWhitePaperLabels(report());
    // The heading keeps its letters whole in whatever width the layout gives it.
    if (rpt::Label* heading = report().label(QStringLiteral("LibRegul")))
        heading->shrinkToFit(rpt::MinFontPoints);
}

QString sheetdoc::FillBudgetLine(rpt::Report& r, qint64 idFnm)
{
    rpt::Control* dblPar = r.find(QStringLiteral("dblPar"));
    rpt::Control* lObs = r.find(QStringLiteral("lObs"));
    if (idFnm <= 0)
        return QString();
    const auto SetText = [&r](const QString& control, const QString& text) { sheetdoc::SetText(r, control, text); };

    struct Line {
        qint64 id;
        QString chap, art, par, title;
    };
    QList<Line> chapter;
    {
        db::Query q(DM->LURDO, QStringLiteral("SELECT ID_FNM, CHAP, ART, PAR, INTITULE, SECTION FROM FNM WHERE CHAP = "
                                              "(SELECT FIRST 1 CHAP FROM FNM WHERE ID_FNM=:ID_FNM)"));
        q.setParam(QStringLiteral("ID_FNM"), idFnm);
        q.open();
        for (q.first(); !q.eof(); q.next())
            chapter.append(Line{q.asInt(QStringLiteral("ID_FNM")), q.asString(QStringLiteral("CHAP")).trimmed(),
                                q.asString(QStringLiteral("ART")).trimmed(), q.asString(QStringLiteral("PAR")).trimmed(),
                                q.asString(QStringLiteral("INTITULE"))});
    }
    const auto own = std::find_if(chapter.cbegin(), chapter.cend(), [&](const Line& l) { return l.id == idFnm; });
    if (own == chapter.cend())
        return QString();
    const auto titleOf = [&](const QString& art, const QString& par) {
        for (const Line& l : chapter)
            if (l.art == art && l.par == par)
                return l.title;
        return QString();
    };

    SetText(QStringLiteral("dbChap"), own->chap);
    SetText(QStringLiteral("dbArt"), own->art);
    SetText(QStringLiteral("dbPar"), own->par);
    SetText(QStringLiteral("dbChap1"), own->chap);
    SetText(QStringLiteral("dbArt1"), own->art);
    SetText(QStringLiteral("dbPar1"), own->par);
    SetText(QStringLiteral("dblChap"), titleOf(QString(), QString()));
    if (own->par.isEmpty()) {
        for (const char* name : {"dblPar", "dbPar", "lPar", "lTiretPar"})
            if (rpt::Control* c = r.find(QString::fromLatin1(name)))
                c->setEnabled(false);
        if (lObs && dblPar)
            lObs->setTop(dblPar->top());
        SetText(QStringLiteral("dblArt"), own->title);
    } else {
        SetText(QStringLiteral("dblArt"), titleOf(own->art, QString()));
        SetText(QStringLiteral("dblPar"), own->title);
    }
    return own->chap;
}

void TCommitmentSheetForm::FillRows(const TSheetPrintHeader& header)
{
    const bool white = m_presentation == Presentation::WhitePaper;
    const int formRows = white ? sheetdoc::WhitePaperRows : sheetdoc::PrePrintedRows;
    rpt::Report& r = report();
    for (int k = 1; k <= formRows; ++k)
        for (const char* prefix : {"lNum", "lFact", "lMt"})
            if (rpt::Control* c = r.findNumbered(QString::fromLatin1(prefix), k))
                c->setEnabled(false);

    const QList<TSheetPrintLine> lines = sheetdoc::ReadLines(header.idEng);
    r.requireRoom(lines.size(), formRows, sheetdoc::TooManyLinesText(m_presentation, int(lines.size())));
    const bool depense = header.objet == SheetObject::Expense;
    const int printed = int(lines.size());

    rpt::Control* first = r.find(QStringLiteral("lFact1"));
    const sheetdoc::RowPlacement place =
        sheetdoc::PlaceRows(m_presentation, depense, printed, first ? first->top() : FirstRowTop);
    std::vector<rpt::StackRow> rows;
    for (int k = 1; k <= printed; ++k) {
        const TSheetPrintLine& line = lines[k - 1];
        const QString texts[] = {QString::number(k) + QStringLiteral("- "),
                                 sheetdoc::LineText(line, header, m_presentation), line.amount.formatMoney()};
        const char* prefixes[] = {"lNum", "lFact", "lMt"};
        rpt::Label* labels[3] = {};
        for (int i = 0; i < 3; ++i) {
            labels[i] = r.find<rpt::Label>(QString::fromLatin1(prefixes[i]) + QString::number(k));
            labels[i]->setCaption(texts[i]);
            labels[i]->setEnabled(true);
            if (place.fontSize > 0)
                labels[i]->setFontSize(place.fontSize);
        }
        rows.push_back({labels[1], {labels[0], labels[2]}, place.step, RowGap});
    }
    // The rows share the table: a text longer than its row takes the lines
    // it needs, the rows' texts shrinking together when the table is full.
    const int bottom = white ? WhiteRowsBottom : place.firstTop + RowsHeight;
    rpt::StackRows(rows, place.firstTop, bottom, rpt::MinFontPoints);
}

void TCommitmentSheetForm::FillRegulRows(const TSheetPrintHeader& header)
{
    const bool white = m_presentation == Presentation::WhitePaper;
    rpt::Report& r = report();
    for (int k = 1; k <= Slots(); ++k)
        for (const char* prefix : {"lNum", "lFact", "lMt"})
            if (rpt::Control* c = r.findNumbered(QString::fromLatin1(prefix), k))
                c->setEnabled(false);

    QList<sheetdoc::TRegulPrintRow> entries;
    if (m_series == sheetdoc::Series::RegulOrders)
        entries = sheetdoc::RegulOrderRows(header.idEng, IdFnm > 0 ? IdFnm : header.idFnm);
    else
        entries.append({QString(), header.obs, header.amount, false});
    // Every entry prints, or none: the total stands under all of them.
    const int limit = sheetdoc::RegulSlotLimit(m_presentation);
    r.requireRoom(entries.size(), limit, sheetdoc::RegulTooManyText(m_presentation, int(entries.size()), limit));

    rpt::Control* first = r.find(QStringLiteral("lFact1"));
    const sheetdoc::RowPlacement place = sheetdoc::PlaceRows(m_presentation, true, int(entries.size()),
                                                             first ? first->top() : FirstRowTop);
    std::vector<rpt::StackRow> rows;
    for (int k = 1; k <= entries.size(); ++k) {
        const sheetdoc::TRegulPrintRow& entry = entries[k - 1];
        const QString texts[] = {entry.number, entry.text, entry.amount.formatMoney()};
        const char* prefixes[] = {"lNum", "lFact", "lMt"};
        rpt::Label* labels[3] = {};
        for (int i = 0; i < 3; ++i) {
            labels[i] = r.find<rpt::Label>(QString::fromLatin1(prefixes[i]) + QString::number(k));
            labels[i]->setCaption(texts[i]);
            labels[i]->setEnabled(true);
            labels[i]->setFontSize(entry.order ? 10 : 9);
            labels[i]->setBold(entry.order);
            labels[i]->setUnderline(entry.order && i == 1);
        }
        if (entry.order && m_series == sheetdoc::Series::RegulOrders) {
            // The order's own row starts further right than its expenses', its right edge kept.
            const int right = labels[1]->left() + labels[1]->width();
            const int left = white ? WhiteOrderLeft : PrePrintedOrderLeft;
            if (left < right) {
                labels[1]->setLeft(left);
                labels[1]->setWidth(right - left);
            }
        }
        rows.push_back({labels[1], {labels[0], labels[2]}, place.step, RowGap});
    }
    const int bottom = white ? WhiteRowsBottom : place.firstTop + RowsHeight;
    rpt::StackRows(rows, place.firstTop, bottom, rpt::MinFontPoints);
}

void sheetdoc::FitWhitePaperLabels(rpt::Report& r)
{
    rpt::Label* dblArt = r.label(QStringLiteral("dblArt"));
    rpt::Label* dblPar = r.label(QStringLiteral("dblPar"));
    rpt::Label* lObs = r.label(QStringLiteral("lObs"));
    rpt::Control* lVille = r.find(QStringLiteral("lVille"));
    if (!dblArt || !dblPar || !lObs || !lVille)
        return;
    const auto needed = [](const rpt::Label* l) { return l->wrappedTextHeight(); };

    if (dblPar->enabled()) {
        const int need = needed(dblArt);
        if (need > dblArt->height()) {
            dblArt->setHeight(need + 5);
            const int top = dblArt->bottom() + 3;
            for (const char* name : {"lPar", "lTiretPar", "dbPar", "dblPar"})
                if (rpt::Control* c = r.find(QString::fromLatin1(name)))
                    c->setTop(top);
        }
        dblPar->setHeight(needed(dblPar) + 5);
        lObs->setTop(dblPar->bottom() + 10);
    } else {
        dblArt->setHeight(needed(dblArt) + 5);
        lObs->setTop(dblArt->bottom() + 10);
    }
    lObs->setHeight(needed(lObs) + 5);

    // The titles and the observation stay inside their zone, above the place
    // and date: a long text is cut there instead of pushing the band.
    const int zoneBottom = lVille->top() - ZoneGap;
    for (rpt::Control* c : {static_cast<rpt::Control*>(dblArt), static_cast<rpt::Control*>(dblPar),
                            static_cast<rpt::Control*>(lObs)}) {
        if (c->top() >= zoneBottom)
            c->setEnabled(false);
        else
            c->setHeight(std::min(c->height(), zoneBottom - c->top()));
    }
}
