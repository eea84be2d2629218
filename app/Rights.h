#pragma once
// Access rights per user and main-menu item.

#include <QString>

class QMenuBar;

// 0 no access, 1 read, 2 read and write.
int GetAccessLevel(const QString& menuItemName, int userId);
bool CanWrite(const QString& menuItemName, int userId);
// Shows "Alerte de sécurité : Ecriture non autorisée !" and aborts silently.
[[noreturn]] void DenyWriteAccess();
