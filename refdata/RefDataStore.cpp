#include "refdata/RefDataStore.h"

#include "core/GlobalState.h"
#include "data/Codes.h"
#include "data/KeptStatement.h"
#include "data/ShownRow.h"
#include "data/UDM.h"

#include <QDate>

namespace {

bool AnyRow(db::Query& q)
{
    q.open();
    const bool any = !q.isEmpty();
    q.close();
    return any;
}

// The key an insert ... RETURNING gave back.
qint64 ReturnedKey(db::Query& q, const QString& field)
{
    return q.isEmpty() ? -1 : q.asInt(field);
}

// The engine's address of the current row (read, or returned by an insert, as DBKEY).
QByteArray RowAddress(const db::Query& q)
{
    if (q.isEmpty())
        return QByteArray();
    const db::Value& v = q.value(QStringLiteral("DBKEY"));
    const QByteArray* bytes = std::get_if<QByteArray>(&v);
    return bytes ? *bytes : QByteArray();
}

} // namespace

// ---------------------------------------------------------------------------
// Banks

TBankStore::TBankStore() = default;
TBankStore::~TBankStore() = default;

TListingRows TBankStore::ReadAll()
{
    return ReadListingRows(KeptStatement(m_all, QStringLiteral("SELECT B.*, B.RDB$RECORD_VERSION AS ROW_VERSION "
                                                               "FROM BANQUE B ORDER BY ")
                                                    + FrenchOrder(QStringLiteral("RS"))));
}

TBank TBankStore::BankOf(const QueryRow& row)
{
    return TBank{row.asInt(QStringLiteral("ID_BANQUE")), row.asString(QStringLiteral("RS")),
                 row.asString(QStringLiteral("DIMINUTIF"))};
}

bool TBankStore::InUse(qint64 idBanque)
{
    db::Query& q = KeptStatement(m_used, QStringLiteral("SELECT FIRST 1 ID_BANQUE FROM BENEF WHERE ID_BANQUE=:ID_BANQUE"));
    q.setParam(QStringLiteral("ID_BANQUE"), idBanque);
    return AnyRow(q);
}

qint64 TBankStore::Insert(const QString& rs, const QString& diminutif)
{
    db::Query& q = KeptStatement(m_insert, QStringLiteral("INSERT INTO BANQUE     (RS, DIMINUTIF, ID_USER, DATEC, DATEM ) "
                                                          "VALUES(:RS, :DIMINUTIF, :ID_USER, :myDateC, :myDateM) "
                                                          "RETURNING ID_BANQUE"));
    q.setParam(QStringLiteral("RS"), rs);
    q.setParam(QStringLiteral("DIMINUTIF"), diminutif);
    q.setParam(QStringLiteral("ID_USER"), CurrentUserCode);
    q.setParam(QStringLiteral("myDateC"), QDate::currentDate());
    q.setParam(QStringLiteral("myDateM"), QDate::currentDate());
    q.exec();
    return ReturnedKey(q, QStringLiteral("ID_BANQUE"));
}

void TBankStore::Update(qint64 idBanque, const QString& rs, const QString& diminutif)
{
    db::Query& q = KeptStatement(m_update, QStringLiteral("UPDATE BANQUE SET RS=:RS, DIMINUTIF=:DIMINUTIF, "
                                                          "ID_USER=:ID_USER, DATEM=:MyDateM WHERE ID_BANQUE=:ID_BANQUE"));
    q.setParam(QStringLiteral("RS"), rs);
    q.setParam(QStringLiteral("DIMINUTIF"), diminutif);
    q.setParam(QStringLiteral("ID_USER"), CurrentUserCode);
    q.setParam(QStringLiteral("MyDateM"), QDate::currentDate());
    q.setParam(QStringLiteral("ID_BANQUE"), idBanque);
    ExecOnRow(q);
}

void TBankStore::Delete(qint64 idBanque)
{
    db::Query& q = KeptStatement(m_delete, QStringLiteral("DELETE FROM BANQUE WHERE ID_BANQUE=:ID_BANQUE"));
    q.setParam(QStringLiteral("ID_BANQUE"), idBanque);
    ExecOnRow(q);
}

