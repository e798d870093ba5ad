#include <gtest/gtest.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>

#include "platform/base/Format.h"
#include "platform/base/MinuteText.h"
#include "platform/fs/Device.h"
#include "platform/registry/Registry.h"
#include "platform/shell/DisplayEnvironment.h"
#include "platform/shell/LaunchBackends.h"
#include "platform/shell/LaunchCommand.h"
#include "platform/shell/TimedLaunch.h"
#include "support/HeldProfile.h"
#include "support/LaunchRecorder.h"
#include "support/LocalTime.h"
#include "support/TempDevice.h"
#include "support/TimeZone.h"

namespace {

constexpr const char* kApp = "/opt/quillo/bin/quillo";

// The display variables of this process set to `values` while it lives.
class DisplayVariables {
  public:
    explicit DisplayVariables(const std::map<std::string, std::string>& values) {
        for (const std::string_view name : kDisplayVariableNames) {
            const std::string key(name);
            if (const char* old = std::getenv(key.c_str())) m_saved[key] = old;
            ::unsetenv(key.c_str());
        }
        for (const auto& [name, value] : values) ::setenv(name.c_str(), value.c_str(), 1);
    }
    ~DisplayVariables() {
        for (const std::string_view name : kDisplayVariableNames) {
            ::unsetenv(std::string(name).c_str());
        }
        for (const auto& [name, value] : m_saved) ::setenv(name.c_str(), value.c_str(), 1);
    }

  private:
    std::map<std::string, std::string> m_saved;
};

class TimedLaunchTest : public ::testing::Test {
  protected:
    void SetUp() override { SetFixedLocalTime(&m_now); }
    void TearDown() override {
        FinishTimedLaunchRequests();
        SetFixedLocalTime(nullptr);
    }

    // Requests a launch (null: withdraws) and waits until the system has it.
    void Request(const SYSTEMTIME* when) {
        EXPECT_TRUE(RunAppAtTime(kApp, when));
        FinishTimedLaunchRequests();
    }
    std::string Recorded(const char* name) {
        const auto value = Registry::OfDevice()->Read(Hive::LocalMachine, kRunAppAtTimeKey, name);
        const auto* text = value ? std::get_if<std::string>(&*value) : nullptr;
        return text != nullptr ? *text : "(none)";
    }
    std::vector<std::string> TakeLines() {
        std::vector<std::string> lines = m_launches.Lines();
        m_launches.Clear();
        return lines;
    }
    std::string Hash() const { return DeviceHash(Device::HostDirectory()); }
    std::string Timer() const { return "quillo-alarm-" + Hash() + ".timer"; }
    std::string UnitFile(const std::string& suffix) const {
        return m_launches.UnitFolder() + "/quillo-alarm-" + Hash() + suffix;
    }

    SYSTEMTIME m_now = At(2026, 12, 7, 9, 30);
    // The user manager may run in another zone: what it is given must name the instant.
    TimeZone m_zone{"JST-9"};
    DisplayVariables m_display{{{"DISPLAY", ":3"}, {"QT_QPA_PLATFORM", "xcb"}}};
    TempDevice m_device;
    LaunchRecorder m_launches;
};

}  // namespace

TEST_F(TimedLaunchTest, TheRecordIsWrittenAtOnceWhateverTheSystemDoes) {
    const SYSTEMTIME when = At(2026, 12, 7, 10, 5);
    EXPECT_TRUE(RunAppAtTime(kApp, &when));
    EXPECT_EQ(Recorded("Time"), "2026/12/07 10:05");
    EXPECT_EQ(Recorded("CommandLine"), std::string(kApp) + " --device " +
                                           ShellQuote(Device::HostDirectory()) + " AppRunAtTime");
    FinishTimedLaunchRequests();
    EXPECT_EQ(Recorded("Backend"), "self") << "nothing answered";
    EXPECT_EQ(Recorded("Time"), "2026/12/07 10:05");
    {
        const HeldProfile held(m_device.Directory());
        const SYSTEMTIME later = At(2026, 12, 7, 11, 0);
        EXPECT_FALSE(RunAppAtTime(kApp, &later)) << "another process keeps the profile";
        EXPECT_FALSE(TakeRunAppAtTimeRequest());
    }
    EXPECT_EQ(Recorded("Time"), "2026/12/07 10:05");
    Request(nullptr);
    EXPECT_EQ(Recorded("Time"), "(none)");
    EXPECT_EQ(Recorded("CommandLine"), "(none)");
    EXPECT_EQ(Recorded("Backend"), "(none)");
    // A device whose profile another process holds from the start: no request is read.
    const TempDevice fresh;
    const HeldProfile heldFromTheStart(fresh.Directory());
    SYSTEMTIME read = At(2001, 1, 1, 0, 0);
    EXPECT_FALSE(GetRunAppAtTimeRequest(read));
    EXPECT_EQ(FormatMinuteText(read), "2001/01/01 00:00") << "left as it was";
}

