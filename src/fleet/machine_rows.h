// --csv FILE: one row per machine as it is read, unreadable ones included,
// so that memory does not grow with the fleet.
#pragma once

#include "machine_answer.h"

#include <cstdio>
#include <memory>
#include <string>

namespace varnoll::fleet {

class CMachineRows {
 public:
  // Opens `path` for writing and writes the header; IsOpen() says whether
  // that worked.
  explicit CMachineRows(const std::string& path);

  bool IsOpen() const { return file_ != nullptr; }
  void Add(const std::string& machine, const MachineAnswer& answer);
  void AddUnreadable(const std::string& machine, const std::string& why);
  // Flushes and closes; false when a write failed.
  bool Close();

 private:
  void Row(const std::string& machine, const std::string& verdict, const std::string& cause,
           const std::string& driver, const std::string& problem);

  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, FileCloser> file_;
  bool failed_ = false;
};

// One CSV field as RFC 4180 quotes it. A field that a spreadsheet would run
// as a formula (it starts with = + - @, a tab or a carriage return) is
// written with a leading apostrophe, so that a hostile machine name stays
// text.
std::string CsvField(const std::string& text);

}  // namespace varnoll::fleet
