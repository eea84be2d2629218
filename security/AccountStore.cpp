#include "security/AccountStore.h"

#include "data/KeptStatement.h"
#include "data/ShownRow.h"
#include "data/UDM.h"
#include "db/Database.h"

TAccountStore::TAccountStore() = default;
TAccountStore::~TAccountStore() = default;

TListingRows TAccountStore::ReadAll()
{
    return ReadListingRows(KeptStatement(m_all, QStringLiteral("SELECT U.*, U.RDB$RECORD_VERSION AS ROW_VERSION "
                                                               "FROM T_USERS U ORDER BY ")
                                                    + FrenchOrder(QStringLiteral("NOM")) + QStringLiteral(", ")
                                                    + FrenchOrder(QStringLiteral("PRENOM"))));
}

TUserEntry TAccountStore::UserOf(const QueryRow& row)
{
    TUserEntry user;
    user.id = int(row.asInt(QStringLiteral("ID_USER")));
    user.nom = row.asString(QStringLiteral("NOM"));
    user.prenom = row.asString(QStringLiteral("PRENOM"));
    user.code = row.asString(QStringLiteral("USER_ID"));
    user.password = row.asString(QStringLiteral("PW"));
    user.type = row.isNull(QStringLiteral("TYPE_USER")) ? -1 : int(row.asInt(QStringLiteral("TYPE_USER")));
    return user;
}

TShownRow TAccountStore::ShownRowOf(const QueryRow& row)
{
    return TShownRow{QStringLiteral("T_USERS"), QStringLiteral("ID_USER"), row.asInt(QStringLiteral("ID_USER")),
                     row.asInt(QStringLiteral("ROW_VERSION"))};
}

QList<TRightsUser> TAccountStore::UsersForRights()
{
    db::Query& q = KeptStatement(m_forRights, QStringLiteral("SELECT ID_USER, TYPE_USER, NOM ||  '  ' || PRENOM AS NOMPRENOM\n"
                                                             "FROM T_USERS ORDER BY ")
                                                  + FrenchOrder(QStringLiteral("NOM")) + QStringLiteral(", ")
                                                  + FrenchOrder(QStringLiteral("PRENOM")));
    q.close();
    q.open();
    QList<TRightsUser> users;
    for (q.first(); !q.eof(); q.next())
        users.append(TRightsUser{int(q.asInt(QStringLiteral("ID_USER"))), int(q.asInt(QStringLiteral("TYPE_USER"))),
                                 q.asString(QStringLiteral("NOMPRENOM"))});
    q.close();
    return users;
}

bool TAccountStore::CodeTaken(const QString& code, int exceptId)
{
    db::Query& q = KeptStatement(m_taken, QStringLiteral("SELECT FIRST 1 ID_USER FROM T_USERS WHERE USER_ID=:USER_ID "
                                                         "AND ID_USER<>:EXCEPT_ID"));
    q.setParam(QStringLiteral("USER_ID"), code);
    q.setParam(QStringLiteral("EXCEPT_ID"), exceptId);
    q.open();
    const bool taken = !q.isEmpty();
    q.close();
    return taken;
}

namespace {

// Moves `users` (opened here) to the row whose code and password are exactly
// the typed ones; false when none is.
bool OpenOnUserRow(db::Query& users, const QString& code, const QString& password)
{
    if (code.size() > TAccountStore::kMaxUserCode || password.size() > TAccountStore::kMaxPassword)
        return false;
    users.open();
    for (users.first(); !users.eof(); users.next())
        if (users.asString(QStringLiteral("USER_ID")).trimmed() == code
            && users.asString(QStringLiteral("PW")).trimmed() == password)
            return true;
    return false;
}

} // namespace

std::optional<TLoginRow> TAccountStore::FindLogin(const QString& code, const QString& password)
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT * FROM T_USERS WHERE USER_ID=:MyUser AND PW=:MyPW"));
    q.setParam(QStringLiteral("MyUser"), code);
    q.setParam(QStringLiteral("MyPW"), password);
    if (!OpenOnUserRow(q, code, password))
        return std::nullopt;
    TLoginRow row;
    row.id = int(q.asInt(QStringLiteral("ID_USER")));
    row.access = int(q.asInt(QStringLiteral("ACCESS")));
    row.nom = q.asString(QStringLiteral("NOM"));
    row.prenom = q.asString(QStringLiteral("PRENOM"));
    return row;
}

