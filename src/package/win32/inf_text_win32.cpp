#include "inf_text.h"

#include "inf_document.h"

namespace varnoll::package {

std::string InfTextForNames(std::string_view bytes) { return DecodeInfText(bytes); }

}  // namespace varnoll::package
