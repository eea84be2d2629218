#pragma once
// The logged-in user's values of the global state, kept when a test starts and
// put back when it ends, so a test that logs someone in leaves no trace.

#include "core/GlobalState.h"

#include <QString>
#include <cstdint>

class SavedSession {
public:
    SavedSession() = default;
    ~SavedSession()
    {
        CurrentUserCode = m_code;
        CurrentUserId = m_id;
        CurrentUserAccess = m_access;
        CurrentUserLastName = m_last;
        CurrentUserFirstName = m_first;
        IsBuiltInManager = m_manager;
        IsBuiltInAdmin = m_admin;
    }
    SavedSession(const SavedSession&) = delete;
    SavedSession& operator=(const SavedSession&) = delete;

private:
    QString m_code = CurrentUserCode;
    int m_id = CurrentUserId;
    std::int16_t m_access = CurrentUserAccess;
    QString m_last = CurrentUserLastName;
    QString m_first = CurrentUserFirstName;
    bool m_manager = IsBuiltInManager;
    bool m_admin = IsBuiltInAdmin;
};
