#include "inf_text.h"

#include "inf_document.h"
#include "text_encoding.h"

namespace varnoll::package {

std::string InfTextForNames(std::string_view bytes) {
  const bool marked = (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE") ||
                      (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF");
  return marked ? DecodeInfText(bytes) : check::AnsiToUtf8(std::string(bytes));
}

}  // namespace varnoll::package
