#include "engine/listing_services.h"

#include "platform/owner.h"
#include "platform/type_names.h"

namespace orvane {
namespace {

class SystemServices : public ListingServices {
 public:
  std::string TypeName(const std::string& name, bool isDirectory) override {
    return GetTypeName(name, isDirectory);
  }
  std::string Owner(const std::string& path) override { return GetFileOwner(path); }
  bool Volume(const std::string& path, VolumeInfo& out) override {
    return GetVolumeInfo(path, out);
  }
  std::string MountPoint(const std::string& path) override { return MountPointOf(path); }
};

}  // namespace

ListingServices& SystemListingServices() {
  static SystemServices services;
  return services;
}

}  // namespace orvane
