// Runs the install pass once over the INF files in a folder, through the
// host stand-in, and prints the process's peak resident memory in KiB.
//   pass_peak_memory FOLDER/
#include "standin.h"
#include "varnoll_app.h"

#include <sys/resource.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pass_peak_memory FOLDER/\n");
    return 2;
  }
  standin::Reset();
  standin::Current().modulePath = std::string(argv[1]) + "varnoll64.exe";
  varnoll::CVarnollApp app;
  const int status = app.Run();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%ld\n", usage.ru_maxrss);
  return status;
}