bool TAccountStore::PasswordMatches(const QString& code, const QString& password)
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT USER_ID, PW FROM T_USERS WHERE TRIM(USER_ID)=:USER_ID"));
    q.setParam(QStringLiteral("USER_ID"), code);
    return OpenOnUserRow(q, code, password);
}

bool TAccountStore::AnyUser()
{
    db::Query& q = KeptStatement(m_any, QStringLiteral("SELECT FIRST 1 USER_ID FROM T_USERS"));
    q.open();
    const bool any = !q.isEmpty();
    q.close();
    return any;
}

void TAccountStore::Insert(const TUserEntry& user)
{
    db::Query& q = KeptStatement(m_insert, QStringLiteral("INSERT INTO T_USERS       (NOM, PRENOM, USER_ID, PW, "
                                                          "TYPE_USER) VALUES(:NOM, :PRENOM, :USER_ID, :PW, :TYPE_USER )"));
    q.setParam(QStringLiteral("NOM"), user.nom);
    q.setParam(QStringLiteral("PRENOM"), user.prenom);
    q.setParam(QStringLiteral("USER_ID"), user.code);
    q.setParam(QStringLiteral("PW"), user.password);
    q.setParam(QStringLiteral("TYPE_USER"), user.type);
    q.exec();
}

void TAccountStore::Update(const TUserEntry& user, bool withPassword)
{
    // Without the password the stored one stays as it is (it may have been
    // set, as typed, by the password change).
    db::Query& q = withPassword
        ? KeptStatement(m_updateWithPassword, QStringLiteral("UPDATE T_USERS SET NOM=:NOM, PRENOM=:PRENOM, "
                                                             "USER_ID=:USER_ID, TYPE_USER=:TYPE_USER, PW=:PW "
                                                             "WHERE ID_USER=:ID_USER"))
        : KeptStatement(m_update, QStringLiteral("UPDATE T_USERS SET NOM=:NOM, PRENOM=:PRENOM, USER_ID=:USER_ID, "
                                                 "TYPE_USER=:TYPE_USER WHERE ID_USER=:ID_USER"));
    q.setParam(QStringLiteral("NOM"), user.nom);
    q.setParam(QStringLiteral("PRENOM"), user.prenom);
    q.setParam(QStringLiteral("USER_ID"), user.code);
    q.setParam(QStringLiteral("TYPE_USER"), user.type);
    if (withPassword)
        q.setParam(QStringLiteral("PW"), user.password);
    q.setParam(QStringLiteral("ID_USER"), user.id);
    ExecOnRow(q);
}

int TAccountStore::SetPassword(int idUser, const QString& password)
{
    db::Query& q = KeptStatement(m_password, QStringLiteral("UPDATE T_USERS SET PW=:PW WHERE ID_USER=:ID_USER"));
    q.setParam(QStringLiteral("PW"), password);
    q.setParam(QStringLiteral("ID_USER"), idUser);
    q.exec();
    return q.rowsAffected();
}

void TAccountStore::InsertDefaultUser()
{
    db::Query& q = KeptStatement(m_default, QStringLiteral("INSERT INTO T_USERS       (NOM, PRENOM, USER_ID, PW, ACCESS) "
                                                           "VALUES(:NOM, :PRENOM, :USER_ID, :PW, :ACCESS)"));
    q.setParam(QStringLiteral("NOM"), QStringLiteral("ADMIN"));
    q.setParam(QStringLiteral("PRENOM"), QStringLiteral("ADMIN"));
    q.setParam(QStringLiteral("USER_ID"), QStringLiteral("MANAGER"));
    q.setParam(QStringLiteral("PW"), QStringLiteral(""));
    q.setParam(QStringLiteral("ACCESS"), 9);
    q.exec();
}

