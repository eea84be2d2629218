#pragma once
// The data module: the program's one database connection, the routines that
// end a group of writes and draw keys, and the opening of a fiscal year's
// database (creating and seeding a missing one through data/YearCreation.h).
// The shared questions about budget lines and documents are DM->Queries().

#include "data/BudgetQueries.h"
#include "db/Database.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class TDM : public QObject {
    Q_OBJECT
public:
    explicit TDM(QObject* parent = nullptr);   // opens the fiscal year's database
    ~TDM() override;                            // closes it

    // The one connection every window's queries run on.
    db::Connection LURDO;

    // Commits the write transaction; on failure rolls back and shows "Les
    // informations n'ont pas été enregistrées ! Elles ont été restaurées.";
    // never throws. Returns whether the commit succeeded. Windows end their
    // writes through a write guard (data/WriteGuard.h), which calls it.
    bool CommitWork();
    qint64 NextGeneratorValue(const QString& generatorName);

    // The key of a row about to be inserted, drawn from `generatorName`; call
    // it only when inserting (an edit keeps its row's key). The keys of a
    // year's documents are SMALLINT columns: once the generator passes
    // MaxSmallKey, the insert is refused with a French message naming what
    // the year can hold no more of ("Le nombre maximal de dépenses d'un
    // exercice (32 767) est atteint ..."), and the handler is abandoned
    // silently (EAbort), so a write operation around it writes nothing.
    // Generators: GEN_DEPENSE_ID (expenses), GEN_ENGAGEMENT_ID (commitment and
    // regularisation sheets together), GEN_MDT (payment orders), GEN_VIR
    // (transfers), GEN_DET_SAL_ID (salary lines).
    qint64 NextKey(const QString& generatorName);
    static constexpr qint64 MaxSmallKey = 32767;

    // Opens the fiscal year's database DbPath, creating and seeding a missing
    // year in local mode; a failure is told and handled (the program ends, or
    // the connection dialog is offered).
    void OpenDatabase();
    // Closes the connection; ConnectionClosing() is emitted first.
    void CloseDatabase();

    // How an opening went.
    struct TOpening {
        enum Result { Opened, Failed, InUse, CreationFailed };
        Result result = Failed;
        QString reason;   // the engine's report, or why the year could not be made
        bool ok() const { return result == Opened; }
    };
    // The one way the connection is made, whatever asks for it (the start-up,
    // the year switch, the connection dialog, the reopening after a backup or
    // a restore): in local mode and when `createMissing`, a missing year file
    // is made under a temporary name and seeded from the previous year (looked
    // for in the database's folder, then in the program folder), except beside
    // what an interrupted restore left: the user is then offered to put the
    // year back, and no empty year is ever made in its place; then the
    // connection, in the character set the file holds, the opening indexes and
    // the series of order numbers. It tells no failure to open and never ends
    // the program: the caller decides. What it could not add to a year it
    // opened (an index, the series) is told, as at every opening.
    TOpening ConnectTo(const QString& path, const QString& fiscalYear, bool createMissing);
    // What the user is told when an opening of `path` failed.
    static QString OpeningFailureText(const TOpening& opening, const QString& path);
    // Reopens DbPath after the program closed it for a while (backup, restore):
    // never creates a year; a failure is told and handled as at start-up.
    // Returns whether the connection stands.
    bool ReopenDatabase();
    // A failed opening after the login: the built-in accounts and the default
    // user end the program; the users made by the user form are offered the
    // connection dialog, whose Cancel ends the program.
    void HandleConnectionFailure();

    // The shared questions about budget lines and documents, their statements
    // prepared once on LURDO.
    BudgetQueries& Queries() { return *m_queries; }

    // Set when the opening has told the program to end (a failed connection,
    // or a connection already made): the start-up then ends the program instead
    // of starting the message loop; a running message loop is asked to exit.
    bool ProgramEndRequested() const { return m_endRequested; }

    // The indexes every opening adds when they are missing: ENT_ENG_IDX1 and
    // DET_MDT_IDX1, then those that keep the budget-line and document questions
    // from reading whole tables. An index the engine refuses to create (the
    // user may not change the table, the table is in use) is named to the user
    // once per opening, in one warning; the opening goes on. One that another
    // program opening the year is adding at the same moment is waited for:
    // once that program has made it, it counts as present; when its creation
    // failed, this opening makes it.
    static QStringList OpeningIndexNames();

signals:
    // The connection is about to close: whatever holds rows or a cursor of it
    // (the SQL console's grid) lets them go.
    void ConnectionClosing();

private:
    void AddIndexes();
    // Those of `names` the database holds.
    QStringList PresentIndexes(const QStringList& names);
    bool OfferConnectionDialog();
    void RequestProgramEnd();

    // Rolls the write transaction back and shows the commit routine's message.
    void RollbackWork();

    // The write guards alive, and whether an inner one was left without its
    // commit (the operation is then rolled back as a whole).
    friend class TWriteGuard;
    int m_writeDepth = 0;
    bool m_writeSpoiled = false;

    std::unique_ptr<db::Query> myQuery;  // scratch query of the module's routines
    std::unique_ptr<BudgetQueries> m_queries;
    bool m_endRequested = false;
};

// The one instance, created at start-up after the main window.
extern TDM* DM;

// The connection dialog a failed opening offers (installed by the shell): it
// runs modally and returns whether a connection stands afterwards. Without
// one, a failed opening ends the program.
using ConnectionDialogOffer = std::function<bool()>;
void SetConnectionDialogOffer(ConnectionDialogOffer offer);

// A name or title column as an ORDER BY term in French order on the year's
// database (db::Connection::frenchOrder of the data module's connection).
QString FrenchOrder(const QString& column);
