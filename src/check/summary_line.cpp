// The summary line, written through the one JSON writer, compact. When it
// would be longer than its limit, detail goes in this order, each step only
// if the line still does not fit:
//   1. the devices that use the package and have no problem;
//   2. the provider, DriverVer and "newer" of the devices left;
//   3. the devices left (each INF keeps "device_count");
//   4. each INF's finding codes;
//   5. the policy blocks' texts ("counts" keeps how many);
//   6. INFs, from the last back, one at a time;
//   7. the cause's "driver".
// The verdict, the cause and "counts" always stay, and "truncated" says
// whether anything went. What went is left out, never written as null.
#include "summary.h"

#include "json_writer.h"
#include "report_format.h"
#include "tool_output.h"

namespace varnoll::check {

namespace {

struct Cut {
  bool quietDevices = false;  // 1
  bool driverDetail = false;  // 2
  bool devices = false;       // 3
  bool findings = false;      // 4
  bool policyTexts = false;   // 5
  size_t infs = static_cast<size_t>(-1);  // 6: how many INFs are written
  bool driver = false;        // 7

  bool Any() const {
    return quietDevices || driverDetail || devices || findings || policyTexts || driver ||
           infs != static_cast<size_t>(-1);
  }
};

const char* QuestionName(Question question) {
  switch (question) {
    case Question::kDetect:
      return "detect";
    case Question::kPreflight:
      return "preflight";
    case Question::kReport:
      return "report";
  }
  return "";
}

// A problem code, as a number. Its name (error_names.h), when the line
// carries one, joins it here and only here.
void ProblemJson(CJsonWriter& json, const std::optional<unsigned long>& problem) {
  problem ? json.Number(static_cast<long long>(*problem)) : json.Null();
}

bool Quiet(const SummaryDevice& device) { return device.usesPackage && !device.problem; }

void DeviceJson(CJsonWriter& json, const SummaryDevice& device, const Cut& cut) {
  json.BeginObject().Key("id").Ansi(device.instanceId).Key("driver").Ansi(device.driverInf);
  json.Key("ours").Bool(device.usesPackage).Key("problem");
  ProblemJson(json, device.problem);
  json.Key("restart").Bool(device.restartPending);
  if (!cut.driverDetail) {
    json.Key("provider").Ansi(device.provider).Key("date").Ansi(device.date).Key("version").Ansi(device.version);
    json.Key("newer").Bool(device.newer);
  }
  json.EndObject();
}

void InfJson(CJsonWriter& json, const SummaryInf& inf, const Cut& cut) {
  json.BeginObject().Key("name").Ansi(inf.name).Key("store").Ansi(inf.store);
  json.Key("device_count").Number(static_cast<long long>(inf.devices.size()));
  if (!cut.findings) {
    json.Key("findings").BeginArray();
    for (const std::string& code : inf.findings) json.String(code);
    json.EndArray();
  }
  if (!cut.devices) {
    json.Key("devices").BeginArray();
    for (const SummaryDevice& device : inf.devices) {
      if (!(cut.quietDevices && Quiet(device))) DeviceJson(json, device, cut);
    }
    json.EndArray();
  }
  json.EndObject();
}

void CountsJson(CJsonWriter& json, const Summary& summary) {
  json.Key("counts").BeginObject();
  json.Key("infs").Number(summary.infs).Key("qualifying").Number(summary.qualifying);
  json.Key("devices").Number(summary.devices).Key("missing").Number(summary.missing);
  json.Key("findings").Number(summary.findings).Key("fails").Number(summary.fails);
  json.Key("policy_blocks").Number(static_cast<long long>(summary.policyBlocks.size()));
  json.EndObject();
}

std::string Format(const Summary& summary, const Cut& cut) {
  CJsonWriter json{CJsonWriter::Compact()};
  json.BeginObject().Key("summary").Number(1).Key("tool").String("varnollcheck").Key("version").String(VARNOLL_VERSION);
  json.Key("arch").Ansi(summary.machine.arch).Key("windows").Ansi(summary.machine.windows);
  json.Key("question").String(QuestionName(summary.question));
  json.Key("verdict").String(summary.verdict).Key("cause").String(summary.cause);
  if (!cut.driver) json.Key("driver").Ansi(summary.driver);
  json.Key("problem");
  ProblemJson(json, summary.problem);
  json.Key("restart_pending").Bool(summary.restartPending);
  json.Key("policy_blocks").BeginArray();
  if (!cut.policyTexts) {
    for (const std::string& text : summary.policyBlocks) json.Raw(JsonText(text));
  }
  json.EndArray();
  CountsJson(json, summary);
  json.Key("infs").BeginArray();
  for (size_t i = 0; i < summary.details.size() && i < cut.infs; ++i) InfJson(json, summary.details[i], cut);
  json.EndArray().Key("truncated").Bool(cut.Any()).EndObject();
  std::string line = json.Finish();
  line.pop_back();  // the writer's line feed: the caller ends the line
  return line;
}

// Step 6: the most INFs that still fit, found by halving.
std::string FewerInfs(const Summary& summary, Cut& cut, size_t limit) {
  size_t fits = 0;
  size_t tooMany = summary.details.size();
  while (tooMany - fits > 1) {
    cut.infs = fits + (tooMany - fits) / 2;
    (Format(summary, cut).size() <= limit ? fits : tooMany) = cut.infs;
  }
  cut.infs = fits;
  return Format(summary, cut);
}

}  // namespace

std::string SummaryLine(const Summary& summary, size_t limit) {
  Cut cut;
  std::string line = Format(summary, cut);
  bool Cut::*const steps[] = {&Cut::quietDevices, &Cut::driverDetail, &Cut::devices, &Cut::findings,
                              &Cut::policyTexts};
  for (bool Cut::*step : steps) {
    if (line.size() <= limit) return line;
    cut.*step = true;
    line = Format(summary, cut);
  }
  if (line.size() > limit) line = FewerInfs(summary, cut, limit);
  if (line.size() > limit) {
    cut.driver = true;
    line = Format(summary, cut);
  }
  return line;
}

void WriteSummary(const CheckReport& report, Question question, const Verdict* verdict, bool preflightPasses) {
  Summary summary = Summarize(report, question, verdict, preflightPasses);
  summary.machine = ReadMachineFacts();
  Write(stdout, SummaryLine(summary) + "\n");
}

}  // namespace varnoll::check
