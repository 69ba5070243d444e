// A deliberately plain model of how an INF file is read, written straight
// from the rules, one character at a time, with no buffering tricks. The
// tests and the fuzzer hold the real reader to it.
#pragma once

#include <string>
#include <vector>

namespace varnoll::reference {

// The logical lines of a file's bytes, in order.
std::vector<std::string> LogicalLines(const std::string& bytes);

// The hardware ID the file yields; false when it yields none.
bool ModelHardwareId(const std::string& bytes, std::string& hardwareId);

}  // namespace varnoll::reference