// ---------------------------------------------------------------------------
// Beneficiaries

TBeneficiaryStore::TBeneficiaryStore() = default;
TBeneficiaryStore::~TBeneficiaryStore() = default;

TListingRows TBeneficiaryStore::ReadAll()
{
    return ReadListingRows(KeptStatement(m_all, QStringLiteral("SELECT B.*, B.RDB$RECORD_VERSION AS ROW_VERSION "
                                                               "FROM BENEF B ORDER BY ")
                                                    + FrenchOrder(QStringLiteral("NOM"))));
}

TListingRows TBeneficiaryStore::ReadList(std::optional<BeneficiaryType> type)
{
    if (!type)
        return ReadListingRows(KeptStatement(m_list, QStringLiteral("SELECT ID_BEN, NOM, ADR FROM BENEF ORDER BY ")
                                                         + FrenchOrder(QStringLiteral("NOM"))));
    db::Query& q = KeptStatement(m_listOfType, QStringLiteral("SELECT ID_BEN, NOM, ADR FROM BENEF "
                                                              "WHERE TYPE_BEN=:TYPE_BEN ORDER BY ")
                                                   + FrenchOrder(QStringLiteral("NOM")));
    q.setParam(QStringLiteral("TYPE_BEN"), toDb(*type));
    return ReadListingRows(q);
}

TBeneficiary TBeneficiaryStore::BeneficiaryOf(const QueryRow& row)
{
    TBeneficiary b;
    b.id = row.asInt(QStringLiteral("ID_BEN"));
    b.nom = row.asString(QStringLiteral("NOM"));
    b.type = fromDb<BeneficiaryType>(row.asInt(QStringLiteral("TYPE_BEN")));
    b.serviceGrade = row.asInt(QStringLiteral("SERVICE_GRADE"));
    b.adr = row.asString(QStringLiteral("ADR"));
    b.ville = row.asString(QStringLiteral("VILLE"));
    b.idWil = row.asInt(QStringLiteral("ID_WIL"));
    b.tel = row.asString(QStringLiteral("TEL"));
    b.fax = row.asString(QStringLiteral("FAX"));
    b.idBanque = row.asInt(QStringLiteral("ID_BANQUE"));
    b.idAgence = row.asInt(QStringLiteral("ID_AGENCE"));
    b.compte = row.asString(QStringLiteral("COMPTE"));
    b.rc = row.asString(QStringLiteral("RC"));
    b.mf = row.asString(QStringLiteral("MF"));
    b.ai = row.asString(QStringLiteral("AI"));
    return b;
}

qint64 TBeneficiaryStore::KeyOf(const QueryRow& row)
{
    return row.asInt(QStringLiteral("ID_BEN"));
}

QString TBeneficiaryStore::NameOf(const QueryRow& row)
{
    return row.asString(QStringLiteral("NOM"));
}

QList<TChoice> TBeneficiaryStore::Choices(std::unique_ptr<db::Query>& slot, const QString& sql, const QString& key,
                                          const QString& text)
{
    db::Query& q = KeptStatement(slot, sql);
    q.open();
    QList<TChoice> out;
    for (q.first(); !q.eof(); q.next())
        out.append({q.asInt(key), q.asString(text)});
    q.close();
    return out;
}

QList<TChoice> TBeneficiaryStore::Grades()
{
    return Choices(m_grades, QStringLiteral("SELECT * FROM GRADE ORDER BY ") + FrenchOrder(QStringLiteral("LIBELLE")),
                   QStringLiteral("ID_GRADE"), QStringLiteral("LIBELLE"));
}

QList<TChoice> TBeneficiaryStore::Wilayas()
{
    return Choices(m_wilayas, QStringLiteral("SELECT * FROM FWIL ORDER BY ") + FrenchOrder(QStringLiteral("LIBELLE")),
                   QStringLiteral("ID_WIL"), QStringLiteral("LIBELLE"));
}

