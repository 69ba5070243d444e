// Test helper, run under Wine: dumps sections of INF files as Wine's own
// setupapi parser reads them (read only), one line per INF line:
// "field0|field1|...", where field 0 is the key as SetupGetStringFieldW
// gives it. Compared with inf_dump (our reader). LIST (UTF-8) holds blocks
// separated by an empty line: an INF's path, then its section names; one
// process reads them all, as starting Wine per file takes seconds.
//   inf_dump_setupapi.exe LIST
#include <windows.h>

#include <setupapi.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size : 1, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  out.resize(out.size() - 1);
  return out;
}

std::string Field(INFCONTEXT* line, DWORD index) {
  wchar_t buffer[4096];
  DWORD needed = 0;
  if (!SetupGetStringFieldW(line, index, buffer, 4096, &needed)) return "(none)";
  return Utf8(buffer);
}

std::wstring Wide(const std::string& utf8) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring out(size > 0 ? size : 1, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, out.data(), size);
  out.resize(out.size() - 1);
  return out;
}

void Dump(const std::string& path, const std::vector<std::string>& sections) {
  std::printf("### %s\n", path.c_str());
  UINT errorLine = 0;
  HINF inf = SetupOpenInfFileW(Wide(path).c_str(), nullptr, INF_STYLE_WIN4, &errorLine);
  if (inf == INVALID_HANDLE_VALUE) {
    std::printf("(unopened)\n");
    return;
  }
  for (const std::string& section : sections) {
    std::printf("[%s]\n", section.c_str());
    const std::wstring name = Wide(section);
    INFCONTEXT line;
    for (BOOL more = SetupFindFirstLineW(inf, name.c_str(), nullptr, &line); more;
         more = SetupFindNextLine(&line, &line)) {
      const DWORD count = SetupGetFieldCount(&line);
      std::string text = Field(&line, 0);
      for (DWORD field = 1; field <= count; ++field) text += "|" + Field(&line, field);
      std::printf("%s\n", text.c_str());
    }
  }
  SetupCloseInfFile(inf);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::ifstream list(argv[1], std::ios::binary);
  std::string path;
  std::vector<std::string> sections;
  for (std::string line; std::getline(list, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) {
      if (!path.empty()) Dump(path, sections);
      path.clear();
      sections.clear();
    } else if (path.empty()) {
      path = line;
    } else {
      sections.push_back(line);
    }
  }
  if (!path.empty()) Dump(path, sections);
  return 0;
}
