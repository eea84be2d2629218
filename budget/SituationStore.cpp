#include "budget/SituationStore.h"

#include "data/Codes.h"
#include "data/ShownRow.h"

#include <QHash>

#include <algorithm>

namespace {

// Text columns as the grid shows them: trailing blanks of CHAR columns dropped.
QString Text(const db::Value& v)
{
    QString s = db::toText(v);
    while (s.endsWith(QLatin1Char(' ')))
        s.chop(1);
    return s;
}

// The dates of the budget sheets of one origin, by line (the first sheet of a
// line when it has several).
QHash<qint64, QDate> SheetDates(db::Connection& conn, const QString& sql, const QList<QPair<QString, db::Value>>& params)
{
    db::Query q(conn, sql);
    for (const auto& p : params)
        q.setParam(p.first, p.second);
    q.open();
    QHash<qint64, QDate> dates;
    for (int r = 0; r < q.rowCount(); ++r) {
        const qint64 line = db::toInt(q.at(r, 0));
        if (!dates.contains(line))
            dates.insert(line, db::toDate(q.at(r, 1)));
    }
    return dates;
}

// The day a budget counts from: its visa date, else the date of its sheet,
// else today.
QDate BudgetDate(const QDate& visa, const QHash<qint64, QDate>& sheets, qint64 line, const QDate& today)
{
    if (visa.isValid())
        return visa;
    const QDate sheet = sheets.value(line);
    return sheet.isValid() ? sheet : today;
}

// The order-status test of the payment filter, on the order table's alias.
QString OrderStatusTest(int filter, const QString& alias)
{
    switch (filter) {
    case pfPaid: return alias + QStringLiteral(".STATUT=:STATUT AND ");
    case pfUnpaid: return alias + QStringLiteral(".STATUT<>:STATUT AND ");
    default: return QString();
    }
}

// The period's dates and the codes the statements below name, each bound
// when the statement has it.
void SetPeriod(db::Query& q, const TSituationRequest& request)
{
    const QList<QPair<QString, db::Value>> values{
        {QStringLiteral("DATE_D"), db::Value(request.start)},
        {QStringLiteral("DATE_F"), db::Value(request.end)},
        {QStringLiteral("STATUT"), toDbValue(OrderStatus::Paid)},
        {QStringLiteral("IN_FORCE"), db::Value(SheetInForce)},
        {QStringLiteral("USER_ORIGIN"), toDbValue(SheetOrigin::User)},
        {QStringLiteral("CANCELLATION"), toDbValue(SheetOrigin::Cancellation)},
        {QStringLiteral("EXPENSE"), toDbValue(SheetObject::Expense)},
        {QStringLiteral("INVOICE"), toDbValue(ExpenseKind::Invoice)},
        {QStringLiteral("MISSION"), toDbValue(ExpenseKind::Mission)},
        {QStringLiteral("IMPUTATION"), toDbValue(SalaryLineType::Imputation)}};
    for (const auto& [name, value] : values)
        if (q.paramNames().contains(name))
            q.setParam(name, value);
}

// Sums of one measure by line: the first column is the line, the last the sum.
QHash<qint64, Currency> SumsByLine(db::Connection& conn, const QString& sql, const TSituationRequest& request)
{
    db::Query q(conn, sql);
    SetPeriod(q, request);
    q.open();
    QHash<qint64, Currency> sums;
    const int last = q.columnCount() - 1;
    for (int r = 0; r < q.rowCount(); ++r) {
        if (db::isNull(q.at(r, 0)))
            continue;
        sums[db::toInt(q.at(r, 0))] += db::toCurrency(q.at(r, last));
    }
    return sums;
}

} // namespace

TSituationRow CorrectedSituationRow(const TSituationRow& row, Currency crAl, Currency crRv, Currency eng, Currency pmt)
{
    TSituationRow r = row;
    r.crAl = crAl;
    r.crRv = crRv;
    r.eng = eng;
    r.pmt = pmt;
    r.sld = crRv - pmt;
    r.taux = SituationRate(pmt, crRv);
    return r;
}