QList<TChoice> TBeneficiaryStore::Banks()
{
    return Choices(m_banks, QStringLiteral("SELECT ID_BANQUE, RS FROM BANQUE ORDER BY ") + FrenchOrder(QStringLiteral("RS")),
                   QStringLiteral("ID_BANQUE"), QStringLiteral("RS"));
}

QList<TChoice> TBeneficiaryStore::Agencies()
{
    return Choices(m_agencies, QStringLiteral("SELECT * FROM AGENCE ORDER BY ") + FrenchOrder(QStringLiteral("LIBELLE")),
                   QStringLiteral("ID_AGENCE"), QStringLiteral("LIBELLE"));
}

bool TBeneficiaryStore::InUse(qint64 idBen)
{
    db::Query& q = KeptStatement(m_used, QStringLiteral("SELECT FIRST 1 ID_BEN FROM DEPENSE WHERE ID_BEN=:ID_BEN"));
    q.setParam(QStringLiteral("ID_BEN"), idBen);
    return AnyRow(q);
}

namespace {

void BindBeneficiary(db::Query& q, const TBeneficiary& b)
{
    q.setParam(QStringLiteral("NOM"), b.nom);
    q.setParam(QStringLiteral("TYPE_BEN"), toDb(b.type));
    q.setParam(QStringLiteral("SERVICE_GRADE"), b.serviceGrade);
    q.setParam(QStringLiteral("ADR"), b.adr);
    q.setParam(QStringLiteral("VILLE"), b.ville);
    q.setParam(QStringLiteral("ID_WIL"), b.idWil);
    q.setParam(QStringLiteral("TEL"), b.tel);
    q.setParam(QStringLiteral("FAX"), b.fax);
    q.setParam(QStringLiteral("ID_BANQUE"), b.idBanque);
    q.setParam(QStringLiteral("ID_AGENCE"), b.idAgence);
    q.setParam(QStringLiteral("COMPTE"), b.compte);
    q.setParam(QStringLiteral("RC"), b.rc);
    q.setParam(QStringLiteral("MF"), b.mf);
    q.setParam(QStringLiteral("AI"), b.ai);
    q.setParam(QStringLiteral("ID_USER"), CurrentUserCode);
    q.setParam(QStringLiteral("DATEM"), QDate::currentDate());
}

} // namespace

qint64 TBeneficiaryStore::Insert(const TBeneficiary& b)
{
    // The key comes from the table's trigger; RETURNING gives it back.
    db::Query& q = KeptStatement(m_insert, QStringLiteral(
        "INSERT INTO BENEF       (ID_BEN, NOM, TYPE_BEN, SERVICE_GRADE, ADR, VILLE,        ID_WIL, TEL, FAX, "
        "ID_BANQUE, ID_AGENCE, COMPTE,        RC, MF, AI, ID_USER, DATEC, DATEM ) VALUES(:ID_BEN, :NOM, "
        ":TYPE_BEN, :SERVICE_GRADE, :ADR, :VILLE,        :ID_WIL, :TEL, :FAX, :ID_BANQUE, :ID_AGENCE, "
        ":COMPTE,        :RC, :MF, :AI, :ID_USER, :DATEC, :DATEM ) RETURNING ID_BEN"));
    q.setParam(QStringLiteral("ID_BEN"), 0);
    q.setParam(QStringLiteral("DATEC"), QDate::currentDate());
    BindBeneficiary(q, b);
    q.exec();
    return ReturnedKey(q, QStringLiteral("ID_BEN"));
}

void TBeneficiaryStore::Update(const TBeneficiary& b)
{
    db::Query& q = KeptStatement(m_update, QStringLiteral(
        "UPDATE BENEF SET        NOM=:NOM, TYPE_BEN=:TYPE_BEN,        SERVICE_GRADE=:SERVICE_GRADE, "
        "ADR=:ADR,        VILLE=:VILLE, ID_WIL=:ID_WIL, TEL=:TEL,        FAX=:FAX, ID_BANQUE=:ID_BANQUE, "
        "COMPTE=:COMPTE,        ID_AGENCE=:ID_AGENCE, RC=:RC, MF=:MF, AI=:AI,        ID_USER=:ID_USER, "
        "DATEM=:DATEM WHERE ID_BEN=:ID_BEN"));
    q.setParam(QStringLiteral("ID_BEN"), b.id);
    BindBeneficiary(q, b);
    ExecOnRow(q);
}

