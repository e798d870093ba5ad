#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/fs/Device.h"
#include "platform/shell/SingleInstance.h"
#include "support/TempDevice.h"

namespace {

// A helper process that publishes a title, and what it printed first.
class Helper {
  public:
    Helper(const std::string& device, const std::string& title, const std::string& log,
           const std::string& extra = {}) {
        const std::string command = std::string(QUILLO_INSTANCE_HELPER) + " serve '" + device +
                                    "' '" + title + "' '" + log + "' " + extra + " & echo $!";
        m_pipe = ::popen(command.c_str(), "r");
        char line[64] = {};
        if (m_pipe != nullptr && std::fgets(line, sizeof line, m_pipe) != nullptr)
            m_pid = std::atoi(line);
        if (m_pipe != nullptr && std::fgets(line, sizeof line, m_pipe) != nullptr) m_first = line;
    }
    ~Helper() {
        Kill();
        if (m_pipe != nullptr) ::pclose(m_pipe);
    }
    void Kill() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            int status = 0;
            ::waitpid(m_pid, &status, 0);
            m_pid = 0;
        }
    }
    const std::string& First() const { return m_first; }

  private:
    FILE* m_pipe = nullptr;
    pid_t m_pid = 0;
    std::string m_first;
};

class SingleInstance : public ::testing::Test {
  protected:
    TempDevice device;
    std::string log = (device.Directory() / "requests.log").string();
    std::string Requests() { return ReadHostFile(log); }
};

}  // namespace

TEST_F(SingleInstance, SecondLaunchFindsTheFirstAndBringsItForward) {
    EXPECT_EQ(RunningInstance::Find("Folian"), nullptr) << "nothing runs yet";
    Helper first(device.Directory().string(), "Folian", log);
    ASSERT_EQ(first.First(), "ready\n");
    auto running = RunningInstance::Find("Folian");
    ASSERT_NE(running, nullptr);
    EXPECT_TRUE(running->BringToFront());
    EXPECT_EQ(Requests(), "front\n");
    EXPECT_EQ(RunningInstance::Find("Other title"), nullptr);
}

TEST_F(SingleInstance, CommandIsHandledBeforeTheSenderContinues) {
    Helper first(device.Directory().string(), "Folian", log);
    ASSERT_EQ(first.First(), "ready\n");
    auto running = RunningInstance::Find("Folian");
    ASSERT_NE(running, nullptr);
    ASSERT_TRUE(running->SendCommand(32806));
    EXPECT_EQ(Requests(), "command 32806\n") << "handled by the time SendCommand returned";
    ASSERT_TRUE(running->SendCommand(32773));
    EXPECT_EQ(Requests(), "command 32806\ncommand 32773\n");
}

TEST_F(SingleInstance, ASecondPublisherIsRefusedWhileTheFirstLives) {
    Helper first(device.Directory().string(), "Folian", log);
    ASSERT_EQ(first.First(), "ready\n");
    Helper second(device.Directory().string(), "Folian", log);
    EXPECT_EQ(second.First(), "taken\n");
}

TEST_F(SingleInstance, AKilledInstancesSocketIsTakenOver) {
    Helper first(device.Directory().string(), "Folian", log);
    ASSERT_EQ(first.First(), "ready\n");
    first.Kill();
    EXPECT_TRUE(std::filesystem::exists(InstanceSocketPath("Folian")))
        << "SIGKILL leaves it behind";
    EXPECT_EQ(RunningInstance::Find("Folian"), nullptr) << "a dead socket is no instance";
    Helper next(device.Directory().string(), "Folian", log);
    ASSERT_EQ(next.First(), "ready\n");
    auto running = RunningInstance::Find("Folian");
    ASSERT_NE(running, nullptr);
    EXPECT_TRUE(running->SendCommand(1));
}

TEST_F(SingleInstance, AClientOfAnotherUserIsRefused) {
    const std::string other = "--expect-uid " + std::to_string(::getuid() + 4242);
    Helper first(device.Directory().string(), "Folian", log, other);
    ASSERT_EQ(first.First(), "ready\n");
    auto running = RunningInstance::Find("Folian");
    ASSERT_NE(running, nullptr) << "the socket answers";
    EXPECT_FALSE(running->SendCommand(32806)) << "but the request is refused";
    EXPECT_EQ(Requests(), "");
}

TEST_F(SingleInstance, SilentAndOversizedClientsDoNotBlockOthers) {
    Helper first(device.Directory().string(), "Folian", log);
    ASSERT_EQ(first.First(), "ready\n");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = InstanceSocketPath("Folian");
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const int silent = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::connect(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const int chatty = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::connect(chatty, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string flood(100000, 'x');
    (void)!::send(chatty, flood.data(), flood.size(), MSG_DONTWAIT | MSG_NOSIGNAL);

    auto running = RunningInstance::Find("Folian");
    ASSERT_NE(running, nullptr);
    EXPECT_TRUE(running->SendCommand(7));
    EXPECT_EQ(Requests(), "command 7\n");
    ::close(silent);
    ::close(chatty);
}

TEST(SingleInstanceDirectory, AnUnsafeDirectoryIsNeverUsed) {
    TempDevice device;
    TempFolder runtime;
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string keep = saved != nullptr ? saved : "";
    ::setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
    std::filesystem::create_directory(runtime.Path() / "quillo");
    std::filesystem::permissions(runtime.Path() / "quillo", std::filesystem::perms::all);  // 0777
    EXPECT_EQ(InstanceSocketPath("Folian"), "");
    std::filesystem::permissions(runtime.Path() / "quillo", std::filesystem::perms::owner_all);
    EXPECT_EQ(InstanceSocketPath("Folian").rfind((runtime.Path() / "quillo").string(), 0), 0u);
    if (saved != nullptr) {
        ::setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
    } else {
        ::unsetenv("XDG_RUNTIME_DIR");
    }
}
