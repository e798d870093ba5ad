#include <gtest/gtest.h>

#include "platform/shell/DisplayEnvironment.h"

TEST(DisplayEnvironment, TakesTheDisplayVariablesOfTheUserManager) {
    const EnvironmentMap environment = ParseManagerEnvironment(
        "HOME=/home/ann\n"
        "DISPLAY=:0\n"
        "XAUTHORITY=$'/run/user/1000/x auth\\'s'\n"
        "WAYLAND_DISPLAY=wayland-0\n"
        "PATH=/usr/bin\n"
        "XDG_RUNTIME_DIR=/run/user/1000");
    EXPECT_EQ(environment, (EnvironmentMap{{"DISPLAY", ":0"},
                                           {"WAYLAND_DISPLAY", "wayland-0"},
                                           {"XAUTHORITY", "/run/user/1000/x auth's"},
                                           {"XDG_RUNTIME_DIR", "/run/user/1000"}}));
    EXPECT_EQ(EnvironmentEntries({{"DISPLAY", ":0"}, {"A", "b c"}}),
              (std::vector<std::string>{"A=b c", "DISPLAY=:0"}));
}

TEST(DisplayEnvironment, KnowsWhenThereIsAScreenToShowOn) {
    const struct {
        EnvironmentMap environment;
        bool display;
    } cases[] = {
        {{}, false},
        {{{"QT_QPA_PLATFORM", "offscreen"}}, true},
        {{{"DISPLAY", "otherhost:0"}}, true},
        {{{"DISPLAY", ":4711"}}, false},  // no such X server socket
        {{{"DISPLAY", "garbage"}}, false},
        {{{"WAYLAND_DISPLAY", "wayland-9"}, {"XDG_RUNTIME_DIR", "/nonexistent"}}, false},
        {{{"XDG_SESSION_TYPE", "x11"}}, false},
    };
    for (const auto& c : cases) {
        std::string described;
        for (const auto& [name, value] : c.environment) described += name + "=" + value + " ";
        EXPECT_EQ(HasDisplay(c.environment), c.display) << described;
    }
}
