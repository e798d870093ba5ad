#include "DisplayEnvironment.h"

#include <sys/stat.h>

#include <cstdlib>

namespace {

bool SocketExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

std::string Lookup(const EnvironmentMap& environment, const std::string& name) {
    const auto found = environment.find(name);
    return found != environment.end() ? found->second : std::string();
}

// The value of a $'...' word: backslash escapes as the shell reads them.
std::string AnsiCValue(std::string_view quoted) {
    std::string value;
    for (size_t i = 0; i < quoted.size(); ++i) {
        if (quoted[i] != '\\' || i + 1 >= quoted.size()) {
            value += quoted[i];
            continue;
        }
        const char next = quoted[++i];
        switch (next) {
            case 'n': value += '\n'; break;
            case 't': value += '\t'; break;
            case 'r': value += '\r'; break;
            default: value += next; break;
        }
    }
    return value;
}

}  // namespace

EnvironmentMap OwnDisplayEnvironment() {
    EnvironmentMap environment;
    for (const std::string_view name : kDisplayVariableNames) {
        const std::string key(name);
        if (const char* value = std::getenv(key.c_str())) environment[key] = value;
    }
    // Alarm times are this program's local times: a program started for one reads the
    // clock in the same zone, whatever zone the system's timer service keeps.
    if (const char* zone = std::getenv("TZ")) environment["TZ"] = zone;
    return environment;
}

EnvironmentMap ParseManagerEnvironment(std::string_view output) {
    EnvironmentMap environment;
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        if (end == std::string_view::npos) end = output.size();
        const std::string_view line = output.substr(start, end - start);
        start = end + 1;
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string name(line.substr(0, equals));
        std::string_view value = line.substr(equals + 1);
        bool wanted = false;
        for (const std::string_view known : kDisplayVariableNames) wanted = wanted || known == name;
        if (!wanted) continue;
        if (value.size() >= 3 && value.substr(0, 2) == "$'" && value.back() == '\'') {
            environment[name] = AnsiCValue(value.substr(2, value.size() - 3));
        } else {
            environment[name] = std::string(value);
        }
    }
    return environment;
}

bool HasDisplay(const EnvironmentMap& environment) {
    const std::string platform = Lookup(environment, "QT_QPA_PLATFORM");
    if (platform.rfind("offscreen", 0) == 0 || platform.rfind("minimal", 0) == 0) return true;
    const std::string wayland = Lookup(environment, "WAYLAND_DISPLAY");
    if (!wayland.empty()) {
        const std::string runtime = Lookup(environment, "XDG_RUNTIME_DIR");
        if (SocketExists(wayland.front() == '/' ? wayland : runtime + "/" + wayland)) return true;
    }
    const std::string display = Lookup(environment, "DISPLAY");
    if (display.empty()) return false;
    const size_t colon = display.rfind(':');
    if (colon == std::string::npos) return false;
    const std::string host = display.substr(0, colon);
    // A display on another host cannot be looked at from here; take it as there.
    if (!host.empty() && host != "unix") return true;
    const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
    return SocketExists("/tmp/.X11-unix/X" + number);
}

std::vector<std::string> EnvironmentEntries(const EnvironmentMap& environment) {
    std::vector<std::string> entries;
    for (const auto& [name, value] : environment) entries.push_back(name + "=" + value);
    return entries;
}
