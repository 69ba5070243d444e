// Listing the INF files of a folder, on both sides of the platform seam: the
// host stand-in's directory search and Windows' own.
#include "inf_discovery.h"
#include "test_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace varnoll {
namespace {

using ::testing::IsEmpty;
using testing::TempFolder;
using ::testing::UnorderedElementsAre;

TEST(InfDiscovery, ListsEveryEntryMatchingStarDotInfWhateverItsCase) {
  TempFolder folder;
  folder.Write("b.inf", "");
  folder.Write("A.INF", "");
  folder.Write("Mixed.Inf", "");
  folder.Write("readme.txt", "");
  folder.Write("driver.inf.txt", "");
  folder.Write("inf", "");
  folder.Write("notinf.in", "");
  // These match through their 8.3 short names, MODEL~1.INF and Z~1.INF.
  folder.Write("model.infx", "");
  folder.Write("z.inf~", "");
  folder.MakeFolder("folder.inf");
  InfFileList = {"left over"};
  EXPECT_TRUE(CollectInfFiles(folder.WithSeparator()));
  // Windows lists subfolders too; reading them fails later.
  EXPECT_THAT(InfFileList,
              UnorderedElementsAre("b.inf", "A.INF", "Mixed.Inf", "model.infx", "z.inf~", "folder.inf"));
}

TEST(InfDiscovery, ReportsNothingFoundForEmptyAndMissingFolders) {
  TempFolder folder;
  folder.Write("notes.txt", "");
  for (const std::string& directory : {folder.WithSeparator(), folder.WithSeparator() + "missing\\"}) {
    SCOPED_TRACE(directory);
    InfFileList = {"left over"};
    EXPECT_FALSE(CollectInfFiles(directory));
    EXPECT_THAT(InfFileList, IsEmpty());
  }
}

}  // namespace
}  // namespace varnoll
