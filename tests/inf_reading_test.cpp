// The INF reader on real files: line rules, markers and the model line. These
// cases use only file reading, so they run on the host and on Windows alike.
#include "hardware_id.h"
#include "inf_text_stream.h"
#include "logical_line.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace varnoll {
namespace {

using testing::TempFolder;

std::string Repeat(char c, size_t count) { return std::string(count, c); }

// A literal's bytes, embedded NULs included.
template <size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

std::vector<std::string> ReadAllLogicalLines(const std::string& path) {
  InfTextStream stream(path.c_str());
  std::vector<std::string> lines;
  std::string line = "not cleared";
  while (ReadLogicalLine(line, stream)) lines.push_back(line);
  EXPECT_EQ(line, "") << "the line is emptied at end of input";
  return lines;
}

struct LineCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> expected;
};

TEST(InfLogicalLines, FollowTheTextStreamAndJoiningRules) {
  const std::string line198 = Repeat('a', 198);
  // One row a line, with adjacent literals kept together.
  // clang-format off
  const LineCase cases[] = {
      {"blank and comment lines are skipped", "a\n\n \t\n; note\n  ;x\n b \n", {"a", "b"}},
      {"CR LF and LF read alike", "a\r\nb\nc\r\n", {"a", "b", "c"}},
      {"a lone CR stays in its line", "a\rb\n", {"a\rb"}},
      {"CR before CR LF: the first stays", "a\r\r\nb\n", {"a", "b"}},
      {"0x1A ends the input", "a\nb\x1A" "c\nd\n", {"a", "b"}},
      {"0x1A at the start of a line ends the input", "a\n\x1A" "b\n", {"a"}},
      {"a NUL ends the text of its physical line", Bytes("x\0y\nz\n"), {"x", "z"}},
      {"a NUL at the start makes the line blank", Bytes("\0abc\nz\n"), {"z"}},
      {"only the six ASCII blanks are trimmed", "\v\f\t a \r\n", {"a"}},
      {"0xA0 is not a blank", "\xA0" "a\xA0\n", {"\xA0" "a\xA0"}},
      {"0x85 is not a blank", "\x85" "a\x85\n", {"\x85" "a\x85"}},
      {"a continuation joins without a separator", "a \\\n  b\n", {"ab"}},
      {"a continuation eats the blanks before it", "a \t \\  \nb\n", {"ab"}},
      {"two backslashes keep one", "a\\\\\nb\n", {"a\\b"}},
      {"a lone backslash adds nothing and continues", "a\\\n\\\nb\nc\n", {"ab", "c"}},
      {"comments and blanks inside a continuation are skipped", "a\\\n; note\n\nb\n", {"ab"}},
      {"a backslash inside a line is text", "PCI\\VEN_1\n", {"PCI\\VEN_1"}},
      {"end of input inside a continuation keeps the text", "a\nb \\\n", {"a", "b"}},
      {"end of input after a continuation and a comment", "b\\\n;x\n", {"b"}},
      {"a 198-character line then its line feed alone", line198 + "\nb\n", {line198, "b"}},
      {"a 199-character line is read as two", Repeat('a', 199) + "\n", {line198, "a"}},
      {"CR LF right after 198 characters", line198 + "\r\nb\n", {line198, "b"}},
      {"the second part of a long line can be a comment", line198 + ";c\nb\n", {line198, "b"}},
      {"no final line feed", "a\nb", {"a", "b"}},
      {"an empty file", "", {}},
      {"only blanks", " \n\t\r\n", {}},
  };
  // clang-format on
  TempFolder folder;
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadAllLogicalLines(folder.Write("case.inf", c.bytes)), c.expected);
  }
}

TEST(InfLogicalLines, CrLfSplitAcrossReadBlocksIsStillOneLineEnd) {
  // Lines of 99 characters and a line feed fill 64 KiB (65,536 bytes) up to
  // byte 65,500; 35 more characters put the CR at the last byte of the block.
  std::string bytes;
  for (int i = 0; i < 655; ++i) bytes += Repeat('x', 99) + "\n";
  bytes += Repeat('y', 35) + "\r\n" + "z\n";
  ASSERT_EQ(bytes[65535], '\r');
  const std::vector<std::string> lines = ReadAllLogicalLines(TempFolder().Write("big.inf", bytes));
  ASSERT_EQ(lines.size(), 657u);
  EXPECT_EQ(lines[655], Repeat('y', 35));
  EXPECT_EQ(lines[656], "z");
}

