#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class Registry;

// Where a value lives in the profile (its section and name), of which kind it is, and what
// it reads as when absent.
struct ProfileInt {
    std::string_view section;
    std::string_view name;
    int32_t fallback = 0;
};
struct ProfileText {
    std::string_view section;
    std::string_view name;
    std::string_view fallback = {};
};

// The per-user profile: sections of named integer and string values under
// HKCU\Software\<company>\<application>\<section>. Names are compared without regard to
// case. A value that is absent, of the other kind or unreadable gives the caller's default;
// a failed write is reported only by the result.
class Profile {
  public:
    // `registry` may be null (no registry could be opened): every read gives its default.
    Profile(Registry* registry, std::string company, std::string application);

    int32_t GetInt(std::string_view section, std::string_view name, int32_t defaultValue) const;
    std::string GetString(std::string_view section, std::string_view name,
                          std::string_view defaultValue) const;
    [[nodiscard]] bool WriteInt(std::string_view section, std::string_view name, int32_t value);
    [[nodiscard]] bool WriteString(std::string_view section, std::string_view name,
                                   std::string_view value);

    int32_t Get(const ProfileInt& value) const {
        return GetInt(value.section, value.name, value.fallback);
    }
    std::string Get(const ProfileText& value) const {
        return GetString(value.section, value.name, value.fallback);
    }
    [[nodiscard]] bool Write(const ProfileInt& value, int32_t number) {
        return WriteInt(value.section, value.name, number);
    }
    [[nodiscard]] bool Write(const ProfileText& value, std::string_view text) {
        return WriteString(value.section, value.name, text);
    }

    std::string SectionKey(std::string_view section) const;

  private:
    Registry* m_registry;
    std::string m_company;
    std::string m_application;
};
