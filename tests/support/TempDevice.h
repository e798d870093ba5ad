#pragma once

#include <filesystem>
#include <string>

// A device directory of its own for one test, mounted while the object lives and removed
// with everything in it afterwards.
class TempDevice {
  public:
    TempDevice();
    ~TempDevice();
    TempDevice(const TempDevice&) = delete;
    TempDevice& operator=(const TempDevice&) = delete;

    const std::filesystem::path& Directory() const { return m_directory; }
    std::filesystem::path Root() const { return m_directory / "root"; }
    // The host path of a device path given with "/" between names, e.g. "My Documents/x".
    std::filesystem::path Host(const std::string& relative) const { return Root() / relative; }

  private:
    std::filesystem::path m_directory;
};

// A host folder of its own for one test, removed afterwards.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    const std::filesystem::path& Path() const { return m_path; }

  private:
    std::filesystem::path m_path;
};

std::string ReadHostFile(const std::filesystem::path& path);
void WriteHostFile(const std::filesystem::path& path, const std::string& bytes);