TEST_F(TimedLaunchTest, SystemdGetsAPersistentTimerThatIsReplacedAndWithdrawn) {
    m_launches.AnswerAsWorkingSystemd();
    const SYSTEMTIME first = At(2026, 12, 7, 10, 5);
    Request(&first);
    const std::vector<std::string> armed = {
        "systemctl --user show-environment",
        "systemctl --user daemon-reload",
        "systemctl --user enable " + Timer(),
        "systemctl --user restart " + Timer(),
    };
    EXPECT_EQ(TakeLines(), armed);
    EXPECT_EQ(Recorded("Backend"), "systemd");
    EXPECT_EQ(ReadHostFile(UnitFile(".timer")),
              "[Unit]\n"
              "Description=Quillo: the next alarm\n"
              "\n"
              "[Timer]\n"
              "OnCalendar=2026-12-07 01:05:00 UTC\n"
              "Persistent=true\n"
              "AccuracySec=1s\n"
              "Unit=quillo-alarm-" +
                  Hash() +
                  ".service\n"
                  "\n"
                  "[Install]\n"
                  "WantedBy=timers.target\n");
    EXPECT_EQ(ReadHostFile(UnitFile(".service")),
              "[Unit]\n"
              "Description=Quillo: start for an alarm\n"
              "ConditionPathIsExecutable=" +
                  std::string(kApp) +
                  "\n"
                  "\n"
                  "[Service]\n"
                  "Type=oneshot\n"
                  "TimeoutStartSec=infinity\n"
                  "Environment=\"DISPLAY=:3\"\n"
                  "Environment=\"QT_QPA_PLATFORM=xcb\"\n"
                  "Environment=\"TZ=JST-9\"\n"
                  "ExecStart=\"" +
                  std::string(kApp) + "\" \"--device\" \"" + Device::HostDirectory() +
                  "\" \"--timed-launch\"\n");

    // A replace restarts the timer only: a program it started runs as a unit of its own.
    const SYSTEMTIME second = At(2026, 12, 8, 7, 0);
    Request(&second);
    EXPECT_EQ(TakeLines(), armed);
    EXPECT_NE(ReadHostFile(UnitFile(".timer")).find("OnCalendar=2026-12-07 22:00:00 UTC\n"),
              std::string::npos);

    // The same request again asks nothing more of the system than the probe.
    Request(&second);
    EXPECT_EQ(TakeLines(), std::vector<std::string>{"systemctl --user show-environment"});

    // The same time from a program that moved, then in another zone, is armed anew.
    const char* const rearmed[][3] = {{"JST-9", ".service", "ExecStart=\"/usr/bin/quillo\""},
                                      {"UTC0", ".timer", "OnCalendar=2026-12-08 07:00:00 UTC\n"}};
    for (const auto& [zone, unit, shows] : rearmed) {
        TimeZone::Set(zone);
        EXPECT_TRUE(RunAppAtTime("/usr/bin/quillo", &second));
        FinishTimedLaunchRequests();
        EXPECT_EQ(TakeLines(), armed) << zone;
        EXPECT_NE(ReadHostFile(UnitFile(unit)).find(shows), std::string::npos) << zone;
    }
    TimeZone::Set("JST-9");

    // Withdrawn, nothing is left of it: not even the stamp of its last firing.
    const std::string stamp = LaunchBackends(Device::HostDirectory()).StampFile();
    std::filesystem::create_directories(std::filesystem::path(stamp).parent_path());
    WriteHostFile(stamp, "");
    Request(nullptr);
    EXPECT_FALSE(std::filesystem::exists(stamp));
    EXPECT_EQ(TakeLines(), (std::vector<std::string>{
                               "systemctl --user disable --now " + Timer(),
                               "systemctl --user daemon-reload",
                           }));
    EXPECT_FALSE(std::filesystem::exists(UnitFile(".timer")));
    EXPECT_FALSE(std::filesystem::exists(UnitFile(".service")));
    EXPECT_EQ(Recorded("Backend"), "(none)");

    // The stamp lies where systemd keeps it: XDG_DATA_HOME counts only as a full path.
    const char* data = std::getenv("XDG_DATA_HOME");
    const std::optional<std::string> savedData =
        data != nullptr ? std::optional<std::string>(data) : std::nullopt;
    const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    const LaunchBackends backends(Device::HostDirectory());
    ::setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(backends.StampFile().rfind("/data/systemd/timers/stamp-", 0), 0u);
    ::setenv("XDG_DATA_HOME", "data", 1);
    EXPECT_EQ(backends.StampFile().rfind(home + "/.local/share/systemd/timers/stamp-", 0), 0u);
    if (savedData) {
        ::setenv("XDG_DATA_HOME", savedData->c_str(), 1);
    } else {
        ::unsetenv("XDG_DATA_HOME");
    }
}

