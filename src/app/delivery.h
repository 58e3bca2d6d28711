// Getting a listing out: the generation kinds, the temporary listing files and the e-mail
// attachment. (The start-up hands attachments to the mail composer and opens saved listings
// through its services, see app_startup.h.)
//
// Used on the user-interface thread (or the batch start-up) only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/listing_engine.h"

namespace orvane {

// The generation kinds are the engine's requests: kRequestSave (100), kRequestPreview,
// kRequestMail, kRequestPrint, kRequestPrintPreview (104).

// Extension (without ".") of a saved listing or e-mail attachment: txt, html, csv.
const char* SavedExtension(int outputType);
// Extension of a temporary listing (preview, print): txt, html, and txt for CSV.
const char* TempExtension(int outputType);

// A numbered message text: the string table's, or the built-in English one.
std::string MessageText(int id);

// Shows a message to the user: a message box with that title in the window, a line on
// standard error in batch mode.
using MessageSink = std::function<void(const std::string& title, const std::string& text)>;

inline constexpr const char* kNoTempPath = "Couldn't find temporary path!";
inline constexpr const char* kTempPathTooLong = "Temporary folder too long!";
inline constexpr const char* kNoTempName = "Couldn't create temporary filename!";

// The document's temporary listing: at most one exists at a time; each new one deletes its
// predecessor, and the object deletes the last one when it goes away.
class CTempListing {
 public:
  // folder: where the files go (GetTempFolder() when empty).
  explicit CTempListing(std::string folder = {});
  ~CTempListing();
  CTempListing(const CTempListing&) = delete;
  CTempListing& operator=(const CTempListing&) = delete;

  // Deletes the previous file, then creates folder + "OVN%04x." + extension for the first free
  // number from 1 to 100 (exclusively, mode 0600). Returns its path, or empty after telling
  // messages why ("Couldn't find temporary path!", "Temporary folder too long!",
  // "Couldn't create temporary filename!").
  std::string MakeTempFile(int outputType, const MessageSink& messages);
  const std::string& Current() const { return m_strTempFile; }

 private:
  std::string m_strFolder;
  std::string m_strTempFile;
};

// E-mail attachments live in private folders "orvane-mail-XXXXXX" of the temporary folder, so
// that the attachment can carry the name "Listing.<ext>" (text 32814). The folder is kept
// after the hand-over, because the mail program reads the file later; folders older than a day
// are removed at the next start.
inline constexpr const char* kMailFolderPrefix = "orvane-mail-";
inline constexpr std::int64_t kMailFolderMaxAge = 24 * 60 * 60;

// Creates a new private folder and returns the attachment path in it (the file itself is left
// to the generation); empty when the folder cannot be created.
std::string MakeMailAttachmentPath(int outputType, const std::string& tempFolder);
// Removes attachment folders older than a day; returns how many went.
int RemoveStaleMailAttachments(const std::string& tempFolder, std::int64_t now);

}  // namespace orvane
