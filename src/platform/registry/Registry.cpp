#include "Registry.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <exception>
#include <utility>

#include "platform/base/Format.h"
#include "platform/fs/Device.h"
#include "platform/fs/UniqueFd.h"

namespace {

// How long a statement waits for another process: as long as that one makes progress (its
// commits change the file), up to kLongestWaitMs, but only a patience without any. Another
// Quillo's commit takes milliseconds; a profile that someone keeps must not hold a window,
// and a read (or the look at a file being opened) is less patient than a write.
constexpr int64_t kWritePatienceMs = 2000;
constexpr int64_t kReadPatienceMs = 400;
constexpr int64_t kLongestWaitMs = 10000;
// Once the registry kept a statement waiting in vain (its holder made no progress), nothing
// waits for it again for this long: each value a start or a menu reads, and each write a
// command makes, would wait otherwise.
constexpr int64_t kBusyBackoffMs = 5000;

// Where damaged files went, noted in the fresh registry for the next window to tell.
constexpr const char* kNotesKey = "Software\\Quillo";
constexpr const char* kSetAsideName = "SetAside";

std::atomic<int64_t> gLastBusyMs{-kBusyBackoffMs};

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool HeldRecently() {
    return NowMs() - gLastBusyMs.load() < kBusyBackoffMs;
}

int64_t ReadPatienceMs() {
    return HeldRecently() ? 0 : kReadPatienceMs;
}

int64_t WritePatienceMs() {
    return HeldRecently() ? 0 : kWritePatienceMs;
}

// A statement's result: one that got through ends the holding; it is waited for again.
int Seen(int result) {
    if (result == SQLITE_OK || result == SQLITE_ROW || result == SQLITE_DONE) {
        gLastBusyMs = -kBusyBackoffMs;
    }
    return result;
}

struct FileStamp {
    int64_t modifiedNs = -1;
    int64_t size = -1;
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const std::string& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return {};
    return {int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec, int64_t{st.st_size}};
}

}  // namespace

struct RegistryBusyWait {
    std::string file;
    int64_t patienceMs = kReadPatienceMs;
    int64_t startMs = 0;
    int64_t lastProgressMs = 0;
    FileStamp stamp;

    // SQLite's busy handler: nonzero to try the lock again.
    static int Again(void* context, int previousCalls) {
        auto* wait = static_cast<RegistryBusyWait*>(context);
        const int64_t now = NowMs();
        const FileStamp stamp = StampOf(wait->file);
        if (previousCalls == 0) {
            wait->startMs = now;
            wait->lastProgressMs = now;
        } else if (!(stamp == wait->stamp)) {
            wait->lastProgressMs = now;
        }
        wait->stamp = stamp;
        if (now - wait->lastProgressMs >= wait->patienceMs) {
            // Kept, not just busy: the next statements do not wait for it.
            if (wait->patienceMs > 0) gLastBusyMs = now;
            return 0;
        }
        if (now - wait->startMs >= kLongestWaitMs) return 0;
        ::usleep(previousCalls < 10 ? 1000 : 10000);
        return 1;
    }
};

