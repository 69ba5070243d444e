// The Windows side of the seam where the host stand-in cannot speak for it:
// where the running executable lives, and the handle owners with real
// handles.
#include "module_directory.h"
#include "platform_files.h"
#include "platform_process.h"
#include "test_support.h"
#include "text_encoding.h"
#include "tool_platform.h"
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

// FOLDER as an admin types it, resolved against the current directory.
TEST(WindowsToolFolder, ResolvesFolderArgumentsAsWindowsDoes) {
  testing::TempFolder base;
  base.MakeFolder("pkg");
  base.Write("file.inf", "x");
  char current[MAX_PATH];
  const DWORD currentLength = GetCurrentDirectoryA(MAX_PATH, current);
  ASSERT_GT(currentLength, 0u);
  ASSERT_TRUE(SetCurrentDirectoryA(base.WithSeparator().c_str()));
  const std::string here = base.WithSeparator();  // "X:\...\" with its separator
  const std::string drive = here.substr(0, 2);      // "X:"
  struct Case {
    std::string argument;
    const char* expected;  // null: refused
  };
  const std::string pkg = here + "pkg\\";
  const Case cases[] = {
      {".", here.c_str()},
      {"pkg", pkg.c_str()},
      {"pkg\\", pkg.c_str()},
      {"pkg/", pkg.c_str()},
      {".\\pkg\\..\\pkg", pkg.c_str()},
      {drive + "pkg", pkg.c_str()},  // drive-relative: that drive's current directory
      {here + "pkg", pkg.c_str()},
      {"missing", nullptr},
      {"file.inf", nullptr},
      {"", nullptr},
      {"p?g", nullptr},
      {"p*", nullptr},
  };
  for (const Case& c : cases) {
    std::string folder = "untouched";
    const bool resolved = ThisToolPlatform().resolveFolder(c.argument, folder);
    EXPECT_EQ(resolved, c.expected != nullptr) << c.argument;
    EXPECT_EQ(folder, c.expected ? std::string(c.expected) : "untouched") << c.argument;
  }
  // A long path's prefix is kept, and its '?' is no lost character.
  std::string longPath;
  ASSERT_TRUE(ThisToolPlatform().resolveFolder("\\\\?\\" + here + "pkg", longPath));
  EXPECT_EQ(longPath, "\\\\?\\" + pkg);
  EXPECT_TRUE(SetCurrentDirectoryA(std::string(current, currentLength).c_str()));
}

// Whether `text` is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80                   ? 1
                          : lead >= 0xC2 && lead < 0xE0 ? 2
                          : lead >= 0xE0 && lead < 0xF0 ? 3
                          : lead >= 0xF0 && lead < 0xF5 ? 4
                                                        : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    if (lead == 0xED && static_cast<unsigned char>(text[i + 1]) >= 0xA0) return false;
    i += length;
  }
  return true;
}

// The system converts from its ANSI code page (1252 under the tests' Wine):
// every byte, defined there or not, comes out as well-formed UTF-8.
TEST(WindowsAnsiToUtf8, EveryByteOfTheCodePageBecomesValidUtf8) {
  for (int byte = 1; byte < 256; ++byte) {
    const std::string utf8 = check::AnsiToUtf8(std::string(1, static_cast<char>(byte)));
    EXPECT_FALSE(utf8.empty()) << byte;
    EXPECT_TRUE(IsUtf8(utf8)) << byte;
  }
  EXPECT_EQ(check::AnsiToUtf8("PCI\\VEN_1 caf\xE9 \x80"), "PCI\\VEN_1 caf\xC3\xA9 \xE2\x82\xAC");
}

}  // namespace
}  // namespace varnoll
