#pragma once

#include <filesystem>

struct sqlite3;

// Another process's hold on the device's profile, as a tool that opened it for a long
// transaction keeps it: nothing else reads or writes it until the hold ends.
class HeldProfile {
  public:
    explicit HeldProfile(const std::filesystem::path& deviceDirectory);
    ~HeldProfile();
    HeldProfile(const HeldProfile&) = delete;
    HeldProfile& operator=(const HeldProfile&) = delete;

  private:
    sqlite3* m_db = nullptr;
};
