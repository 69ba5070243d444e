// The Windows side of the seam where the host stand-in cannot speak for it:
// where the running executable lives, and the handle owners with real
// handles.
#include "module_directory.h"
#include "platform_files.h"
#include "platform_process.h"
#include "test_support.h"
#include "unique_handle.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace varnoll {
namespace {

TEST(WindowsModuleDirectory, IsTheFolderOfTheRunningExecutableWithItsSeparator) {
  std::string directory = "untouched";
  ASSERT_TRUE(FindModuleDirectory(directory));
  ASSERT_FALSE(directory.empty());
  EXPECT_EQ(directory.back(), '\\');
  char module[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
  ASSERT_GT(length, 0u);
  const std::string path(module, length);
  EXPECT_EQ(path.substr(0, directory.size()), directory);
  EXPECT_EQ(path.find('\\', directory.size()), std::string::npos) << "the rest is the file name";
}

TEST(WindowsUniqueHandle, ClosingKeepsTheLastError) {
  testing::TempFolder folder;
  const std::string path = folder.Write("a.inf", "x");
  {
    UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.IsValid());
    SetLastError(0xdeadbeef);
  }
  EXPECT_EQ(GetLastError(), 0xdeadbeefu);
  // Closed: the file can now be removed.
  EXPECT_TRUE(std::filesystem::remove(path));
}

}  // namespace
}  // namespace varnoll
