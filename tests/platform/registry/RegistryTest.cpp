#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

#include "platform/base/Format.h"
#include "platform/registry/Registry.h"
#include "support/TempDevice.h"

namespace hostfs = std::filesystem;

namespace {

const char* kEdit = "Software\\Vornak\\quillo\\Edit";

// Runs SQL on the registry file behind the program's back, as a hand edit would.
void RawSql(const std::string& file, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << error;
    sqlite3_free(error);
    sqlite3_close(db);
}

std::string RawRows(const std::string& file) {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    std::string rows;
    sqlite3_exec(
        db, "SELECT hive, key, name, type, value FROM registry ORDER BY rowid",
        [](void* out, int columns, char** values, char**) {
            auto& text = *static_cast<std::string*>(out);
            for (int i = 0; i < columns; ++i) text += std::string(values[i] ? values[i] : "") + "|";
            text += "\n";
            return 0;
        },
        &rows, nullptr);
    sqlite3_close(db);
    return rows;
}

class RegistryTest : public ::testing::Test {
  protected:
    TempFolder folder;
    std::string file = (folder.Path() / "registry.sqlite3").string();
};

}  // namespace

TEST_F(RegistryTest, StoresRowsInTheDocumentedTable) {
    auto registry = Registry::Open(file);
    ASSERT_TRUE(registry);
    ASSERT_TRUE(registry->Write(Hive::CurrentUser, kEdit, "PenWidth", 5));
    ASSERT_TRUE(
        registry->Write(Hive::LocalMachine, "Software\\Quillo", "Path", std::string("\\x")));
    EXPECT_EQ(RawRows(file),
              "HKCU|Software\\Vornak\\quillo\\Edit|PenWidth|4|5|\n"
              "HKLM|Software\\Quillo|Path|1|\\x|\n");
}

TEST_F(RegistryTest, KeysAndNamesAreCaseBlind) {
    auto registry = Registry::Open(file);
    ASSERT_TRUE(registry->Write(Hive::CurrentUser, kEdit, "PenColor", 0x0000FF));
    const auto value =
        registry->Read(Hive::CurrentUser, "SOFTWARE\\vornak\\QUILLO\\edit", "pENColor");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(std::get<int32_t>(*value), 0x0000FF);
    ASSERT_TRUE(registry->Write(Hive::CurrentUser, kEdit, "PENCOLOR", 0x00FF00));
    EXPECT_EQ(std::get<int32_t>(*registry->Read(Hive::CurrentUser, kEdit, "PenColor")), 0x00FF00);
    EXPECT_EQ(RawRows(file), "HKCU|Software\\Vornak\\quillo\\Edit|PenColor|4|65280|\n")
        << "one value, not two";
}

TEST_F(RegistryTest, IntegersRoundTripAsThirtyTwoBits) {
    auto registry = Registry::Open(file);
    for (const int32_t number : {0x00FFFFFF, -1, 0, INT32_MIN, INT32_MAX}) {
        ASSERT_TRUE(registry->Write(Hive::CurrentUser, kEdit, "N", number));
        EXPECT_EQ(std::get<int32_t>(*registry->Read(Hive::CurrentUser, kEdit, "N")), number);
    }
}

TEST_F(RegistryTest, HivesAreSeparateAndKeysExistThroughTheirValues) {
    auto registry = Registry::Open(file);
    const char* sync = "Software\\Microsoft\\Windows CE Services";
    EXPECT_FALSE(registry->KeyExists(Hive::LocalMachine, sync));
    ASSERT_TRUE(registry->Write(Hive::LocalMachine, sync, "FileSyncPath", std::string("\\Sync\\")));
    EXPECT_TRUE(registry->KeyExists(Hive::LocalMachine, sync));
    EXPECT_TRUE(registry->KeyExists(Hive::LocalMachine, "software\\microsoft"));
    EXPECT_FALSE(registry->KeyExists(Hive::LocalMachine, "Software\\Micro"));
    EXPECT_FALSE(registry->KeyExists(Hive::CurrentUser, sync));
    EXPECT_FALSE(registry->Read(Hive::CurrentUser, sync, "FileSyncPath").has_value());
    EXPECT_EQ(registry->Read(Hive::LocalMachine, "\\Software\\Microsoft\\Windows CE Services\\",
                             "FileSyncPath"),
              RegistryValue(std::string("\\Sync\\")));
}

