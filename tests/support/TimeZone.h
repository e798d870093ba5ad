#pragma once

#include <time.h>

#include <cstdlib>
#include <optional>
#include <string>

// The host's time zone set to `zone` while it lives.
class TimeZone {
  public:
    explicit TimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) m_saved = old;
        Set(zone);
    }
    ~TimeZone() { Set(m_saved ? m_saved->c_str() : nullptr); }
    TimeZone(const TimeZone&) = delete;
    TimeZone& operator=(const TimeZone&) = delete;

    static void Set(const char* zone) {
        if (zone != nullptr) {
            ::setenv("TZ", zone, 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }

  private:
    std::optional<std::string> m_saved;
};