QDate QuarterEnd(int quarter, int year)
{
    const int month = (std::clamp(quarter, 0, 3) + 1) * 3;
    return QDate(year, month, 1).addMonths(1).addDays(-1);
}

struct TSituationStore::LineFigures {
    TSituationRow row;
    qint64 section = 0;
};

TSituationStore::TSituationStore(db::Connection& connection) : m_conn(connection) {}

int TSituationStore::Stages()
{
    return 6;
}

std::vector<TSituationStore::LineFigures> TSituationStore::ComputeLines(const TSituationRequest& request, int section,
                                                                         const Progress& progress)
{
    int stage = 0;
    auto advance = [&] {
        ++stage;
        if (progress)
            progress(stage, Stages());
    };

    // The budget lines, chapter headings included.
    db::Query lines(m_conn, section > 0
                                ? QStringLiteral("SELECT ID_FNM, CHAP, ART, PAR, INTITULE, SECTION, MT_BP, DATE_BP, "
                                                 "MT_BS, DATE_BS FROM FNM WHERE SECTION=:SECTION ORDER BY CHAP, ART, PAR")
                                : QStringLiteral("SELECT ID_FNM, CHAP, ART, PAR, INTITULE, SECTION, MT_BP, DATE_BP, "
                                                 "MT_BS, DATE_BS FROM FNM ORDER BY CHAP, ART, PAR"));
    if (section > 0)
        lines.setParam(QStringLiteral("SECTION"), section);
    lines.open();
    advance();

    // The dates of the primitive and amending budget sheets.
    const QHash<qint64, QDate> primitiveSheets = SheetDates(
        m_conn, QStringLiteral("SELECT ID_FNM, DATE_ENG FROM ENT_ENG WHERE OBJET=:OBJET AND ORIGINE=:ORIGINE "
                               "ORDER BY ID_ENG"),
        {{QStringLiteral("OBJET"), toDbValue(SheetObject::Economy)},
         {QStringLiteral("ORIGINE"), toDbValue(SheetOrigin::PrimitiveBudget)}});
    const QHash<qint64, QDate> amendingSheets = SheetDates(
        m_conn, QStringLiteral("SELECT ID_FNM, DATE_ENG FROM ENT_ENG WHERE ORIGINE=:ORIGINE ORDER BY ID_ENG"),
        {{QStringLiteral("ORIGINE"), toDbValue(SheetOrigin::AmendingBudget)}});
    advance();

    // Transfers up to the end of the period: given less, received more.
    QHash<qint64, Currency> transfers;
    {
        db::Query q(m_conn, QStringLiteral("SELECT ID_FNM, SENS, SUM(MONTANT) AS MT_VIR FROM VIREMENT "
                                           "WHERE DATE_VIR<=:DATE_F GROUP BY ID_FNM, SENS"));
        SetPeriod(q, request);
        q.open();
        for (int r = 0; r < q.rowCount(); ++r) {
            const Currency amount = db::toCurrency(q.at(r, 2));
            transfers[db::toInt(q.at(r, 0))] +=
                fromDb<TransferSide>(Text(q.at(r, 1))) == TransferSide::Giving ? -amount : amount;
        }
    }
    advance();

    // The user's own expense commitments of the period, not cancelled by the
    // end of it (a cancellation writes its key into the cancelled sheet's STATUT).
    QString visa;
    if (request.commitments == cfVisaed)
        visa = QStringLiteral("E.DATE_VISA<=:DATE_F AND ");
    else if (request.commitments == cfNotVisaed)
        visa = QStringLiteral("E.DATE_VISA IS NULL AND ");
    const QHash<qint64, Currency> commitments = SumsByLine(
        m_conn,
        QStringLiteral("SELECT E.ID_FNM, SUM(E.MONTANT) AS MT_ENG FROM ENT_ENG E "
                       "WHERE E.STATUT>=:IN_FORCE AND E.ORIGINE=:USER_ORIGIN AND E.OBJET=:EXPENSE AND ")
            + visa
            + QStringLiteral("E.DATE_ENG>=:DATE_D AND E.DATE_ENG<=:DATE_F AND "
                             "NOT EXISTS (SELECT 1 FROM ENT_ENG C WHERE C.ID_ENG=E.STATUT AND E.STATUT>:IN_FORCE AND "
                             "C.ORIGINE=:CANCELLATION AND (C.DATE_ENG IS NULL OR C.DATE_ENG<=:DATE_F)) "
                             "GROUP BY E.ID_FNM"),
        request);
    advance();

    // Payment-order lines of the period of the invoices, missions and other
    // expenses, by the line their expense is charged to.
    const QHash<qint64, Currency> expenses = SumsByLine(
        m_conn,
        QStringLiteral("SELECT E.ID_FNM, SUM(A.MONTANT) AS TOT_PMT FROM DET_MDT A "
                       "JOIN ENT_MDT B ON A.ID_MDT=B.ID_MDT "
                       "JOIN DEPENSE E ON E.ID_DEPENSE=A.ID_DETAIL WHERE ")
            + OrderStatusTest(request.payments, QStringLiteral("B"))
            + QStringLiteral("B.DATE_MDT>=:DATE_D AND B.DATE_MDT<=:DATE_F AND "
                             "E.TYPE_DEPENSE IN (:INVOICE, :MISSION) AND E.ID_FNM IS NOT NULL GROUP BY E.ID_FNM"),
        request);
    advance();

    // Gross salary lines charged to a line, each once, whose expense stands on
    // an order of the period.
    const QHash<qint64, Currency> salaries = SumsByLine(
        m_conn,
        QStringLiteral("SELECT A.ID_DETAIL, SUM(A.MONTANT) AS TOT_PMT FROM DET_SALAIRE A "
                       "WHERE A.TYPE_DET=:IMPUTATION AND EXISTS (SELECT 1 FROM DET_MDT B JOIN ENT_MDT C ON C.ID_MDT=B.ID_MDT "
                       "WHERE B.ID_DETAIL=A.ID_DEPENSE AND ")
            + OrderStatusTest(request.payments, QStringLiteral("C"))
            + QStringLiteral("C.DATE_MDT>=:DATE_D AND C.DATE_MDT<=:DATE_F) GROUP BY A.ID_DETAIL"),
        request);
    advance();

    std::vector<LineFigures> out;
    out.reserve(size_t(lines.rowCount()));
    const int cId = lines.columnIndex(QStringLiteral("ID_FNM"));
    const int cChap = lines.columnIndex(QStringLiteral("CHAP"));
    const int cArt = lines.columnIndex(QStringLiteral("ART"));
    const int cPar = lines.columnIndex(QStringLiteral("PAR"));
    const int cTitle = lines.columnIndex(QStringLiteral("INTITULE"));
    const int cSection = lines.columnIndex(QStringLiteral("SECTION"));
    const int cBp = lines.columnIndex(QStringLiteral("MT_BP"));
    const int cDateBp = lines.columnIndex(QStringLiteral("DATE_BP"));
    const int cBs = lines.columnIndex(QStringLiteral("MT_BS"));
    const int cDateBs = lines.columnIndex(QStringLiteral("DATE_BS"));
    for (int r = 0; r < lines.rowCount(); ++r) {
        LineFigures f;
        TSituationRow& row = f.row;
        const qint64 id = db::toInt(lines.at(r, cId));
        row.idFnm = id;
        row.chap = Text(lines.at(r, cChap));
        row.art = Text(lines.at(r, cArt));
        row.par = Text(lines.at(r, cPar));
        row.intitule = db::toText(lines.at(r, cTitle));
        f.section = db::toInt(lines.at(r, cSection));

        const QDate end = request.end;
        const QDate bpDate = BudgetDate(db::toDate(lines.at(r, cDateBp)), primitiveSheets, id, request.today);
        const QDate bsDate = BudgetDate(db::toDate(lines.at(r, cDateBs)), amendingSheets, id, request.today);
        row.crAl = end >= bpDate ? db::toCurrency(lines.at(r, cBp)) : Currency();
        const Currency amending = end >= bsDate ? db::toCurrency(lines.at(r, cBs)) : Currency();
        row.crRv = row.crAl + amending + transfers.value(id);
        row.eng = commitments.value(id);
        // Every payment counts on the line it is charged to, whatever its kind
        // and the line's section: the views differ only by the lines they show.
        row.pmt = salaries.value(id) + expenses.value(id);
        row.sld = row.crRv - row.pmt;
        row.taux = SituationRate(row.pmt, row.crRv);
        out.push_back(std::move(f));
    }
    return out;
}