TEST(InfTextStream, ReportsNothingForMissingFilesAndFolders) {
  TempFolder folder;
  folder.MakeFolder("dir.inf");
  for (const std::string& path :
       {folder.WithSeparator() + "missing.inf", folder.WithSeparator() + "dir.inf"}) {
    SCOPED_TRACE(path);
    InfTextStream stream(path.c_str());
    EXPECT_FALSE(stream.IsOpen());
    std::string_view text = "unchanged";
    EXPECT_FALSE(stream.NextPhysicalLine(text));
    EXPECT_EQ(text, "unchanged");
  }
}

// The row's expected reason, or kFound.
constexpr std::optional<SkipReason> kFound = std::nullopt;

struct IdCase {
  const char* name;
  std::string bytes;
  std::optional<SkipReason> why;  // kFound, or why nothing is found
  std::string hardwareId;         // expected; "untouched" when not found
};

TEST(InfHardwareId, TakenFromTheModelLineAfterTheFirstMarker) {
  const std::string model = "%Modem% = Modem_Install, PCI\\VEN_1F2E&DEV_0A01\n";
  const std::string id = "PCI\\VEN_1F2E&DEV_0A01";
  const IdCase cases[] = {
      {"each marker", "[Tarvelix]\n" + model, kFound, id},
      {"F_MODEM marker", "[Acme_F_MODEM]\n" + model, kFound, id},
      {"GENERIC marker", "[Generic]\n" + model, kFound, id},
      {"CR LF file",
       "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Tarvelix]\r\n"
       "%M% = I, PCI\\VEN_1\r\n",
       kFound, "PCI\\VEN_1"},
      {"lower-case header matches, the ID keeps its case", "[generic]\n%m% = i, pci\\ven_1f2e\n", kFound,
       "pci\\ven_1f2e"},
      {"mixed-case F_Modem", "[Acme_f_Modem]\n" + model, kFound, id},
      {"a comment never matches", "; [Tarvelix]\n%M% = I, FIRST\n[Generic]\n%M% = I, SECOND\n", kFound,
       "SECOND"},
      {"a header with a trailing comment matches", "[Tarvelix] ; the models\n" + model, kFound, id},
      {"a marker anywhere in a line", "%Mfg% = Tarvelix]\n" + model, kFound, id},
      {"text between the word and the bracket", "[Tarvelix.NTamd64]\n" + model, SkipReason::kNoMarker,
       "untouched"},
      {"blank and comment lines before the model line", "[Tarvelix]\n\n; first model\n   \n" + model, kFound,
       id},
      {"only the first hardware ID of a model line",
       "[Tarvelix]\n%M% = I, PCI\\VEN_1&DEV_2, PCI\\VEN_1, *PNPC031\n", kFound, "PCI\\VEN_1&DEV_2"},
      {"a trailing comment is not part of the ID", "[Tarvelix]\n%M% = I, PCI\\VEN_1 ; the first model\n",
       kFound, "PCI\\VEN_1"},
      {"a comment right after the ID", "[Tarvelix]\n%M% = I,PCI\\VEN_1;x\n", kFound, "PCI\\VEN_1"},
      {"a model line ending with its comma gives an empty ID", "[Tarvelix]\n%M% = I,\n", kFound, ""},
      {"an empty ID before the next comma", "[Tarvelix]\n%M% = I, , PCI\\VEN_1\n", kFound, ""},
      {"blanks around the ID are trimmed", "[Tarvelix]\n%M% = I, \t PCI\\VEN_1 \t, X\n", kFound,
       "PCI\\VEN_1"},
      {"0xA0 around the ID is kept", "[Tarvelix]\n%M% = I,\xA0PCI\\VEN_1\xA0\n", kFound,
       "\xA0PCI\\VEN_1\xA0"},
      {"a model line continued after its comma", "[Tarvelix]\n%M% = I, \\\n    PCI\\VEN_1F2E\n", kFound,
       "PCI\\VEN_1F2E"},
      {"a header continued across lines", "[Tar\\\nvelix]\n" + model, kFound, id},
      {"a marked line followed by a line without a comma ends the scan",
       "[Tarvelix]\n%M% = I\n[Generic]\n" + model, SkipReason::kNoComma, "untouched"},
      {"a marked line that is the last line", "[Version]\n[Tarvelix]\n; none\n", SkipReason::kNoModelLine,
       "untouched"},
      {"no marker at all", "[Version]\nSignature=\"$Windows NT$\"\n[Models]\n" + model, SkipReason::kNoMarker,
       "untouched"},
      {"an empty file", "", SkipReason::kNoMarker, "untouched"},
      {"0x1A before the model line", "[Tarvelix]\n\x1A" + model, SkipReason::kNoModelLine, "untouched"},
      {"0x1A ends the model line", "[Tarvelix]\n%M% = I, PCI\\VEN_1\x1A, junk\n", kFound, "PCI\\VEN_1"},
      {"a NUL ends the model line's text", Bytes("[Tarvelix]\n%M% = I, PCI\\VEN_1\0,X\n"), kFound,
       "PCI\\VEN_1"},
      {"a NUL before the comma hides it", Bytes("[Tarvelix]\n%M% = I\0, PCI\\VEN_1\n"), SkipReason::kNoComma,
       "untouched"},
      {"a lone CR is part of the ID", "[Tarvelix]\n%M% = I, PCI\\VEN_1\rX\n", kFound, "PCI\\VEN_1\rX"},
      {"a marker split at the 198th character is not found", Repeat('x', 194) + "[Tarvelix]\n" + model,
       SkipReason::kNoMarker, "untouched"},
      {"a long line's second part that starts with ';' is a comment",
       Repeat('x', 198) + ";[Tarvelix]\n" + model, SkipReason::kNoMarker, "untouched"},
      {"a long line's second part that holds a marker counts", Repeat('x', 198) + "[Tarvelix]\n" + model,
       kFound, id},
      {"UTF-16LE with a BOM yields nothing", Bytes("\xFF\xFE[\0T\0a\0r\0v\0e\0l\0i\0x\0]\0\n\0") + model,
       SkipReason::kNoMarker, "untouched"},
      {"UTF-16BE with a BOM yields nothing", Bytes("\xFE\xFF\0[\0G\0e\0n\0e\0r\0i\0c\0]\0\n") + model,
       SkipReason::kNoMarker, "untouched"},
      {"CR-only line ends: the ID comes from the next 198-character part",
       "[Tarvelix]\r" + Repeat('x', 187) + "%M% = I, PCI\\VEN_9\r", kFound, "PCI\\VEN_9"},
      {"CR-only line ends in a short file: no next line", "[Tarvelix]\r" + model, SkipReason::kNoModelLine,
       "untouched"},
      {"end of input inside a continued model line", "[Tarvelix]\n%M% = I, PCI\\VEN_1 \\", kFound,
       "PCI\\VEN_1"},
  };
  TempFolder folder;
  for (const IdCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string hardwareId = "untouched";
    SkipReason why = SkipReason::kNoVen;  // never set by the reader
    EXPECT_EQ(FindModelHardwareId(folder.Write("case.inf", c.bytes), hardwareId, &why), !c.why);
    EXPECT_EQ(hardwareId, c.hardwareId);
    EXPECT_EQ(why, c.why.value_or(SkipReason::kNoVen)) << "the reason is set only when nothing is found";
  }
}