TEST_F(TimedLaunchTest, AtGetsOneJobThatIsReplacedAndWithdrawn) {
    m_launches.AnswerAsWorkingAt();
    const SYSTEMTIME first = At(2026, 12, 7, 10, 5);
    Request(&first);
    const auto commands = m_launches.Commands();
    EXPECT_EQ(TakeLines(), (std::vector<std::string>{"systemctl --user show-environment", "atq",
                                                     "at -t 202612071005"}));
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[2].input,
              "DISPLAY=:3; export DISPLAY\n"
              "QT_QPA_PLATFORM=xcb; export QT_QPA_PLATFORM\n"
              "TZ=JST-9; export TZ\n"
              "[ -x " +
                  std::string(kApp) +
                  " ] || exit 0\n"
                  "exec " +
                  std::string(kApp) + " --device " + ShellQuote(Device::HostDirectory()) +
                  " --timed-launch\n");
    EXPECT_EQ(Recorded("Backend"), "at");
    EXPECT_EQ(Recorded("Job"), "1");

    const SYSTEMTIME second = At(2026, 12, 8, 7, 0);
    Request(&second);
    EXPECT_EQ(TakeLines(), (std::vector<std::string>{"systemctl --user show-environment", "atq",
                                                     "atrm 1", "at -t 202612080700"}));
    EXPECT_EQ(Recorded("Job"), "2");

    Request(nullptr);
    EXPECT_EQ(TakeLines(), std::vector<std::string>{"atrm 2"});
    EXPECT_EQ(Recorded("Job"), "(none)");

    // `atq` answers with its daemon stopped, but nothing would ever run the job.
    m_launches.SetAtDaemonRunning(false);
    Request(&second);
    EXPECT_EQ(TakeLines(), std::vector<std::string>{"systemctl --user show-environment"});
    EXPECT_EQ(Recorded("Backend"), "self");
}

TEST_F(TimedLaunchTest, TheAtDaemonRunsWhenItsPidFileNamesALiveProcessOfItsName) {
    TempFolder folder;
    const std::string pidFile = (folder.Path() / "atd.pid").string();
    const std::string ownName = ReadHostFile("/proc/self/comm");
    const std::string name = ownName.substr(0, ownName.find('\n'));
    const struct {
        std::string content, name;
        bool runs;
    } rows[] = {
        {std::to_string(::getpid()) + "\n", name, true},
        {std::to_string(::getpid()) + "\n", "atd", false},  // a reused pid of another program
        {"999999999\n", name, false},                       // a stale file
        {"../self\n", name, false},
        {"", name, false},
    };
    for (const auto& row : rows) {
        WriteHostFile(pidFile, row.content);
        EXPECT_EQ(PidFileNamesLiveProcess(pidFile, row.name), row.runs) << row.content;
    }
    EXPECT_FALSE(PidFileNamesLiveProcess((folder.Path() / "missing.pid").string(), name));
}

