#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/fs/Device.h"
#include "platform/shell/SingleInstance.h"
#include "support/InstanceHelperProcess.h"
#include "support/TempDevice.h"

namespace {

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
    // A launch from a menu or file manager hands on what lets the window take the keyboard.
    ::setenv("XDG_ACTIVATION_TOKEN", "wl-token-1", 1);
    ::setenv("DESKTOP_STARTUP_ID", "menu-42_TIME1234", 1);
    EXPECT_TRUE(running->BringToFront());
    ::unsetenv("XDG_ACTIVATION_TOKEN");
    EXPECT_TRUE(running->BringToFront());
    ::unsetenv("DESKTOP_STARTUP_ID");
    EXPECT_EQ(Requests(), "front\nfront [wl-token-1][menu-42_TIME1234]\nfront [][menu-42_TIME1234]\n");
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
    Helper first(device.Directory().string(), "Folian", log, ::getuid() + 4242);
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

TEST(SingleInstanceDirectory, AnUnsafeOrTooDeepDirectoryIsNeverUsed) {
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
    // A folder too deep for a socket's address: nothing is published or found there.
    const std::filesystem::path deep = runtime.Path() / std::string(110, 'd');
    std::filesystem::create_directories(deep / "quillo");
    std::filesystem::permissions(deep, std::filesystem::perms::owner_all);
    std::filesystem::permissions(deep / "quillo", std::filesystem::perms::owner_all);
    ::setenv("XDG_RUNTIME_DIR", deep.c_str(), 1);
    ASSERT_GT(InstanceSocketPath("Folian").size(), sizeof(sockaddr_un::sun_path));
    EXPECT_EQ(InstanceServer::Publish("Folian", [](InstanceRequest, uint32_t,
                                                   const LaunchActivation&) {}),
              nullptr);
    EXPECT_EQ(RunningInstance::Find("Folian"), nullptr);
    if (saved != nullptr) {
        ::setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
    } else {
        ::unsetenv("XDG_RUNTIME_DIR");
    }
}