TEST(InfHardwareId, UnreadablePathsYieldNothingAndLeaveTheIdAlone) {
  TempFolder folder;
  folder.MakeFolder("folder.inf");
  for (const std::string& path :
       {folder.WithSeparator() + "missing.inf", folder.WithSeparator() + "folder.inf"}) {
    SCOPED_TRACE(path);
    std::string hardwareId = "untouched";
    SkipReason why = SkipReason::kNoVen;
    EXPECT_FALSE(FindModelHardwareId(path, hardwareId, &why));
    EXPECT_EQ(hardwareId, "untouched");
    EXPECT_EQ(why, SkipReason::kUnreadable);
  }
}

TEST(InfHardwareId, MarkersAreCheckedAfterUpperCasing) {
  EXPECT_TRUE(HoldsSectionMarker("[tarvelix]"));
  EXPECT_TRUE(HoldsSectionMarker("x generic] y"));
  EXPECT_TRUE(HoldsSectionMarker("[Acme_f_modem]"));
  EXPECT_FALSE(HoldsSectionMarker("[tarvelix ]"));
  EXPECT_FALSE(HoldsSectionMarker("[F_MODEMS]"));
  EXPECT_FALSE(HoldsSectionMarker("[Manufacturer]"));
  EXPECT_FALSE(HoldsSectionMarker("TARVELIX"));
}

}  // namespace
}  // namespace varnoll
