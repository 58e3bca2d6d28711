// Built without libsmbclient: no network provider, so network places list nothing.
#include "platform/net_provider.h"

namespace orvane {

NetProvider* BuiltInNetProvider() {
  return nullptr;
}

}  // namespace orvane
