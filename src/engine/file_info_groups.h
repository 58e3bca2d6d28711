// The extra information groups of a file record, each with its loaded flag. Allocated only for
// records whose extra columns are shown; a record carried into the next generation keeps what it
// has read.
#pragma once

#include <cstdint>
#include <string>

#include "fileinfo/doc_properties.h"
#include "fileinfo/hashes.h"
#include "fileinfo/media_info.h"
#include "fileinfo/pe_version.h"

namespace orvane {

struct FileInfoGroups {
  std::string m_strType;  // the type name (column 9)
  bool m_bTypeLoaded = false;
  std::string m_strOwner;  // column 11
  bool m_bOwnerLoaded = false;
  VersionInfo m_version;  // columns 12 to 19
  bool m_bVersionLoaded = false;
  FileHashes m_hashes;       // columns 20 to 22, each with its own loaded state
  DocProperties m_docProps;  // columns 23 to 39
  bool m_bDocLoaded = false;
  MediaInfo m_media;  // columns 40 to 50
  bool m_bMediaLoaded = false;
  Mp3Tags m_mp3;  // columns 51 to 57
  bool m_bMp3Loaded = false;
};

}  // namespace orvane
