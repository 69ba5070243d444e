// The program defines the list beside its application object; the tests
// define it here.
#include "inf_discovery.h"

std::vector<std::string> varnoll::InfFileList;