std::vector<TSituationRow> TSituationStore::LineRows(const TSituationRequest& request, const Progress& progress)
{
    const int section = request.view == svSection1 ? 1 : request.view == svSection2 ? 2 : 0;
    std::vector<LineFigures> figures = ComputeLines(request, section, progress);

    // Chapter sums over every row of the chapter, its heading row included.
    struct Sums {
        Currency crAl, crRv, eng, pmt, sld;
    };
    QHash<QString, Sums> chapters;
    for (const LineFigures& f : figures) {
        Sums& s = chapters[f.row.chap];
        s.crAl += f.row.crAl;
        s.crRv += f.row.crRv;
        s.eng += f.row.eng;
        s.pmt += f.row.pmt;
        s.sld += f.row.sld;
    }
    std::vector<TSituationRow> rows;
    rows.reserve(figures.size());
    for (LineFigures& f : figures) {
        TSituationRow& row = f.row;
        if (row.IsChapter()) {
            const Sums& s = chapters[row.chap];
            row.crAl = s.crAl;
            row.crRv = s.crRv;
            row.eng = s.eng;
            row.pmt = s.pmt;
            row.sld = s.sld;
            row.taux = SituationRate(s.pmt, s.crRv);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<TSituationRow> TSituationStore::RecapRows(const TSituationRequest& request, const Progress& progress)
{
    const std::vector<LineFigures> figures = ComputeLines(request, 0, progress);
    std::vector<TSituationRow> rows;
    for (int section : {1, 2}) {
        TSituationRow row;
        row.idFnm = -2;
        row.chap = QStringLiteral("R");
        row.art = QStringLiteral(".");
        row.par = QStringLiteral(".");
        row.intitule = QStringLiteral("SECTION ") + QString::number(section);
        for (const LineFigures& f : figures) {
            if (f.section != section)
                continue;
            row.crAl += f.row.crAl;
            row.crRv += f.row.crRv;
            row.eng += f.row.eng;
            row.pmt += f.row.pmt;
        }
        row.sld = row.crRv - row.pmt;
        row.taux = SituationRate(row.pmt, row.crRv);
        rows.push_back(row);
    }
    return rows;
}

bool TSituationStore::HasUndatedOrders()
{
    db::Query q(m_conn, QStringLiteral("SELECT FIRST 1 ID_MDT FROM ENT_MDT WHERE DATE_MDT IS NULL"));
    q.open();
    return !q.isEmpty();
}

void TSituationStore::Replace(const std::vector<TSituationRow>& rows)
{
    db::Query(m_conn, QStringLiteral("UPDATE DET_SALAIRE SET MONTANT = 0 WHERE MONTANT IS NULL")).exec();
    db::Query(m_conn, QStringLiteral("DELETE FROM SIT_FIN")).exec();
    db::Query insert(m_conn, QStringLiteral("INSERT INTO SIT_FIN (ID_FNM, CHAP, ART, PAR, INTITULE, CR_AL, CR_RV, ENG, "
                                            "PMT, SLD, TAUX ) VALUES(:ID_FNM, :CHAP, :ART, :PAR, :INTITULE, :CR_AL, "
                                            ":CR_RV, :ENG, :PMT, :SLD, :TAUX )"));
    for (const TSituationRow& row : rows) {
        insert.setParam(QStringLiteral("ID_FNM"), row.idFnm);
        insert.setParam(QStringLiteral("CHAP"), row.chap);
        insert.setParam(QStringLiteral("ART"), row.art);
        insert.setParam(QStringLiteral("PAR"), row.par);
        insert.setParam(QStringLiteral("INTITULE"), row.intitule);
        insert.setParam(QStringLiteral("CR_AL"), row.crAl);
        insert.setParam(QStringLiteral("CR_RV"), row.crRv);
        insert.setParam(QStringLiteral("ENG"), row.eng);
        insert.setParam(QStringLiteral("PMT"), row.pmt);
        insert.setParam(QStringLiteral("SLD"), row.sld);
        insert.setParam(QStringLiteral("TAUX"), row.taux);
        insert.exec();
    }
}

namespace {

const QString kStoredRows = QStringLiteral("SELECT * FROM SIT_FIN ORDER BY CHAP, ART, PAR, INTITULE");

} // namespace

TListingRows TSituationStore::GridRows()
{
    db::Query q(m_conn, kStoredRows);
    return ReadListingRows(q);
}

std::vector<TSituationRow> TSituationStore::StoredRows()
{
    db::Query q(m_conn, kStoredRows);
    q.open();
    std::vector<TSituationRow> rows;
    rows.reserve(size_t(q.rowCount()));
    for (q.first(); !q.eof(); q.next())
        rows.push_back(SituationRowOf(q));
    return rows;
}

TSituationTotals TSituationStore::Totals()
{
    TSituationTotals t;
    {
        db::Query any(m_conn, QStringLiteral("SELECT FIRST 1 ID_FNM FROM SIT_FIN"));
        any.open();
        t.empty = any.isEmpty();
    }
    db::Query q(m_conn, QStringLiteral("SELECT SUM(CR_AL) AS TOT_AL, SUM(CR_RV) AS TOT_RV, SUM(ENG) AS TOT_ENG, "
                                       "SUM(PMT) AS TOT_PMT, SUM(SLD) AS TOT_SLD FROM SIT_FIN WHERE ART<>:ART"));
    q.setParam(QStringLiteral("ART"), QString());
    q.open();
    TSituationRow& sums = t.sums;
    sums.crAl = q.asCurrency(QStringLiteral("TOT_AL"));
    sums.crRv = q.asCurrency(QStringLiteral("TOT_RV"));
    sums.eng = q.asCurrency(QStringLiteral("TOT_ENG"));
    sums.pmt = q.asCurrency(QStringLiteral("TOT_PMT"));
    sums.sld = q.asCurrency(QStringLiteral("TOT_SLD"));
    // The rate of the totals, on the initial credits when nothing is revised.
    sums.taux = SituationRate(sums.pmt, !sums.crRv.isZero() ? sums.crRv : sums.crAl);
    return t;
}

QHash<QString, QString> TSituationStore::ChapterTitles()
{
    db::Query q(m_conn, QStringLiteral("SELECT CHAP, INTITULE FROM FNM WHERE ART=:ART AND PAR=:PAR"));
    q.setParam(QStringLiteral("ART"), QString());
    q.setParam(QStringLiteral("PAR"), QString());
    q.open();
    QHash<QString, QString> titles;
    for (int r = 0; r < q.rowCount(); ++r) {
        const QString chapter = Text(q.at(r, 0)).trimmed();
        if (!titles.contains(chapter))
            titles.insert(chapter, db::toText(q.at(r, 1)).trimmed());
    }
    return titles;
}

void TSituationStore::CorrectRow(const TSituationRow& stored, const TSituationRow& corrected)
{
    const auto bindFigures = [](db::Query& q, const TSituationRow& f) {
        q.setParam(QStringLiteral("CR_AL"), f.crAl);
        q.setParam(QStringLiteral("CR_RV"), f.crRv);
        q.setParam(QStringLiteral("ENG"), f.eng);
        q.setParam(QStringLiteral("PMT"), f.pmt);
        q.setParam(QStringLiteral("SLD"), f.sld);
        q.setParam(QStringLiteral("TAUX"), f.taux);
    };

    // The chapter row is locked first, so two corrections in one chapter
    // follow each other and its sum is taken on rows nobody else changes.
    bool hasChapterRow = false;
    if (!stored.IsChapter()) {
        db::Query lock(m_conn, QStringLiteral("SELECT ID_FNM FROM SIT_FIN WHERE CHAP=:CHAP AND ART=:ART WITH LOCK"));
        lock.setParam(QStringLiteral("CHAP"), stored.chap);
        lock.setParam(QStringLiteral("ART"), QString());
        lock.open();
        hasChapterRow = !lock.isEmpty();
    }

    db::Query update(m_conn, QStringLiteral("UPDATE SIT_FIN SET CR_AL=:CR_AL, CR_RV=:CR_RV, ENG=:ENG, PMT=:PMT, "
                                            "SLD=:SLD, TAUX=:TAUX WHERE ID_FNM=:ID_FNM AND CHAP=:CHAP AND ART=:ART "
                                            "AND PAR=:PAR AND INTITULE=:INTITULE"));
    bindFigures(update, corrected);
    update.setParam(QStringLiteral("ID_FNM"), stored.idFnm);
    update.setParam(QStringLiteral("CHAP"), stored.chap);
    update.setParam(QStringLiteral("ART"), stored.art);
    update.setParam(QStringLiteral("PAR"), stored.par);
    update.setParam(QStringLiteral("INTITULE"), stored.intitule);
    ExecOnRow(update);
    if (!hasChapterRow)
        return;

    db::Query sums(m_conn, QStringLiteral("SELECT SUM(CR_AL) AS TCR_AL, SUM(CR_RV) AS TCR_RV, SUM(ENG) AS T_ENG, "
                                          "SUM(PMT) AS T_PMT, SUM(SLD) AS T_SLD FROM SIT_FIN "
                                          "WHERE CHAP=:CHAP AND ART<>:ART"));
    sums.setParam(QStringLiteral("CHAP"), stored.chap);
    sums.setParam(QStringLiteral("ART"), QString());
    sums.open();
    TSituationRow chapter;
    chapter.crAl = sums.asCurrency(QStringLiteral("TCR_AL"));
    chapter.crRv = sums.asCurrency(QStringLiteral("TCR_RV"));
    chapter.eng = sums.asCurrency(QStringLiteral("T_ENG"));
    chapter.pmt = sums.asCurrency(QStringLiteral("T_PMT"));
    chapter.sld = sums.asCurrency(QStringLiteral("T_SLD"));
    chapter.taux = SituationRate(chapter.pmt, chapter.crRv);
    db::Query chapterUpdate(m_conn, QStringLiteral("UPDATE SIT_FIN SET CR_AL=:CR_AL, CR_RV=:CR_RV, ENG=:ENG, PMT=:PMT, "
                                                   "SLD=:SLD, TAUX=:TAUX WHERE CHAP=:CHAP AND ART=:ART"));
    bindFigures(chapterUpdate, chapter);
    chapterUpdate.setParam(QStringLiteral("CHAP"), stored.chap);
    chapterUpdate.setParam(QStringLiteral("ART"), QString());
    chapterUpdate.exec();
}
