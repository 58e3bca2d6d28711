// libsmbclient, loaded when the first network place is asked for. It brings in about a hundred
// libraries of its own; a listing of local folders, which is nearly every listing, starts
// without them.
#pragma once

#include <libsmbclient.h>

namespace orvane {

// The functions the SMB provider calls.
struct SmbLibrary {
  decltype(&smbc_new_context) newContext;
  decltype(&smbc_free_context) freeContext;
  decltype(&smbc_init_context) initContext;
  decltype(&smbc_setDebug) setDebug;
  decltype(&smbc_setTimeout) setTimeout;
  decltype(&smbc_setPort) setPort;
  decltype(&smbc_setFunctionAuthDataWithContext) setAuthData;
  decltype(&smbc_setOptionUseKerberos) setUseKerberos;
  decltype(&smbc_setOptionFallbackAfterKerberos) setFallbackAfterKerberos;
  decltype(&smbc_setOptionUseCCache) setUseCCache;
  decltype(&smbc_getFunctionOpendir) opendir;
  decltype(&smbc_getFunctionClosedir) closedir;
  decltype(&smbc_getFunctionReaddir) readdir;
  decltype(&smbc_getFunctionReaddirPlus2) readdirPlus2;
  decltype(&smbc_getFunctionStat) stat;
  decltype(&smbc_getFunctionOpen) open;
  decltype(&smbc_getFunctionFstat) fstat;
  decltype(&smbc_getFunctionClose) close;
  decltype(&smbc_getFunctionLseek) lseek;
  decltype(&smbc_getFunctionRead) read;
};

// The library, loaded on the first call (thread-safe); null when it is not installed or lacks
// one of the functions, which leaves the network without places.
const SmbLibrary* SmbClientLibrary();

}  // namespace orvane
