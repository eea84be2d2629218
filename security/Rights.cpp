#include "security/Rights.h"

#include "data/AccessRights.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "ui/FormKit.h"
#include "core/MessageBox.h"
#include "core/Pause.h"
#include "core/Routines.h"
#include "data/WriteGuard.h"
#include "security/AccountStore.h"

#include <QAction>
#include <QHash>
#include <QMenu>
#include <QMenuBar>
#include <QSet>

namespace {

// The rights of one user, key -> TYPE_ACCES; the oldest row of a key wins.
QHash<QString, int> LoadAccessMap(int userId)
{
    QHash<QString, int> map;
    for (const TRightsRow& row : TAccountStore().RightsRows(userId))
        if (!map.contains(row.key))
            map.insert(row.key, row.access);
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

    TAccountStore users;
    const int userType = users.UserType(userId);

    QList<RightsMenuItem> managed;
    for (const RightsMenuItem& item : MenuItemsForRights(menu))
        if (item.managed)
            managed.append(item);

    QSet<QString> existing;
    for (const TRightsRow& row : users.RightsRows(userId))
        existing.insert(row.key);

    QSet<QString> keys;
    QHash<QString, QPair<qint64, int>> rows;
    {
        TWriteGuard write;
        // One row per key: the first item of a key creates it.
        for (const RightsMenuItem& item : managed) {
            if (keys.contains(item.key))
                continue;
            keys.insert(item.key);
            if (existing.contains(item.key))
                continue;
            const int access = (item.key == RightsKey(MenuItem::mnSecurite) && userType != 0) ? 0 : 2;
            users.InsertRight(userId, item.key, item.description, access, item.level, item.childCount);
        }

        // Rows of items no longer managed, and any second row of one key, go.
        for (const TRightsRow& row : users.RightsRows(userId)) {
            if (!keys.contains(row.key) || rows.contains(row.key)) {
                users.DeleteRight(row.idSecur);
                continue;
            }
            rows.insert(row.key, qMakePair(row.idSecur, row.access));
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
