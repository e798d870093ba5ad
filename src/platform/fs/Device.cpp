#include "Device.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

#include "platform/fs/DevicePath.h"
#include "platform/fs/File.h"

namespace {

constexpr const char* kRootFolder = "/root";

struct MountedDevice {
    std::string hostDirectory;
    DeviceFileSystem fileSystem{UniqueFd()};
};

MountedDevice& Mounted() {
    static MountedDevice device;
    return device;
}

bool MakeHostFolders(const std::string& path, mode_t mode) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (::mkdir(prefix.c_str(), mode) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string Device::DefaultDirectory() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/') {
        return std::string(dataHome) + "/Quillo";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/share/Quillo";
}

bool Device::IsFileSystemRoot(const std::string& hostDirectory) {
    char* resolved = ::realpath(hostDirectory.c_str(), nullptr);
    const bool root = resolved != nullptr && std::string_view(resolved) == "/";
    std::free(resolved);
    return root;
}

std::string Device::DevicePathOfHost(const std::string& hostPath) {
    if (!IsMounted()) return {};
    char* resolved = ::realpath(hostPath.c_str(), nullptr);
    if (resolved == nullptr) return {};
    const std::string path = resolved;
    std::free(resolved);
    const std::string root = HostRoot();
    if (path == root) return "\\";
    if (!path.starts_with(root + "/")) return {};
    std::string device = path.substr(root.size());
    for (char& c : device) {
        if (c == '/') c = '\\';
    }
    return device;
}

bool Device::Mount(const std::string& hostDirectory) {
    Unmount();
    if (IsFileSystemRoot(hostDirectory)) return false;
    std::string directory = hostDirectory;
    while (directory.size() > 1 && directory.back() == '/') {
        directory.pop_back();
    }
    if (directory.empty() || !MakeHostFolders(directory, 0700) ||
        !MakeHostFolders(directory + kRootFolder, 0777)) {
        return false;
    }
    // Later launches (the timed launch among them) get this path, so keep it absolute.
    char* resolved = ::realpath(directory.c_str(), nullptr);
    if (resolved == nullptr) {
        return false;
    }
    directory = resolved;
    std::free(resolved);
    bool ok = false;
    DeviceFileSystem fileSystem = DeviceFileSystem::OpenRoot(directory + kRootFolder, ok);
    if (!ok) {
        return false;
    }
    // There already after the first start; a root that refuses them refuses each save too.
    (void)fileSystem.CreateFolder("\\My Documents");
    (void)fileSystem.CreateFolder("\\Windows");
    Mounted().hostDirectory = directory;
    Mounted().fileSystem = std::move(fileSystem);
    return true;
}

void Device::Unmount() {
    Mounted().hostDirectory.clear();
    Mounted().fileSystem = DeviceFileSystem(UniqueFd());
}

bool Device::IsMounted() {
    return !Mounted().hostDirectory.empty();
}

const std::string& Device::HostDirectory() {
    return Mounted().hostDirectory;
}

std::string Device::RegistryFile() {
    return IsMounted() ? Mounted().hostDirectory + "/registry.sqlite3" : std::string();
}

std::string Device::HostRoot() {
    return IsMounted() ? Mounted().hostDirectory + kRootFolder : std::string();
}

const DeviceFileSystem& Device::FileSystem() {
    return Mounted().fileSystem;
}

std::string Device::WriteRescuedFile(std::string_view name, std::string_view bytes) {
    if (!IsMounted() || !IsValidDeviceName(name)) return {};
    const std::string folder = HostDirectory() + "/rescued";
    ::mkdir(folder.c_str(), 0700);
    const std::string path = folder + "/" + std::string(name);
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd.IsValid() || !WriteFully(fd.Get(), bytes.data(), bytes.size()) ||
        ::fsync(fd.Get()) != 0) {
        if (fd.IsValid()) ::unlink(path.c_str());
        return {};
    }
    return path;
}
