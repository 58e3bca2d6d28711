// The extra information groups of a file record, each with its loaded flag. The block exists
// only for records some extra column was read for, and within it each group read from a file's
// contents (version, checksums, document, media, MP3) is allocated only when it is loaded; a
// group not loaded reads as empty. A record carried into the next generation keeps what it has
// read.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "fileinfo/doc_properties.h"
#include "fileinfo/hashes.h"
#include "fileinfo/media_info.h"
#include "fileinfo/pe_version.h"

namespace orvane {

// One group, allocated when something is stored in it.
template <typename T>
class InfoGroup {
 public:
  // The group, or an empty one when nothing was stored.
  const T& Get() const {
    static const T kEmpty{};
    return m_p ? *m_p : kEmpty;
  }
  // The group to fill, allocated on first use.
  T& Make() {
    if (!m_p) m_p = std::make_unique<T>();
    return *m_p;
  }

 private:
  std::unique_ptr<T> m_p;
};

struct FileInfoGroups {
  std::string m_strType;  // the type name (column 9)
  bool m_bTypeLoaded = false;
  std::string m_strOwner;  // column 11
  bool m_bOwnerLoaded = false;
  bool m_bVersionLoaded = false;
  bool m_bDocLoaded = false;
  bool m_bMediaLoaded = false;
  bool m_bMp3Loaded = false;
  InfoGroup<VersionInfo> m_version;     // columns 12 to 19
  InfoGroup<FileHashes> m_hashes;       // columns 20 to 22, each with its own loaded state
  InfoGroup<DocProperties> m_docProps;  // columns 23 to 39
  InfoGroup<MediaInfo> m_media;         // columns 40 to 50
  InfoGroup<Mp3Tags> m_mp3;             // columns 51 to 57
};

}  // namespace orvane
