// Test helper, never shipped: loads the DLL named on the command line by bare
// name, with the default DLL search, and logs where it came from. Beside a
// planted DLL it shows that the planted copy is what a program that does not
// restrict its search gets.
#include "standin/standin_log.h"

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: load_by_name DLL\n");
    return 2;
  }
  standin_dll::LogLoadByName("load_by_name", argv[1]);
  return 0;
}
