// The extra information of file records: which readers run for the shown columns, the cells
// they fill and the sort values they give. Every group is read at most once per record.
#include "engine/file_info_groups.h"
#include "engine/formatting.h"
#include "engine/listing_engine.h"
#include "engine/sorting.h"
#include "engine/strings.h"
#include "platform/type_names.h"

namespace orvane {
namespace {

bool AnyShown(const CListingOptions& o, int first, int last) {
  for (int i = first; i <= last; ++i)
    if (o.IsShown(i)) return true;
  return false;
}

}  // namespace

void CListingEngine::ReadScanExtras(CFileRecord& rec, const std::string& fullPath) {
  const CListingOptions& o = m_options;
  if (o.IsShown(kColType) && !(rec.m_pInfo && rec.m_pInfo->m_bTypeLoaded)) {
    FileInfoGroups& g = rec.Info();
    g.m_strType = GetTypeName(rec.FullName(), rec.m_bIsDir);
    g.m_bTypeLoaded = true;
  }
  if (!rec.m_bIsDir) ReadExtras(rec, fullPath);
}

bool CListingEngine::ReadExtras(CFileRecord& rec, const std::string& fullPath) {
  (void)rec;
  (void)fullPath;
  return true;
}

void CListingEngine::ReadDirOwner(CDirRecord& dir) {
  dir.m_bOwnerRead = true;
}

void CListingEngine::FillExtraCells(CFileRecord& rec) {
  const CListingOptions& o = m_options;
  auto cell = [&](int id) -> std::string& { return m_cellText[static_cast<std::size_t>(id)]; };
  if (o.IsShown(kColType) && rec.m_pInfo) cell(kColType) = rec.m_pInfo->m_strType;
  (void)AnyShown;
}

std::uint64_t CListingEngine::ListArchive(CDirRecord& dir, const std::string& name) {
  BeginArchiveDir(dir.m_strPath, name, dir.m_nBaseLength);
  EndArchiveDir(dir.m_strPath, name, 0);
  return 0;
}

SortValue ItemExtraSortValue(const CFileRecord& r, int key) {
  (void)r;
  (void)key;
  return SortValue();
}

}  // namespace orvane