void TBeneficiaryStore::Delete(qint64 idBen)
{
    db::Query& q = KeptStatement(m_delete, QStringLiteral("DELETE FROM BENEF WHERE ID_BEN=:ID_BEN"));
    q.setParam(QStringLiteral("ID_BEN"), idBen);
    ExecOnRow(q);
}

// ---------------------------------------------------------------------------
// Budget nomenclature

TNomenclatureStore::TNomenclatureStore() = default;
TNomenclatureStore::~TNomenclatureStore() = default;

TListingRows TNomenclatureStore::ReadAll()
{
    return ReadListingRows(KeptStatement(
        m_all, QStringLiteral("SELECT F.*, F.RDB$RECORD_VERSION AS ROW_VERSION FROM FNM F ORDER BY CHAP, ART, PAR")));
}

TListingRows TNomenclatureStore::ReadChapters()
{
    return ReadListingRows(KeptStatement(m_chapters, QStringLiteral("SELECT DISTINCT CHAP FROM FNM ORDER BY CHAP")));
}

QStringList TNomenclatureStore::Chapters()
{
    const TListingRows rows = ReadChapters();
    QStringList chapters;
    chapters.reserve(int(rows.rows.size()));
    for (const std::vector<db::Value>& r : rows.rows)
        chapters.append(ChapterOf(QueryRow(&rows.names, &r)).trimmed());
    return chapters;
}

TBudgetLineEntry TNomenclatureStore::LineOf(const QueryRow& row)
{
    return TBudgetLineEntry{row.asInt(QStringLiteral("ID_FNM")),
                            row.asString(QStringLiteral("CHAP")),
                            row.asString(QStringLiteral("ART")),
                            row.asString(QStringLiteral("PAR")),
                            row.asInt(QStringLiteral("SOUMIS_CHARGE")) == 1,
                            row.asString(QStringLiteral("INTITULE")),
                            int(row.asInt(QStringLiteral("SECTION")))};
}

QString TNomenclatureStore::ChapterOf(const QueryRow& row)
{
    return row.asString(QStringLiteral("CHAP"));
}

bool TNomenclatureStore::IsChapterHeading(const QueryRow& row)
{
    return row.asString(QStringLiteral("ART")).trimmed().isEmpty()
        && row.asString(QStringLiteral("PAR")).trimmed().isEmpty();
}

std::optional<TBudgetLineEntry> TNomenclatureStore::Read(qint64 idFnm)
{
    db::Query& q = KeptStatement(m_read, QStringLiteral("SELECT ID_FNM, CHAP, ART, PAR, INTITULE, SECTION, SOUMIS_CHARGE "
                                                        "FROM FNM WHERE ID_FNM=:ID_FNM"));
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    q.open();
    std::optional<TBudgetLineEntry> line;
    if (!q.isEmpty())
        line = TBudgetLineEntry{idFnm,
                                q.asString(QStringLiteral("CHAP")).trimmed(),
                                q.asString(QStringLiteral("ART")).trimmed(),
                                q.asString(QStringLiteral("PAR")).trimmed(),
                                q.asInt(QStringLiteral("SOUMIS_CHARGE")) == 1,
                                q.asString(QStringLiteral("INTITULE")).trimmed(),
                                int(q.asInt(QStringLiteral("SECTION")))};
    q.close();
    return line;
}

