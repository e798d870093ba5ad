#include <sqlite3.h>

#include <exception>
#include <utility>

#include "Registry.h"
#include "platform/registry/RegistryBusyWait.h"

// Transactions: nested scopes, one commit, and what waits for it.

bool Registry::Begin() {
    if (m_nTransactionDepth > 0) {
        ++m_nTransactionDepth;
        return !m_bTransactionFailed;
    }
    WaitForWrite();
    ++m_nTransactionDepth;
    m_bRollbackOnly = false;
    // Writing from the start: a read inside the scope then sees what the scope's writes
    // will be based on, and two processes cannot both read, then both write.
    m_bTransactionFailed =
        Seen(sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr)) != SQLITE_OK;
    return !m_bTransactionFailed;
}

bool Registry::End(bool commit) {
    if (!commit) m_bRollbackOnly = true;
    if (--m_nTransactionDepth > 0) return !m_bTransactionFailed && !m_bRollbackOnly;
    bool committed = false;
    // A failed write may have ended the transaction already; a failed BEGIN never began it.
    if (sqlite3_get_autocommit(m_db) == 0) {
        committed = !m_bRollbackOnly && !m_bTransactionFailed &&
                    sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
        if (!committed) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    m_bTransactionFailed = false;
    for (auto& action : std::exchange(m_afterCommit, {})) action();
    return committed;
}

void Registry::AfterCommit(std::function<void()> action) {
    if (m_nTransactionDepth == 0) {
        action();
    } else {
        m_afterCommit.push_back(std::move(action));
    }
}

RegistryTransaction::RegistryTransaction(Registry* registry)
    : m_pRegistry(registry), m_nUncaught(std::uncaught_exceptions()) {
    if (m_pRegistry != nullptr) m_bBegun = m_pRegistry->Begin();
}

RegistryTransaction::~RegistryTransaction() {
    if (m_pRegistry != nullptr && !m_bEnded) {
        // Left without Commit: whoever wanted to know asked Commit.
        (void)m_pRegistry->End(std::uncaught_exceptions() == m_nUncaught);
    }
}

bool RegistryTransaction::IsOpen() const {
    return m_bBegun && !m_bEnded;
}

bool RegistryTransaction::Commit() {
    if (m_pRegistry == nullptr || m_bEnded) return false;
    m_bEnded = true;
    return m_pRegistry->End(true);
}
