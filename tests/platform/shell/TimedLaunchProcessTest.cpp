// The timed launch carried out for real by a process of its own, with recording stand-ins
// for the system's tools first on PATH.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/TempDevice.h"

namespace {

void WriteScript(const std::filesystem::path& path, const std::string& body) {
    WriteHostFile(path, "#!/bin/sh\n" + body);
    ::chmod(path.c_str(), 0755);
}

class TimedLaunchProcessTest : public ::testing::Test {
  protected:
    void WriteStandIns(bool withSystemd) {
        std::filesystem::create_directories(m_bin);
        // Slow tools: a process that ended without waiting for them would leave its
        // request undone.
        WriteScript(m_bin / "systemctl",
                    "sleep 0.2\necho \"systemctl $*\" >> '" + m_log.string() + "'\n" +
                        (withSystemd ? "" : "exit 1\n") +
                        "[ \"$2\" = show-environment ] && echo DISPLAY=:9\nexit 0\n");
        WriteScript(m_bin / "systemd-run", "echo \"systemd-run $*\" >> '" + m_log.string() +
                                               "'\n");
        WriteScript(m_bin / "atq", "exit 1\n");
        WriteScript(m_program, "echo \"$@\" > '" + m_started.string() + "'\n");
    }

    // Runs the helper to its end with the stand-ins first on PATH; its exit code.
    int Request(int year, int month, int day, int hour, int minute) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            const std::string path = m_bin.string() + ":/usr/bin:/bin";
            ::setenv("PATH", path.c_str(), 1);
            ::setenv("XDG_CONFIG_HOME", (m_folder.Path() / "config").c_str(), 1);
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            const std::string numbers[] = {std::to_string(year), std::to_string(month),
                                           std::to_string(day), std::to_string(hour),
                                           std::to_string(minute)};
            ::execl(QUILLO_TIMED_LAUNCH_HELPER, "timed_launch_helper", m_device.c_str(),
                    m_program.c_str(), numbers[0].c_str(), numbers[1].c_str(),
                    numbers[2].c_str(), numbers[3].c_str(), numbers[4].c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    TempFolder m_folder;
    std::filesystem::path m_bin = m_folder.Path() / "bin";
    std::filesystem::path m_log = m_folder.Path() / "commands.log";
    std::filesystem::path m_started = m_folder.Path() / "started.txt";
    std::filesystem::path m_program = m_folder.Path() / "my quillo";
    std::string m_device = (m_folder.Path() / "device").string();
};

}  // namespace

TEST_F(TimedLaunchProcessTest, ARequestMadeJustBeforeTheEndIsStillCarriedOut) {
    WriteStandIns(true);
    ASSERT_EQ(Request(2099, 1, 2, 3, 4), 0);
    const std::string log = ReadHostFile(m_log);
    EXPECT_NE(log.find("systemctl --user daemon-reload\n"), std::string::npos) << log;
    EXPECT_NE(log.find("systemctl --user restart quillo-alarm-"), std::string::npos) << log;
    const auto timer = std::filesystem::directory_iterator(m_folder.Path() / "config/systemd/user");
    int units = 0;
    for (const auto& entry : timer) units += entry.path().extension() == ".timer";
    EXPECT_EQ(units, 1);
}

TEST_F(TimedLaunchProcessTest, APastTimeStartsTheProgramAtOnceOnItsOwnWithoutAManager) {
    WriteStandIns(false);
    ASSERT_EQ(Request(2001, 1, 2, 3, 4), 0);
    // The program runs detached and may come a moment after the requester ended.
    for (int i = 0; i < 200 && !std::filesystem::exists(m_started); ++i) ::usleep(50000);
    EXPECT_EQ(ReadHostFile(m_started), "--device " + m_device + " AppRunAtTime\n");
    EXPECT_EQ(ReadHostFile(m_log).find("systemd-run"), std::string::npos);
}