TEST_F(TimedLaunchTest, EveryToolRunsFromTheRootFolder) {
    m_launches.Answer(nullptr);
    SetLaunchCommandRunner(nullptr);  // for real
    LaunchCommand pwd;
    pwd.argv = {"pwd"};
    EXPECT_EQ(RunLaunchCommand(pwd).output, "/\n");
}

TEST_F(TimedLaunchTest, AFailingUserManagerFallsBackToAtAndLeavesNoUnitBehind) {
    m_launches.SetAtDaemonRunning(true);
    m_launches.Answer([](const LaunchCommand& command) {
        const std::string& tool = command.argv.front();
        if (tool == "systemctl" && command.argv[2] == "enable") {
            return LaunchCommandResult{1, "Failed to enable unit"};
        }
        if (tool == "at") return LaunchCommandResult{0, "job 12 at Mon Dec  7 10:05:00 2026"};
        return LaunchCommandResult{0, ""};
    });
    const SYSTEMTIME when = At(2026, 12, 7, 10, 5);
    Request(&when);
    EXPECT_EQ(TakeLines(), (std::vector<std::string>{
                               "systemctl --user show-environment",
                               "systemctl --user daemon-reload",
                               "systemctl --user enable " + Timer(),
                               "systemctl --user disable --now " + Timer(),
                               "systemctl --user daemon-reload",
                               "atq",
                               "at -t 202612071005",
                           }));
    EXPECT_FALSE(std::filesystem::exists(UnitFile(".timer")));
    EXPECT_FALSE(std::filesystem::exists(UnitFile(".service")));
    EXPECT_EQ(Recorded("Backend"), "at");
    EXPECT_EQ(Recorded("Job"), "12");
}

TEST_F(TimedLaunchTest, ABackendThatChangesWithdrawsWhatTheOldOneHeld) {
    m_launches.AnswerAsWorkingAt();
    const SYSTEMTIME first = At(2026, 12, 7, 10, 5);
    Request(&first);
    m_launches.Clear();
    m_launches.AnswerAsWorkingSystemd();
    const SYSTEMTIME second = At(2026, 12, 7, 11, 0);
    Request(&second);
    const std::vector<std::string> lines = TakeLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1], "atrm 1");
    EXPECT_EQ(lines.back(), "systemctl --user restart " + Timer());
    EXPECT_EQ(Recorded("Backend"), "systemd");

    // The user manager gone (a session without one): the timer is withdrawn for "self".
    m_launches.Answer(nullptr);
    const SYSTEMTIME third = At(2026, 12, 7, 12, 0);
    Request(&third);
    EXPECT_EQ(TakeLines(), (std::vector<std::string>{
                               "systemctl --user show-environment",
                               "atq",
                               "systemctl --user disable --now " + Timer(),
                               "systemctl --user daemon-reload",
                           }));
    EXPECT_EQ(Recorded("Backend"), "self");
}

TEST_F(TimedLaunchTest, ATimeNotInTheFutureLaunchesAtOnceAndOnlyOnce) {
    m_launches.AnswerAsWorkingSystemd();
    Request(&m_now);
    const std::vector<std::string> lines = TakeLines();
    ASSERT_EQ(lines.size(), 2u);
    const std::string prefix = "systemd-run --user --collect --quiet --unit=quillo-run-" + Hash();
    EXPECT_EQ(lines[1].substr(0, prefix.size()), prefix);
    const std::string tail =
        " --setenv=DISPLAY=:7 --setenv=QT_QPA_PLATFORM=xcb --setenv=TZ=JST-9 -- " +
        std::string(kApp) + " --device " + ShellQuote(Device::HostDirectory()) + " AppRunAtTime";
    ASSERT_GT(lines[1].size(), tail.size());
    EXPECT_EQ(lines[1].substr(lines[1].size() - tail.size()), tail)
        << "the user manager's display wins over the requester's";
    EXPECT_EQ(Recorded("Handled"), "2026-12-07 00:30:00 UTC " + Recorded("CommandLine"));

    // Asked again (as a window that starts does): it is not launched twice.
    Request(&m_now);
    for (const std::string& line : TakeLines()) {
        EXPECT_EQ(line.find("systemd-run"), std::string::npos) << line;
    }
    // Unless its alarm was taken: a second alarm of that minute is launched too.
    EXPECT_TRUE(TakeRunAppAtTimeRequest());
    Request(&m_now);
    EXPECT_EQ(TakeLines().back().find("systemd-run"), 0u);

    // Without a user manager the program is started on its own.
    m_launches.Answer([](const LaunchCommand& command) {
        return LaunchCommandResult{command.detached ? 0 : 127, ""};
    });
    const SYSTEMTIME earlier = At(2026, 12, 7, 9, 0);
    Request(&earlier);
    const std::vector<LaunchCommand> commands = m_launches.Commands();
    ASSERT_FALSE(commands.empty());
    EXPECT_TRUE(commands.back().detached);
    EXPECT_EQ(
        commands.back().argv,
        (std::vector<std::string>{kApp, "--device", Device::HostDirectory(), "AppRunAtTime"}));
    EXPECT_EQ(Recorded("Backend"), "self");
}

