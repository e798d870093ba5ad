// The program as a user starts it: a process of its own on the offscreen platform.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "memo/DefaultColorTable.h"
#include "memo/MemoBitmap.h"
#include "platform/fs/Device.h"
#include "platform/fs/RecoveryFolder.h"
#include "platform/shell/SingleInstance.h"
#include "support/TempDevice.h"

namespace {

pid_t Launch(const std::string& device) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execl(QUILLO_PROGRAM, "quillo", "--device", device.c_str(), "--screen", "240x320",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return pid;
}

int WaitFor(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(Program, StartsOnceMakesItsFolderAndASecondStartEndsAtOnce) {
    TempFolder folder;
    const std::string device = (folder.Path() / "device").string();
    const pid_t first = Launch(device);
    ASSERT_GT(first, 0);
    ASSERT_TRUE(Device::Mount(device));
    // Wait (for the event, not for a time) until the window is up and can be found.
    bool found = false;
    for (int i = 0; i < 600 && !found; ++i) {
        found = RunningInstance::Find("Folian") != nullptr;
        if (!found) ::usleep(50000);
    }
    ASSERT_TRUE(found) << "the first instance never published its window";
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "device/root/My Documents/Quillo"));
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "device/registry.sqlite3"));

    const pid_t second = Launch(device);
    EXPECT_EQ(WaitFor(second), 0) << "the second start ends by itself";
    ::kill(first, SIGTERM);
    WaitFor(first);
    Device::Unmount();
}

namespace {

// Waits (for the event, with a limit only against a hang) until a window of the device can
// be found; false when none came.
bool WindowComes() {
    for (int i = 0; i < 600; ++i) {
        if (RunningInstance::Find("Folian") != nullptr) return true;
        ::usleep(50000);
    }
    return false;
}

// Which of `pids` ends by itself first (with `status`), within about ten seconds; -1: none.
int FirstToEnd(const std::vector<pid_t>& pids, int& status) {
    for (int i = 0; i < 200; ++i) {
        for (size_t p = 0; p < pids.size(); ++p) {
            int raw = 0;
            if (::waitpid(pids[p], &raw, WNOHANG) == pids[p]) {
                status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
                return static_cast<int>(p);
            }
        }
        ::usleep(50000);
    }
    return -1;
}

}  // namespace

TEST(Program, TwoStartsAtTheSameInstantMakeOneWindowWhichHoldsTheRecoveryLock) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        TempFolder folder;
        const std::string device = (folder.Path() / "device").string();
        const std::vector<pid_t> starts = {Launch(device), Launch(device)};
        ASSERT_TRUE(Device::Mount(device));
        ASSERT_TRUE(WindowComes()) << attempt;
        // One of them hands over and ends; the other is the window.
        int status = -1;
        const int ended = FirstToEnd(starts, status);
        EXPECT_GE(ended, 0) << attempt << ": two windows";
        EXPECT_EQ(status, 0) << attempt;
        int error = 0;
        EXPECT_EQ(RecoveryFolder::Claim(&error), nullptr) << attempt;
        EXPECT_EQ(error, EWOULDBLOCK) << attempt << ": the window holds recovery/";
        for (int i = 0; i < 2; ++i) {
            if (i == ended) continue;
            ::kill(starts[i], SIGTERM);
            WaitFor(starts[i]);
        }
        Device::Unmount();
    }
}

TEST(Program, NothingAStartOpensCanHoldItAndAFifoIsSetAside) {
    const struct {
        const char* what;
        const char* fifo;        // under the device directory
        const char* setAsideAs;  // the start of its new name, beside it; null: left alone
    } rows[] = {
        {"the recovery copy", "recovery/memo.copy", "memo.copy.damaged-"},
        {"the profile", "registry.sqlite3", "registry.sqlite3.damaged-"},
        {"the newest memo", "root/My Documents/Quillo/A.bmp", nullptr},
    };
    for (const auto& row : rows) {
        TempFolder folder;
        const std::filesystem::path device = folder.Path() / "device";
        const std::filesystem::path fifo = device / row.fifo;
        std::filesystem::create_directories(fifo.parent_path());
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        const pid_t program = Launch(device.string());
        ASSERT_TRUE(Device::Mount(device.string()));
        EXPECT_TRUE(WindowComes()) << row.what << ": the start hangs";
        if (row.setAsideAs != nullptr) {
            EXPECT_FALSE(std::filesystem::is_fifo(fifo)) << row.what;
            int setAside = 0;
            for (const auto& entry : std::filesystem::directory_iterator(fifo.parent_path())) {
                setAside +=
                    entry.path().filename().string().starts_with(row.setAsideAs) && entry.is_fifo();
            }
            EXPECT_EQ(setAside, 1) << row.what;
        }
        ::kill(program, SIGKILL);
        WaitFor(program);
        Device::Unmount();
    }
}

// The refusal of the file system's root is not tried here: a program that failed it would
// fill the host's / and /root (DeviceFileSystemTest checks what counts as the root).
TEST(Program, AnUnknownOptionIsSaid) {
    TempFolder folder;
    const std::string err = (folder.Path() / "err.txt").string();
    const std::string command =
        std::string(QUILLO_PROGRAM) + " --frobnicate --help 2> '" + err + "' > /dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    EXPECT_NE(ReadHostFile(err).find("unknown option --frobnicate"), std::string::npos);
}

TEST(Program, HelpListsThePlatformOptions) {
    TempFolder folder;
    const std::string out = (folder.Path() / "help.txt").string();
    const std::string command = std::string(QUILLO_PROGRAM) + " --help > '" + out + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string help = ReadHostFile(out);
    EXPECT_NE(help.find("--device DIR"), std::string::npos);
    EXPECT_NE(help.find("--screen WIDTHxHEIGHT"), std::string::npos);
}

