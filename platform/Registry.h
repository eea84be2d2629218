#pragma once
// The current user's registry: a key/value store kept in the user's
// configuration folder, addressed by the same key paths as the Windows
// registry ("Control Panel\International\"). Values are text.
//
// The store is one settings file; tests point it at a temporary file with
// Registry::SetStorePath.

#include <QString>

namespace platform {

class Registry {
public:
    Registry() = default;

    // Opens `keyPath` (backslash-separated, trailing backslash allowed); when
    // the key is missing it is created if `canCreate`, otherwise false is returned.
    bool OpenKey(const QString& keyPath, bool canCreate);
    void CloseKey();
    bool KeyExists(const QString& keyPath) const;

    // Throws std::runtime_error when no key is open or the store cannot be written.
    void WriteString(const QString& name, const QString& value);
    // Empty when the value is missing.
    QString ReadString(const QString& name) const;
    bool ValueExists(const QString& name) const;

    // The file that holds the store; by default "registry.ini" in the user's
    // configuration folder under "Vorel".
    static QString StorePath();
    // Test seam: an empty path restores the default.
    static void SetStorePath(const QString& path);

private:
    QString m_group;   // the open key as a settings group, empty when none
    bool m_open = false;
};

}  // namespace platform
