#pragma once
// TAccountStore: the SQL of the users (T_USERS) and of their rights rows (T_SECUR)
// shared by the user list and form, the password change, the rights editor and
// the login's first start.
//
// Reads run on the program's connection; writes run statements only, inside
// the caller's write operation. Each statement is prepared once for the life
// of the store.

#include "data/ListingRows.h"
#include "data/ShownRow.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace db { class Query; }

struct TUserEntry {
    int id = -1;
    QString nom, prenom;
    QString code;        // USER_ID
    QString password;    // PW
    int type = -1;       // TYPE_USER: 0 manager, 1 simple user
};

// A user as the rights editor chooses one.
struct TRightsUser {
    int id = 0;
    int type = 0;          // TYPE_USER (NULL reads as 0)
    QString nomPrenom;     // name and first name, as the box shows them
};

// One of a user's rights rows (T_SECUR).
struct TRightsRow {
    qint64 idSecur = -1;
    QString key;           // OBJECT_NAME, without its blanks
    int access = 0;        // TYPE_ACCES
};

// The row of a user who logs in.
struct TLoginRow {
    int id = 0;
    int access = 0;
    QString nom, prenom;
};

class TAccountStore {
public:
    TAccountStore();
    ~TAccountStore();
    TAccountStore(const TAccountStore&) = delete;
    TAccountStore& operator=(const TAccountStore&) = delete;

    // Every user (every column, and ROW_VERSION, the version each was read
    // at), by name then first name.
    TListingRows ReadAll();
    // The user of a row of ReadAll() (type -1 when it has none), and the
    // row as it was read, for the check that a save undoes no other user's change.
    static TUserEntry UserOf(const QueryRow& row);
    static TShownRow ShownRowOf(const QueryRow& row);
    // The users of the rights editor, by name.
    QList<TRightsUser> UsersForRights();
    // The user's type (TYPE_USER); 0 when the user is gone or has none.
    int UserType(int idUser);
    // The user's rights rows, oldest first.
    QList<TRightsRow> RightsRows(int idUser);

    // Whether a user other than `exceptId` has the code (as stored).
    bool CodeTaken(const QString& code, int exceptId);
    bool AnyUser();

    // The login's and the password change's lookups. The engine ignores
    // trailing blanks when it compares texts, so a row matches only when its
    // code and password, trimmed, are exactly the typed ones; a code or a
    // password longer than its column never matches.
    static std::optional<TLoginRow> FindLogin(const QString& code, const QString& password);
    static bool PasswordMatches(const QString& code, const QString& password);
    // Longest texts the columns T_USERS.USER_ID and T_USERS.PW hold.
    static constexpr int kMaxUserCode = 20;
    static constexpr int kMaxPassword = 10;

    // --- writes (inside the caller's write operation) ----------------------
    void Insert(const TUserEntry& user);
    // Name, first name, code and type; the password too when `withPassword`.
    void Update(const TUserEntry& user, bool withPassword);
    // The user's password; the number of rows changed (0: the user is gone).
    int SetPassword(int idUser, const QString& password);
    // The built-in MANAGER account with an empty password.
    void InsertDefaultUser();
    // The user's rights rows, then the user.
    void Delete(int idUser);
    // The access level (0 none, 1 read, 2 read and write) of one of the user's rights rows.
    void SetAccess(int idUser, const QString& objectName, int access);
    // A rights row of the user for a menu item (its key drawn by the table's
    // trigger), and the deletion of one.
    void InsertRight(int idUser, const QString& key, const QString& description, int access, int level,
                     int childCount);
    void DeleteRight(qint64 idSecur);

private:
    std::unique_ptr<db::Query> m_all, m_forRights, m_taken, m_any, m_insert, m_update, m_updateWithPassword, m_password, m_default,
        m_deleteRights, m_delete, m_access, m_userType, m_rights, m_insertRight, m_deleteRight;
};
