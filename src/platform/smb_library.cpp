#include "platform/smb_library.h"

#include <dlfcn.h>

#include <cstdio>

namespace orvane {
namespace {

template <typename F>
bool Bind(void* handle, const char* name, F& out) {
  out = reinterpret_cast<F>(::dlsym(handle, name));
  return out != nullptr;
}

bool BindAll(void* h, SmbLibrary& l) {
  return Bind(h, "smbc_new_context", l.newContext) && Bind(h, "smbc_free_context", l.freeContext) &&
         Bind(h, "smbc_init_context", l.initContext) && Bind(h, "smbc_setDebug", l.setDebug) &&
         Bind(h, "smbc_setTimeout", l.setTimeout) && Bind(h, "smbc_setPort", l.setPort) &&
         Bind(h, "smbc_setFunctionAuthDataWithContext", l.setAuthData) &&
         Bind(h, "smbc_setOptionUseKerberos", l.setUseKerberos) &&
         Bind(h, "smbc_setOptionFallbackAfterKerberos", l.setFallbackAfterKerberos) &&
         Bind(h, "smbc_setOptionUseCCache", l.setUseCCache) &&
         Bind(h, "smbc_getFunctionOpendir", l.opendir) &&
         Bind(h, "smbc_getFunctionClosedir", l.closedir) &&
         Bind(h, "smbc_getFunctionReaddir", l.readdir) &&
         Bind(h, "smbc_getFunctionReaddirPlus2", l.readdirPlus2) &&
         Bind(h, "smbc_getFunctionStat", l.stat) && Bind(h, "smbc_getFunctionOpen", l.open) &&
         Bind(h, "smbc_getFunctionFstat", l.fstat) && Bind(h, "smbc_getFunctionClose", l.close) &&
         Bind(h, "smbc_getFunctionLseek", l.lseek) && Bind(h, "smbc_getFunctionRead", l.read);
}

const SmbLibrary* Load() {
  static SmbLibrary library;
  void* handle = ::dlopen("libsmbclient.so.0", RTLD_NOW | RTLD_LOCAL);
  if (!handle) handle = ::dlopen("libsmbclient.so", RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    std::fprintf(stderr, "Network places are not available: %s\n", ::dlerror());
    return nullptr;
  }
  // The library stays loaded for the life of the process: its contexts may outlive any caller.
  if (!BindAll(handle, library)) {
    std::fprintf(stderr, "Network places are not available: %s\n", ::dlerror());
    return nullptr;
  }
  return &library;
}

}  // namespace

const SmbLibrary* SmbClientLibrary() {
  static const SmbLibrary* const library = Load();
  return library;
}

}  // namespace orvane
