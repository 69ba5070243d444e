// The fleet reader's two kinds of INPUT: a deployment console's CSV export
// and a folder of per-machine files. Each machine goes to the sink as it is
// read, answered or unreadable with the reason.
#pragma once

#include "fleet_table.h"
#include "machine_answer.h"
#include "machine_rows.h"
#include "progress.h"

#include <string>

namespace varnoll::fleet {

class CFleetSink {
 public:
  CFleetSink(CFleetTable& table, CMachineRows* rows, CProgress& progress)
      : table_(table), rows_(rows), progress_(progress) {}

  // `machine` as read: taken as UTF-8 when it is, else from the ANSI code
  // page.
  void Add(const std::string& machine, const MachineAnswer& answer);
  void AddUnreadable(const std::string& machine, const std::string& why);

 private:
  void Tick();

  CFleetTable& table_;
  CMachineRows* rows_;
  CProgress& progress_;
};

// The export's machine and output columns, found by header name without
// regard to case or surrounding blanks: the Intune admin center's "Device
// name" and "Pre-remediation detection output", and Microsoft Graph's
// deviceName and preRemediationDetectionScriptOutput.
struct ExportColumns {
  int machine = -1;
  int output = -1;
};
ExportColumns FindExportColumns(const std::vector<std::string>& header);

// Reads every row of the export at `path`; false when it cannot be opened
// or read as a file.
bool ReadExport(const std::string& path, CFleetSink& sink);

// Reads every file of `folder` (with its trailing separator), each named
// after its machine; false when the folder cannot be listed.
bool ReadMachineFolder(const std::string& folder, CFleetSink& sink);

}  // namespace varnoll::fleet
