// Two processes of one device changing the alarm store at the same time.
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <set>

#include "alarm/AlarmStoreFixture.h"
#include "platform/base/Format.h"

namespace {

// Starts the helper with its standard output in a pipe; the read end.
pid_t StartHelper(const std::vector<std::string>& arguments, int& output) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::close(pipeEnds[0]);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(QUILLO_ALARM_HELPER));
        for (const std::string& word : arguments) argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        ::execv(QUILLO_ALARM_HELPER, argv.data());
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    output = pipeEnds[0];
    return pid;
}

// Waits until the helper has read the store and waits for the word to go.
void WaitUntilReady(int output) {
    std::string line;
    char c = 0;
    while (line != "ready\n" && ::read(output, &c, 1) == 1) line += c;
}

// What the helper printed after "ready", once it has ended; its exit code in `code`.
std::string Finish(pid_t pid, int output, int& code) {
    std::string text;
    char buffer[256];
    ssize_t got = 0;
    while ((got = ::read(output, buffer, sizeof buffer)) > 0) text.append(buffer, got);
    ::close(output);
    int status = 0;
    ::waitpid(pid, &status, 0);
    code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return text;
}

}  // namespace

TEST_F(AlarmStoreTest, TwoProcessesSettingAlarmsTogetherKeepThemAll) {
    const std::string device = Device::HostDirectory();
    const std::string go = device + "/go";
    for (int i = 0; i < 100; ++i) {
        WriteHostFile(m_device.Host(Format("left-%d.bmp", i)), "BM");
        WriteHostFile(m_device.Host(Format("right-%d.bmp", i)), "BM");
    }
    std::array<int, 2> outputs{};
    const pid_t left = StartHelper({"set", device, "left", "100", go}, outputs[0]);
    const pid_t right = StartHelper({"set", device, "right", "100", go}, outputs[1]);
    ASSERT_GT(left, 0);
    ASSERT_GT(right, 0);
    WaitUntilReady(outputs[0]);
    WaitUntilReady(outputs[1]);
    WriteHostFile(go, "");
    int code = 0;
    Finish(left, outputs[0], code);
    EXPECT_EQ(code, 0);
    Finish(right, outputs[1], code);
    EXPECT_EQ(code, 0);

    ASSERT_EQ(m_store.Load(), 200);
    std::set<std::string> files;
    for (int i = 0; i < m_store.GetCount(); ++i) files.insert(m_store.GetAt(i).FileName);
    EXPECT_EQ(files.size(), 200u);
    EXPECT_EQ(files.count("\\left-99.bmp"), 1u);
    EXPECT_EQ(files.count("\\right-0.bmp"), 1u);
}

TEST_F(AlarmStoreTest, OfTwoProcessesTakingTheSameAlarmExactlyOneGetsIt) {
    const std::string due = Memo("due");
    ASSERT_TRUE(m_store.Update([&](CAlarmStore& store) {
        store.SetAlarm(due, At(2009, 1, 13, 10, 20), AlarmRepeat::None, "", 0);
        store.SetAlarm(Memo("later"), At(2009, 1, 20, 10, 20), AlarmRepeat::None, "", 0);
    }));
    for (int round = 0; round < 5; ++round) {
        const std::string go = Format("%s/go-%d", Device::HostDirectory().c_str(), round);
        std::array<int, 2> outputs{};
        std::array<pid_t, 2> helpers{};
        for (size_t i = 0; i < helpers.size(); ++i) {
            helpers[i] = StartHelper({"take", Device::HostDirectory(), go}, outputs[i]);
            ASSERT_GT(helpers[i], 0);
        }
        for (const int output : outputs) WaitUntilReady(output);
        WriteHostFile(go, "");
        int took = 0;
        for (size_t i = 0; i < helpers.size(); ++i) {
            int code = 0;
            const std::string said = Finish(helpers[i], outputs[i], code);
            EXPECT_EQ(code, 0);
            if (said == "took " + due + "\n") {
                ++took;
            } else {
                EXPECT_EQ(said, "none\n");
            }
        }
        EXPECT_EQ(took, 1) << "round " << round;
        CAlarmStore left;
        ASSERT_EQ(left.Load(), 1);
        EXPECT_EQ(left.GetAt(0).FileName, "\\My Documents\\Quillo\\later.bmp");
        // Put it back for the next round.
        ASSERT_TRUE(m_store.Update([&](CAlarmStore& store) {
            store.SetAlarm(due, At(2009, 1, 13, 10, 20), AlarmRepeat::None, "", 0);
        }));
    }
}
