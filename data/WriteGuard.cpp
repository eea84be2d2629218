#include "data/WriteGuard.h"

#include "core/Guard.h"
#include "data/ShownRow.h"
#include "data/UDM.h"

TWriteGuard::TWriteGuard()
    : m_dm(DM), m_outermost(DM->m_writeDepth == 0)
{
    if (m_outermost) {
        m_dm->m_writeSpoiled = false;
        m_dm->LURDO.beginWrite();
        // The row an edit saves, locked and found unchanged before anything
        // is written (data/ShownRow.h); a refusal leaves nothing behind.
        try {
            TSaveCheck::RunArmed();
        } catch (...) {
            try {
                m_dm->LURDO.rollback();
            } catch (...) {
            }
            throw;
        }
    }
    ++m_dm->m_writeDepth;
}

TWriteGuard::~TWriteGuard()
{
    --m_dm->m_writeDepth;
    if (m_done)
        return;
    if (!m_outermost) {
        m_dm->m_writeSpoiled = true;
        return;
    }
    try {
        m_dm->LURDO.rollback();
    } catch (...) {
        // The transaction is dropped all the same; the next write starts afresh.
    }
}

void TWriteGuard::Commit()
{
    if (m_done)
        return;
    m_done = true;
    if (!m_outermost)
        return;
    if (m_dm->m_writeSpoiled) {
        m_dm->m_writeSpoiled = false;
        m_dm->RollbackWork();
        Abort();
    }
    if (!m_dm->CommitWork())
        Abort();
    TSaveCheck::OperationCommitted();
}
