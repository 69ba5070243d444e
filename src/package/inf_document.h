// An INF file read by Windows' own syntax rules, for the package check
// only: the installer keeps its own, narrower reading (src/inf/).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnoll::package {

// One line of a section: `key = field, field, ...`, or fields alone.
// Quotes are gone, %strkey% tokens are replaced from [Strings].
struct InfLine {
  std::optional<std::string> key;
  std::vector<std::string> fields;
  bool keyFromToken = false;  // the key held a %strkey% token that [Strings] replaced
};

class InfDocument {
 public:
  // The lines of every section with this name, in file order (sections with
  // the same name are one section to Windows); null when there is none.
  // Names are compared without regard to case.
  const std::vector<InfLine>* Section(std::string_view name) const;

  // The first field of the first line of `section` whose key is `key`
  // (both without regard to case), or none.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;

  // Section names as first written, in file order.
  std::vector<std::string> SectionNames() const;

  // Used by the reader.
  std::vector<InfLine>& AddSection(std::string_view name);

 private:
  struct NamedSection {
    std::string name;
    std::vector<InfLine> lines;
  };
  std::vector<NamedSection> sections_;
};

// The text of an INF file as UTF-8: UTF-16 (little-endian) with its
// byte-order mark decoded, a UTF-8 byte-order mark dropped, anything else
// taken byte for byte.
std::string DecodeInfText(std::string_view bytes);

// Reads decoded INF text: `;` comments, quoted strings (`""` is a quote),
// a `\` ending a line continues it, `%strkey%` from [Strings] (`%%` is %).
InfDocument ReadInfDocument(std::string_view text);

}  // namespace varnoll::package
