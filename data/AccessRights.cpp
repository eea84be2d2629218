#include "data/AccessRights.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "data/UDM.h"

namespace {

bool BuiltInAccount() { return IsBuiltInManager || IsBuiltInAdmin; }

} // namespace

QString RightsKey(const QString& menuItemName)
{
    return menuItemName.toUpper().left(20);
}

int GetAccessLevel(const QString& menuItemName, int userId)
{
    if (BuiltInAccount())
        return 1;
    db::Query q(DM->LURDO, QStringLiteral("SELECT TYPE_ACCES FROM T_SECUR WHERE ID_USER=:ID_USER "
                                          "AND OBJECT_NAME=:OBJECT_NAME ORDER BY ID_SECUR"));
    q.setParam(QStringLiteral("ID_USER"), userId);
    q.setParam(QStringLiteral("OBJECT_NAME"), RightsKey(menuItemName));
    q.open();
    if (q.isEmpty())
        return 1;
    return int(q.asInt(QStringLiteral("TYPE_ACCES")));
}

bool CanWrite(const QString& menuItemName, int userId)
{
    if (BuiltInAccount())
        return true;
    db::Query q(DM->LURDO, QStringLiteral("SELECT TYPE_ACCES FROM T_SECUR WHERE ID_USER=:ID_USER "
                                          "AND OBJECT_NAME=:OBJECT_NAME ORDER BY ID_SECUR"));
    q.setParam(QStringLiteral("ID_USER"), userId);
    q.setParam(QStringLiteral("OBJECT_NAME"), RightsKey(menuItemName));
    q.open();
    return q.isEmpty() || q.asInt(QStringLiteral("TYPE_ACCES")) == 2;
}

void DenyWriteAccess()
{
    ShowMessageBox(QStringLiteral("Alerte de sécurité : Ecriture non autorisée !"), mtError, MsgButton::OK);
    Abort();
}

