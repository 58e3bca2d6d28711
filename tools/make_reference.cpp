// make_reference: writes Reference.ini, the English texts of every control, column, numbered
// text, window text and menu item, from the program's own tables.
//
//   make_reference [OUTPUT]     (standard output without OUTPUT)
//
// Exits 1, writing nothing, when two tables give one identifier different texts or a text is
// too long to be read back.
#include <fstream>
#include <iostream>

#include "settings/language_reference.h"

int main(int argc, char** argv) {
  std::vector<std::string> errors;
  const std::string text = orvane::ReferenceFileText(orvane::ReferenceEntries(), errors);
  for (const std::string& e : errors) std::cerr << "make_reference: " << e << "\n";
  if (!errors.empty()) return 1;
  if (argc < 2) {
    std::cout << text;
    return std::cout.good() ? 0 : 1;
  }
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) {
    std::cerr << "make_reference: cannot write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}
