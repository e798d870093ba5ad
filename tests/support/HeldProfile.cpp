#include "support/HeldProfile.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

HeldProfile::HeldProfile(const std::filesystem::path& deviceDirectory) {
    EXPECT_EQ(sqlite3_open((deviceDirectory / "registry.sqlite3").c_str(), &m_db), SQLITE_OK);
    sqlite3_busy_timeout(m_db, 10000);  // the program's own commits in the background end soon
    EXPECT_EQ(sqlite3_exec(m_db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
}

HeldProfile::~HeldProfile() {
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(m_db);
}
