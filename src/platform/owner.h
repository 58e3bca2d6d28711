// Owner lookup for the "Owner" column: the account that owns a file or directory.
//
// The owner is the user name of the file's user id, or that id as a decimal number when the
// system knows no name for it. Symbolic links report the owner of their target (the link's own
// owner when the target is missing). Each thread keeps a one-entry cache of the last user id
// and its text, because listings of many files with one owner are the common case; the call is
// safe from any thread.
#pragma once

#include <cstdint>
#include <string>

namespace orvane {

// The owner text of the file at path; empty when the file cannot be examined.
std::string GetFileOwner(const std::string& path);

// The text for a user id: its user name, or the id in decimal when it has none. Uses the same
// one-entry cache as GetFileOwner.
std::string OwnerNameForUid(std::uint32_t uid);

// How many times the user database was asked on this thread (for tests of the cache).
std::uint64_t OwnerLookupCount();

}  // namespace orvane
