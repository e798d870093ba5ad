#include "Registry.h"

#include <sqlite3.h>

#include "platform/registry/RegistryBusyWait.h"

// The values: statements prepared once, and reads and writes through them.

namespace {

constexpr int kTypeString = 1;
constexpr int kTypeInteger = 4;

const char* HiveName(Hive hive) {
    return hive == Hive::CurrentUser ? "HKCU" : "HKLM";
}

// Binds text that outlives the statement's step.
void BindText(sqlite3_stmt* statement, int index, std::string_view text) {
    sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

// Runs a statement to completion and leaves it ready for the next use.
int StepAndReset(sqlite3_stmt* statement) {
    const int result = sqlite3_step(statement);
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    return result;
}

}  // namespace

std::string NormalizeKeyPath(std::string_view key) {
    std::string result;
    for (char c : key) {
        if (c == '/' || c == '\\') {
            if (!result.empty() && result.back() != '\\') {
                result += '\\';
            }
        } else {
            result += c;
        }
    }
    if (!result.empty() && result.back() == '\\') {
        result.pop_back();
    }
    return result;
}

Registry::Registry(sqlite3* db, const std::string& file)
    : m_db(db), m_busyWait(std::make_unique<RegistryBusyWait>()) {
    m_busyWait->file = file;
    sqlite3_busy_handler(m_db, &RegistryBusyWait::Again, m_busyWait.get());
}

Registry::~Registry() {
    for (sqlite3_stmt* statement : {m_read, m_write, m_delete, m_keyExists, m_dataVersion}) {
        sqlite3_finalize(statement);
    }
    sqlite3_close(m_db);
}

bool Registry::Prepare() {
    const auto prepare = [this](const char* sql, sqlite3_stmt** statement) {
        return sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, statement, nullptr) ==
               SQLITE_OK;
    };
    return prepare("SELECT type, value FROM registry WHERE hive = ?1 AND key = ?2 AND name = ?3",
                   &m_read) &&
           prepare(
               "INSERT INTO registry(hive, key, name, type, value) VALUES(?1, ?2, ?3, ?4, ?5) "
               "ON CONFLICT(hive, key, name) DO UPDATE SET type = excluded.type, "
               "value = excluded.value",
               &m_write) &&
           prepare("DELETE FROM registry WHERE hive = ?1 AND key = ?2 AND name = ?3", &m_delete) &&
           prepare(
               "SELECT 1 FROM registry WHERE hive = ?1 AND (key = ?2 OR "
               "substr(key, 1, length(?3)) = ?3 COLLATE NOCASE) LIMIT 1",
               &m_keyExists) &&
           prepare("PRAGMA data_version", &m_dataVersion);
}

void Registry::WaitForRead() const {
    // Inside a transaction the registry is held already: nothing to wait for.
    if (m_transactionDepth == 0) m_busyWait->patienceMs = ReadPatienceMs();
}

void Registry::WaitForWrite() const {
    if (m_transactionDepth == 0) m_busyWait->patienceMs = WritePatienceMs();
}

int64_t Registry::DataVersion() const {
    WaitForRead();
    const int64_t version = Seen(sqlite3_step(m_dataVersion)) == SQLITE_ROW
                                ? sqlite3_column_int64(m_dataVersion, 0)
                                : -1;
    sqlite3_reset(m_dataVersion);
    return version;
}

std::optional<RegistryValue> Registry::Read(Hive hive, std::string_view key,
                                            std::string_view name) const {
    BindText(m_read, 1, HiveName(hive));
    BindText(m_read, 2, NormalizeKeyPath(key));
    BindText(m_read, 3, name);
    std::optional<RegistryValue> result;
    WaitForRead();
    if (Seen(sqlite3_step(m_read)) == SQLITE_ROW) {
        const int type = sqlite3_column_int(m_read, 0);
        const int storage = sqlite3_column_type(m_read, 1);
        if (type == kTypeString && storage == SQLITE_TEXT) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_read, 1));
            result = std::string(text, static_cast<size_t>(sqlite3_column_bytes(m_read, 1)));
        } else if (type == kTypeInteger && storage == SQLITE_INTEGER) {
            // A value edited by hand beyond 32 bits is not a value this registry holds.
            const sqlite3_int64 number = sqlite3_column_int64(m_read, 1);
            if (number >= INT32_MIN && number <= UINT32_MAX) {
                result = static_cast<int32_t>(static_cast<uint32_t>(number));
            }
        }
    }
    sqlite3_reset(m_read);
    sqlite3_clear_bindings(m_read);
    return result;
}

std::optional<std::string> Registry::ReadString(Hive hive, std::string_view key,
                                                std::string_view name) const {
    auto value = Read(hive, key, name);
    auto* text = value ? std::get_if<std::string>(&*value) : nullptr;
    return text != nullptr ? std::optional<std::string>(std::move(*text)) : std::nullopt;
}

bool Registry::Write(Hive hive, std::string_view key, std::string_view name,
                     const RegistryValue& value) {
    BindText(m_write, 1, HiveName(hive));
    BindText(m_write, 2, NormalizeKeyPath(key));
    BindText(m_write, 3, name);
    if (const auto* text = std::get_if<std::string>(&value)) {
        sqlite3_bind_int(m_write, 4, kTypeString);
        BindText(m_write, 5, *text);
    } else {
        sqlite3_bind_int(m_write, 4, kTypeInteger);
        sqlite3_bind_int64(m_write, 5, std::get<int32_t>(value));
    }
    return Changed(m_write);
}

bool Registry::Changed(sqlite3_stmt* statement) {
    // A transaction that failed once lets nothing more through: no half of it is written.
    if (m_transactionDepth > 0 && m_transactionFailed) {
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
        return false;
    }
    WaitForWrite();
    const bool done = Seen(StepAndReset(statement)) == SQLITE_DONE;
    if (!done && m_transactionDepth > 0) m_transactionFailed = true;
    return done;
}

bool Registry::DeleteValue(Hive hive, std::string_view key, std::string_view name) {
    BindText(m_delete, 1, HiveName(hive));
    BindText(m_delete, 2, NormalizeKeyPath(key));
    BindText(m_delete, 3, name);
    return Changed(m_delete);
}

bool Registry::KeyExists(Hive hive, std::string_view key) const {
    const std::string path = NormalizeKeyPath(key);
    BindText(m_keyExists, 1, HiveName(hive));
    BindText(m_keyExists, 2, path);
    BindText(m_keyExists, 3, path + "\\");
    WaitForRead();
    return Seen(StepAndReset(m_keyExists)) == SQLITE_ROW;
}