bool TNomenclatureStore::Exists(const QString& chap, const QString& art, const QString& par)
{
    db::Query& q = KeptStatement(m_exists, QStringLiteral("SELECT FIRST 1 ID_FNM FROM FNM WHERE CHAP=:MyCHAP AND "
                                                          "COALESCE(ART, '')=:MyART AND COALESCE(PAR, '')=:MyPAR"));
    q.setParam(QStringLiteral("MyCHAP"), chap);
    q.setParam(QStringLiteral("MyART"), art);
    q.setParam(QStringLiteral("MyPAR"), par);
    return AnyRow(q);
}

TNomenclatureStore::Usage TNomenclatureStore::UsageOf(qint64 idFnm)
{
    // One query answers both questions.
    db::Query& q = KeptStatement(m_usage, QStringLiteral(
        "SELECT "
        "CASE WHEN EXISTS (SELECT 1 FROM DEPENSE WHERE ID_FNM=:ID_FNM) "
        "  OR EXISTS (SELECT 1 FROM DET_SALAIRE WHERE TYPE_DET=:IMPUTATION AND ID_DETAIL=:ID_FNM) "
        "  OR EXISTS (SELECT 1 FROM ENT_ENG WHERE ID_FNM=:ID_FNM AND COALESCE(ORIGINE, :USER_ORIGIN) "
        "                                      NOT IN (:PRIMITIVE, :AMENDING, :TRANSFER)) "
        "  OR EXISTS (SELECT 1 FROM ENT_ENG_REG WHERE ID_FNM=:ID_FNM AND COALESCE(ORIGINE, :USER_ORIGIN) "
        "                                          NOT IN (:AMENDING, :TRANSFER)) "
        "  THEN 1 ELSE 0 END AS USED_EXPENSES, "
        "CASE WHEN EXISTS (SELECT 1 FROM FNM WHERE ID_FNM=:ID_FNM AND (COALESCE(MT_BP, 0)<>0 OR COALESCE(MT_BS, 0)<>0)) "
        "  OR EXISTS (SELECT 1 FROM ENT_ENG WHERE ID_FNM=:ID_FNM AND ORIGINE IN (:PRIMITIVE, :AMENDING, :TRANSFER)) "
        "  OR EXISTS (SELECT 1 FROM ENT_ENG_REG WHERE ID_FNM=:ID_FNM AND ORIGINE IN (:AMENDING, :TRANSFER)) "
        "  OR EXISTS (SELECT 1 FROM VIREMENT WHERE ID_FNM=:ID_FNM) "
        "  THEN 1 ELSE 0 END AS USED_BUDGET "
        "FROM RDB$DATABASE"));
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    q.setParam(QStringLiteral("USER_ORIGIN"), toDb(SheetOrigin::User));
    q.setParam(QStringLiteral("PRIMITIVE"), toDb(SheetOrigin::PrimitiveBudget));
    q.setParam(QStringLiteral("AMENDING"), toDb(SheetOrigin::AmendingBudget));
    q.setParam(QStringLiteral("TRANSFER"), toDb(SheetOrigin::Transfer));
    q.setParam(QStringLiteral("IMPUTATION"), toDb(SalaryLineType::Imputation));
    q.open();
    const Usage usage{q.asInt(QStringLiteral("USED_EXPENSES")) != 0, q.asInt(QStringLiteral("USED_BUDGET")) != 0};
    q.close();
    return usage;
}

namespace {

void BindLine(db::Query& q, const TBudgetLineEntry& line)
{
    q.setParam(QStringLiteral("CHAP"), line.chap);
    q.setParam(QStringLiteral("ART"), line.art);
    q.setParam(QStringLiteral("PAR"), line.par);
    q.setParam(QStringLiteral("SOUMIS_CHARGE"), line.soumis ? 1 : 0);
    q.setParam(QStringLiteral("INTITULE"), line.intitule);
    q.setParam(QStringLiteral("RECTORAT"), -1);
    q.setParam(QStringLiteral("SECTION"), line.section);
    q.setParam(QStringLiteral("ID_USER"), CurrentUserCode);
    q.setParam(QStringLiteral("DATEM"), QDate::currentDate());
}

} // namespace

