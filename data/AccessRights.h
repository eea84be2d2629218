#pragma once
// The current user's access to a main-menu item, as every window asks it.

#include "data/MenuItems.h"

#include <QString>

// 0 no access, 1 read, 2 read and write. The item is named as in MenuItems.h.
int GetAccessLevel(const QString& menuItemName, int userId);
bool CanWrite(const QString& menuItemName, int userId);
// Shows "Alerte de sécurité : Ecriture non autorisée !" and aborts silently.
[[noreturn]] void DenyWriteAccess();

// The key a menu item's rights row is stored under (T_SECUR.OBJECT_NAME): the
// item name upper-cased and cut to 20 characters. Two items whose names share
// their first 20 characters share one key, hence one right.
QString RightsKey(const QString& menuItemName);