namespace {

// Starts the program with a stroke drawn on its memo; the stroke is there once this returns.
// Without the stroke: the program runs its loop, hearing requests to end, once this returns.
pid_t LaunchWithAStroke(const std::string& device, rlim_t fileSizeLimit = RLIM_INFINITY,
                        bool stroke = true) {
    int out[2];
    if (::pipe(out) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        if (!stroke) ::setenv("QUILLO_NO_STROKE", "1", 1);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::execl(QUILLO_STROKE_THEN_WAIT, "quillo", "--device", device.c_str(), "--screen",
                "240x320", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    char said[6] = {};
    const bool ready = ::read(out[0], said, 5) == 5 && std::string(said) == "ready";
    ::close(out[0]);
    return ready ? pid : -1;
}

// Read as the program reads a memo: a copy at the device's root, loaded by its device path.
bool HasTheStroke(const std::string& device, const std::filesystem::path& file) {
    std::filesystem::copy_file(file, std::filesystem::path(device) / "root/check.bmp");
    CMemoBitmap memo;
    const bool loaded = Device::Mount(device) && memo.LoadFile("\\check.bmp");
    Device::Unmount();
    if (!loaded) return false;
    const Surface* picture = memo.GetBitmap()->GetSurface();
    return picture->ToColor(picture->GetPixelValue(50, 50)) == RGB(0, 0, 0);
}

std::vector<std::filesystem::path> BmpFilesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    if (!std::filesystem::is_directory(folder)) return files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".bmp") files.push_back(entry.path());
    return files;
}

}  // namespace

TEST(Program, ATerminationSignalSavesTheStrokeOrKeepsItInRescued) {
    for (const bool saveFolderGone : {false, true}) {
        TempFolder folder;
        const std::string device = (folder.Path() / "device").string();
        const std::filesystem::path saveFolder = folder.Path() / "device/root/My Documents/Quillo";
        const pid_t program = LaunchWithAStroke(device);
        ASSERT_GT(program, 0) << "the program never drew its stroke";
        if (saveFolderGone) {
            std::filesystem::remove_all(saveFolder);
            WriteHostFile(saveFolder, "in the way");
        }
        ::kill(program, SIGTERM);  // what a logout or a service stop sends
        EXPECT_EQ(WaitFor(program), 0) << "the program ends cleanly";
        const auto kept =
            BmpFilesIn(saveFolderGone ? folder.Path() / "device/rescued" : saveFolder);
        ASSERT_EQ(kept.size(), 1u) << (saveFolderGone ? "rescued" : "saved");
        EXPECT_TRUE(HasTheStroke(device, kept[0])) << kept[0];
    }
}

TEST(Program, AFileSizeLimitFailsTheSaveInsteadOfKillingTheProgram) {
    TempFolder folder;
    const std::string device = (folder.Path() / "device").string();
    // Room for the registry, not for a memo of the screen's size.
    const pid_t program = LaunchWithAStroke(device, 40000);
    ASSERT_GT(program, 0);
    ::kill(program, SIGTERM);
    EXPECT_EQ(WaitFor(program), 0) << "a write past the limit fails; it does not end the program";
    EXPECT_TRUE(BmpFilesIn(folder.Path() / "device/root/My Documents/Quillo").empty())
        << "no partial memo";
}

TEST(Program, AStrokeSurvivesAKillAndTheNextStartSavesItToItsOwnFile) {
    for (const bool savedBefore : {true, false}) {
        TempFolder folder;
        const std::string device = (folder.Path() / "device").string();
        const std::filesystem::path saveFolder = folder.Path() / "device/root/My Documents/Quillo";
        const std::filesystem::path copy = folder.Path() / "device/recovery/memo.copy";
        if (savedBefore) {
            ASSERT_TRUE(Device::Mount(device));
            EXPECT_TRUE(Device::FileSystem().CreateFolder("\\My Documents\\Quillo"));
            CMemoBitmap memo;
            const BITMAPINFOHEADER header{40, 240, 294, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
            std::vector<uint8_t> white(240 * 294, 215);
            BITMAPINFO info{header, {}};
            std::copy(DefaultColorTable().begin(), DefaultColorTable().end(), info.bmiColors);
            ASSERT_TRUE(memo.CreateFromDib(&info, white) && memo.SaveFile("\\My Documents\\Quillo\\A.bmp"));
            Device::Unmount();
        }
        const pid_t program = LaunchWithAStroke(device);
        ASSERT_GT(program, 0);
        // Wait for the copy (the event, not a time), then end the program as a crash would.
        for (int i = 0; i < 600 && !std::filesystem::exists(copy); ++i) ::usleep(20000);
        ASSERT_TRUE(std::filesystem::exists(copy)) << "the stroke never reached recovery/";
        ::kill(program, SIGKILL);
        WaitFor(program);
        ASSERT_TRUE(BmpFilesIn(saveFolder).size() == (savedBefore ? 1u : 0u)) << "nothing was saved";

        const pid_t restart = LaunchWithAStroke(device, RLIM_INFINITY, false);
        ASSERT_GT(restart, 0);
        ::kill(restart, SIGTERM);  // with the restored memo, and the message about it, showing
        EXPECT_EQ(WaitFor(restart), 0);
        const auto saved = BmpFilesIn(saveFolder);
        ASSERT_EQ(saved.size(), 1u) << (savedBefore ? "its own file" : "a new name");
        if (savedBefore) {
            EXPECT_EQ(saved[0].filename(), "A.bmp");
        }
        EXPECT_TRUE(HasTheStroke(device, saved[0])) << saved[0];
        EXPECT_FALSE(std::filesystem::exists(copy)) << "saved, so no copy";
    }
}