TEST_F(TimedLaunchTest, NoRequestEverStopsAProgramThatAnEarlierOneStarted) {
    m_launches.AnswerAsWorkingSystemd();
    const SYSTEMTIME times[] = {At(2026, 12, 7, 9, 0), At(2026, 12, 7, 10, 0),
                                At(2026, 12, 7, 9, 15), At(2026, 12, 9, 8, 0)};
    for (const SYSTEMTIME& when : times) Request(&when);
    Request(nullptr);
    for (const std::string& line : TakeLines()) {
        const bool stops = line.find(" stop") != std::string::npos ||
                           line.find("kill") != std::string::npos ||
                           line.find("--now") != std::string::npos;
        if (stops) {
            EXPECT_EQ(line.substr(line.size() - Timer().size()), Timer())
                << "only the timer may stop: " << line;
        }
        EXPECT_EQ(line.find(".service"), std::string::npos) << line;
    }
}

TEST_F(TimedLaunchTest, ManyRequestsInARowLeaveTheLastAndNeverWait) {
    std::mutex mutex;
    std::condition_variable released;
    bool open = false;
    m_launches.Answer([&](const LaunchCommand& command) {
        std::unique_lock<std::mutex> lock(mutex);
        released.wait(lock, [&] { return open; });
        return command.argv.front() == "systemctl" && command.argv[2] == "show-environment"
                   ? LaunchCommandResult{0, "DISPLAY=:7\n"}
                   : LaunchCommandResult{0, ""};
    });
    // The system is stuck on the first command meanwhile; the requests return all the same.
    for (int minute = 0; minute < 50; ++minute) {
        const SYSTEMTIME when = At(2026, 12, 8, 7, minute);
        EXPECT_TRUE(RunAppAtTime(kApp, &when));
    }
    EXPECT_EQ(Recorded("Time"), "2026/12/08 07:49");
    {
        std::lock_guard<std::mutex> lock(mutex);
        open = true;
    }
    released.notify_all();
    FinishTimedLaunchRequests();
    EXPECT_NE(ReadHostFile(UnitFile(".timer")).find("OnCalendar=2026-12-07 22:49:00 UTC\n"),
              std::string::npos);
    int restarts = 0;
    for (const std::string& line : TakeLines())
        restarts += line.find("restart") != std::string::npos;
    EXPECT_LE(restarts, 2) << "requests made meanwhile are carried out as one";
}

TEST_F(TimedLaunchTest, PathsWithDollarsSpacesAndQuotesSurvive) {
    const std::string strange = "/tmp/it's a \"$HOME\" 100%";
    EXPECT_EQ(ShellSplit(ShellJoin({strange, "plain", ""})),
              (std::vector<std::string>{strange, "plain", ""}));
    EXPECT_EQ(SystemdQuote(strange), "\"/tmp/it's a \\\"$$HOME\\\" 100%%\"");
    EXPECT_EQ(SystemdQuoteSetting("XAUTHORITY=/run/$x%"), "\"XAUTHORITY=/run/$x%%\"");
    EXPECT_EQ(SystemdEscapeDollars("a$b"), "a$$b");
    EXPECT_EQ(SystemdEscapePercents("/opt/100% quillo"), "/opt/100%% quillo");
}

