#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

struct sqlite3;
struct sqlite3_stmt;

enum class Hive { CurrentUser, LocalMachine };

// A string value (type 1) or a 32-bit integer value (type 4).
using RegistryValue = std::variant<std::string, int32_t>;

// The device's registry: one SQLite table of values addressed by hive, key path ("\"
// between levels) and name, keys and names compared without regard to case. Every write is
// its own transaction and a busy database is waited for, so two processes can share it.
class Registry {
  public:
    // Opens or creates the registry file. A file that is damaged or not a database is moved
    // aside (to FILE.damaged-TIME) and a fresh one made. Null only when no database can be
    // made at all; callers then read defaults.
    static std::unique_ptr<Registry> Open(const std::string& file);
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    std::optional<RegistryValue> Read(Hive hive, std::string_view key, std::string_view name) const;
    bool Write(Hive hive, std::string_view key, std::string_view name, const RegistryValue& value);
    bool DeleteValue(Hive hive, std::string_view key, std::string_view name);
    // A key exists when it or a key below it holds a value.
    bool KeyExists(Hive hive, std::string_view key) const;

    // Where a damaged file was moved by `Open`; empty when none was.
    const std::string& SetAsideFile() const { return m_strSetAside; }

  private:
    explicit Registry(sqlite3* db);
    bool Prepare();

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_read = nullptr;
    sqlite3_stmt* m_write = nullptr;
    sqlite3_stmt* m_delete = nullptr;
    sqlite3_stmt* m_keyExists = nullptr;
    std::string m_strSetAside;
};

// "Software\a\\b\" and "/Software/a/b" name the same key as "Software\a\b".
std::string NormalizeKeyPath(std::string_view key);
