#include "base/strings.h"

#include <map>
#include <mutex>

#include "base/hint_texts.h"

namespace orvane {
namespace {

struct Table {
  std::mutex mutex;
  std::map<int, std::string> texts;
};

Table& TheTable() {
  static Table* table = [] {
    auto* t = new Table;
    const std::pair<int, const char*> builtIn[] = {
        {5000, "Orvane.chm"},
        {5001, "Files"},
        {5002, "Directories"},
        {5003, "%ov selection files (*.ovs)|*.ovs|All files (*.*)|*.*"},
        {5004, "%ov configuration files (*.ovc)|*.ovc|All files (*.*)|*.*"},
        {5005, "HTML files (*.html)|*.html|All files (*.*)|*.*"},
        {5006, "Text files (*.txt)|*.txt|All files (*.*)|*.*"},
        {5007, "CSV files (*.csv)|*.csv|All files (*.*)|*.*"},
        {5008, "Generated on"},
        {5009, "by"},
        {5010, "CSS files (*.css)|*.css|All files (*.*)|*.*"},
        {5011, "Dir row"},
        {5012, "File odd row"},
        {5013, "File even row"},
        {5014, "frames/sec"},
        {5015, "seconds"},
        {5016, "Uncompressed"},
        {5017, "Size"},
        {5018, "Not sorted"},
        {5019, "%ov HTML style files (*.ovh)|*.ovh|All files (*.*)|*.*"},
        {5024, "Generate listing using"},
        {5025, "Generate listing using %ov and selected configuration."},
        {1517, "Open listing file after creation"},
        {57345, "Welcome! For help, press F1"},
        {32814, "Listing"},
        {32815, "Orvane listing"},
        {120, "Please wait. Enumerating the network..."},
    };
    for (const auto& [id, text] : builtIn) t->texts[id] = ReplaceProgramName(text);
    for (const auto& [id, text] : BuiltInHints()) t->texts[id] = text;
    return t;
  }();
  return *table;
}

}  // namespace

std::string ReplaceProgramName(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text.compare(i, 3, "%ov") == 0) {
      out += kProgramName;
      i += 3;
    } else {
      out.push_back(text[i++]);
    }
  }
  return out;
}

std::string GetText(int id) {
  Table& t = TheTable();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto it = t.texts.find(id);
  return it == t.texts.end() ? std::string() : it->second;
}

void SetText(int id, std::string text) {
  Table& t = TheTable();
  std::lock_guard<std::mutex> lock(t.mutex);
  t.texts[id] = std::move(text);
}

}  // namespace orvane
