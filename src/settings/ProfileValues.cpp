#include "settings/ProfileValues.h"

#include "platform/registry/Registry.h"

namespace profile {

Profile ProgramProfile() {
    return Profile(Registry::OfDevice(), std::string(kCompany), std::string(kApplication));
}

}  // namespace profile
