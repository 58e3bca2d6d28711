// Passwords of SMB accounts in the Secret Service, through libsecret.
#include <libsecret/secret.h>

#include "platform/smb_settings.h"

namespace orvane {
namespace {

const SecretSchema* Schema() {
  static const SecretSchema schema = [] {
    SecretSchema s{};
    s.name = "org.brenmoor.Orvane.Smb";
    s.flags = SECRET_SCHEMA_NONE;
    s.attributes[0].name = "server";
    s.attributes[0].type = SECRET_SCHEMA_ATTRIBUTE_STRING;
    s.attributes[1].name = "user";
    s.attributes[1].type = SECRET_SCHEMA_ATTRIBUTE_STRING;
    return s;
  }();
  return &schema;
}

}  // namespace

bool LookupStoredSmbPassword(const std::string& server, const std::string& user,
                             std::string& password) {
  GError* error = nullptr;
  gchar* found = secret_password_lookup_sync(Schema(), nullptr, &error, "server", server.c_str(),
                                             "user", user.c_str(), nullptr);
  if (error) g_error_free(error);
  if (!found) return false;
  password = found;
  secret_password_free(found);
  return true;
}

bool StoreSmbPassword(const std::string& server, const std::string& user,
                      const std::string& password) {
  GError* error = nullptr;
  const std::string label = "Orvane: " + user + " on " + server;
  gboolean ok = secret_password_store_sync(Schema(), SECRET_COLLECTION_DEFAULT, label.c_str(),
                                           password.c_str(), nullptr, &error, "server",
                                           server.c_str(), "user", user.c_str(), nullptr);
  if (error) g_error_free(error);
  return ok;
}

}  // namespace orvane
