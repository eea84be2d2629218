#include "security/Rights.h"

#include "data/AccessRights.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "ui/FormKit.h"
#include "core/MessageBox.h"
#include "core/Pause.h"
#include "core/Routines.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"

#include <QAction>
#include <QApplication>
#include <QHash>
#include <QMenu>
#include <QMenuBar>
#include <QSet>

namespace {

// The rights of one user, key -> TYPE_ACCES; the oldest row of a key wins.
QHash<QString, int> LoadAccessMap(int userId)
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT ID_USER,  OBJECT_NAME,  TYPE_ACCES FROM T_SECUR\n"
                                          "WHERE ID_USER=:ID_USER ORDER BY ID_SECUR"));
    q.setParam(QStringLiteral("ID_USER"), userId);
    q.open();
    QHash<QString, int> map;
    for (q.first(); !q.eof(); q.next()) {
        const QString key = q.asString(QStringLiteral("OBJECT_NAME")).trimmed();
        if (!map.contains(key))
            map.insert(key, int(q.asInt(QStringLiteral("TYPE_ACCES"))));
    }
    return map;
}

void AddItems(QList<RightsMenuItem>& out, const QList<QAction*>& actions, int level)
{
    for (QAction* a : actions) {
        RightsMenuItem item;
        item.action = a;
        item.key = RightsKey(a->objectName());
        item.description = StripAccelerator(a->text()).left(60);
        item.level = level;
        QMenu* sub = a->menu();
        item.childCount = sub ? int(sub->actions().size()) : 0;
        const bool separator = a->isSeparator() || a->text() == QLatin1String("-");
        item.managed = !separator && a->property("tag").toInt() <= 0;
        out.append(item);
        if (sub && level < 3)
            AddItems(out, sub->actions(), level + 1);
    }
}

} // namespace

QList<RightsMenuItem> MenuItemsForRights(const QMenuBar* menu)
{
    QList<RightsMenuItem> out;
    if (menu)
        AddItems(out, menu->actions(), 1);
    return out;
}

QList<UserRight> SyncUserRights(const QMenuBar* menu, int userId)
{
    TWaitCursor wait;

    int userType = 0;
    {
        db::Query type(DM->LURDO, QStringLiteral("SELECT TYPE_USER FROM T_USERS WHERE ID_USER=:ID_USER"));
        type.setParam(QStringLiteral("ID_USER"), userId);
        type.open();
        if (!type.isEmpty())
            userType = int(type.asInt(QStringLiteral("TYPE_USER")));
    }

    QList<RightsMenuItem> managed;
    for (const RightsMenuItem& item : MenuItemsForRights(menu))
        if (item.managed)
            managed.append(item);

    db::Query qSecure(DM->LURDO, QStringLiteral("SELECT * FROM T_SECUR WHERE ID_USER=:ID_USER ORDER BY ID_SECUR"));
    qSecure.setParam(QStringLiteral("ID_USER"), userId);
    qSecure.open();
    QSet<QString> existing;
    for (qSecure.first(); !qSecure.eof(); qSecure.next())
        existing.insert(qSecure.asString(QStringLiteral("OBJECT_NAME")).trimmed());

    QSet<QString> keys;
    QHash<QString, QPair<qint64, int>> rows;
    {
        TWriteGuard write;
        // One row per key: the first item of a key creates it.
        db::Query ins(DM->LURDO,
                      QStringLiteral("INSERT INTO T_SECUR       (ID_SECUR, ID_USER, OBJECT_TYPE, OBJECT_NAME,        "
                                     "OBJECT_DESC, TYPE_ACCES, TV_LEVEL, NB_CHILD) VALUES(:ID_SECUR, :ID_USER, "
                                     ":OBJECT_TYPE, :OBJECT_NAME,        :OBJECT_DESC, :TYPE_ACCES, :TV_LEVEL, :NB_CHILD)"));
        for (const RightsMenuItem& item : managed) {
            if (keys.contains(item.key))
                continue;
            keys.insert(item.key);
            if (existing.contains(item.key))
                continue;
            const int access = (item.key == RightsKey(MenuItem::mnSecurite) && userType != 0) ? 0 : 2;
            ins.setParam(QStringLiteral("ID_SECUR"), 0);   // the trigger assigns the key
            ins.setParam(QStringLiteral("ID_USER"), userId);
            ins.setParam(QStringLiteral("OBJECT_TYPE"), 0);
            ins.setParam(QStringLiteral("OBJECT_NAME"), item.key);
            ins.setParam(QStringLiteral("OBJECT_DESC"), item.description);
            ins.setParam(QStringLiteral("TYPE_ACCES"), access);
            ins.setParam(QStringLiteral("TV_LEVEL"), item.level);
            ins.setParam(QStringLiteral("NB_CHILD"), item.childCount);
            ins.exec();
        }

        // Rows of items no longer managed, and any second row of one key, go.
        qSecure.close();
        qSecure.open();
        db::Query del(DM->LURDO, QStringLiteral("DELETE FROM T_SECUR WHERE ID_SECUR=:ID_SECUR"));
        for (qSecure.first(); !qSecure.eof(); qSecure.next()) {
            const QString key = qSecure.asString(QStringLiteral("OBJECT_NAME")).trimmed();
            const qint64 id = qSecure.asInt(QStringLiteral("ID_SECUR"));
            if (!keys.contains(key) || rows.contains(key)) {
                del.setParam(QStringLiteral("ID_SECUR"), id);
                del.exec();
                continue;
            }
            rows.insert(key, qMakePair(id, int(qSecure.asInt(QStringLiteral("TYPE_ACCES")))));
        }
        write.Commit();
    }

    QList<UserRight> out;
    for (const RightsMenuItem& item : managed) {
        UserRight r;
        r.item = item;
        const auto found = rows.constFind(item.key);
        if (found != rows.constEnd()) {
            r.idSecur = found->first;
            r.typeAcces = found->second;
        }
        out.append(r);
    }
    return out;
}

void ApplyMenuRights(QMenuBar* menu)
{
    const QList<RightsMenuItem> items = MenuItemsForRights(menu);
    if (IsBuiltInManager) {
        for (const RightsMenuItem& item : items)
            item.action->setVisible(true);
    } else {
        QHash<QString, int> access = LoadAccessMap(CurrentUserId);
        if (access.isEmpty()) {
            SyncUserRights(menu, CurrentUserId);
            access = LoadAccessMap(CurrentUserId);
        }
        ProcessMessages();
        // Every item, managed or not: no row means access.
        for (const RightsMenuItem& item : items) {
            const int level = (IsBuiltInManager || IsBuiltInAdmin) ? 1 : access.value(item.key, 1);
            item.action->setVisible(level != 0);
        }
    }
    for (const RightsMenuItem& item : items) {
        const QString name = item.action->objectName();
        if (name == MenuItem::mnSQL || name == MenuItem::mnConnection)
            item.action->setVisible(IsBuiltInManager);
    }
}