namespace {

bool IsRegularOrAbsent(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode);
}

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS registry(hive TEXT NOT NULL, key TEXT NOT NULL COLLATE NOCASE, "
    "name TEXT NOT NULL COLLATE NOCASE, type INTEGER NOT NULL, value, "
    "PRIMARY KEY(hive, key, name))";

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

bool IsDamage(int code) {
    const int primary = code & 0xFF;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

// Opens `file` and makes sure it is a usable registry. `damaged` tells a file that must be
// set aside from one that is only busy or cannot be opened.
sqlite3* OpenChecked(const std::string& file, RegistryBusyWait& wait, bool& damaged) {
    // A FIFO, a folder or a device under either name is no registry, and a FIFO could hold
    // the open until someone writes into it.
    damaged = !IsRegularOrAbsent(file) || !IsRegularOrAbsent(file + "-journal");
    if (damaged) return nullptr;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    wait.file = file;
    wait.patienceMs = ReadPatienceMs();
    sqlite3_busy_handler(db, &RegistryBusyWait::Again, &wait);
    int code = Seen(sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr));
    if (code == SQLITE_OK) {
        sqlite3_stmt* check = nullptr;
        code = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &check, nullptr);
        if (code == SQLITE_OK) {
            code = sqlite3_step(check);
            const auto* verdict = code == SQLITE_ROW ? sqlite3_column_text(check, 0) : nullptr;
            if (code == SQLITE_ROW) {
                code = verdict != nullptr &&
                               std::string_view(reinterpret_cast<const char*>(verdict)) == "ok"
                           ? SQLITE_OK
                           : SQLITE_CORRUPT;
            }
        }
        sqlite3_finalize(check);
    }
    if (code != SQLITE_OK) {
        damaged = IsDamage(code);
        sqlite3_close(db);
        return nullptr;
    }
    return db;
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

std::unique_ptr<Registry> Registry::Open(const std::string& file) {
    bool damaged = false;
    RegistryBusyWait wait;
    sqlite3* db = OpenChecked(file, wait, damaged);
    std::string setAside;
    if (db == nullptr && damaged) {
        // Another process may be recovering the same file: one at a time, and look again
        // under the lock so that a fresh registry it just made is never set aside. The lock
        // is the folder the file lies in, which is there anyway: no lock file stays behind.
        const size_t slash = file.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : file.substr(0, slash + 1);
        UniqueFd lock(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (lock.IsValid()) {
            ::flock(lock.Get(), LOCK_EX);
        }
        db = OpenChecked(file, wait, damaged);
        if (db == nullptr && damaged) {
            setAside =
                Format("%s.damaged-%ld", file.c_str(), static_cast<long>(std::time(nullptr)));
            std::rename(file.c_str(), setAside.c_str());
            std::rename((file + "-journal").c_str(), (setAside + "-journal").c_str());
            db = OpenChecked(file, wait, damaged);
        }
    }
    if (db == nullptr) {
        return nullptr;
    }
    std::unique_ptr<Registry> registry(new Registry(db, file));
    registry->m_strSetAside = setAside;
    if (!registry->Prepare()) {
        return nullptr;
    }
    if (!setAside.empty()) registry->NoteSetAside(setAside);
    return registry;
}

void Registry::NoteSetAside(const std::string& path) {
    RegistryTransaction transaction(this);
    const std::string noted = ReadString(Hive::LocalMachine, kNotesKey, kSetAsideName).value_or("");
    (void)Write(Hive::LocalMachine, kNotesKey, kSetAsideName,
                noted.empty() ? path : noted + "\n" + path);
    (void)transaction.Commit();  // unnoted, it is still there to be found by hand
}

std::vector<std::string> Registry::TakeSetAsideFiles() {
    RegistryTransaction transaction(this);
    const std::string noted = ReadString(Hive::LocalMachine, kNotesKey, kSetAsideName).value_or("");
    if (noted.empty() || !DeleteValue(Hive::LocalMachine, kNotesKey, kSetAsideName) ||
        !transaction.Commit()) {
        return {};
    }
    std::vector<std::string> files;
    for (size_t start = 0; start <= noted.size();) {
        const size_t end = std::min(noted.find('\n', start), noted.size());
        if (end > start) files.push_back(noted.substr(start, end - start));
        start = end + 1;
    }
    return files;
}

Registry::Registry(sqlite3* db, const std::string& file)
    : m_db(db), m_pBusyWait(std::make_unique<RegistryBusyWait>()) {
    m_pBusyWait->file = file;
    sqlite3_busy_handler(m_db, &RegistryBusyWait::Again, m_pBusyWait.get());
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
    if (m_nTransactionDepth == 0) m_pBusyWait->patienceMs = ReadPatienceMs();
}

void Registry::WaitForWrite() const {
    if (m_nTransactionDepth == 0) m_pBusyWait->patienceMs = WritePatienceMs();
}

int64_t Registry::DataVersion() const {
    WaitForRead();
    const int64_t version = Seen(sqlite3_step(m_dataVersion)) == SQLITE_ROW
                                ? sqlite3_column_int64(m_dataVersion, 0)
                                : -1;
    sqlite3_reset(m_dataVersion);
    return version;
}

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

Registry* Registry::OfDevice() {
    static std::unique_ptr<Registry> registry;
    static std::string openFile;
    const std::string file = Device::RegistryFile();
    if (file != openFile) {
        registry.reset();
        openFile = file;
    }
    // One that could not be opened (another process holds it, the folder refused) may be
    // there now; while it stays busy this costs no wait.
    if (registry == nullptr && !file.empty()) registry = Open(file);
    return registry.get();
}

RegistryTransaction::RegistryTransaction(Registry* registry)
    : m_pRegistry(registry), m_nUncaught(std::uncaught_exceptions()) {
    if (m_pRegistry != nullptr) m_bBegun = m_pRegistry->Begin();
}

RegistryTransaction::~RegistryTransaction() {
    if (m_pRegistry != nullptr && !m_bEnded) {
        m_pRegistry->End(std::uncaught_exceptions() == m_nUncaught);
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
    if (m_nTransactionDepth > 0 && m_bTransactionFailed) {
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
        return false;
    }
    WaitForWrite();
    const bool done = Seen(StepAndReset(statement)) == SQLITE_DONE;
    if (!done && m_nTransactionDepth > 0) m_bTransactionFailed = true;
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
