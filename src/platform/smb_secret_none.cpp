// Built without libsecret: no stored passwords.
#include "platform/smb_settings.h"

namespace orvane {

bool LookupStoredSmbPassword(const std::string&, const std::string&, std::string&) {
  return false;
}

bool StoreSmbPassword(const std::string&, const std::string&, const std::string&) {
  return false;
}

}  // namespace orvane
