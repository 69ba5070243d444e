// The check tool's two ways of telling its findings.
#pragma once

#include "check_report.h"

#include <string>

namespace varnoll::check {

// For a person: one block per INF file in the installer's order, then one
// summary line. Strings are the file's own bytes.
std::string FormatText(const CheckReport& report);

// For deployment tools: one JSON object, every string converted from the
// ANSI code page to UTF-8 and escaped as JSON requires.
std::string FormatJson(const CheckReport& report);

// `text` (UTF-8) as a JSON string literal, quotes included.
std::string JsonString(const std::string& text);

// A number as decimal digits; the tool writes its output without printf.
std::string Decimal(long long value);

}  // namespace varnoll::check
