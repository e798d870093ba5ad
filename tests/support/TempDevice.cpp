#include "TempDevice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/fs/Device.h"

namespace {

std::filesystem::path MakeTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillo-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "cannot make a temporary folder";
    }
    return pattern;
}

}  // namespace

TempFolder::TempFolder() : m_path(MakeTempFolder()) {}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

TempDevice::TempDevice() : m_directory(MakeTempFolder() / "device") {
    if (!Device::Mount(m_directory.string())) {
        ADD_FAILURE() << "cannot mount " << m_directory;
    }
}

TempDevice::~TempDevice() {
    Device::Unmount();
    std::error_code ignored;
    std::filesystem::remove_all(m_directory.parent_path(), ignored);
}

std::string ReadHostFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteHostFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
