// The check tool's two ways of telling its findings.
#pragma once

#include "check_report.h"
#include "detect.h"

#include <string>

namespace varnoll::check {

// For a person: one block per INF file in the installer's order, then one
// summary line. Strings are the file's own bytes.
std::string FormatText(const CheckReport& report);

// For deployment tools: one JSON object, every string converted from the
// ANSI code page to UTF-8 and escaped as JSON requires. With a `verdict`,
// the object also says "in_place".
std::string FormatJson(const CheckReport& report, const Verdict* verdict = nullptr);

// `text` as a JSON string literal: taken as UTF-8 when it is valid UTF-8
// (the package reader's text), else converted from the ANSI code page.
std::string JsonText(const std::string& text);
bool IsUtf8(const std::string& text);

// A number as decimal digits; the tool writes its output without printf.
std::string Decimal(long long value);

// A problem code as a person reads it: "28 (CM_PROB_FAILED_INSTALL)", or the
// number alone.
std::string ProblemText(unsigned long problem);

}  // namespace varnoll::check