TEST_F(TimedLaunchTest, TheLauncherWaitsForADisplayAndTouchesNothingMeanwhile) {
    const SYSTEMTIME when = At(2026, 12, 7, 10, 5);
    EXPECT_TRUE(RunAppAtTime(kApp, &when));
    FinishTimedLaunchRequests();
    m_launches.Clear();
    DisplayVariables none({});
    int looks = 0;
    m_launches.Answer([&](const LaunchCommand& command) {
        if (command.argv.front() == "systemctl") {
            // The desktop comes up at the third look.
            return LaunchCommandResult{
                0, looks >= 2 ? "WAYLAND_DISPLAY=/\nQT_QPA_PLATFORM=offscreen\n" : "HOME=/root\n"};
        }
        return LaunchCommandResult{0, ""};
    });
    int waits = 0;
    EXPECT_EQ(RunTimedLaunchWaiting([&] {
                  ++waits;
                  ++looks;
                  EXPECT_EQ(Recorded("Time"), "2026/12/07 10:05");
              }),
              0);
    EXPECT_EQ(waits, 2);
    const std::vector<std::string> lines = TakeLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().find("systemd-run --user --collect"), 0u) << lines.back();
    EXPECT_NE(lines.back().find("--setenv=QT_QPA_PLATFORM=offscreen"), std::string::npos);
    EXPECT_EQ(Recorded("Time"), "2026/12/07 10:05");
}

TEST_F(TimedLaunchTest, TheLauncherOfAWithdrawnRequestStartsNothing) {
    int waits = 0;
    EXPECT_EQ(RunTimedLaunchWaiting([&] { ++waits; }), 0);
    EXPECT_EQ(waits, 0);
    EXPECT_TRUE(m_launches.Lines().empty());
}

TEST_F(TimedLaunchTest, RunningWindowsLaunchTheRequestWhenNothingElseHoldsIt) {
    m_launches.Answer([](const LaunchCommand& command) {
        return LaunchCommandResult{command.detached ? 0 : 127, ""};
    });
    const SYSTEMTIME when = At(2026, 12, 7, 10, 5);
    Request(&when);
    ASSERT_EQ(Recorded("Backend"), "self");
    LookAtTimedLaunchRequest();
    FinishTimedLaunchRequests();
    for (const LaunchCommand& command : m_launches.Commands()) EXPECT_FALSE(command.detached);

    // The machine slept through the minute: the next look still finds it.
    const SYSTEMTIME woken = At(2026, 12, 7, 11, 40);
    SetFixedLocalTime(&woken);
    LookAtTimedLaunchRequest();
    LookAtTimedLaunchRequest();
    FinishTimedLaunchRequests();
    int launches = 0;
    for (const LaunchCommand& command : m_launches.Commands()) launches += command.detached;
    EXPECT_EQ(launches, 1);
    EXPECT_EQ(Recorded("Handled"), "2026-12-07 01:05:00 UTC " + Recorded("CommandLine"));
    LookAtTimedLaunchRequest();
    FinishTimedLaunchRequests();
    launches = 0;
    for (const LaunchCommand& command : m_launches.Commands()) launches += command.detached;
    EXPECT_EQ(launches, 1) << "once handled, never again";
}

TEST_F(TimedLaunchTest, ATimerArmedAsItsMinuteCameLaunchesUnlessItFired) {
    const SYSTEMTIME when = At(2026, 12, 7, 9, 31);
    const SYSTEMTIME later = At(2026, 12, 7, 9, 32);
    for (const char* lastTrigger : {"n/a\n", "Mon 2026-12-07 00:31:00 UTC\n"}) {
        SetFixedLocalTime(&m_now);
        m_launches.Answer([&](const LaunchCommand& command) {
            const std::vector<std::string>& argv = command.argv;
            if (argv[0] == "systemctl" && argv[2] == "restart") SetFixedLocalTime(&later);
            if (argv[0] == "systemctl" && argv[2] == "show") {
                EXPECT_EQ(command.environment, std::vector<std::string>{"TZ=UTC"});
                return LaunchCommandResult{0, lastTrigger};
            }
            return LaunchCommandResult{0, ""};
        });
        Request(&when);
        const std::vector<std::string> lines = TakeLines();
        const bool fired = lastTrigger[0] != 'n';
        EXPECT_EQ(lines.back().find("systemd-run") == 0, !fired) << lastTrigger;
        EXPECT_EQ(Recorded("Backend"), "systemd");
        Request(nullptr);
        m_launches.Clear();
    }
}
