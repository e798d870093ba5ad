#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
struct RegistryBusyWait;

enum class Hive { CurrentUser, LocalMachine };

// A string value (type 1) or a 32-bit integer value (type 4).
using RegistryValue = std::variant<std::string, int32_t>;

// The device's registry: one SQLite table of values addressed by hive, key path ("\"
// between levels) and name, keys and names compared without regard to case. Every write is
// its own transaction unless a RegistryTransaction groups it with others, and a busy
// database is waited for, so two processes can share it.
class Registry {
  public:
    // Opens or creates the registry file. A file that is damaged, not a database or not a
    // regular file at all (a FIFO, a folder) is moved aside (to FILE.damaged-TIME) and a fresh
    // one made, which notes where the old one went (TakeSetAsideFiles). Null when no database
    // can be had now: another process holds it, or the folder refuses; callers then read
    // defaults, and may try again later. Never waits long for a busy file.
    [[nodiscard]] static std::unique_ptr<Registry> Open(const std::string& file);
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    [[nodiscard]] std::optional<RegistryValue> Read(Hive hive, std::string_view key,
                                                    std::string_view name) const;
    // A string value; none for an absent value or one of the other kind.
    [[nodiscard]] std::optional<std::string> ReadString(Hive hive, std::string_view key,
                                                        std::string_view name) const;
    [[nodiscard]] bool Write(Hive hive, std::string_view key, std::string_view name,
                             const RegistryValue& value);
    [[nodiscard]] bool DeleteValue(Hive hive, std::string_view key, std::string_view name);
    // A key exists when it or a key below it holds a value.
    bool KeyExists(Hive hive, std::string_view key) const;

    // Where a damaged file was moved by `Open`; empty when none was.
    const std::string& SetAsideFile() const { return m_setAside; }
    // Where damaged files were moved, by this process or another, since they were last
    // taken; the note goes with the taking. Empty when there is none or it cannot be taken.
    [[nodiscard]] std::vector<std::string> TakeSetAsideFiles();

    // Changes whenever another connection (another process, or another thread's own
    // connection) has committed since; this connection's own writes leave it alone.
    [[nodiscard]] int64_t DataVersion() const;

    // The registry of the mounted device, one connection per process, opened on first
    // use; null with no device mounted or no database to be had now. One that could not be
    // opened is tried again at the next use. For the user-interface thread: another thread
    // opens a registry of its own.
    static Registry* OfDevice();

    // Runs `action` once what has been written so far is committed: at once outside a
    // transaction, else when the outermost scope ends. Others then see those writes.
    void AfterCommit(std::function<void()> action);

  private:
    friend class RegistryTransaction;
    Registry(sqlite3* db, const std::string& file);
    [[nodiscard]] bool Prepare();
    [[nodiscard]] bool Begin();
    [[nodiscard]] bool End(bool commit);
    // Notes where a damaged file was moved, for TakeSetAsideFiles.
    void NoteSetAside(const std::string& path);
    // Sets how long the next statement waits for another process, by what it does.
    void WaitForRead() const;
    void WaitForWrite() const;
    // Runs a statement that writes; false when it failed, which fails its transaction.
    [[nodiscard]] bool Changed(sqlite3_stmt* statement);

    sqlite3* m_db = nullptr;
    std::unique_ptr<RegistryBusyWait> m_busyWait;
    sqlite3_stmt* m_read = nullptr;
    sqlite3_stmt* m_write = nullptr;
    sqlite3_stmt* m_delete = nullptr;
    sqlite3_stmt* m_keyExists = nullptr;
    sqlite3_stmt* m_dataVersion = nullptr;
    std::string m_setAside;
    int m_transactionDepth = 0;
    bool m_rollbackOnly = false;
    bool m_transactionFailed = false;  // not begun, or a write in it failed
    std::vector<std::function<void()>> m_afterCommit;
};

// Groups the writes of its lifetime into one commit: many values written at once cost one
// disk sync instead of one each, and no other process sees them half done. Taken for
// writing at once, so what is read inside it cannot change under it. Scopes nest; the
// outermost commits, or rolls everything back when any scope was left by an exception or
// any write in it failed. A transaction that could not begin (another process holds the
// registry, it cannot be written) lets no write through: nothing is written half.
class RegistryTransaction {
  public:
    // With a null registry nothing happens, and nothing can be committed.
    explicit RegistryTransaction(Registry* registry);
    // Ends the scope if Commit did not.
    ~RegistryTransaction();
    RegistryTransaction(const RegistryTransaction&) = delete;
    RegistryTransaction& operator=(const RegistryTransaction&) = delete;

    // Whether the registry is held: what is read in the scope is then one piece.
    bool IsOpen() const;
    // Ends the scope: true when its writes are committed (an inner scope: when none of the
    // writes so far failed; the outermost scope decides).
    [[nodiscard]] bool Commit();

  private:
    Registry* m_registry;
    int m_uncaught;
    bool m_ended = false;
    bool m_begun = false;
};

// "Software\a\\b\" and "/Software/a/b" name the same key as "Software\a\b".
std::string NormalizeKeyPath(std::string_view key);
