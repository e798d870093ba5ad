#pragma once

#include <filesystem>

// A stand-in for a folder on a file system mounted read-only: while it lives, removing or
// renaming anything in it (or under it) fails with EROFS for this process, as the system
// would refuse it even to root. Only what the program does through unlinkat, renameat and
// renameat2 is refused.
class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(const std::filesystem::path& folder);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
};
