#include "machine_answer.h"

#include "detect.h"
#include "error_names.h"
#include "json_value.h"
#include "report_format.h"
#include "report_reader.h"
#include "setupapi_log.h"
#include "summary.h"

namespace varnoll::fleet {

namespace {

std::string_view LastLine(std::string_view output) {
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r' || output.back() == ' ')) {
    output.remove_suffix(1);
  }
  const size_t feed = output.find_last_of("\r\n");
  return feed == std::string_view::npos ? output : output.substr(feed + 1);
}

bool FromSummary(const JsonValue& json, MachineAnswer& answer, std::string& why) {
  const std::optional<std::string> verdict = json.StringAt("verdict");
  const std::optional<std::string> cause = json.StringAt("cause");
  if (json.StringAt("tool") != std::optional<std::string>("varnollcheck") || !verdict || !cause) {
    why = "a summary line without its verdict";
    return false;
  }
  answer = MachineAnswer{*verdict, *cause, json.StringAt("driver"), json.NumberAt("problem"),
                         json.BoolAt("truncated").value_or(false)};
  return true;
}

bool FromReport(const JsonValue& json, MachineAnswer& answer, std::string& why) {
  check::CheckReport report;
  if (!ReportFromJson(json, report)) {
    why = "JSON of another tool";
    return false;
  }
  if (!report.systemVisible) {
    why = "a report made without a driver store";
    return false;
  }
  const check::Verdict verdict = check::Detect(report);
  const check::Summary summary = check::Summarize(report, check::Question::kDetect, &verdict, false);
  answer = MachineAnswer{summary.verdict, summary.cause, summary.driver, std::nullopt, false};
  if (summary.problem) answer.problem = static_cast<long long>(*summary.problem);
  return true;
}

bool Parse(std::string_view text, JsonValue& json, std::string& why) {
  if (!check::IsUtf8(std::string(text))) {
    why = "not UTF-8";
    return false;
  }
  std::string problem;
  bool cut = false;
  if (ParseJson(text, json, problem, cut)) return true;
  why = cut && text.substr(0, 11) == "{\"summary\":" ? "summary line cut short" : "not a summary line";
  return false;
}

}  // namespace

bool ReadSummaryOutput(std::string_view output, MachineAnswer& answer, std::string& why) {
  const std::string_view line = LastLine(output);
  if (line.empty()) {
    why = "no output";
    return false;
  }
  JsonValue json;
  if (!Parse(line, json, why)) return false;
  if (json.kind != JsonValue::Kind::kObject || !json.Find("summary")) {
    why = "not a summary line";
    return false;
  }
  return FromSummary(json, answer, why);
}

bool ReadJsonAnswer(std::string_view text, MachineAnswer& answer, std::string& why) {
  JsonValue json;
  if (!Parse(text, json, why)) return false;
  if (json.kind == JsonValue::Kind::kObject && json.Find("summary")) return FromSummary(json, answer, why);
  return FromReport(json, answer, why);
}

bool ReadLogAnswer(const std::string& path, MachineAnswer& answer, std::string& why) {
  std::optional<check::LoggedRun> last;
  size_t sections = 0;
  const bool read = check::ReadSetupLog(path, [&last](const check::LoggedRun& run) { last = run; }, sections);
  if (!read || sections == 0) {
    why = read ? "not a summary line, report or setup log" : "cannot be read";
    return false;
  }
  answer = MachineAnswer{"logged", "no installer call logged", std::nullopt, std::nullopt, false};
  if (!last) return true;
  answer.cause = std::string(last->call == check::LoggedCall::kUpdate ? "update: " : "staging: ") +
                 last->status.value_or("unfinished");
  const char* name = last->error ? ErrorName(*last->error) : nullptr;
  if (name) answer.cause += std::string(" ") + name;
  answer.driver = last->published;
  return true;
}

}  // namespace varnoll::fleet
