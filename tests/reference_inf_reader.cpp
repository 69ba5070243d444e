#include "reference_inf_reader.h"

#include <cstring>

namespace varnoll::reference {
namespace {

// The file as a text stream: 0x1A ends it, CR LF becomes LF, a lone CR stays.
std::string TextStream(const std::string& bytes) {
  std::string text;
  for (size_t i = 0; i < bytes.size() && bytes[i] != '\x1A'; ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text += bytes[i];
  }
  return text;
}

// fgets with a 199-character count: at most 198 characters, up to and
// including a line feed.
std::vector<std::string> PhysicalLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    line += c;
    if (c == '\n' || line.size() == 198) {
      lines.push_back(line);
      line.clear();
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::string Trimmed(std::string s) {
  while (!s.empty() && Blank(s.back())) s.pop_back();
  size_t first = 0;
  while (first < s.size() && Blank(s[first])) ++first;
  return s.substr(first);
}

}  // namespace

std::vector<std::string> LogicalLines(const std::string& bytes) {
  std::vector<std::string> logical;
  std::string current;
  bool continued = false;
  for (const std::string& physical : PhysicalLines(TextStream(bytes))) {
    std::string text = Trimmed(std::string(physical.c_str()));  // up to the first NUL
    if (text.empty() || text[0] == ';') continue;
    const bool continues = text.back() == '\\';
    if (continues) {
      text.back() = ' ';
      text = Trimmed(text);
    }
    current += text;
    continued = continues;
    if (!continued) {
      logical.push_back(current);
      current.clear();
    }
  }
  if (continued) logical.push_back(current);
  return logical;
}

bool ModelHardwareId(const std::string& bytes, std::string& hardwareId) {
  const std::vector<std::string> lines = LogicalLines(bytes);
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string upper = lines[i];
    for (char& c : upper) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    if (upper.find("F_MODEM]") == std::string::npos && upper.find("GENERIC]") == std::string::npos &&
        upper.find("TARVELIX]") == std::string::npos) {
      continue;
    }
    if (i + 1 == lines.size()) return false;
    const std::string& model = lines[i + 1];
    const size_t comma = model.find(',');
    if (comma == std::string::npos) return false;
    const size_t end = model.find_first_of(",;", comma + 1);
    hardwareId =
        Trimmed(model.substr(comma + 1, end == std::string::npos ? std::string::npos : end - comma - 1));
    return true;
  }
  return false;
}

}  // namespace varnoll::reference
