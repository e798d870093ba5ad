#include "Profile.h"

#include "platform/registry/Registry.h"

Profile::Profile(Registry* registry, std::string company, std::string application)
    : m_registry(registry),
      m_company(std::move(company)),
      m_application(std::move(application)) {}

std::string Profile::SectionKey(std::string_view section) const {
    return "Software\\" + m_company + "\\" + m_application + "\\" + std::string(section);
}

int32_t Profile::GetInt(std::string_view section, std::string_view name,
                        int32_t defaultValue) const {
    if (m_registry == nullptr) {
        return defaultValue;
    }
    const auto value = m_registry->Read(Hive::CurrentUser, SectionKey(section), name);
    const auto* number = value ? std::get_if<int32_t>(&*value) : nullptr;
    return number != nullptr ? *number : defaultValue;
}

std::string Profile::GetString(std::string_view section, std::string_view name,
                               std::string_view defaultValue) const {
    if (m_registry == nullptr) {
        return std::string(defaultValue);
    }
    return m_registry->ReadString(Hive::CurrentUser, SectionKey(section), name)
        .value_or(std::string(defaultValue));
}

bool Profile::WriteInt(std::string_view section, std::string_view name, int32_t value) {
    return m_registry != nullptr &&
           m_registry->Write(Hive::CurrentUser, SectionKey(section), name, value);
}

bool Profile::WriteString(std::string_view section, std::string_view name, std::string_view value) {
    return m_registry != nullptr &&
           m_registry->Write(Hive::CurrentUser, SectionKey(section), name, std::string(value));
}
