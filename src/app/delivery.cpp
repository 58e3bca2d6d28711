#include "app/delivery.h"

#include <cstdio>

#include "base/strings.h"
#include "platform/temp_files.h"
#include "platform/user_folders.h"

namespace orvane {
namespace {

// Room left in a path for "OVNxxxx.html".
constexpr std::size_t kMaxTempFolder = kMaxPathBytes - 16;

}  // namespace

const char* SavedExtension(int outputType) {
  switch (outputType) {
    case 1:
      return "html";
    case 2:
      return "csv";
    default:
      return "txt";
  }
}

const char* TempExtension(int outputType) {
  return outputType == 1 ? "html" : "txt";
}

std::string MessageText(int id) {
  std::string text = GetText(id);
  if (!text.empty()) return text;
  switch (id) {
    case 1517:
      return "Open listing file after creation";
    case 32814:
      return "Listing";
    case 32815:
      return "Orvane listing";
    case 61840:
      return "Unable to load mail system support.";
    case 61841:
      return "Mail system DLL is invalid.";
    case 61842:
      return "Send Mail failed to send message.";
    default:
      return {};
  }
}

CTempListing::CTempListing(std::string folder)
    : m_strFolder(folder.empty() ? GetTempFolder() : std::move(folder)) {
  if (m_strFolder.back() != '/') m_strFolder += '/';
}

CTempListing::~CTempListing() {
  if (!m_strTempFile.empty()) RemoveRegularFile(m_strTempFile);
}

std::string CTempListing::MakeTempFile(int outputType, const MessageSink& messages) {
  if (!m_strTempFile.empty()) RemoveRegularFile(m_strTempFile);
  m_strTempFile.clear();
  auto fail = [&messages](const char* text) {
    if (messages) messages("Error", text);
    return std::string();
  };
  if (m_strFolder.size() > kMaxTempFolder) return fail(kTempPathTooLong);
  if (GetPathKind(m_strFolder) != PathKind::kDirectory) return fail(kNoTempPath);
  for (unsigned i = 1; i <= 100; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "OVN%04x.", i);
    std::string path = m_strFolder + name + TempExtension(outputType);
    if (CreateExclusiveFile(path) == CreateResult::kCreated) {
      m_strTempFile = path;
      return path;
    }
  }
  return fail(kNoTempName);
}

std::string MakeMailAttachmentPath(int outputType, const std::string& tempFolder) {
  std::string folder =
      MakePrivateFolder(tempFolder.empty() ? GetTempFolder() : tempFolder, kMailFolderPrefix);
  if (folder.empty()) return {};
  std::string name = MessageText(32814);
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return folder + name + "." + SavedExtension(outputType);
}

int RemoveStaleMailAttachments(const std::string& tempFolder, std::int64_t now) {
  return RemoveStaleFolders(tempFolder, kMailFolderPrefix, kMailFolderMaxAge, now);
}

}  // namespace orvane
