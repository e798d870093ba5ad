// Alarms of the whole program: real processes on the offscreen platform, their clocks set
// with libfaketime, a private session bus, and stand-ins for the system's tools.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/fs/Device.h"
#include "platform/registry/Registry.h"
#include "platform/shell/SingleInstance.h"
#include "support/TempDevice.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFakeTime = "/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1";
constexpr const char* kProfile = "Software\\Vornak\\quillo\\";
constexpr const char* kMemo = "\\My Documents\\Quillo\\A.bmp";

// Reads the first line a child printed on the pipe `fd`.
std::string FirstLine(int fd) {
    std::string line;
    char c = 0;
    while (::read(fd, &c, 1) == 1 && c != '\n') line += c;
    return line;
}

int WaitFor(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class AlarmProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        if (::access(kFakeTime, R_OK) != 0 || ::access("/usr/bin/dbus-daemon", X_OK) != 0) {
            GTEST_SKIP() << "needs libfaketime and dbus-daemon";
        }
        fs::create_directories(m_bin);
        // A user manager that takes everything and starts nothing: no process of these
        // tests outlives them.
        const std::string log = "echo \"$0 $*\" >> '" + m_systemLog.string() + "'\n";
        for (const char* tool : {"systemctl", "systemd-run"}) {
            WriteHostFile(m_bin / tool, "#!/bin/sh\n" + log + "exit 0\n");
            ::chmod((m_bin / tool).c_str(), 0755);
        }
        StartBus();
        ASSERT_TRUE(Device::Mount(m_device));
        fs::create_directories(fs::path(Device::HostRoot()) / "My Documents/Quillo");
        WriteHostFile(fs::path(Device::HostRoot()) / "My Documents/Quillo/A.bmp", "BM");
        m_registry = Registry::Open(Device::RegistryFile());
    }
    void TearDown() override {
        for (const pid_t pid : m_children) {
            ::kill(pid, SIGKILL);
            WaitFor(pid);
        }
        m_registry.reset();
        Device::Unmount();
    }

    void StartBus() {
        int out[2];
        ASSERT_EQ(::pipe(out), 0);
        const pid_t bus = ::fork();
        if (bus == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            const std::string address = "--address=unix:path=" + (m_folder.Path() / "bus").string();
            ::execl("/usr/bin/dbus-daemon", "dbus-daemon", "--session", "--nofork",
                    "--print-address", address.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        m_children.push_back(bus);
        m_busAddress = FirstLine(out[0]);
        ::close(out[0]);
        ASSERT_FALSE(m_busAddress.empty());
        ASSERT_EQ(Spawn({QUILLO_NOTIFICATION_RECEIVER, m_notifications.string()}, nullptr, true),
                  "ready");
    }

    // Starts `argv` with the test's environment, at local time `clock` when given; with
    // `firstLine`, waits for and returns what it printed first.
    std::string Spawn(const std::vector<std::string>& argv, const char* clock, bool firstLine,
                      pid_t* started = nullptr) {
        int out[2];
        if (::pipe(out) != 0) return {};
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::setenv("DBUS_SESSION_BUS_ADDRESS", m_busAddress.c_str(), 1);
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            ::setenv("PATH", (m_bin.string() + ":/usr/bin:/bin").c_str(), 1);
            ::setenv("XDG_CONFIG_HOME", (m_folder.Path() / "config").c_str(), 1);
            ::setenv("TZ", "UTC", 1);
            if (clock != nullptr) {
                ::setenv("LD_PRELOAD", kFakeTime, 1);
                ::setenv("FAKETIME", clock, 1);
                ::setenv("FAKETIME_DONT_FAKE_MONOTONIC", "1", 1);
            }
            std::vector<char*> words;
            for (const std::string& word : argv) words.push_back(const_cast<char*>(word.c_str()));
            words.push_back(nullptr);
            ::execv(words[0], words.data());
            ::_exit(127);
        }
        ::close(out[1]);
        m_children.push_back(pid);
        if (started != nullptr) *started = pid;
        const std::string line = firstLine ? FirstLine(out[0]) : std::string();
        ::close(out[0]);
        return line;
    }
    pid_t StartQuillo(const char* clock, bool alarmLaunch) {
        std::vector<std::string> argv = {QUILLO_PROGRAM, "--device", m_device, "--screen",
                                         "240x320"};
        if (alarmLaunch) argv.push_back("AppRunAtTime");
        pid_t pid = 0;
        Spawn(argv, clock, false, &pid);
        return pid;
    }
    // Waits (for the event, not for a time) until a window of the device is up.
    bool WaitForWindow() {
        for (int i = 0; i < 600; ++i) {
            if (RunningInstance::Find("Folian")) return true;
            ::usleep(50000);
        }
        return false;
    }
    int Finish(pid_t pid) {
        const int code = WaitFor(pid);
        std::erase(m_children, pid);
        return code;
    }

    void SetAlarm(const std::string& time, int notifyDialog) {
        const std::string section = std::string(kProfile) + "MemoNotify";
        EXPECT_TRUE(m_registry->Write(Hive::CurrentUser, section, "Count", 1));
        EXPECT_TRUE(
            m_registry->Write(Hive::CurrentUser, section, "FileName00", std::string(kMemo)));
        EXPECT_TRUE(m_registry->Write(Hive::CurrentUser, section, "Time00", time));
        EXPECT_TRUE(m_registry->Write(Hive::CurrentUser, std::string(kProfile) + "System",
                                      "NotifyDialog", notifyDialog));
    }
    std::string Text(Hive hive, const std::string& key, const char* name) {
        const auto value = m_registry->Read(hive, key, name);
        const auto* text = value ? std::get_if<std::string>(&*value) : nullptr;
        return text != nullptr ? *text : "(none)";
    }
    int StoredCount() {
        const auto value =
            m_registry->Read(Hive::CurrentUser, std::string(kProfile) + "MemoNotify", "Count");
        return value ? std::get<int32_t>(*value) : -1;
    }

    TempFolder m_folder;
    std::string m_device = (m_folder.Path() / "device").string();
    fs::path m_bin = m_folder.Path() / "bin";
    fs::path m_notifications = m_folder.Path() / "notifications.log";
    fs::path m_systemLog = m_folder.Path() / "system.log";
    std::string m_busAddress;
    std::vector<pid_t> m_children;
    std::unique_ptr<Registry> m_registry;
};

}  // namespace

