#include "data/UDM.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "core/Pause.h"
#include "data/Backup.h"
#include "data/NumberSeries.h"
#include "data/YearCreation.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <utility>

TDM* DM = nullptr;

namespace {

ConnectionDialogOffer& connectionDialogOffer()
{
    static ConnectionDialogOffer offer;
    return offer;
}

} // namespace

void SetConnectionDialogOffer(ConnectionDialogOffer offer)
{
    connectionDialogOffer() = std::move(offer);
}

QString FrenchOrder(const QString& column)
{
    return DM->LURDO.frenchOrder(column);
}

namespace {

// Indexes added at every opening. The first two are the program's own; the
// others serve the budget-line and document questions (data/BudgetQueries), which listings
// ask for every row: without them each question reads whole tables. Only the
// missing ones are created; one the engine refuses is named to the user.
struct OpeningIndex {
    const char* name;
    const char* on;
};
const OpeningIndex OpeningIndexes[] = {
    {"ENT_ENG_IDX1", " ON ENT_ENG (ID_ORIGINE)"},
    {"DET_MDT_IDX1", " ON DET_MDT (ID_DETAIL)"},
    {"ENT_ENG_IDX2", " ON ENT_ENG (ID_FNM)"},
    {"ENT_ENG_REG_IDX1", " ON ENT_ENG_REG (ID_FNM)"},
    {"ENT_ENG_REG_IDX2", " ON ENT_ENG_REG (ID_ENG)"},
    {"DET_ENG_REG_IDX1", " ON DET_ENG_REG (ID_ENG)"},
    {"DET_ENG_REG_IDX2", " ON DET_ENG_REG (ID_DETAIL)"},
    {"DET_ENG_IDX1", " ON DET_ENG (ID_DETAIL)"},
    {"DET_MDT_IDX2", " ON DET_MDT (ID_MDT)"},
    {"ENT_MDT_IDX1", " ON ENT_MDT (ID_MDT)"},
    {"DEPENSE_IDX1", " ON DEPENSE (ID_FNM)"},
    {"DEPENSE_IDX2", " ON DEPENSE (ID_BEN)"},
    {"DET_SALAIRE_IDX1", " ON DET_SALAIRE (ID_DETAIL)"},
    {"DET_SALAIRE_IDX2", " ON DET_SALAIRE (ID_DEPENSE)"},
    {"FNM_IDX1", " ON FNM (ID_FNM)"},
    {"VIREMENT_IDX1", " ON VIREMENT (ID_FNM)"},
};

// What each generator numbers, as the refusal of a key past the limit names it.
const std::pair<const char*, const char*> KeyedDocuments[] = {
    {"GEN_DEPENSE_ID", "dépenses"},
    {"GEN_ENGAGEMENT_ID", "fiches d'engagement et de régularisation"},
    {"GEN_MDT", "mandats"},
    {"GEN_VIR", "virements"},
    {"GEN_DET_SAL_ID", "lignes de salaire"},
};

// The wait for another program's creation of an opening index: the check
// made again every IndexRetryMilliseconds, for IndexWaitMilliseconds at most
// over the whole opening.
constexpr int IndexRetryMilliseconds = 100;
constexpr qint64 IndexWaitMilliseconds = 30000;

const QString CommitFailedText =
    QStringLiteral("Les informations n'ont pas été enregistrées ! Elles ont été restaurées.");

} // namespace

