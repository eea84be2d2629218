#pragma once
// The SQL of the reference-data windows, one small store per table: banks,
// beneficiaries, the budget nomenclature, the code tables, the service
// observations and the attachment labels. A list window and its record window
// use the same store.
//
// Reads run on the program's connection; writes run statements only, inside
// the caller's write operation. Each statement is prepared once for the life
// of the store. The rows of the grids come from a store's Read...() (a
// window's model reads through it), and a row of a grid is read back through
// the store's typed ...Of(row).

#include "data/Codes.h"
#include "data/ListingRows.h"
#include "db/Database.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>

// One row of a choice list: its key and its text.
using TChoice = QPair<qint64, QString>;

// ---------------------------------------------------------------------------
// Banks (BANQUE)

struct TBank {
    qint64 id = -1;
    QString rs, diminutif;
};

class TBankStore {
public:
    TBankStore();
    ~TBankStore();

    // Every bank (every column, and ROW_VERSION, the version each was read
    // at), by name.
    TListingRows ReadAll();
    // The bank of a row of ReadAll().
    static TBank BankOf(const QueryRow& row);
    // Whether a beneficiary has the bank.
    bool InUse(qint64 idBanque);
    // A new bank, created and changed today by the current user; its key.
    qint64 Insert(const QString& rs, const QString& diminutif);
    void Update(qint64 idBanque, const QString& rs, const QString& diminutif);
    void Delete(qint64 idBanque);

private:
    std::unique_ptr<db::Query> m_all, m_used, m_insert, m_update, m_delete;
};

// ---------------------------------------------------------------------------
// Beneficiaries (BENEF)

struct TBeneficiary {
    qint64 id = -1;
    QString nom;
    BeneficiaryType type = BeneficiaryType::Supplier;
    qint64 serviceGrade = -1;  // the grade's key for an employee, the service kind otherwise; -1 none
    QString adr, ville;
    qint64 idWil = -1;
    QString tel, fax;
    qint64 idBanque = -1;
    qint64 idAgence = -1;
    QString compte, rc, mf, ai;
};

class TBeneficiaryStore {
public:
    TBeneficiaryStore();
    ~TBeneficiaryStore();

    // Every beneficiary (every column, and ROW_VERSION), by name.
    TListingRows ReadAll();
    // The list's rows (ID_BEN, NOM, ADR), by name: all of them (no `type`),
    // or those of one type.
    TListingRows ReadList(std::optional<BeneficiaryType> type);
    // The beneficiary of a row of ReadAll(), as stored (a NULL key or kind
    // reads as 0).
    static TBeneficiary BeneficiaryOf(const QueryRow& row);
    // The key and the name of a row of ReadList() or ReadAll().
    static qint64 KeyOf(const QueryRow& row);
    static QString NameOf(const QueryRow& row);

    // The choice lists of the record window, by text.
    QList<TChoice> Grades();
    QList<TChoice> Wilayas();
    QList<TChoice> Banks();
    QList<TChoice> Agencies();

    // Whether an expense has the beneficiary.
    bool InUse(qint64 idBen);
    // A new beneficiary, created and changed today by the current user; its key.
    qint64 Insert(const TBeneficiary& b);
    void Update(const TBeneficiary& b);
    void Delete(qint64 idBen);

private:
    QList<TChoice> Choices(std::unique_ptr<db::Query>& slot, const QString& sql, const QString& key,
                           const QString& text);
    std::unique_ptr<db::Query> m_all, m_list, m_listOfType, m_grades, m_wilayas, m_banks, m_agencies, m_used,
        m_insert, m_update, m_delete;
};

// ---------------------------------------------------------------------------
// Budget nomenclature (FNM)

struct TBudgetLineEntry {
    qint64 id = -1;
    QString chap, art, par;
    bool soumis = false;       // subject to the social charges
    QString intitule;
    int section = 1;           // 1 or 2
};

class TNomenclatureStore {
public:
    TNomenclatureStore();
    ~TNomenclatureStore();

    // Every line (every column, and ROW_VERSION), in nomenclature order.
    TListingRows ReadAll();
    // The chapters of the nomenclature (CHAP), in order: as rows for a grid,
    // and as texts without their blanks.
    TListingRows ReadChapters();
    QStringList Chapters();
    // The line of a row of ReadAll(), its texts as stored.
    static TBudgetLineEntry LineOf(const QueryRow& row);
    // The chapter of a row of ReadChapters() or ReadAll(), as stored.
    static QString ChapterOf(const QueryRow& row);
    // Whether a row of budget lines (of ReadAll(), or any other with the
    // nomenclature's ART and PAR) is a chapter heading: no article, no paragraph.
    static bool IsChapterHeading(const QueryRow& row);

