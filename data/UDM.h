#pragma once
// The data module: the program's one database connection, the routines that
// end a group of writes and draw keys, the opening, creation and seeding of a
// fiscal year's database, and the shared questions about budget lines and
// documents.

#include "db/Database.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <memory>

class TDM : public QObject {
    Q_OBJECT
public:
    explicit TDM(QObject* parent = nullptr);   // opens the fiscal year's database
    ~TDM() override;                            // closes it

    // The one connection every window's queries run on.
    db::Connection LURDO;

    // Commits; on failure rolls back and shows "Les informations n'ont pas été
    // enregistrées ! Elles ont été restaurées."; never throws. Returns whether
    // the commit succeeded.
    bool CommitWork();
    qint64 NextGeneratorValue(const QString& generatorName);

    void OpenDatabase();
    void CreateDatabase(const QString& path);
    void CopyReferenceTables(const QString& sourcePath, const QString& message);
    static QString BuildInsertStatement(const db::Query& query, const QString& table, const QString& mode);
    void CloseDatabase();

    // Shared questions about budget lines and documents.
    Currency CreditAvailableAt(qint64 idFnm, const QDate& date);
    Currency TotalMandatedAt(int kind, qint64 idFnm, const QDate& date);
    Currency TotalCommittedAt(int kind, qint64 idFnm, const QDate& date);
    int NextCommitmentNumber(qint64 idFnm);
    bool IsLastCommitmentNumber(qint64 idFnm, const QString& number);
    Currency CommitmentBalanceBefore(qint64 idFnm, const QString& number);
    int NextRegularisationNumber(qint64 idFnm);
    bool IsLastRegularisationNumber(qint64 idFnm, const QString& number);
    Currency RegularisationBalanceBefore(qint64 idFnm, const QString& number);
    int GetExpenseState(qint64 idDepense);
    bool IsSingleChapterOrder(qint64 idMdt);
    QString GetServiceObservation(const QString& column, const QString& chapter);
    QString GetChapterTitle(const QString& chapter);

    // Called after every commit that adds or removes payment-order lines or
    // deletes an order. GetExpenseState reads the stored lines themselves, so
    // there is nothing to refresh.
    void RefreshMandatedSnapshot() {}

    // Set when the opening has told the program to end (a failed connection,
    // or a connection already made): the start-up then ends the program instead
    // of starting the message loop; a running message loop is asked to exit.
    bool ProgramEndRequested() const { return m_endRequested; }

    // The fiscal year's database file name: "KIV_DB_" + year + ".FDB".
    static QString YearFileName(const QString& year);
    // The indexes every opening adds when they are missing: ENT_ENG_IDX1 and
    // DET_MDT_IDX1, then those that keep the budget-line and document questions
    // from reading whole tables.
    static QStringList OpeningIndexNames();

private:
    void AddIndexes();
    void HandleConnectionFailure();
    bool OfferConnectionDialog();
    void RequestProgramEnd();
    Currency SumOf(db::Query& query, const QString& column);

    std::unique_ptr<db::Query> myQuery;  // scratch query of the module's routines
    std::unique_ptr<db::Query> qDetEng;  // commitment lines of one expense not cancelled
    std::unique_ptr<db::Query> qDetMdt;  // payment-order lines of one expense
    bool m_endRequested = false;
};

// The one instance, created at start-up after the main window.
extern TDM* DM;
