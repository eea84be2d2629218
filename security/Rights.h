#pragma once
// Access rights per user and main-menu item.

#include "data/AccessRights.h"

#include <QList>
#include <QString>

class QAction;
class QMenuBar;

// One item of the main menu at levels 1 (the bar), 2 (its menus' items) and 3
// (items of their submenus), in menu order.
struct RightsMenuItem {
    QAction* action = nullptr;
    QString key;          // RightsKey of the item's object name
    QString description;  // the caption without its first "&", cut to 60 characters
    int level = 1;
    int childCount = 0;   // the item's number of sub-items
    bool managed = false; // caption not "-" and tag ("tag" property) 0 or less
};
QList<RightsMenuItem> MenuItemsForRights(const QMenuBar* menu);

// One managed item with the user's rights row.
struct UserRight {
    RightsMenuItem item;
    qint64 idSecur = -1;
    int typeAcces = 2;
};

// Creates the user's missing rights rows (read and write; the rights editor's own
// item "mnSecurite" gets no access for a user whose type is not MANAGER), deletes
// the rows of items no longer managed and any second row of one key, commits
// once, and returns one entry per managed item in menu order (items sharing a
// key share its row). Aborts silently when the commit fails.
QList<UserRight> SyncUserRights(const QMenuBar* menu, int userId);

// Sets the visibility of every main-menu item from the logged-in user's rights
// (creating the user's rows on the first login); "mnSQL" and "mnConnection" stay
// visible only for the built-in MANAGER. Run once, after the login.
void ApplyMenuRights(QMenuBar* menu);
