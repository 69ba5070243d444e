// A console tool's command line, read one way for every tool: options are
// the words that start with '-' before a "--", and one word may name the
// FOLDER.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varnoll {

struct ToolArguments {
  std::vector<std::string> options;   // in order, each at most once
  std::optional<std::string> folder;  // FOLDER, when one is given
};

// Splits `words`; false, with one line for a person in `problem`, when an
// option is given twice (its name up to any '=') or a second FOLDER is.
bool SplitToolArguments(const std::vector<std::string>& words, ToolArguments& arguments, std::string& problem);

}  // namespace varnoll
