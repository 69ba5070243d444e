// Test helper: dumps an INF as the package check's reader reads it, in the
// form inf_dump_setupapi.exe prints under Wine. With --sections, only the
// section names, one per line, for the Windows helper's command line.
//   inf_dump [--sections] INF
#include "inf_document.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
  const bool sectionsOnly = argc == 3 && std::string(argv[1]) == "--sections";
  if (argc != 2 && !sectionsOnly) return 2;
  std::ifstream file(argv[argc - 1], std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const varnoll::package::InfDocument inf = varnoll::package::ReadInfDocument(varnoll::package::DecodeInfText(bytes));
  for (const std::string& name : inf.SectionNames()) {
    if (sectionsOnly) {
      std::printf("%s\n", name.c_str());
      continue;
    }
    std::printf("[%s]\n", name.c_str());
    for (const varnoll::package::InfLine& line : *inf.Section(name)) {
      // Without a key, setupapi has no field 0, unless the line holds a single
      // value: that doubles as its key.
      std::string text = line.key                  ? *line.key
                         : line.fields.size() == 1 ? line.fields[0]
                                                   : std::string("(none)");
      for (const std::string& field : line.fields) text += "|" + field;
      std::printf("%s\n", text.c_str());
    }
  }
  return 0;
}