TEST_F(AlarmProgram, ALaunchWithoutNoticesHandsTheMemoToTheRunningWindow) {
    SetAlarm("2009/01/13 10:00", 0);
    StartQuillo("@2009-01-13 08:00:00", false);
    ASSERT_TRUE(WaitForWindow());
    const pid_t launch = StartQuillo("@2009-01-13 10:00:00", true);
    EXPECT_EQ(Finish(launch), 0);
    EXPECT_EQ(Text(Hive::CurrentUser, std::string(kProfile) + "System", "NotifyFile"), kMemo);
    EXPECT_EQ(Text(Hive::CurrentUser, std::string(kProfile) + "Recent File List", "File1"), kMemo)
        << "the running window opened the memo before the launch ended";
    EXPECT_EQ(StoredCount(), 0);
    EXPECT_EQ(ReadHostFile(m_notifications), "Quillo（アラーム）|A\n2009/01/13 10:00\n");
}

TEST_F(AlarmProgram, ALaunchWithNothingDueEndsAndLeavesTheNextAlarmRequested) {
    SetAlarm("2009/01/13 11:00", 1);
    const pid_t launch = StartQuillo("@2009-01-13 10:00:00", true);
    EXPECT_EQ(Finish(launch), 0);
    EXPECT_FALSE(RunningInstance::Find("Folian")) << "no window";
    EXPECT_EQ(Text(Hive::LocalMachine, "Software\\Quillo\\RunAppAtTime", "Time"),
              "2009/01/13 11:00");
    EXPECT_EQ(StoredCount(), 1);
    EXPECT_EQ(ReadHostFile(m_notifications), "");
}

TEST_F(AlarmProgram, ARunningWindowAndALaunchOfTheSameMinuteRingItOnce) {
    SetAlarm("2009/01/13 10:00", 0);
    StartQuillo("@2009-01-13 10:00:00", false);
    ASSERT_TRUE(WaitForWindow());
    const pid_t launch = StartQuillo("@2009-01-13 10:00:00", true);
    EXPECT_EQ(Finish(launch), 0);
    // The running window looks every ten seconds; give it a look after the launch.
    ::sleep(11);
    EXPECT_EQ(StoredCount(), 0);
    EXPECT_EQ(ReadHostFile(m_notifications), "Quillo（アラーム）|A\n2009/01/13 10:00\n");
}

TEST_F(AlarmProgram, ALogoutWhileTheNoticeIsOpenPutsTheAlarmBack) {
    SetAlarm("2009/01/13 10:00", 1);
    const pid_t launch = StartQuillo("@2009-01-13 10:00:00", true);
    // The desktop notification comes with the notice.
    for (int i = 0; i < 600 && ReadHostFile(m_notifications).empty(); ++i) ::usleep(50000);
    ASSERT_EQ(ReadHostFile(m_notifications), "Quillo（アラーム）|A\n2009/01/13 10:00\n");
    EXPECT_EQ(StoredCount(), 0) << "taken while the notice shows";
    ::kill(launch, SIGTERM);
    EXPECT_EQ(Finish(launch), 0);
    EXPECT_EQ(StoredCount(), 1);
    EXPECT_EQ(Text(Hive::CurrentUser, std::string(kProfile) + "MemoNotify", "Time00"),
              "2009/01/13 10:00");
    EXPECT_EQ(Text(Hive::LocalMachine, "Software\\Quillo\\RunAppAtTime", "Time"),
              "2009/01/13 10:00")
        << "requested again, to ring at the next launch";
    EXPECT_NE(ReadHostFile(m_systemLog).find("systemd-run --user --collect"), std::string::npos);
}

TEST_F(AlarmProgram, ALateLaunchTellsTheDesktopWhenTheAlarmWasDue) {
    SetAlarm("2009/01/13 10:00", 1);
    StartQuillo("@2009-01-13 10:03:00", true);  // the machine slept through the minute
    for (int i = 0; i < 600 && ReadHostFile(m_notifications).empty(); ++i) ::usleep(50000);
    EXPECT_EQ(ReadHostFile(m_notifications), "Quillo（アラーム）|A\n2009/01/13 10:00\n");
}