qint64 TNomenclatureStore::Insert(const TBudgetLineEntry& line)
{
    // The key comes from the table's trigger; RETURNING gives it back.
    db::Query& q = KeptStatement(m_insert, QStringLiteral(
        "INSERT INTO FNM (       ID_FNM, CHAP, ART, PAR, SOUMIS_CHARGE,        INTITULE, RECTORAT, SECTION,"
        "        ID_USER, DATEC, DATEM ) VALUES (:ID_FNM, :CHAP, :ART, :PAR, :SOUMIS_CHARGE,         "
        ":INTITULE, :RECTORAT, :SECTION,         :ID_USER, :DATEC, :DATEM ) RETURNING ID_FNM"));
    q.setParam(QStringLiteral("ID_FNM"), 0);
    q.setParam(QStringLiteral("DATEC"), QDate::currentDate());
    BindLine(q, line);
    q.exec();
    return ReturnedKey(q, QStringLiteral("ID_FNM"));
}

void TNomenclatureStore::Update(const TBudgetLineEntry& line)
{
    db::Query& q = KeptStatement(m_update, QStringLiteral(
        "UPDATE FNM SET        CHAP=:CHAP, ART=:ART, PAR=:PAR,        SOUMIS_CHARGE=:SOUMIS_CHARGE,        "
        "INTITULE=:INTITULE,        RECTORAT=:RECTORAT,        SECTION=:SECTION,        ID_USER=:ID_USER, "
        "DATEM=:DATEM WHERE ID_FNM=:ID_FNM"));
    q.setParam(QStringLiteral("ID_FNM"), line.id);
    BindLine(q, line);
    ExecOnRow(q);
}

void TNomenclatureStore::Delete(qint64 idFnm)
{
    db::Query& q = KeptStatement(m_delete, QStringLiteral("DELETE FROM FNM WHERE ID_FNM=:ID_FNM"));
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    ExecOnRow(q);
}

// ---------------------------------------------------------------------------
// Code tables

TCodeTableStore::TCodeTableStore(QString table, QString keyField)
    : m_table(std::move(table)), m_keyField(std::move(keyField))
{
}

TCodeTableStore::~TCodeTableStore() = default;

TListingRows TCodeTableStore::ReadAll()
{
    return ReadListingRows(KeptStatement(m_all, QStringLiteral("SELECT T.*, T.RDB$RECORD_VERSION AS ROW_VERSION FROM ")
                                                    + m_table + QStringLiteral(" T ORDER BY ")
                                                    + FrenchOrder(QStringLiteral("LIBELLE"))));
}

qint64 TCodeTableStore::KeyOf(const QueryRow& row) const
{
    return row.asInt(m_keyField);
}

QString TCodeTableStore::LabelOf(const QueryRow& row)
{
    return row.asString(QStringLiteral("LIBELLE"));
}

qint64 TCodeTableStore::Insert(const QString& label)
{
    // The key comes from the table's trigger; RETURNING gives it back.
    db::Query& q = KeptStatement(m_insert, QStringLiteral("INSERT INTO ") + m_table + QStringLiteral("      (")
                                               + m_keyField + QStringLiteral(", LIBELLE) VALUES(:ID_TABLE, :MyLib) "
                                                                             "RETURNING ")
                                               + m_keyField);
    q.setParam(QStringLiteral("ID_TABLE"), 0);
    q.setParam(QStringLiteral("MyLib"), label);
    q.exec();
    return ReturnedKey(q, m_keyField);
}

void TCodeTableStore::Update(qint64 key, const QString& label)
{
    db::Query& q = KeptStatement(m_update, QStringLiteral("UPDATE ") + m_table + QStringLiteral(" SET LIBELLE=:myLib WHERE ")
                                               + m_keyField + QStringLiteral("=:ID_TABLE"));
    q.setParam(QStringLiteral("ID_TABLE"), key);
    q.setParam(QStringLiteral("MyLib"), label);
    ExecOnRow(q);
}