TEST_F(RegistryTest, HandEditedValuesOfTheWrongShapeReadAsAbsent) {
    {
        auto registry = Registry::Open(file);
        ASSERT_TRUE(registry);
    }
    RawSql(file,
           "INSERT INTO registry VALUES('HKCU', 'K', 'TextAsInt', 4, 'abc');"
           "INSERT INTO registry VALUES('HKCU', 'K', 'Huge', 4, 99999999999);"
           "INSERT INTO registry VALUES('HKCU', 'K', 'Blob', 1, x'00ff');"
           "INSERT INTO registry VALUES('HKCU', 'K', 'Unsigned', 4, 4294967295);");
    auto registry = Registry::Open(file);
    EXPECT_FALSE(registry->Read(Hive::CurrentUser, "K", "TextAsInt").has_value());
    EXPECT_FALSE(registry->Read(Hive::CurrentUser, "K", "Huge").has_value());
    EXPECT_FALSE(registry->Read(Hive::CurrentUser, "K", "Blob").has_value());
    EXPECT_EQ(registry->Read(Hive::CurrentUser, "K", "Unsigned"), RegistryValue(int32_t{-1}));
}

TEST_F(RegistryTest, DamagedFileIsSetAsideAndAFreshOneMade) {
    struct Row {
        const char* what;
        std::string bytes;
    };
    std::string fakeHeader("SQLite format 3\0", 16);
    fakeHeader += std::string(4080, '\x5a');
    const Row rows[] = {
        {"plain text", "this is not a database at all, just some text\n"},
        {"a database header over garbage", fakeHeader},
        {"a FIFO, which no start may wait on", ""},
    };
    for (const auto& row : rows) {
        const bool fifo = row.bytes.empty();
        if (fifo) {
            ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        } else {
            WriteHostFile(file, row.bytes);
        }
        auto registry = Registry::Open(file);
        ASSERT_TRUE(registry) << row.what;
        ASSERT_FALSE(registry->SetAsideFile().empty()) << row.what;
        if (fifo) {
            EXPECT_TRUE(hostfs::is_fifo(registry->SetAsideFile())) << "moved as it is";
        } else {
            EXPECT_EQ(ReadHostFile(registry->SetAsideFile()), row.bytes) << "kept for the user";
        }
        // Noted for the next window to tell, once, also when another process set it aside.
        EXPECT_EQ(Registry::Open(file)->TakeSetAsideFiles(),
                  std::vector<std::string>{registry->SetAsideFile()});
        EXPECT_TRUE(registry->TakeSetAsideFiles().empty());
        EXPECT_FALSE(registry->Read(Hive::CurrentUser, kEdit, "PenWidth").has_value());
        EXPECT_TRUE(registry->Write(Hive::CurrentUser, kEdit, "PenWidth", 9)) << row.what;
        registry.reset();
        for (const auto& entry : hostfs::directory_iterator(folder.Path())) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name == "registry.sqlite3" || name.rfind("registry.sqlite3.damaged-", 0) == 0)
                << "no stray file: " << name;
        }
        hostfs::remove(file);
        for (const auto& entry : hostfs::directory_iterator(folder.Path())) {
            hostfs::remove(entry.path());
        }
    }
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing) {
    constexpr int kEach = 500;
    { ASSERT_TRUE(Registry::Open(file)); }
    const auto writeAll = [this](const char* who) {
        auto registry = Registry::Open(file);
        bool ok = registry != nullptr;
        for (int i = 0; ok && i < kEach; ++i) {
            ok = registry->Write(Hive::CurrentUser, kEdit, Format("%s%03d", who, i), i);
        }
        return ok;
    };
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::_exit(writeAll("child") ? 0 : 1);
    }
    const bool parentOk = writeAll("parent");
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(parentOk);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    auto registry = Registry::Open(file);
    for (const char* who : {"parent", "child"}) {
        for (int i = 0; i < kEach; ++i) {
            const auto value = registry->Read(Hive::CurrentUser, kEdit, Format("%s%03d", who, i));
            ASSERT_TRUE(value.has_value()) << who << i;
            EXPECT_EQ(std::get<int32_t>(*value), i);
        }
    }
}

