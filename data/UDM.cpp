#include "data/UDM.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "core/Pause.h"
#include "core/Routines.h"
#include "data/Progress.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QThread>

#include <algorithm>
#include <array>

TDM* DM = nullptr;

// The schema script is a resource of a static library: its registration is
// linked in only when something refers to it.
static void initSchemaResource()
{
    Q_INIT_RESOURCE(schema);
}

namespace {

// The reference tables copied into a new year, in copy order; the list has 20
// slots, the last ones empty.
const std::array<const char*, 20> ReferenceTables = {
    "AGENCE", "BANQUE", "BENEF", "FAC", "FNM", "FWIL", "GRADE", "INTERCAL", "OBS_SERVICE", "REPORT",
    "T_SECUR", "T_USERS", "RAPPORT", "", "", "", "", "", "", ""};

// Tables whose key a BEFORE INSERT trigger draws from a generator.
struct KeyedTable {
    const char* table;
    const char* key;
    const char* generator;
};
const KeyedTable KeyedTables[] = {
    {"AGENCE", "ID_AGENCE", "GEN_AGENCE_ID"}, {"BANQUE", "ID_BANQUE", "GEN_BNQ"},
    {"BENEF", "ID_BEN", "GEN_BENEF"},         {"FNM", "ID_FNM", "GEN_FNM"},
    {"FWIL", "ID_WIL", "GEN_FWIL"},           {"GRADE", "ID_GRADE", "GEN_GRADE_ID"},
    {"RAPPORT", "ID_RAPPORT", "GEN_RAPPORT_ID"}, {"T_SECUR", "ID_SECUR", "GEN_ID_SECUR"},
    {"T_USERS", "ID_USER", "GEN_T_USERS_ID"},
};

const KeyedTable* keyedTable(const QString& table)
{
    for (const KeyedTable& k : KeyedTables)
        if (table == QLatin1String(k.table))
            return &k;
    return nullptr;
}

// Indexes added at every opening. The first two are the program's own; the
// others serve the budget-line and document questions below, which listings
// ask for every row: without them each question reads whole tables. Creating
// one that exists fails, harmlessly.
struct OpeningIndex {
    const char* name;
    const char* on;
};
const OpeningIndex OpeningIndexes[] = {
    {"ENT_ENG_IDX1", " ON ENT_ENG (ID_ORIGINE)"},
    {"DET_MDT_IDX1", " ON DET_MDT (ID_DETAIL)"},
    {"ENT_ENG_IDX2", " ON ENT_ENG (ID_FNM)"},
    {"ENT_ENG_REG_IDX1", " ON ENT_ENG_REG (ID_FNM)"},
    {"DET_ENG_IDX1", " ON DET_ENG (ID_DETAIL)"},
    {"DET_MDT_IDX2", " ON DET_MDT (ID_MDT)"},
    {"ENT_MDT_IDX1", " ON ENT_MDT (ID_MDT)"},
    {"DEPENSE_IDX1", " ON DEPENSE (ID_FNM)"},
    {"DET_SALAIRE_IDX1", " ON DET_SALAIRE (ID_DETAIL)"},
    {"FNM_IDX1", " ON FNM (ID_FNM)"},
    {"VIREMENT_IDX1", " ON VIREMENT (ID_FNM)"},
};

const QString CommitFailedText =
    QStringLiteral("Les informations n'ont pas été enregistrées ! Elles ont été restaurées.");

db::ConnectParams connectParams(const QString& path, const QString& user, const QString& password)
{
    db::ConnectParams p;
    p.path = path;
    p.user = user;
    p.password = password;
    return p;
}

QString schemaScript()
{
    initSchemaResource();
    QFile file(QStringLiteral(":/schema/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        throw db::DbError(QStringLiteral("Script de création de la base introuvable."));
    return QString::fromUtf8(file.readAll());
}

// The hourglass for the life of one operation.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

TDM::TDM(QObject* parent) : QObject(parent)
{
    myQuery = std::make_unique<db::Query>(LURDO);
    qDetEng = std::make_unique<db::Query>(LURDO);
    qDetMdt = std::make_unique<db::Query>(LURDO);
    try {
        OpenDatabase();
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        // The year's database could not be created: the error is shown, and the
        // program goes on as after a failed connection.
        const auto* dbError = dynamic_cast<const db::DbError*>(&e);
        ShowStandardError(dbError ? dbError->message() : QString::fromUtf8(e.what()));
        HandleConnectionFailure();
    }
}

TDM::~TDM()
{
    CloseDatabase();
}

QStringList TDM::OpeningIndexNames()
{
    QStringList names;
    for (const OpeningIndex& index : OpeningIndexes)
        names << QLatin1String(index.name);
    return names;
}

QString TDM::YearFileName(const QString& year)
{
    return QStringLiteral("KIV_DB_") + year + QStringLiteral(".FDB");
}

bool TDM::CommitWork()
{
    bool committed = true;
    try {
        LURDO.commit();
    } catch (...) {
        committed = false;
        try {
            LURDO.rollback();
        } catch (...) {
            // The transaction is dropped all the same; the next statement starts a new one.
        }
        ShowMessageBox(CommitFailedText, mtError, MsgButton::OK);
    }
    ProcessMessages();
    return committed;
}

qint64 TDM::NextGeneratorValue(const QString& generatorName)
{
    myQuery->setSql(QStringLiteral(" SELECT GEN_ID(") + generatorName + QStringLiteral(", 1) AS NUM FROM  RDB$DATABASE"));
    myQuery->open();
    const qint64 value = myQuery->asInt(QStringLiteral("NUM"));
    myQuery->close();
    return value;
}

void TDM::RequestProgramEnd()
{
    m_endRequested = true;
    // Once a message loop runs it is asked to stop; before it runs the start-up
    // reads ProgramEndRequested() and does not start it.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

void TDM::OpenDatabase()
{
    if (LURDO.isOpen()) {
        ShowInfo(QStringLiteral("Base connectée à la conception !"));
        RequestProgramEnd();
        return;
    }

    // A missing year is created only in local mode; a failure to create it
    // leaves at once (the half-made file is removed by CreateDatabase).
    bool isNew = false;
    if (ServerAddress.isEmpty() && !QFile::exists(DbPath)) {
        CreateDatabase(DbPath);
        isNew = true;
    }

    try {
        LURDO.open(connectParams(DbPath, DbUser, DbPassword));
        if (isNew) {
            bool ok = false;
            const QString previousYear = QString::number(FiscalYear.toInt(&ok) - 1);
            const QString previous = AppDir + YearFileName(previousYear);
            if (ok && QFile::exists(previous))
                CopyReferenceTables(previous, QStringLiteral("Initialisation de l'exercice ") + FiscalYear
                                                  + QStringLiteral(" en cours ... Patientez"));
        }
        AddIndexes();
    } catch (const std::exception&) {
        if (isNew) {
            // A year whose seeding failed is not left behind half made: the next
            // opening creates and seeds it again.
            LURDO.close();
            QFile::remove(DbPath);
        } else {
            LURDO.close();
        }
        ShowInfo(QStringLiteral("Impossible de se connecter à la base de données ") + DbPath);
        HandleConnectionFailure();
        if (!LURDO.isOpen())
            return;
    }

    // Only lines of OBJET 0 are expenses: the other lines of a sheet point to a
    // budget line, a cancelled sheet or a transfer, whose ids an expense may share.
    qDetEng->setSql(QStringLiteral(
        "SELECT ID_DETAIL FROM DET_ENG A WHERE (ID_DETAIL=:ID_DETAIL) AND (A.OBJET=0) AND "
        "      (ID_ENG NOT IN (SELECT ID_ORIGINE FROM ENT_ENG "
        "                      WHERE (OBJET=:OBJET) AND "
        "                            (ORIGINE=:ORIGINE) AND "
        "                            (ID_ORIGINE=A.ID_ENG)))"));
    qDetEng->setParam(QStringLiteral("OBJET"), 1);
    qDetEng->setParam(QStringLiteral("ORIGINE"), QStringLiteral("1"));
    // Whether an expense stands in a payment order is read from the stored
    // lines at each question (through DET_MDT_IDX1), so it always answers as
    // the lines do, without a snapshot to refresh after each change.
    qDetMdt->setSql(QStringLiteral("SELECT FIRST 1 ID_DETAIL FROM DET_MDT WHERE ID_DETAIL=:ID_DETAIL"));
    ProcessMessages();
}

void TDM::HandleConnectionFailure()
{
    // After the login the built-in accounts and the default user end the
    // program; before it, and for users made by the user form, the connection
    // dialog is offered, whose Cancel ends the program.
    if (CurrentUserAccess != 0 || !OfferConnectionDialog())
        RequestProgramEnd();
}

bool TDM::OfferConnectionDialog()
{
    // The connection dialog makes a new connection on LURDO and returns whether
    // one stands; until it exists, a failed connection ends the program.
    return LURDO.isOpen();
}

void TDM::AddIndexes()
{
    for (const OpeningIndex& index : OpeningIndexes) {
        try {
            LURDO.execute(QStringLiteral("CREATE INDEX \"") + QLatin1String(index.name) + QStringLiteral("\"")
                          + QLatin1String(index.on));
            LURDO.commit();
        } catch (const db::DbError&) {
            // The index exists already: nothing to do, and nothing to say.
            try {
                LURDO.rollback();
            } catch (const db::DbError&) {
            }
        }
    }
}

void TDM::CreateDatabase(const QString& path)
{
    WaitCursor wait;
    auto info = MakeProgressDisplay();
    info->start(QStringLiteral("Création de la base de données ..."), 0);

    const db::ConnectParams params = connectParams(path, QStringLiteral("SYSDBA"), DefaultDbPassword());
    bool created = false;
    try {
        db::Connection::create(params);
        created = true;
        db::Connection conn;
        conn.open(params);
        conn.executeScript(schemaScript());
        conn.commit();
        conn.close();
    } catch (...) {
        if (created)
            QFile::remove(path);
        Pause(2000);
        info.reset();
        throw;
    }
    Pause(2000);
    info.reset();
}

void TDM::CopyReferenceTables(const QString& sourcePath, const QString& message)
{
    WaitCursor wait;
    auto info = MakeProgressDisplay();
    info->start(message, int(ReferenceTables.size()));

    DbUser = QStringLiteral("SYSDBA");
    DbPassword = DefaultDbPassword();
    db::Connection source;
    try {
        source.open(connectParams(sourcePath, DbUser, DbPassword));
        for (const char* name : ReferenceTables) {
            const QString table = QLatin1String(name);
            if (!table.isEmpty()) {
                db::Query rows(source, QStringLiteral("SELECT * FROM ") + table);
                rows.open();
                db::Query insert(LURDO, BuildInsertStatement(rows, table, QStringLiteral("I")));

                // Copied rows keep their keys, so that references between the
                // copied tables stay right: before each insert the key's
                // generator is moved so that the key trigger draws the row's own
                // key; afterwards it stands past the largest copied key.
                const KeyedTable* keyed = keyedTable(table);
                const int keyColumn = keyed ? rows.columnIndex(QLatin1String(keyed->key)) : -1;
                std::unique_ptr<db::Query> step;
                qint64 generator = 0;
                qint64 largest = 0;
                if (keyColumn >= 0) {
                    step = std::make_unique<db::Query>(
                        LURDO, QStringLiteral("SELECT GEN_ID(%1, CAST(:STEP AS BIGINT)) AS NUM FROM RDB$DATABASE")
                                   .arg(QLatin1String(keyed->generator)));
                    step->setParam(QStringLiteral("STEP"), 0);
                    step->open();
                    generator = step->asInt(QStringLiteral("NUM"));
                    largest = generator;
                }
                const QStringList& columns = rows.columnNames();
                for (int r = 0; r < rows.rowCount(); ++r) {
                    for (int c = 0; c < columns.size(); ++c)
                        insert.setParam(columns[c], rows.at(r, c));
                    if (step) {
                        const qint64 key = db::toInt(rows.at(r, keyColumn));
                        if (key - 1 != generator) {
                            step->setParam(QStringLiteral("STEP"), key - 1 - generator);
                            step->open();
                        }
                        generator = key;
                        largest = std::max(largest, key);
                    }
                    insert.exec();
                }
                if (step && largest != generator) {
                    step->setParam(QStringLiteral("STEP"), largest - generator);
                    step->open();
                }
            }
            info->step();
            ProcessMessages();
        }
        source.commit();

        db::Query clear(LURDO, QStringLiteral(
            "UPDATE FNM SET        MT_BP=:MT_BP,        MT_REGIE=:MT_REGIE,        NO_DEC_BP=:NO_DEC_BP,"
            "        DATE_BP=:DATE_BP,        MT_BS=:MT_BS,        NO_DEC_BS=:NO_DEC_BS,"
            "        DATE_BS=:DATE_BS,        RESTE=:RESTE"));
        clear.setParam(QStringLiteral("MT_BP"), Currency());
        clear.setParam(QStringLiteral("MT_REGIE"), Currency());
        clear.setParam(QStringLiteral("NO_DEC_BP"), QString());
        clear.setNull(QStringLiteral("DATE_BP"));
        clear.setParam(QStringLiteral("MT_BS"), Currency());
        clear.setParam(QStringLiteral("NO_DEC_BS"), QString());
        clear.setNull(QStringLiteral("DATE_BS"));
        clear.setParam(QStringLiteral("RESTE"), Currency());
        clear.exec();
        // The whole copy is one transaction: a failure leaves nothing behind.
        LURDO.commit();
        source.close();
    } catch (...) {
        try {
            LURDO.rollback();
        } catch (...) {
        }
        info.reset();
        throw;
    }
    info.reset();
    Pause(200);
    ProcessMessages();
}

QString TDM::BuildInsertStatement(const db::Query& query, const QString& table, const QString& mode)
{
    if (mode != QLatin1String("I"))
        return QString();
    const QStringList& fields = query.columnNames();
    QStringList params;
    for (const QString& field : fields)
        params << QLatin1Char(':') + field;
    return QStringLiteral("INSERT INTO ") + table + QLatin1Char(' ') + QStringLiteral("( ") + fields.join(QStringLiteral(", "))
           + QStringLiteral(" )") + QStringLiteral(" VALUES ") + QStringLiteral("( ") + params.join(QStringLiteral(", "))
           + QStringLiteral(" )");
}

void TDM::CloseDatabase()
{
    qDetEng->close();
    qDetMdt->close();
    LURDO.close();
    ProcessMessages();
}

// ---------------------------------------------------------------------------
// Budget-line and document questions

Currency TDM::SumOf(db::Query& query, const QString& column)
{
    query.open();
    const Currency value = query.asCurrency(column); // no row or NULL: 0
    query.close();
    return value;
}

Currency TDM::CreditAvailableAt(qint64 idFnm, const QDate& date)
{
    db::Query& q = *myQuery;
    q.setSql(QStringLiteral("SELECT (MT_BP - MT_REGIE) AS TOT FROM FNM WHERE ID_FNM=:ID_FNM AND "
                            "      ( (DATE_BP IS NULL) OR (DATE_BP <=:DATE_SOLDE) )"));
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    q.setParam(QStringLiteral("DATE_SOLDE"), date);
    const Currency primitive = SumOf(q, QStringLiteral("TOT"));

    q.setSql(QStringLiteral("SELECT MT_BS FROM FNM WHERE ID_FNM=:ID_FNM AND "
                            "      ( (DATE_BS IS NULL) OR (DATE_BS <=:DATE_SOLDE) )"));
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    q.setParam(QStringLiteral("DATE_SOLDE"), date);
    const Currency amending = SumOf(q, QStringLiteral("MT_BS"));

    q.setSql(QStringLiteral("SELECT SUM(MONTANT)AS TOT FROM VIREMENT WHERE SENS=:SENS AND ID_FNM=:ID_FNM AND "
                            "      DATE_VIR <=:DATE_SOLDE"));
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    q.setParam(QStringLiteral("DATE_SOLDE"), date);
    q.setParam(QStringLiteral("SENS"), QStringLiteral("D"));
    const Currency given = SumOf(q, QStringLiteral("TOT"));
    q.setParam(QStringLiteral("SENS"), QStringLiteral("E"));
    const Currency received = SumOf(q, QStringLiteral("TOT"));

    ProcessMessages();
    return primitive + received + amending - given;
}

Currency TDM::TotalMandatedAt(int kind, qint64 idFnm, const QDate& date)
{
    QString procedure;
    switch (kind) {
    case 0: procedure = QStringLiteral("GET_TOT_MDT"); break;
    case 1: procedure = QStringLiteral("GET_TOT_MDT_SEC_1"); break;
    case 2: procedure = QStringLiteral("GET_TOT_MDT_SEC_2"); break;
    default: return Currency();
    }
    db::Query& q = *myQuery;
    q.setSql(QStringLiteral("SELECT * FROM ") + procedure + QStringLiteral("(:ID_FNM, :DATE_MDT)"));
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    q.setParam(QStringLiteral("DATE_MDT"), date);
    q.open();
    Currency total;
    if (kind == 0 || kind == 1)
        total += q.asCurrency(QStringLiteral("TOT_S1"));
    if (kind == 0 || kind == 2)
        total += q.asCurrency(QStringLiteral("TOT_S2"));
    q.close();
    ProcessMessages();
    return total;
}

Currency TDM::TotalCommittedAt(int kind, qint64 idFnm, const QDate& date)
{
    // Every caller asks for kind 0, the user's own expense commitments.
    Q_UNUSED(kind);
    db::Query& q = *myQuery;
    q.setSql(QStringLiteral("SELECT SUM(MONTANT) AS TOT_ENG FROM ENT_ENG WHERE OBJET=:OBJET AND "
                            "      ORIGINE=:ORIGINE AND "
                            "      STATUT=:STATUT AND "
                            "      ID_FNM=:ID_FNM AND "
                            "      DATE_ENG<=:DATE_ENG"));
    q.setParam(QStringLiteral("OBJET"), 0);
    q.setParam(QStringLiteral("ORIGINE"), QString());
    q.setParam(QStringLiteral("STATUT"), 0);
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    q.setParam(QStringLiteral("DATE_ENG"), date);
    const Currency total = SumOf(q, QStringLiteral("TOT_ENG"));
    ProcessMessages();
    return total;
}

namespace {

int nextNumber(db::Connection& conn, const QString& sql, qint64 idFnm)
{
    db::Query q(conn, sql);
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    q.open();
    if (q.isEmpty() || q.isNull(QStringLiteral("NOFE")))
        return 1;
    const QString text = q.asString(QStringLiteral("NOFE"));
    if (!IsNumberText(text))
        return 1;
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return (ok ? n : int(text.trimmed().toDouble())) + 1;
}

bool isLastNumber(db::Query& q, const QString& sql, qint64 idFnm, const QString& number)
{
    if (number.trimmed().isEmpty())
        return true;
    q.setSql(sql);
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    q.open();
    if (q.isEmpty()) {
        q.close();
        return true;
    }
    q.last();
    const bool last = q.asString(QStringLiteral("NO_ENG")) == number;
    q.close();
    return last;
}

} // namespace

int TDM::NextCommitmentNumber(qint64 idFnm)
{
    return nextNumber(LURDO, QStringLiteral("SELECT MAX(NO_ENG) AS NOFE FROM ENT_ENG WHERE ID_FNM=:ID_FNM"), idFnm);
}

bool TDM::IsLastCommitmentNumber(qint64 idFnm, const QString& number)
{
    return isLastNumber(*myQuery, QStringLiteral("SELECT NO_ENG FROM ENT_ENG WHERE ID_FNM=:ID_FNM ORDER BY NO_ENG"),
                        idFnm, number);
}

Currency TDM::CommitmentBalanceBefore(qint64 idFnm, const QString& number)
{
    // Every sheet counts by its absolute amount, on the side its OBJET gives.
    Currency credits;
    Currency commitments;
    for (const char* sign : {"MONTANT > 0", "MONTANT < 0"}) {
        db::Query& q = *myQuery;
        q.setSql(QStringLiteral("SELECT OBJET, SUM(MONTANT) AS MT_ENG FROM ENT_ENG WHERE (%1) AND "
                                "      (ID_FNM=:ID_FNM) AND "
                                "      (NO_ENG<:NO_ENG) GROUP BY OBJET ORDER BY OBJET ")
                     .arg(QLatin1String(sign)));
        q.setParam(QStringLiteral("ID_FNM"), idFnm);
        q.setParam(QStringLiteral("NO_ENG"), number);
        q.open();
        for (q.first(); !q.eof(); q.next()) {
            const Currency amount = q.asCurrency(QStringLiteral("MT_ENG")).abs();
            if (q.asInt(QStringLiteral("OBJET")) != 0)
                credits += amount;
            else
                commitments += amount;
        }
        q.close();
    }
    ProcessMessages();
    return credits - commitments;
}

int TDM::NextRegularisationNumber(qint64 idFnm)
{
    return nextNumber(LURDO, QStringLiteral("SELECT MAX(NO_ENG) AS NOFE FROM ENT_ENG_REG WHERE ID_FNM=:ID_FNM"), idFnm);
}

bool TDM::IsLastRegularisationNumber(qint64 idFnm, const QString& number)
{
    return isLastNumber(*myQuery,
                        QStringLiteral("SELECT NO_ENG FROM ENT_ENG_REG WHERE ID_FNM=:ID_FNM ORDER BY NO_ENG"), idFnm,
                        number);
}

Currency TDM::RegularisationBalanceBefore(qint64 idFnm, const QString& number)
{
    WaitCursor wait;
    db::Query& q = *myQuery;
    q.setSql(QStringLiteral("SELECT MT_BP FROM FNM WHERE ID_FNM=:ID_FNM"));
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    const Currency base = SumOf(q, QStringLiteral("MT_BP"));

    auto sum = [&](const QString& sql, int objet) {
        q.setSql(sql);
        q.setParam(QStringLiteral("OBJET"), objet);
        q.setParam(QStringLiteral("ID_FNM"), idFnm);
        q.setParam(QStringLiteral("NO_ENG"), number);
        return SumOf(q, QStringLiteral("TOTAL"));
    };
    const Currency negative = -sum(QStringLiteral("SELECT SUM(MONTANT) AS TOTAL FROM ENT_ENG_REG WHERE MONTANT < 0 "
                                                  "AND OBJET=:OBJET AND       ID_FNM=:ID_FNM AND NO_ENG<:NO_ENG"),
                                   0);
    const Currency positive = sum(QStringLiteral("SELECT SUM(MONTANT) AS TOTAL FROM ENT_ENG_REG WHERE MONTANT >= 0 "
                                                 "AND OBJET=:OBJET AND       ID_FNM=:ID_FNM AND NO_ENG<:NO_ENG"),
                                  0);
    const Currency credits = sum(QStringLiteral("SELECT SUM(MONTANT) AS TOTAL FROM ENT_ENG_REG WHERE OBJET=:OBJET "
                                                "AND ID_FNM=:ID_FNM AND NO_ENG<:NO_ENG"),
                                 1);
    return base + credits - (negative + positive);
}

int TDM::GetExpenseState(qint64 idDepense)
{
    qDetMdt->close();
    qDetMdt->setParam(QStringLiteral("ID_DETAIL"), idDepense);
    qDetMdt->open();
    const bool mandated = !qDetMdt->isEmpty();
    qDetMdt->close();

    qDetEng->close();
    qDetEng->setParam(QStringLiteral("ID_DETAIL"), idDepense);
    qDetEng->open();
    const bool committed = !qDetEng->isEmpty();
    qDetEng->close();
    return (committed ? 1 : 0) + (mandated ? 2 : 0);
}

bool TDM::IsSingleChapterOrder(qint64 idMdt)
{
    // The chapters of the budget lines of the order's expenses, read in one
    // query from the order's own lines (not the whole nomenclature); expenses
    // without a budget line, or whose line is missing, take no part.
    db::Query q(LURDO, QStringLiteral("SELECT DISTINCT E.ID_FNM, F.CHAP FROM DET_MDT D "
                                      "JOIN DEPENSE E ON E.ID_DEPENSE=D.ID_DETAIL "
                                      "JOIN FNM F ON F.ID_FNM=E.ID_FNM "
                                      "WHERE D.ID_MDT=:ID_MDT"));
    q.setParam(QStringLiteral("ID_MDT"), idMdt);
    q.open();
    for (int r = 1; r < q.rowCount(); ++r)
        if (db::toText(q.at(r, 1)) != db::toText(q.at(0, 1)))
            return false;
    return true;
}

QString TDM::GetServiceObservation(const QString& column, const QString& chapter)
{
    if (column.isEmpty())
        return QString();
    db::Query& q = *myQuery;
    q.setSql(QStringLiteral("SELECT * FROM OBS_SERVICE WHERE CHAP=:CHAP"));
    q.setParam(QStringLiteral("CHAP"), chapter);
    q.open();
    const QString text = q.isEmpty() ? QString() : q.asString(column);
    q.close();
    ProcessMessages();
    return text;
}

QString TDM::GetChapterTitle(const QString& chapter)
{
    db::Query& q = *myQuery;
    q.setSql(QStringLiteral("SELECT INTITULE FROM FNM WHERE CHAP=:Chap AND "
                            "      (ART=:ART OR ART IS NULL)AND "
                            "      (PAR=:PAR OR PAR IS NULL)"));
    q.setParam(QStringLiteral("CHAP"), chapter);
    q.setParam(QStringLiteral("ART"), QString());
    q.setParam(QStringLiteral("PAR"), QString());
    q.open();
    const QString title = q.isEmpty() ? QStringLiteral("-") : q.asString(QStringLiteral("INTITULE"));
    q.close();
    return title;
}
