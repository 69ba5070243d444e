// Where the running executable lives.
#pragma once

#include <string>

namespace varnoll {

// Sets `directory` to the folder of the running executable, with its trailing
// separator. Returns false, leaving `directory` untouched, when the path
// cannot be obtained whole or made absolute: a truncated path would name some
// other folder, and the installer must never scan a guessed one.
bool FindModuleDirectory(std::string& directory);

}  // namespace varnoll
