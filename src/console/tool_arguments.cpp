#include "tool_arguments.h"

#include <algorithm>

namespace varnoll {

namespace {

std::string OptionName(const std::string& option) { return option.substr(0, option.find('=')); }

}  // namespace

bool SplitToolArguments(const std::vector<std::string>& words, ToolArguments& arguments, std::string& problem) {
  ToolArguments split;
  bool optionsEnded = false;
  for (const std::string& word : words) {
    if (optionsEnded || word.empty() || word[0] != '-') {
      if (split.folder) {
        problem = "only one FOLDER can be given";
        return false;
      }
      split.folder = word;
    } else if (word == "--") {
      optionsEnded = true;
    } else {
      const std::string name = OptionName(word);
      if (std::any_of(split.options.begin(), split.options.end(),
                      [&](const std::string& given) { return OptionName(given) == name; })) {
        problem = name + " is given more than once";
        return false;
      }
      split.options.push_back(word);
    }
  }
  arguments = std::move(split);
  return true;
}

}  // namespace varnoll
