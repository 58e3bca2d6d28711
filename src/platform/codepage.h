// Legacy code pages: which "ANSI" and "OEM" code pages this user has, and conversion of byte
// texts in those code pages to and from UTF-8 (iconv underneath).
//
// The code pages are derived once from the locale (LC_CTYPE's language and territory, the way
// Windows derives them); ORVANE_ANSI_CODEPAGE overrides the ANSI one. Thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace orvane {

int AnsiCodePage();
int OemCodePage();
// Code pages for a locale name such as "de_DE.UTF-8" (exposed for tests).
int AnsiCodePageForLocale(std::string_view locale);
int OemCodePageForLocale(std::string_view locale);

// Converts bytes in the given code page to UTF-8; 65001 means UTF-8 (sanitised). A byte the
// code page does not define becomes U+FFFD; the rest is still converted.
std::string CodePageToUtf8(std::string_view bytes, int codePage);
inline std::string AnsiToUtf8(std::string_view bytes) {
  return CodePageToUtf8(bytes, AnsiCodePage());
}
inline std::string OemToUtf8(std::string_view bytes) {
  return CodePageToUtf8(bytes, OemCodePage());
}
// Converts UTF-8 to the code page; a character it cannot represent becomes "?".
std::string Utf8ToCodePage(std::string_view utf8, int codePage);

}  // namespace orvane