    // One line; nothing when it is gone.
    std::optional<TBudgetLineEntry> Read(qint64 idFnm);
    // Whether a line of that chapter, article and paragraph exists (a line
    // stored without article or paragraph may hold NULL or an empty text).
    bool Exists(const QString& chap, const QString& art, const QString& par);
    // What uses a line: expense movements (expenses, salary lines, commitment
    // sheets of expenses, cancellations, payment-order regularisations) and
    // credit movements (a budget, budget and transfer sheets, transfer rows).
    struct Usage {
        bool expenses = false;
        bool budget = false;
    };
    Usage UsageOf(qint64 idFnm);

    // A new line, created and changed today by the current user; its key.
    qint64 Insert(const TBudgetLineEntry& line);
    void Update(const TBudgetLineEntry& line);
    void Delete(qint64 idFnm);

private:
    std::unique_ptr<db::Query> m_all, m_chapters, m_read, m_exists, m_usage, m_insert, m_update, m_delete;
};

// ---------------------------------------------------------------------------
// Code tables: a key and a label (AGENCE, FRET, FWIL, GRADE...)

class TCodeTableStore {
public:
    // `table` and `keyField` are the program's own names of a code table,
    // checked by the caller; never typed text.
    TCodeTableStore(QString table, QString keyField);
    ~TCodeTableStore();

    // Every row (every column, and ROW_VERSION), by label.
    TListingRows ReadAll();
    // The key and the label of a row of ReadAll().
    qint64 KeyOf(const QueryRow& row) const;
    static QString LabelOf(const QueryRow& row);
    // A new row (its key drawn by the table's trigger); its key.
    qint64 Insert(const QString& label);
    void Update(qint64 key, const QString& label);
    void Delete(qint64 key);

private:
    QString m_table, m_keyField;
    std::unique_ptr<db::Query> m_all, m_insert, m_update, m_delete;
};

// ---------------------------------------------------------------------------
// Service observations (OBS_SERVICE): five texts per chapter

class TObservationStore {
public:
    using Texts = std::array<QString, 5>;
    // The columns of the five texts, in their order.
    static const std::array<const char*, 5> Columns;
    // The table has no key: a row is named by the engine's address of it and
    // the version it was read at (data/ShownRow.h).
    struct Row {
        Texts texts;
        QByteArray dbKey;
        qint64 version = -1;
    };

    TObservationStore();
    ~TObservationStore();

    // The chapter's row (the first one, should it have several); nothing when
    // the chapter has none.
    std::optional<Row> Read(const QString& chapter);
    // The row read as `dbKey`, as it stands now; nothing when it is gone.
    std::optional<Row> ReadAt(const QByteArray& dbKey);
    // A row for a chapter that has none; refused (ERowChanged) when another
    // user gave the chapter its row since it was looked at.
    void Insert(const QString& chapter, const Texts& texts);
    // The row read as `dbKey` takes the texts; refused (ERowChanged) when it is gone.
    void Update(const QByteArray& dbKey, const Texts& texts);
    // Every chapter of the nomenclature gets its row, then every row the texts.
    void SetForAll(const Texts& texts);

private:
    std::unique_ptr<db::Query> m_read, m_readAt, m_insert, m_update, m_fill, m_all;
};

// ---------------------------------------------------------------------------
// Attachment labels (PJ): a number and a label, no key

class TAttachmentStore {
public:
    // A row as read: the number (NULL when none), the label, and the engine's
    // address of the row and its version, which name it (data/ShownRow.h).
    struct Row {
        db::Value num;
        QString label;
        QByteArray dbKey;
        qint64 version = -1;
    };

    TAttachmentStore();
    ~TAttachmentStore();

    // Every row, in the table's own order, read again.
    QList<Row> ReadAll();
    // A new row; the engine's address of it.
    QByteArray Insert(const db::Value& num, const QString& label);
    // The row read as `dbKey` changes, or goes; refused (ERowChanged) when it is gone.
    void Update(const QByteArray& dbKey, const db::Value& num, const QString& label);
    void Delete(const QByteArray& dbKey);

private:
    std::unique_ptr<db::Query> m_all, m_insert, m_update, m_delete;
};
