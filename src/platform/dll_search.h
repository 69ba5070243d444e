// Keeps DLLs out of the program's folder once the program runs.
#pragma once

namespace varnoll {

// Restricts the default DLL search of this process to System32, so that
// the DLLs the device-installation services load by bare name while they
// work never come from the program's folder, which is often writable by
// the user (Downloads, an unpacked zip). Where Windows lacks
// SetDefaultDllDirectories (Windows 7 without KB2533623), it at least takes
// the current directory out of the search. True when the search is
// restricted to System32; either way the caller goes on.
bool RestrictDllSearchToSystem32();

}  // namespace varnoll