void TCodeTableStore::Delete(qint64 key)
{
    db::Query& q = KeptStatement(m_delete, QStringLiteral("DELETE FROM ") + m_table + QStringLiteral(" WHERE ")
                                               + m_keyField + QStringLiteral("=:ID_TABLE"));
    q.setParam(QStringLiteral("ID_TABLE"), key);
    ExecOnRow(q);
}

// ---------------------------------------------------------------------------
// Service observations

const std::array<const char*, 5> TObservationStore::Columns = {"OBS_BP", "OBS_BS", "OBS_BS_N", "OBS_VIR_E",
                                                               "OBS_VIR_D"};

TObservationStore::TObservationStore() = default;
TObservationStore::~TObservationStore() = default;

namespace {

std::optional<TObservationStore::Row> ObservationRow(db::Query& q)
{
    q.open();
    std::optional<TObservationStore::Row> row;
    if (!q.isEmpty()) {
        row.emplace();
        for (size_t i = 0; i < TObservationStore::Columns.size(); ++i)
            row->texts[i] = q.asString(QString::fromLatin1(TObservationStore::Columns[i]));
        row->dbKey = RowAddress(q);
        row->version = q.asInt(QStringLiteral("V"));
    }
    q.close();
    return row;
}

} // namespace

std::optional<TObservationStore::Row> TObservationStore::Read(const QString& chapter)
{
    db::Query& q = KeptStatement(m_read, QStringLiteral(
        "SELECT FIRST 1 RDB$DB_KEY AS DBKEY, RDB$RECORD_VERSION AS V, OBS_BP, OBS_BS, OBS_BS_N, OBS_VIR_E, OBS_VIR_D "
        "FROM OBS_SERVICE WHERE CHAP=:CHAP"));
    q.setParam(QStringLiteral("CHAP"), chapter);
    return ObservationRow(q);
}

std::optional<TObservationStore::Row> TObservationStore::ReadAt(const QByteArray& dbKey)
{
    db::Query& q = KeptStatement(m_readAt, QStringLiteral(
        "SELECT RDB$DB_KEY AS DBKEY, RDB$RECORD_VERSION AS V, OBS_BP, OBS_BS, OBS_BS_N, OBS_VIR_E, OBS_VIR_D "
        "FROM OBS_SERVICE WHERE RDB$DB_KEY=:DBKEY"));
    q.setParam(QStringLiteral("DBKEY"), db::Value(dbKey));
    return ObservationRow(q);
}

void TObservationStore::Insert(const QString& chapter, const Texts& texts)
{
    db::Query& q = KeptStatement(m_insert, QStringLiteral(
        "INSERT INTO OBS_SERVICE (CHAP, OBS_BP, OBS_BS, OBS_BS_N, OBS_VIR_E, OBS_VIR_D) "
        "SELECT CAST(:CHAP AS CHAR(5)), CAST(:OBS_BP AS VARCHAR(250)), CAST(:OBS_BS AS VARCHAR(250)), "
        "CAST(:OBS_BS_N AS VARCHAR(250)), CAST(:OBS_VIR_E AS VARCHAR(250)), CAST(:OBS_VIR_D AS VARCHAR(250)) "
        "FROM RDB$DATABASE WHERE NOT EXISTS (SELECT 1 FROM OBS_SERVICE WHERE CHAP=:CHAP)"));
    q.setParam(QStringLiteral("CHAP"), chapter);
    for (size_t i = 0; i < Columns.size(); ++i)
        q.setParam(QString::fromLatin1(Columns[i]), texts[i]);
    q.exec();
    if (q.rowsAffected() == 0)
        throw ERowChanged(false);
}

void TObservationStore::Update(const QByteArray& dbKey, const Texts& texts)
{
    db::Query& q = KeptStatement(m_update, QStringLiteral(
        "UPDATE OBS_SERVICE SET OBS_BP=:OBS_BP, OBS_BS=:OBS_BS, OBS_BS_N=:OBS_BS_N, OBS_VIR_E=:OBS_VIR_E, "
        "OBS_VIR_D=:OBS_VIR_D WHERE RDB$DB_KEY=:DBKEY"));
    q.setParam(QStringLiteral("DBKEY"), db::Value(dbKey));
    for (size_t i = 0; i < Columns.size(); ++i)
        q.setParam(QString::fromLatin1(Columns[i]), texts[i]);
    ExecOnRow(q);
}

