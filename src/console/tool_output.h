// How the console tools write: whole strings, without printf (the text
// holds the INF files' own bytes, and Debian's ARM64 Wine cannot pass a
// va_list to its printf family), flushed at once.
#pragma once

#include <cstdio>
#include <string>

namespace varnoll {

void Write(std::FILE* stream, const std::string& text);

// "<program>: <problem> (<program> --help tells the usage)" on standard
// error; returns `status`.
int UsageError(const char* program, const std::string& problem, int status);

}  // namespace varnoll