void TAccountStore::Delete(int idUser)
{
    for (auto [slot, sql] : {std::pair{&m_deleteRights, "DELETE FROM T_SECUR WHERE ID_USER=:ID_USER"},
                             std::pair{&m_delete, "DELETE FROM T_USERS WHERE ID_USER=:ID_USER"}}) {
        db::Query& q = KeptStatement(*slot, QString::fromLatin1(sql));
        q.setParam(QStringLiteral("ID_USER"), idUser);
        // The user must still be there; he may have no rights.
        if (slot == &m_delete)
            ExecOnRow(q);
        else
            q.exec();
    }
}

void TAccountStore::SetAccess(int idUser, const QString& objectName, int access)
{
    db::Query& q = KeptStatement(m_access, QStringLiteral("UPDATE T_SECUR SET TYPE_ACCES=:TYPE_ACCES "
                                                          "WHERE ID_USER=:ID_USER AND OBJECT_NAME=:OBJECT_NAME"));
    q.setParam(QStringLiteral("TYPE_ACCES"), access);
    q.setParam(QStringLiteral("ID_USER"), idUser);
    q.setParam(QStringLiteral("OBJECT_NAME"), objectName);
    ExecOnRow(q);
}

int TAccountStore::UserType(int idUser)
{
    db::Query& q = KeptStatement(m_userType, QStringLiteral("SELECT TYPE_USER FROM T_USERS WHERE ID_USER=:ID_USER"));
    q.setParam(QStringLiteral("ID_USER"), idUser);
    q.open();
    const int type = q.isEmpty() ? 0 : int(q.asInt(QStringLiteral("TYPE_USER")));
    q.close();
    return type;
}

QList<TRightsRow> TAccountStore::RightsRows(int idUser)
{
    db::Query& q = KeptStatement(m_rights, QStringLiteral("SELECT ID_SECUR, OBJECT_NAME, TYPE_ACCES FROM T_SECUR\n"
                                                          "WHERE ID_USER=:ID_USER ORDER BY ID_SECUR"));
    q.setParam(QStringLiteral("ID_USER"), idUser);
    q.open();
    QList<TRightsRow> rows;
    rows.reserve(q.rowCount());
    for (q.first(); !q.eof(); q.next())
        rows.append(TRightsRow{q.asInt(QStringLiteral("ID_SECUR")), q.asString(QStringLiteral("OBJECT_NAME")).trimmed(),
                               int(q.asInt(QStringLiteral("TYPE_ACCES")))});
    q.close();
    return rows;
}

void TAccountStore::InsertRight(int idUser, const QString& key, const QString& description, int access, int level,
                             int childCount)
{
    db::Query& q = KeptStatement(
        m_insertRight,
        QStringLiteral("INSERT INTO T_SECUR       (ID_SECUR, ID_USER, OBJECT_TYPE, OBJECT_NAME,        "
                       "OBJECT_DESC, TYPE_ACCES, TV_LEVEL, NB_CHILD) VALUES(:ID_SECUR, :ID_USER, "
                       ":OBJECT_TYPE, :OBJECT_NAME,        :OBJECT_DESC, :TYPE_ACCES, :TV_LEVEL, :NB_CHILD)"));
    q.setParam(QStringLiteral("ID_SECUR"), 0);   // the trigger assigns the key
    q.setParam(QStringLiteral("ID_USER"), idUser);
    q.setParam(QStringLiteral("OBJECT_TYPE"), 0);
    q.setParam(QStringLiteral("OBJECT_NAME"), key);
    q.setParam(QStringLiteral("OBJECT_DESC"), description);
    q.setParam(QStringLiteral("TYPE_ACCES"), access);
    q.setParam(QStringLiteral("TV_LEVEL"), level);
    q.setParam(QStringLiteral("NB_CHILD"), childCount);
    q.exec();
}

void TAccountStore::DeleteRight(qint64 idSecur)
{
    db::Query& q = KeptStatement(m_deleteRight, QStringLiteral("DELETE FROM T_SECUR WHERE ID_SECUR=:ID_SECUR"));
    q.setParam(QStringLiteral("ID_SECUR"), idSecur);
    q.exec();
}
