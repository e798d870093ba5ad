#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// What a program started by the system needs to reach the user's desktop. The system's own
// timers start programs with little of it, so the timed launch passes it on itself.
using EnvironmentMap = std::map<std::string, std::string>;

// DISPLAY, WAYLAND_DISPLAY, XAUTHORITY, XDG_SESSION_TYPE, DBUS_SESSION_BUS_ADDRESS,
// XDG_RUNTIME_DIR and QT_QPA_PLATFORM.
// A constant without destructor: the timed launch's worker reads it while the process ends.
inline constexpr std::array<std::string_view, 7> kDisplayVariableNames = {
    "DISPLAY",         "WAYLAND_DISPLAY", "XAUTHORITY",     "XDG_SESSION_TYPE",
    "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR", "QT_QPA_PLATFORM"};

// Those of them that this process has, and its time zone (TZ) when it has one.
EnvironmentMap OwnDisplayEnvironment();

// Those of them in the output of `systemctl --user show-environment` ("NAME=value" lines,
// values with special characters written as $'...').
EnvironmentMap ParseManagerEnvironment(std::string_view output);

// True when a program started with `environment` finds a screen to show itself on: an X
// server or Wayland compositor whose socket is there, a remote display, or a toolkit
// platform that needs none.
bool HasDisplay(const EnvironmentMap& environment);

std::vector<std::string> EnvironmentEntries(const EnvironmentMap& environment);
