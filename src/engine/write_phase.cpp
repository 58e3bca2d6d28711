#include "engine/write_phase.h"

#include <algorithm>
#include <bit>

#include "engine/file_info_groups.h"

namespace orvane {
namespace {

// A first key "Not sorted" in ascending order leaves records in the scan order they already
// have; descending, it reverses that order, so the records must be sorted.
bool KeepsScanOrder(int firstKey, int firstDescending) {
  return firstKey == kNotSorted && !firstDescending;
}

bool ItemsNeedSorting(const SortSettings& sort) {
  return sort.m_bSubdirsFirst || !KeepsScanOrder(sort.m_nFileSortKey[0], sort.m_bFileSortDesc[0]);
}

// What the writers learn of an item besides its cells.
OutputEntry EntryOf(const CFileRecord& rec) {
  OutputEntry e;
  e.name = rec.Name();
  e.ext = rec.Ext();
  e.hasDot = rec.HasDot();
  if (rec.m_pDir) {
    e.inDir = true;
    e.dirPath = rec.m_pDir->m_strPath;
    e.dirBaseLength = rec.m_pDir->m_nBaseLength;
  }
  e.number = rec.m_nSeq;
  return e;
}

}  // namespace

WriterOptions WriterOptionsOf(const CListingOptions& o) {
  WriterOptions w;
  w.m_nOutputType = o.m_nOutputType;
  w.m_nEncoding = o.m_nEncoding;
  w.m_nPathForm = o.m_nPathForm;
  w.m_bSurroundSubdirs = o.m_bSurroundSubdirs;
  w.m_bColumnNamesInHeader = o.m_bColumnNamesInHeader;
  w.m_bSummary = o.m_bSummary;
  w.m_nSummaryPos = o.m_nSummaryPos;
  w.m_bProgramInfoInHeader = o.m_bProgramInfoInHeader;
  w.m_strDateFormat = o.m_strDateFormat;
  w.m_strTimeFormat = o.m_strTimeFormat;
  w.m_bAutoColumnWidths = o.m_bAutoColumnWidths;
  w.m_bWrapColumns = o.m_bWrapColumns;
  w.m_strCsvSeparator = o.m_strCsvSeparator;
  w.m_bLinksToFiles = o.m_bLinksToFiles;
  w.m_bLinksToDirs = o.m_bLinksToDirs;
  w.m_bFileProtocolInLinks = o.m_bFileProtocolInLinks;
  w.m_bLinksToSubdirsInside = o.m_bLinksToSubdirsInside;
  w.m_strHtmlTitle = o.m_strHtmlTitle;
  w.m_bExternalCss = o.m_bExternalCss;
  w.m_strCssPath = o.m_strCssPath;
  w.m_htmlStyle = o.m_htmlStyle;
  return w;
}

CWritePhase::CWritePhase(const ListingJob& job, ListingServices& services, CEntryReaders& readers,
                         CJobStatus& status, ListingRecords& records)
    : m_job(job),
      m_options(job.options),
      m_services(services),
      m_readers(readers),
      m_status(status),
      m_records(records),
      m_sort(SortSettings::FromOptions(job.options)),
      m_writerOptions(WriterOptionsOf(job.options)),
      m_numberFormat(NumberFormat::FromOptions(job.options)) {
  m_context.m_findDir = [this](const std::string& path) {
    const CDirRecord* dir = m_records.Find(path);
    return dir ? dir->m_nSeq : -1;
  };
  // Formatting threads beyond the worker, at most; more would wait for the file.
  constexpr int kMaxFormatThreads = 4;
  m_formatThreads = std::min(JobThreads(job.scanThreads), kMaxFormatThreads);
}

CWritePhase::~CWritePhase() = default;

std::unique_ptr<COvOutput> CWritePhase::MakeWriter() {
  return m_job.makeWriter ? m_job.makeWriter(m_writerOptions, m_context)
                          : CreateOutput(m_writerOptions, m_context);
}

void CWritePhase::SetupColumns(bool resetWidths) {
  const CListingOptions& o = m_options;
  m_itemCellColumns.clear();
  for (ColumnId id : kAllColumns)
    if (o.IsShown(id) && ColumnSpecOf(id).itemCell) m_itemCellColumns.push_back(id);
  for (ColumnId id : kAllColumns) {
    COutputColumn& c = m_columns[id];
    m_titles[id] = ColumnInfo(id).m_strName;
    c.m_pText = &m_titles[id];
    c.m_bFolded = ColumnInfo(id).m_bFolded;
    c.m_bShown = o.IsShown(id);
    c.m_nAlign = o.m_nAlign[id];
    c.m_nOrder = o.m_columnOrder[ColumnIndex(id)];
    if (resetWidths && (!o.m_bAutoColumnWidths || m_context.m_bMeasuring)) c.m_nWidth = 1;
    if (!o.m_bAutoColumnWidths) c.m_nWidth = FixedColumnWidth(o, id);
  }
  m_columns.m_bRowIsSubdir = false;
  m_bCellsBound = false;
}

static_assert(kColumnCount <= 64, "one bit per cell");

std::string& CWritePhase::Cell(ColumnId id) {
  m_cellsSet |= std::uint64_t{1} << ColumnIndex(id);
  return m_cellText[id];
}

void CWritePhase::ClearCells() {
  // The slots show the cell texts until the next column set-up points them at the titles.
  if (!m_bCellsBound) {
    for (ColumnId id : kAllColumns) m_columns[id].m_pText = &m_cellText[id];
    m_bCellsBound = true;
  }
  for (std::uint64_t set = m_cellsSet; set != 0; set &= set - 1)
    m_cellText[static_cast<std::size_t>(std::countr_zero(set))].clear();
  m_cellsSet = 0;
}

std::string CWritePhase::DirText(const CDirRecord& dir) {
  std::string mount;
  if (m_options.m_nPathForm == kPathNoDrive) {
    if (m_mountPointCacheKey != dir.m_strPath) {
      m_mountPointCacheKey = dir.m_strPath;
      m_mountPointCache = m_services.MountPoint(dir.m_strPath);
    }
    mount = m_mountPointCache;
  }
  return ApplyPathForm(dir.m_strPath, m_options.m_nPathForm, dir.m_nBaseLength, mount);
}

void CWritePhase::FillDirCells(CDirRecord& dir) {
  const CListingOptions& o = m_options;
  const NumberFormat& nf = m_numberFormat;
  ClearCells();
  auto cell = [&](ColumnId id) -> std::string& { return Cell(id); };
  cell(ColumnId::kName) = DirText(dir);
  if (o.m_bFileCountInDirRow)
    cell(ColumnId::kCount) = "(" + FormatInteger(dir.m_nFileCount, nf) + ")";
  if (o.IsShown(ColumnId::kSize))
    cell(ColumnId::kSize) = FormatSize(dir.m_nSize, o.m_nSizeUnit, o.m_nSizePrecision, false, nf);
  if (o.IsShown(ColumnId::kCreation))
    cell(ColumnId::kCreation) = FormatDateTime(dir.m_tCreation, o);
  if (o.IsShown(ColumnId::kLastWrite))
    cell(ColumnId::kLastWrite) = FormatDateTime(dir.m_tLastWrite, o);
  if (o.IsShown(ColumnId::kLastAccess))
    cell(ColumnId::kLastAccess) = FormatDateTime(dir.m_tLastAccess, o);
  if (dir.m_bDrive) cell(ColumnId::kType) = dir.m_strFileSystem;
  cell(ColumnId::kAttributes) = dir.m_strAttributes;
  if (o.IsShown(ColumnId::kOwner)) {
    if (!dir.m_bOwnerRead) m_readers.ReadDirOwner(dir);
    cell(ColumnId::kOwner) = dir.m_strOwner;
  }
  if (dir.m_bDrive) cell(ColumnId::kFileVersion) = dir.m_strVolumeSerial;
}

bool CWritePhase::FillItemCells(CFileRecord& rec, int number) {
  const CListingOptions& o = m_options;
  const NumberFormat& nf = m_numberFormat;
  bool ok = true;
  // Groups still unloaded (archive members, whose records the scan did not read) are read now.
  if (rec.m_pDir && m_readers.NeedsTypeOrOwner(rec))
    m_readers.ReadTypeAndOwner(rec, JoinPath(rec.m_pDir->m_strPath, rec.FullName()));
  if (m_readers.ReadsFiles() && !rec.m_bIsDir && rec.m_pDir)
    ok = m_readers.ReadExtras(rec, JoinPath(rec.m_pDir->m_strPath, rec.FullName()));
  ClearCells();
  auto cell = [&](ColumnId id) -> std::string& { return Cell(id); };
  if (o.IsShown(ColumnId::kNumber) && !rec.m_bIsDir)
    cell(ColumnId::kNumber) = FormatInteger(number, nf) + ". ";
  // The HTML writer builds links from the path cell, so it is filled for links too.
  if ((o.IsShown(ColumnId::kPath) || o.m_bLinksToFiles) && rec.m_pDir)
    cell(ColumnId::kPath) = DirText(*rec.m_pDir);
  cell(ColumnId::kName) = rec.Name();
  const CellFormat format{o, nf};
  for (ColumnId id : m_itemCellColumns) {
    const ColumnSpec& c = ColumnSpecOf(id);
    if (!(c.filesOnly && rec.m_bIsDir)) c.itemCell(rec, format, Cell(id));
  }
  return ok;
}

bool CWritePhase::WriteItemRows(COvOutput& out, std::vector<CFileRecord*>& items) {
  std::string row;
  int number = 1;
  for (CFileRecord* rec : items) {
    if (m_bHashCancelled) return false;
    if (rec->m_bIsDir && !m_options.m_bSubdirs) continue;
    m_columns.m_bRowIsSubdir = rec->m_bIsDir;
    if (!FillItemCells(*rec, number)) m_bHashCancelled = true;
    if (!rec->m_bIsDir) ++number;
    out.FormatItemRow(m_columns, row, EntryOf(*rec));
    if (!m_context.m_bMeasuring) {
      row += '\n';
      out.WriteLine(row);
    }
  }
  return !m_bHashCancelled;
}

void CWritePhase::WritePerDirListing(CDirRecord& dir, std::vector<CFileRecord*>& items) {
  // Listings are never written into archives shown as directories.
  if (dir.m_bArchive || m_context.m_bMeasuring) return;
  SetupColumns(false);
  auto out = MakeWriter();
  if (out && out->Open(JoinPath(dir.m_strPath, m_options.m_strListingName), true, m_columns)) {
    if (WriteItemRows(*out, items)) out->WriteFooter();
    out->Close();
  }
  SetupColumns(false);
}

void CWritePhase::OrderDirs(std::vector<CDirRecord*>& dirs) {
  const SortSettings& sort = m_sort;
  if (KeepsScanOrder(sort.m_nDirSortKey[0], sort.m_bDirSortDesc[0])) return;
  if (std::find(sort.m_nDirSortKey.begin(), sort.m_nDirSortKey.end(),
                ColumnNumber(ColumnId::kOwner)) != sort.m_nDirSortKey.end())
    for (CDirRecord* d : dirs)
      if (!d->m_bOwnerRead) m_readers.ReadDirOwner(*d);
  SortDirs(dirs, sort);
}

bool CWritePhase::WriteDirByDir(COvOutput& out, std::vector<CDirRecord*>& dirs, bool perDir) {
  const CListingOptions& o = m_options;
  const SortSettings& sort = m_sort;
  std::string row;
  std::vector<CFileRecord*> items;
  if (o.m_bFileRows && m_readers.ChecksumsDeferred()) {
    // The files of the rows to come, in row order: their checksums are computed ahead.
    for (CDirRecord* d : dirs) {
      if (o.m_bHideEmptyDirs && d->m_nFileCount == 0) continue;
      items.clear();
      for (CFileRecord& r : d->m_items) items.push_back(&r);
      if (ItemsNeedSorting(sort)) SortItems(items, sort);
      m_readers.PlanChecksums(items);
    }
  }
  ListingReceiver* receiver = m_status.Receiver();
  for (std::size_t i = 0; i < dirs.size(); ++i) {
    if (m_status.StopRequested()) return true;
    if (receiver) receiver->WriteProgress(i);
    CDirRecord& dir = *dirs[i];
    if (!WriteDirRows(out, dir, row, items)) return true;
    if (perDir && o.m_bFileRows && !(o.m_bHideEmptyDirs && dir.m_nFileCount == 0))
      WritePerDirListing(dir, items);
  }
  return false;
}

bool CWritePhase::WriteDirRows(COvOutput& out, CDirRecord& dir, std::string& row,
                               std::vector<CFileRecord*>& items) {
  const CListingOptions& o = m_options;
  if (o.m_bHideEmptyDirs && dir.m_nFileCount == 0) return true;
  if (o.m_bDirRows) {
    FillDirCells(dir);
    OutputEntry entry;
    entry.number = dir.m_nSeq;
    out.FormatDirRow(m_columns, row, entry);
    if (!m_context.m_bMeasuring) {
      row += '\n';
      out.WriteLine(row);
    }
  }
  if (!o.m_bFileRows) return true;
  items.clear();
  for (CFileRecord& r : dir.m_items) items.push_back(&r);
  if (ItemsNeedSorting(m_sort)) SortItems(items, m_sort);
  return WriteItemRows(out, items);
}

bool CWritePhase::WriteFilesTogether(COvOutput& out, const std::vector<CDirRecord*>& dirs,
                                     bool perDir) {
  const bool fileRows = m_options.m_bFileRows != 0;
  std::vector<CFileRecord*> all;
  ListingReceiver* receiver = m_status.Receiver();
  for (std::size_t i = 0; i < dirs.size(); ++i) {
    if (m_status.StopRequested()) return true;
    if (receiver) receiver->WriteProgress(i);
    const std::size_t start = all.size();
    for (CFileRecord& r : dirs[i]->m_items) all.push_back(&r);
    if (fileRows && perDir) {
      std::vector<CFileRecord*> part(all.begin() + static_cast<std::ptrdiff_t>(start), all.end());
      SortItems(part, m_sort);
      if (!m_context.m_bMeasuring) m_readers.PlanChecksums(part);
      WritePerDirListing(*dirs[i], part);
    }
  }
  if (!fileRows) return false;
  // Always sorted: the array holds the items directory by directory, not in scan order.
  SortItems(all, m_sort);
  m_readers.PlanChecksums(all);
  return !WriteItemRows(out, all);
}

bool CWritePhase::CanFormatElsewhere() const {
  return !m_context.m_bMeasuring && !m_readers.Any() && !m_job.makeWriter &&
         m_options.m_nPathForm != kPathNoDrive;
}

std::unique_ptr<CWritePhase> CWritePhase::MakeFormatter() const {
  auto phase = std::make_unique<CWritePhase>(m_job, m_services, m_readers, m_status, m_records);
  phase->m_context.m_strSummary = m_context.m_strSummary;
  phase->m_context.m_tNow = m_context.m_tNow;
  phase->SetupColumns(false);
  for (ColumnId id : kAllColumns) phase->m_columns[id].m_nWidth = m_columns[id].m_nWidth;
  phase->m_formatter = phase->MakeWriter();
  // The writer learns from the header what its rows depend on; the header itself is not kept.
  std::string header;
  if (phase->m_formatter) phase->m_formatter->FormatHeader(phase->m_columns, header);
  return phase;
}

bool CWritePhase::Run(bool measuring, bool& failed) {
  m_context.m_bMeasuring = measuring;
  m_context.m_strSummary = m_status.Summary();
  m_bHashCancelled = false;
  SetupColumns(true);
  std::vector<CDirRecord*> dirs;
  dirs.reserve(m_records.dirs.size());
  for (auto& d : m_records.dirs) dirs.push_back(d.get());
  const bool together = m_options.m_bFilesTogether != 0;
  const bool perDir = m_options.m_bListingInEachDir && m_job.request == kRequestSave;
  if (!together) OrderDirs(dirs);
  // Rows that other threads can format are started on before the file is made.
  std::unique_ptr<CRowBlocks> blocks;
  if (!together && !perDir && m_formatThreads > 1 && CanFormatElsewhere())
    blocks = std::make_unique<CRowBlocks>(*this, dirs, m_formatThreads);
  auto out = MakeWriter();
  if (!out || !out->Open(m_job.outputPath, false, m_columns)) {
    failed = true;
    return false;
  }
  ListingReceiver* receiver = m_status.Receiver();
  if (receiver) receiver->WriteBegin(dirs.size());
  const bool cancelled = together ? WriteFilesTogether(*out, dirs, perDir)
                         : blocks ? blocks->Write(*out)
                                  : WriteDirByDir(*out, dirs, perDir);
  m_readers.EndChecksums();
  if (receiver) receiver->WriteEnd();
  if (!cancelled) out->WriteFooter();
  if (!out->Close()) failed = true;
  return cancelled;
}

}  // namespace orvane
