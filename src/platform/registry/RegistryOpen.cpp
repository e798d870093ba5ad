#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "Registry.h"
#include "platform/base/Format.h"
#include "platform/fs/Device.h"
#include "platform/fs/UniqueFd.h"
#include "platform/registry/RegistryBusyWait.h"

// Opening a registry: one that is damaged is set aside for a fresh one, and the next window
// is told where it went.

namespace {

// Where damaged files went, noted in the fresh registry for the next window to tell.
constexpr const char* kNotesKey = "Software\\Quillo";
constexpr const char* kSetAsideName = "SetAside";

bool IsRegularOrAbsent(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode);
}

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS registry(hive TEXT NOT NULL, key TEXT NOT NULL COLLATE NOCASE, "
    "name TEXT NOT NULL COLLATE NOCASE, type INTEGER NOT NULL, value, "
    "PRIMARY KEY(hive, key, name))";

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
    registry->m_setAside = setAside;
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