TDM::TDM(QObject* parent) : QObject(parent)
{
    myQuery = std::make_unique<db::Query>(LURDO);
    m_queries = std::make_unique<BudgetQueries>(LURDO);
    try {
        OpenDatabase();
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        // The year's database could not be created: the error is shown, and the
        // program goes on as after a failed connection.
        const auto* dbError = dynamic_cast<const db::DbError*>(&e);
        ShowStandardError(dbError ? DatabaseErrorText(*dbError) : QString::fromUtf8(e.what()));
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

bool TDM::CommitWork()
{
    try {
        LURDO.commit();
    } catch (...) {
        RollbackWork();
        return false;
    }
    return true;
}

void TDM::RollbackWork()
{
    try {
        LURDO.rollback();
    } catch (...) {
        // The transaction is dropped all the same; the next write starts a new one.
    }
    ShowMessageBox(CommitFailedText, mtError, MsgButton::OK);
}

qint64 TDM::NextGeneratorValue(const QString& generatorName)
{
    myQuery->setSql(QStringLiteral(" SELECT GEN_ID(") + generatorName + QStringLiteral(", 1) AS NUM FROM  RDB$DATABASE"));
    myQuery->open();
    const qint64 value = myQuery->asInt(QStringLiteral("NUM"));
    myQuery->close();
    return value;
}

qint64 TDM::NextKey(const QString& generatorName)
{
    const qint64 key = NextGeneratorValue(generatorName);
    if (key <= MaxSmallKey)
        return key;
    QString what = QStringLiteral("lignes");
    for (const auto& [generator, rows] : KeyedDocuments)
        if (generatorName.compare(QLatin1String(generator), Qt::CaseInsensitive) == 0)
            what = QString::fromUtf8(rows);
    ShowMessageBox(QStringLiteral("Le nombre maximal de %1 d'un exercice (32 767) est atteint : "
                                  "impossible d'en ajouter.\rRien n'a été enregistré.")
                       .arg(what),
                   mtError, MsgButton::OK);
    Abort();
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

    // A missing year is created only in local mode, and only complete.
    const TOpening opening = ConnectTo(DbPath, FiscalYear, ServerAddress.isEmpty());
    if (!opening.ok()) {
        if (opening.result == TOpening::CreationFailed)
            ShowStandardError(opening.reason);
        else
            ShowInfo(OpeningFailureText(opening, DbPath));
        HandleConnectionFailure();
        if (!LURDO.isOpen())
            return;
    }

    ProcessMessages();
}

bool TDM::ReopenDatabase()
{
    const TOpening opening = ConnectTo(DbPath, FiscalYear, false);
    if (!opening.ok()) {
        ShowInfo(OpeningFailureText(opening, DbPath));
        HandleConnectionFailure();
    }
    return LURDO.isOpen();
}

TDM::TOpening TDM::ConnectTo(const QString& path, const QString& fiscalYear, bool createMissing)
{
    if (LURDO.isOpen())
        CloseDatabase();

    TOpening opening;
    // A failure to make the year leaves nothing behind; a failure to seed it
    // counts as a failed connection.
    if (createMissing && ServerAddress.isEmpty()) {
        RemoveUnfinishedYear(path);
        if (!QFile::exists(path)) {
            // A year missing beside what a restore left is never replaced by
            // an empty one: the user is offered to put the year back.
            const TRestoreLeftovers left = FindRestoreLeftovers(path);
            if (!left.empty() && !OfferToPutBackYear(path, fiscalYear, left)) {
                opening.reason = QStringLiteral("Aucune base vide n'a été créée à sa place.");
                return opening;
            }
        }
        if (!QFile::exists(path)) {
            try {
                CreateYear(path, PreviousYearFile(path, fiscalYear),
                           QStringLiteral("Initialisation de l'exercice ") + fiscalYear
                               + QStringLiteral(" en cours ... Patientez"));
            } catch (const YearSeedingError& e) {
                opening.reason = e.message();
                return opening;
            } catch (const db::DbError& e) {
                opening.result = TOpening::CreationFailed;
                opening.reason = DatabaseErrorText(e);
                return opening;
            } catch (const std::exception& e) {
                opening.result = TOpening::CreationFailed;
                opening.reason = QString::fromUtf8(e.what());
                return opening;
            }
        }
    }

    try {
        LURDO.open(db::ConnectParams{path, DbUser, DbPassword});
        AddIndexes();
        const QString seriesRefused = AddNumberSeries(LURDO);
        if (!seriesRefused.isEmpty())
            ShowMessageBox(QStringLiteral("La table ") + NumberSeriesTable
                               + QStringLiteral(" n'a pas pu être ajoutée à la base de données : deux utilisateurs "
                                                "pourraient donner en même temps le même numéro à deux mandats.\r\r")
                               + seriesRefused,
                           mtWarning, MsgButton::OK);
    } catch (const std::exception& e) {
        LURDO.close();
        const auto* dbError = dynamic_cast<const db::DbError*>(&e);
        opening.result = dbError && dbError->isDatabaseInUse() ? TOpening::InUse : TOpening::Failed;
        opening.reason = dbError ? dbError->message() : QString::fromUtf8(e.what());
        return opening;
    }
    opening.result = TOpening::Opened;
    return opening;
}

QString TDM::OpeningFailureText(const TOpening& opening, const QString& path)
{
    if (opening.result == TOpening::InUse)
        return QStringLiteral("La base de données de l'exercice ") + FiscalYear
               + QStringLiteral(" est utilisée par un autre programme sur cet ordinateur "
                                "(le programme est peut-être déjà ouvert).\r")
               + path;
    return QStringLiteral("Impossible de se connecter à la base de données ") + path;
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
    // The connection dialog makes a new connection through ConnectTo and
    // returns whether one stands; without it a failed connection ends the
    // program.
    const ConnectionDialogOffer& offer = connectionDialogOffer();
    if (!offer)
        return LURDO.isOpen();
    // The dialog works through DM: while it runs, DM is this module (at
    // start-up the module is not yet DM when its opening fails).
    TDM* const previous = DM;
    DM = this;
    bool connected = false;
    try {
        connected = offer() && LURDO.isOpen();
    } catch (...) {
        DM = previous;
        throw;
    }
    DM = previous;
    return connected;
}

QStringList TDM::PresentIndexes(const QStringList& names)
{
    db::Query q(LURDO, QStringLiteral("SELECT TRIM(RDB$INDEX_NAME) AS NAME FROM RDB$INDICES"));
    q.open();
    QStringList present;
    for (q.first(); !q.eof(); q.next()) {
        const QString name = q.asString(QStringLiteral("NAME"));
        if (names.contains(name, Qt::CaseInsensitive))
            present << name;
    }
    return present;
}

void TDM::AddIndexes()
{
    const QStringList present = PresentIndexes(OpeningIndexNames());
    QStringList refused;
    QString reason;
    // How long the opening waits, in all, for other programs' creations of
    // the same indexes to end.
    QElapsedTimer waiting;
    for (const OpeningIndex& index : OpeningIndexes) {
        const QString name = QLatin1String(index.name);
        if (present.contains(name, Qt::CaseInsensitive))
            continue;
        for (;;) {
            try {
                LURDO.execute(QStringLiteral("CREATE INDEX \"") + name + QStringLiteral("\"") + QLatin1String(index.on));
                LURDO.commit();
                break;
            } catch (const db::DbError& e) {
                try {
                    LURDO.rollback();
                } catch (const db::DbError&) {
                }
                // Made meanwhile by another program: there all the same.
                if (!PresentIndexes({name}).isEmpty())
                    break;
                // Another program opening the year is adding it now (its row
                // of the index, not yet committed, holds the name): its
                // creation ends one way or the other, and the index is then
                // there, or this opening makes it.
                if (e.isDuplicate() || e.isConflict()) {
                    if (!waiting.isValid())
                        waiting.start();
                    if (waiting.elapsed() < IndexWaitMilliseconds) {
                        QThread::msleep(IndexRetryMilliseconds);
                        continue;
                    }
                }
                // Any other refusal (no right to change the table, the table
                // in use) leaves the index missing, and the questions that
                // rely on it slow.
                refused << name;
                if (reason.isEmpty())
                    reason = e.message();
                break;
            }
        }
    }
    if (refused.isEmpty())
        return;
    const QString what = refused.size() == 1
                             ? QStringLiteral("L'index ") + refused.first()
                                   + QStringLiteral(" n'a pas pu être ajouté à la base de données")
                             : QStringLiteral("Les index ") + refused.join(QStringLiteral(", "))
                                   + QStringLiteral(" n'ont pas pu être ajoutés à la base de données");
    ShowMessageBox(what + QStringLiteral(" : les listes et les documents qui s'en servent seront lents.\r\r") + reason,
                   mtWarning, MsgButton::OK);
}

void TDM::CloseDatabase()
{
    if (LURDO.isOpen())
        emit ConnectionClosing();
    LURDO.close();
}