void TObservationStore::SetForAll(const Texts& texts)
{
    db::Query& fill = KeptStatement(m_fill, QStringLiteral(
        "INSERT INTO OBS_SERVICE (CHAP, OBS_BP, OBS_BS, OBS_BS_N, OBS_VIR_E, OBS_VIR_D) "
        "SELECT DISTINCT F.CHAP, CAST(:OBS_BP AS VARCHAR(250)), CAST(:OBS_BS AS VARCHAR(250)), "
        "CAST(:OBS_BS_N AS VARCHAR(250)), CAST(:OBS_VIR_E AS VARCHAR(250)), CAST(:OBS_VIR_D AS VARCHAR(250)) "
        "FROM FNM F WHERE NOT EXISTS (SELECT 1 FROM OBS_SERVICE O WHERE O.CHAP IS NOT DISTINCT FROM F.CHAP)"));
    db::Query& all = KeptStatement(m_all, QStringLiteral(
        "UPDATE OBS_SERVICE SET        OBS_BP=:OBS_BP, OBS_BS=:OBS_BS,        OBS_BS_N=:OBS_BS_N, "
        "OBS_VIR_E=:OBS_VIR_E,        OBS_VIR_D=:OBS_VIR_D"));
    for (db::Query* q : {&fill, &all}) {
        for (size_t i = 0; i < Columns.size(); ++i)
            q->setParam(QString::fromLatin1(Columns[i]), texts[i]);
        q->exec();
    }
}

// ---------------------------------------------------------------------------
// Attachment labels

TAttachmentStore::TAttachmentStore() = default;
TAttachmentStore::~TAttachmentStore() = default;

QList<TAttachmentStore::Row> TAttachmentStore::ReadAll()
{
    db::Query& q = KeptStatement(m_all, QStringLiteral(
        "SELECT RDB$DB_KEY AS DBKEY, RDB$RECORD_VERSION AS V, NUM, LIBELLE FROM PJ"));
    q.close();
    q.open();
    QList<Row> rows;
    rows.reserve(q.rowCount());
    for (q.first(); !q.eof(); q.next())
        rows.append(Row{q.value(QStringLiteral("NUM")), q.asString(QStringLiteral("LIBELLE")), RowAddress(q),
                        q.asInt(QStringLiteral("V"))});
    q.close();
    return rows;
}

QByteArray TAttachmentStore::Insert(const db::Value& num, const QString& label)
{
    db::Query& q = KeptStatement(m_insert, QStringLiteral(
        "INSERT INTO PJ (NUM, LIBELLE) VALUES (:NUM, :LIBELLE) RETURNING RDB$DB_KEY AS DBKEY"));
    q.setParam(QStringLiteral("NUM"), num);
    q.setParam(QStringLiteral("LIBELLE"), label);
    q.exec();
    return RowAddress(q);
}

void TAttachmentStore::Update(const QByteArray& dbKey, const db::Value& num, const QString& label)
{
    db::Query& q = KeptStatement(m_update, QStringLiteral(
        "UPDATE PJ SET NUM=:NUM, LIBELLE=:LIBELLE WHERE RDB$DB_KEY=:DBKEY"));
    q.setParam(QStringLiteral("DBKEY"), db::Value(dbKey));
    q.setParam(QStringLiteral("NUM"), num);
    q.setParam(QStringLiteral("LIBELLE"), label);
    ExecOnRow(q);
}

void TAttachmentStore::Delete(const QByteArray& dbKey)
{
    db::Query& q = KeptStatement(m_delete, QStringLiteral("DELETE FROM PJ WHERE RDB$DB_KEY=:DBKEY"));
    q.setParam(QStringLiteral("DBKEY"), db::Value(dbKey));
    ExecOnRow(q);
}
