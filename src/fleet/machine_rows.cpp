#include "machine_rows.h"

#include "report_format.h"

namespace varnoll::fleet {

std::string CsvField(const std::string& text) {
  std::string field = !text.empty() && std::string("=+-@\t\r").find(text[0]) != std::string::npos ? "'" + text : text;
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (const char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

CMachineRows::CMachineRows(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {
  if (file_) Row("machine", "verdict", "cause", "driver", "problem");
}

void CMachineRows::Row(const std::string& machine, const std::string& verdict, const std::string& cause,
                       const std::string& driver, const std::string& problem) {
  const std::string line = CsvField(machine) + "," + CsvField(verdict) + "," + CsvField(cause) + "," +
                           CsvField(driver) + "," + CsvField(problem) + "\r\n";
  if (std::fwrite(line.data(), 1, line.size(), file_.get()) != line.size()) failed_ = true;
}

void CMachineRows::Add(const std::string& machine, const MachineAnswer& answer) {
  if (!file_) return;
  Row(machine, answer.verdict, answer.cause, answer.driver.value_or(std::string()),
      answer.problem ? check::Decimal(*answer.problem) : std::string());
}

void CMachineRows::AddUnreadable(const std::string& machine, const std::string& why) {
  if (file_) Row(machine, "unreadable", why, std::string(), std::string());
}

bool CMachineRows::Close() {
  if (!file_) return false;
  const bool flushed = std::fflush(file_.get()) == 0;
  return std::fclose(file_.release()) == 0 && flushed && !failed_;
}

}  // namespace varnoll::fleet