TEST_F(RegistryTest, ATransactionShowsItsWritesToOthersAtItsEndOnly) {
    auto registry = Registry::Open(file);
    auto other = Registry::Open(file);
    std::vector<std::string> seenAfterCommit;
    {
        RegistryTransaction outer(registry.get());
        EXPECT_TRUE(registry->Write(Hive::CurrentUser, kEdit, "A", 1));
        {
            RegistryTransaction inner(registry.get());
            EXPECT_TRUE(registry->Write(Hive::CurrentUser, kEdit, "B", 2));
            registry->AfterCommit([&] { seenAfterCommit.push_back("inner"); });
        }
        EXPECT_TRUE(seenAfterCommit.empty()) << "an inner scope commits nothing";
        EXPECT_EQ(registry->Read(Hive::CurrentUser, kEdit, "B"), RegistryValue(2));
        EXPECT_FALSE(other->Read(Hive::CurrentUser, kEdit, "A")) << "others wait for the commit";
    }
    EXPECT_EQ(seenAfterCommit, std::vector<std::string>{"inner"});
    EXPECT_EQ(other->Read(Hive::CurrentUser, kEdit, "A"), RegistryValue(1));
    EXPECT_EQ(other->Read(Hive::CurrentUser, kEdit, "B"), RegistryValue(2));
    registry->AfterCommit([&] { seenAfterCommit.push_back("now"); });
    EXPECT_EQ(seenAfterCommit.size(), 2u) << "outside a transaction the action runs at once";
}

TEST_F(RegistryTest, ATransactionLeftByAnExceptionWritesNothing) {
    auto registry = Registry::Open(file);
    EXPECT_TRUE(registry->Write(Hive::CurrentUser, kEdit, "Kept", 1));
    try {
        RegistryTransaction outer(registry.get());
        EXPECT_TRUE(registry->Write(Hive::CurrentUser, kEdit, "Kept", 2));
        try {
            RegistryTransaction inner(registry.get());
            EXPECT_TRUE(registry->Write(Hive::CurrentUser, kEdit, "Lost", 3));
            throw std::runtime_error("disk full");
        } catch (const std::runtime_error&) {
        }
        EXPECT_TRUE(registry->Write(Hive::CurrentUser, kEdit, "AlsoLost", 4));
    } catch (...) {
        ADD_FAILURE() << "nothing else throws";
    }
    // A failed inner scope takes the whole transaction with it.
    EXPECT_EQ(registry->Read(Hive::CurrentUser, kEdit, "Kept"), RegistryValue(1));
    EXPECT_FALSE(registry->Read(Hive::CurrentUser, kEdit, "Lost"));
    EXPECT_FALSE(registry->Read(Hive::CurrentUser, kEdit, "AlsoLost"));

    // The next transaction starts clean.
    {
        RegistryTransaction next(registry.get());
        EXPECT_TRUE(registry->Write(Hive::CurrentUser, kEdit, "Next", 5));
    }
    EXPECT_EQ(Registry::Open(file)->Read(Hive::CurrentUser, kEdit, "Next"), RegistryValue(5));
}

TEST_F(RegistryTest, WhileAnotherProcessHoldsItNothingIsWrittenHalfAndItOpensOnceFree) {
    auto registry = Registry::Open(file);
    ASSERT_TRUE(registry);
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    {
        RegistryTransaction transaction(registry.get());
        EXPECT_FALSE(transaction.IsOpen());
        EXPECT_FALSE(registry->Write(Hive::CurrentUser, kEdit, "A", 1));
        EXPECT_FALSE(transaction.Commit()) << "what was not stored is said";
    }
    EXPECT_FALSE(Registry::Open(file)) << "a start does not wait for it";
    sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    auto again = Registry::Open(file);
    ASSERT_TRUE(again);
    EXPECT_FALSE(again->Read(Hive::CurrentUser, kEdit, "A"));
    RegistryTransaction transaction(again.get());
    EXPECT_TRUE(again->Write(Hive::CurrentUser, kEdit, "A", 1));
    EXPECT_TRUE(transaction.Commit());
}

TEST_F(RegistryTest, TheDataVersionMovesOnlyForOtherConnectionsWrites) {
    auto registry = Registry::Open(file);
    auto other = Registry::Open(file);
    const int64_t start = registry->DataVersion();
    EXPECT_TRUE(registry->Write(Hive::CurrentUser, kEdit, "Mine", 1));
    EXPECT_EQ(registry->DataVersion(), start);
    EXPECT_TRUE(other->Write(Hive::CurrentUser, kEdit, "Theirs", 1));
    const int64_t afterOther = registry->DataVersion();
    EXPECT_NE(afterOther, start);
    {
        RegistryTransaction transaction(registry.get());
        EXPECT_EQ(registry->DataVersion(), afterOther);
    }
}
