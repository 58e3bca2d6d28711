#include "platform/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <mutex>
#include <string>

#include "base/unicode.h"

namespace orvane {
namespace {

struct LangPages {
  const char* lang;
  int ansi;
  int oem;
};

constexpr LangPages kLangPages[] = {
    {"ru", 1251, 866}, {"uk", 1251, 866}, {"bg", 1251, 866}, {"sr", 1251, 866}, {"be", 1251, 866},
    {"mk", 1251, 866}, {"pl", 1250, 852}, {"cs", 1250, 852}, {"sk", 1250, 852}, {"hu", 1250, 852},
    {"hr", 1250, 852}, {"sl", 1250, 852}, {"ro", 1250, 852}, {"bs", 1250, 852}, {"sq", 1250, 852},
    {"el", 1253, 737}, {"tr", 1254, 857}, {"he", 1255, 862}, {"ar", 1256, 720}, {"fa", 1256, 720},
    {"ur", 1256, 720}, {"et", 1257, 775}, {"lv", 1257, 775}, {"lt", 1257, 775}, {"vi", 1258, 1258},
    {"th", 874, 874},  {"ja", 932, 932},  {"ko", 949, 949},
};

std::string LocaleName() {
  const char* n = std::setlocale(LC_CTYPE, nullptr);
  std::string s = n ? n : "C";
  if (s == "C" || s == "POSIX") {
    // The process may not have called setlocale yet; fall back to the environment.
    for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
      const char* v = std::getenv(var);
      if (v && *v) return v;
    }
  }
  return s;
}

std::string IconvName(int cp) {
  switch (cp) {
    case 65001:
      return "UTF-8";
    case 932:
      return "CP932";
    case 936:
      return "GBK";
    case 949:
      return "CP949";
    case 950:
      return "BIG5";
    case 874:
      return "CP874";
    default:
      return "CP" + std::to_string(cp);
  }
}

// Runs iconv over the whole input; on an invalid or unconvertible unit it writes the
// replacement and goes on with the next byte (input) or character.
std::string Convert(std::string_view in, const std::string& from, const std::string& to,
                    std::string_view replacement, std::size_t inUnit) {
  iconv_t cd = iconv_open(to.c_str(), from.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string();
  std::string out;
  out.resize(in.size() * 4 + 16);
  char* inp = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  char* outp = out.data();
  std::size_t outLeft = out.size();
  while (inLeft > 0) {
    std::size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    if (r != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      std::size_t used = static_cast<std::size_t>(outp - out.data());
      out.resize(out.size() * 2);
      outp = out.data() + used;
      outLeft = out.size() - used;
      continue;
    }
    // EILSEQ or EINVAL: replace one unit and go on.
    std::size_t used = static_cast<std::size_t>(outp - out.data());
    if (outLeft < replacement.size() + 8) {
      out.resize(out.size() * 2 + replacement.size());
      outp = out.data() + used;
      outLeft = out.size() - used;
    }
    for (char c : replacement) *outp++ = c, --outLeft;
    std::size_t step = inUnit;
    if (inUnit == 0) {  // UTF-8 input: skip one whole character
      step = 1;
      while (step < inLeft && (static_cast<unsigned char>(inp[step]) & 0xC0) == 0x80) ++step;
    }
    if (step > inLeft) step = inLeft;
    inp += step;
    inLeft -= step;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(static_cast<std::size_t>(outp - out.data()));
  iconv_close(cd);
  return out;
}

}  // namespace

int AnsiCodePageForLocale(std::string_view locale) {
  std::string_view lang = locale.substr(0, locale.find_first_of("_.@"));
  std::string_view terr;
  if (auto u = locale.find('_'); u != std::string_view::npos)
    terr = locale.substr(u + 1, locale.find_first_of(".@", u) - u - 1);
  if (lang == "zh") return (terr == "TW" || terr == "HK") ? 950 : 936;
  for (const auto& lp : kLangPages)
    if (lang == lp.lang) return lp.ansi;
  return 1252;
}

int OemCodePageForLocale(std::string_view locale) {
  std::string_view lang = locale.substr(0, locale.find_first_of("_.@"));
  std::string_view terr;
  if (auto u = locale.find('_'); u != std::string_view::npos)
    terr = locale.substr(u + 1, locale.find_first_of(".@", u) - u - 1);
  if (lang == "zh") return (terr == "TW" || terr == "HK") ? 950 : 936;
  for (const auto& lp : kLangPages)
    if (lang == lp.lang) return lp.oem;
  if (lang == "C" || lang == "POSIX" || lang.empty()) return 437;
  if (lang == "en" && (terr == "US" || terr.empty())) return 437;
  return 850;
}

int AnsiCodePage() {
  static const int cp = [] {
    if (const char* v = std::getenv("ORVANE_ANSI_CODEPAGE"); v && *v) {
      int n = std::atoi(v);
      if (n > 0) return n;
    }
    return AnsiCodePageForLocale(LocaleName());
  }();
  return cp;
}

int OemCodePage() {
  static const int cp = OemCodePageForLocale(LocaleName());
  return cp;
}

std::string CodePageToUtf8(std::string_view bytes, int codePage) {
  if (codePage == 65001) return SanitizeUtf8(bytes);
  bool ascii = true;
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) {
      ascii = false;
      break;
    }
  if (ascii) return std::string(bytes);
  return Convert(bytes, IconvName(codePage), "UTF-8", "\xEF\xBF\xBD", 1);
}

std::string Utf8ToCodePage(std::string_view utf8, int codePage) {
  if (codePage == 65001) return SanitizeUtf8(utf8);
  bool ascii = true;
  for (char c : utf8)
    if (static_cast<unsigned char>(c) >= 0x80) {
      ascii = false;
      break;
    }
  if (ascii) return std::string(utf8);
  std::string clean = SanitizeUtf8(utf8);
  return Convert(clean, "UTF-8", IconvName(codePage), "?", 0);
}

}  // namespace orvane
