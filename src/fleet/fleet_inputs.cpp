#include "fleet_inputs.h"

#include "ascii.h"
#include "csv_reader.h"
#include "platform_files.h"
#include "report_format.h"
#include "text_encoding.h"
#include "unique_handle.h"

#include <optional>

namespace varnoll::fleet {

namespace {

// A per-machine file that holds JSON is read whole up to this size; a full
// report of a machine with many devices stays far below it.
constexpr size_t kMaxJsonFile = 16u << 20;

std::string_view Trimmed(std::string_view text) {
  const size_t start = text.find_first_not_of(" \t");
  const size_t end = text.find_last_not_of(" \t");
  return start == std::string_view::npos ? std::string_view() : text.substr(start, end - start + 1);
}

bool IsOneOf(std::string_view name, std::initializer_list<const char*> names) {
  for (const char* candidate : names) {
    if (EqualIgnoringCase(name, candidate)) return true;
  }
  return false;
}

std::string RowName(const std::string& path, size_t line) { return path + ":" + check::Decimal(static_cast<long long>(line)); }

// One data row of the export: its machine's answer, or why there is none.
void ReadRow(const ExportColumns& columns, const std::vector<std::string>& fields, const std::string& where,
             CFleetSink& sink) {
  const auto has = [&](int column) { return column >= 0 && static_cast<size_t>(column) < fields.size(); };
  const std::string machine = has(columns.machine) && !fields[columns.machine].empty() ? fields[columns.machine] : where;
  MachineAnswer answer;
  std::string why;
  if (columns.machine < 0) {
    why = "the export has no machine column (\"Device name\")";
  } else if (columns.output < 0) {
    why = "the export has no output column (\"Pre-remediation detection output\")";
  } else if (!has(columns.machine) || !has(columns.output)) {
    why = "row with fewer fields than the header";
  } else if (ReadSummaryOutput(fields[columns.output], answer, why)) {
    return sink.Add(machine, answer);
  }
  sink.AddUnreadable(machine, why);
}

void ReadRows(const std::string& path, CCsvReader& reader, CFleetSink& sink) {
  std::vector<std::string> fields;
  std::optional<ExportColumns> columns;  // none until the header is read
  for (CCsvReader::Status status = reader.Next(fields); status != CCsvReader::Status::kEnd;
       status = reader.Next(fields)) {
    const std::string where = RowName(path, reader.RecordLine());
    if (status != CCsvReader::Status::kRecord) {
      sink.AddUnreadable(where, status == CCsvReader::Status::kTooLong ? "row longer than 1 MiB"
                                                                      : "row cut short (a quote is not closed)");
    } else if (fields.size() == 1 && fields[0].empty()) {
      continue;  // a blank line
    } else if (!columns) {
      columns = FindExportColumns(fields);
    } else {
      ReadRow(*columns, fields, where, sink);
    }
  }
}

// The name of a machine's file without its extension.
std::string MachineOf(const std::string& file) {
  const size_t dot = file.rfind('.');
  return dot == std::string::npos || dot == 0 ? file : file.substr(0, dot);
}

// Whether the file's text starts (after a byte-order mark and blanks) with
// '{': a summary line or a report, else perhaps a setup log.
bool StartsAsJson(const std::string& path, bool& readable) {
  CFileBlocks blocks(path);
  readable = blocks.IsOpen();
  const std::string_view first = blocks.Next();
  readable = readable && !blocks.Failed();
  size_t at = first.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  while (at < first.size() && (first[at] == ' ' || first[at] == '\t' || first[at] == '\r' || first[at] == '\n')) ++at;
  return at < first.size() && first[at] == '{';
}

void ReadMachineFile(const std::string& path, const std::string& machine, CFleetSink& sink) {
  bool readable = false;
  MachineAnswer answer;
  std::string why;
  if (!StartsAsJson(path, readable)) {
    if (!readable) return sink.AddUnreadable(machine, "cannot be read");
    return ReadLogAnswer(path, answer, why) ? sink.Add(machine, answer) : sink.AddUnreadable(machine, why);
  }
  std::string text;
  bool tooLong = false;
  if (!ReadWholeFile(path, kMaxJsonFile, text, tooLong)) {
    return sink.AddUnreadable(machine, tooLong ? "JSON file over 16 MiB" : "cannot be read");
  }
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.erase(0, 3);
  ReadJsonAnswer(text, answer, why) ? sink.Add(machine, answer) : sink.AddUnreadable(machine, why);
}

}  // namespace

void CFleetSink::Tick() { progress_.Machines(table_.Read() + table_.Unreadable()); }

void CFleetSink::Add(const std::string& machine, const MachineAnswer& answer) {
  const std::string name = check::IsUtf8(machine) ? machine : check::AnsiToUtf8(machine);
  table_.Add(name, answer);
  if (rows_) rows_->Add(name, answer);
  Tick();
}

void CFleetSink::AddUnreadable(const std::string& machine, const std::string& why) {
  const std::string name = check::IsUtf8(machine) ? machine : check::AnsiToUtf8(machine);
  table_.AddUnreadable(name, why);
  if (rows_) rows_->AddUnreadable(name, why);
  Tick();
}

ExportColumns FindExportColumns(const std::vector<std::string>& header) {
  ExportColumns columns;
  for (size_t i = 0; i < header.size(); ++i) {
    const std::string_view name = Trimmed(header[i]);
    if (columns.machine < 0 && IsOneOf(name, {"device name", "devicename"})) columns.machine = static_cast<int>(i);
    if (columns.output < 0 && IsOneOf(name, {"pre-remediation detection output", "preremediationdetectionscriptoutput"})) {
      columns.output = static_cast<int>(i);
    }
  }
  return columns;
}

bool ReadExport(const std::string& path, CFleetSink& sink) {
  CCsvReader reader(path);
  if (!reader.IsOpen()) return false;
  ReadRows(path, reader, sink);
  if (reader.Utf16()) sink.AddUnreadable(path, "a UTF-16 export (save it as CSV UTF-8)");
  return !reader.Failed();
}

bool ReadMachineFolder(const std::string& folder, CFleetSink& sink) {
  WIN32_FIND_DATAA entry;
  UniqueFindHandle search(FindFirstFileA((folder + "*").c_str(), &entry));
  if (!search.IsValid()) return GetLastError() == ERROR_FILE_NOT_FOUND;  // an empty folder
  do {
    const std::string name = entry.cFileName;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    ReadMachineFile(folder + name, MachineOf(name), sink);
  } while (FindNextFileA(search.Get(), &entry));
  return true;
}

}  // namespace varnoll::fleet
