// The program as a user starts it: a process of its own on the offscreen platform.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/fs/Device.h"
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

TEST(Program, HelpListsThePlatformOptions) {
    TempFolder folder;
    const std::string out = (folder.Path() / "help.txt").string();
    const std::string command = std::string(QUILLO_PROGRAM) + " --help > '" + out + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string help = ReadHostFile(out);
    EXPECT_NE(help.find("--device DIR"), std::string::npos);
    EXPECT_NE(help.find("--screen WIDTHxHEIGHT"), std::string::npos);
}
