#include "base/strings.h"

#include <map>
#include <mutex>

namespace orvane {
namespace {

// clang-format off
constexpr BuiltInText kBuiltIn[] = {
    {120, "Please wait. Enumerating the network..."},
    {1517, "Open listing file after creation"},
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
    {32814, "Listing"},
    {32815, "%ov listing"},
    {57345, "Welcome! For help, press F1"},
    {61840, "Unable to load mail system support."},
    {61841, "Mail system DLL is invalid."},
    {61842, "Send Mail failed to send message."},
    // The hints of the option controls (shown when the mouse rests on a control).
    {1389, "Display file name"},
    {1208, "Select also all subdirectories of clicked directory. Use CTRL or SHIFT keys to force single or full selection."},
    {1403, "Display the number of files in current directory"},
    {1396, "Display subdirectories"},
    {1366, "Display file number in front of file name"},
    {1388, "Display file path in front of file name"},
    {1281, "Width of the field for text output"},
    {1282, "Width of the field for text output"},
    {1288, "Width of the field for text output"},
    {1390, "Display file extension"},
    {1391, "Display file size"},
    {1215, "Display last write date"},
    {1216, "Display last access date"},
    {1392, "Display creation date"},
    {1234, "Select the format of file date field"},
    {1441, "Display time in date columns"},
    {1236, "Select the format of file time fields"},
    {1217, "Display file version (if available). For root dirs, display volume serial number."},
    {1218, "Calculate and display file's CRC32 value"},
    {1220, "Display file attributes"},
    {1409, "Filter files (but not directories) according to this mask"},
    {1410, "Filter files (but not directories) according to this mask"},
    {1453, "Select item by which you want to sort directories"},
    {1240, "Select item by which you want to sort directories"},
    {1209, "Reverse sorting order of directories"},
    {1456, "Select item by which you want to sort files"},
    {1246, "Select item by which you want to sort files"},
    {1212, "Reverse sorting order of files"},
    {1425, "Treat files as if they were in one directory"},
    {1429, "Select how should file and directory sizes be displayed"},
    {1249, "Select how should file and directory sizes be displayed"},
    {1431, "Number of decimal digits"},
    {1250, "Number of decimal digits"},
    {1439, "Select which character should be used as thousand separator"},
    {1252, "Select which character should be used as thousand separator"},
    {1440, "Select character used for decimal separator"},
    {1253, "Select character used for decimal separator"},
    {1426, "Generate listing for each processed directory and save it in that directory. Use with caution!"},
    {1452, "Name of output file saved in each processed directory"},
    {1451, "Name of output file saved in each processed directory"},
    {1408, "Path for directories, subdirectories and files will contain selected item"},
    {1238, "Path for directories, subdirectories and files will contain selected item"},
    {1412, "Subdirectory names can be surrounded by < and > characters"},
    {1427, "Subdirectories will appear first regardless of sorting"},
    {1415, "Put column names in the header of listing"},
    {1411, "Generate text file"},
    {1413, "Generate HTML file"},
    {1414, "Generate CSV file"},
    {1423, "Change character which will be used for separating columns in CSV file"},
    {1424, "Change character which will be used for separating columns in CSV file"},
    {1459, "Use TAB character (0x09) as column separator"},
    {1417, "Generate links to directories so you can access them by one-clicking"},
    {1416, "Generate links to files so you can access them by one-clicking"},
    {1418, "Include file:// prefix for html <a> tag. This is useful for browsing files of the local disk in any browser"},
    {1421, "You can override all style settings by defining them in external CSS file which will be included into listing body"},
    {1422, "Provide here full file path to external CSS file. See Help for its format"},
    {1438, "Click here to browse for external CSS file"},
    {1419, "Enter here the text that will appear in browser's title bar (HTML <title> tag)"},
    {1420, "Enter here the text that will appear in browser's title bar (HTML <title> tag)"},
    {1432, "Displays a list of HTML elements for which you can change settings"},
    {1251, "Displays a list of HTML elements for which you can change settings"},
    {1433, "Change the font of selected HTML element"},
    {1434, "Change the color of selected HTML element"},
    {1435, "Change the width/size of selected HTML element"},
    {1436, "Change the width/size of selected HTML element"},
    {1437, "Change the text and link color of selected HTML element"},
    {1523, "Create links to the position where a subdir is listed in the document and not to real dirs."},
    {1257, "Save on exit and restore on enter currently selected directories"},
    {1258, "Enable %ov items in the file manager's context menus"},
    {1600, "Keep the checksums of this listing and reuse them for files whose size and times have not changed"},
};
// clang-format on

struct Table {
  std::mutex mutex;
  std::map<int, std::string> texts;
};

void FillBuiltIn(std::map<int, std::string>& texts) {
  for (const auto& [id, text] : kBuiltIn) texts[id] = ReplaceProgramName(text);
}

Table& TheTable() {
  static Table* table = [] {
    auto* t = new Table;
    FillBuiltIn(t->texts);
    return t;
  }();
  return *table;
}

}  // namespace

std::span<const BuiltInText> BuiltInTexts() {
  return kBuiltIn;
}

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

std::vector<int> TextIds() {
  Table& t = TheTable();
  std::lock_guard<std::mutex> lock(t.mutex);
  std::vector<int> ids;
  ids.reserve(t.texts.size());
  for (const auto& entry : t.texts) ids.push_back(entry.first);
  return ids;
}

void RestoreBuiltInTexts() {
  Table& t = TheTable();
  std::lock_guard<std::mutex> lock(t.mutex);
  t.texts.clear();
  FillBuiltIn(t.texts);
}

}  // namespace orvane
