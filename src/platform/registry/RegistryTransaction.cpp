#include <sqlite3.h>

#include <exception>
#include <utility>

#include "Registry.h"
#include "platform/registry/RegistryBusyWait.h"

// Transactions: nested scopes, one commit, and what waits for it.

bool Registry::Begin() {
    if (m_transactionDepth > 0) {
        ++m_transactionDepth;
        return !m_transactionFailed;
    }
    WaitForWrite();
    ++m_transactionDepth;
    m_rollbackOnly = false;
    // Writing from the start: a read inside the scope then sees what the scope's writes
    // will be based on, and two processes cannot both read, then both write.
    m_transactionFailed =
        Seen(sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr)) != SQLITE_OK;
    return !m_transactionFailed;
}

bool Registry::End(bool commit) {
    if (!commit) m_rollbackOnly = true;
    if (--m_transactionDepth > 0) return !m_transactionFailed && !m_rollbackOnly;
    bool committed = false;
    // A failed write may have ended the transaction already; a failed BEGIN never began it.
    if (sqlite3_get_autocommit(m_db) == 0) {
        committed = !m_rollbackOnly && !m_transactionFailed &&
                    sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
        if (!committed) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    m_transactionFailed = false;
    for (auto& action : std::exchange(m_afterCommit, {})) action();
    return committed;
}

void Registry::AfterCommit(std::function<void()> action) {
    if (m_transactionDepth == 0) {
        action();
    } else {
        m_afterCommit.push_back(std::move(action));
    }
}

RegistryTransaction::RegistryTransaction(Registry* registry)
    : m_registry(registry), m_uncaught(std::uncaught_exceptions()) {
    if (m_registry != nullptr) m_begun = m_registry->Begin();
}

RegistryTransaction::~RegistryTransaction() {
    if (m_registry != nullptr && !m_ended) {
        // Left without Commit: whoever wanted to know asked Commit.
        (void)m_registry->End(std::uncaught_exceptions() == m_uncaught);
    }
}

bool RegistryTransaction::IsOpen() const {
    return m_begun && !m_ended;
}

bool RegistryTransaction::Commit() {
    if (m_registry == nullptr || m_ended) return false;
    m_ended = true;
    return m_registry->End(true);
}
