// The block-buffered reader against the plain character-by-character model,
// on many generated files: same logical lines, same hardware ID.
#include "hardware_id.h"
#include "inf_text_stream.h"
#include "logical_line.h"
#include "reference_inf_reader.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace varnoll {
namespace {

using testing::TempFolder;

// Pieces INF files are made of, and the bytes that have rules of their own.
const std::vector<std::string>& Tokens() {
  static const std::vector<std::string> tokens = {"[Tarvelix]",
                                                  "[generic]",
                                                  "f_Modem]",
                                                  "[Version]",
                                                  "%M% = I,",
                                                  " PCI\\VEN_1&DEV_2",
                                                  ",",
                                                  ";",
                                                  "\\",
                                                  "\\\\",
                                                  " ",
                                                  "\t",
                                                  "\v",
                                                  "\r",
                                                  "\n",
                                                  "\n",
                                                  "\n",
                                                  "\r\n",
                                                  "\r\n",
                                                  std::string(1, '\0'),
                                                  "\xA0",
                                                  "x",
                                                  "Key=Value",
                                                  "]",
                                                  "[",
                                                  std::string(150, 'y'),
                                                  std::string(197, 'z'),
                                                  std::string(198, 'w'),
                                                  "\x1A"};
  return tokens;
}

std::string RandomInf(std::mt19937& random, size_t tokens, bool withEndOfFile = true) {
  std::uniform_int_distribution<size_t> pick(0, Tokens().size() - 1);
  std::string bytes;
  for (size_t i = 0; i < tokens; ++i) {
    const std::string& token = Tokens()[pick(random)];
    // 0x1A ends everything after it: keep it rare so most files are read whole.
    if (token == "\x1A" && (!withEndOfFile || random() % 8 != 0)) continue;
    bytes += token;
  }
  return bytes;
}

std::vector<std::string> ReadAll(const std::string& path, bool skipping) {
  InfTextStream stream(path.c_str());
  std::vector<std::string> lines;
  std::string line;
  while (skipping ? ReadLogicalLineContaining(line, stream, ']') : ReadLogicalLine(line, stream)) {
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> Containing(const std::vector<std::string>& lines, char wanted) {
  std::vector<std::string> kept;
  for (const std::string& line : lines) {
    if (line.find(wanted) != std::string::npos) kept.push_back(line);
  }
  return kept;
}

void ExpectSameAsReference(const TempFolder& folder, const std::string& bytes) {
  const std::string path = folder.Write("generated.inf", bytes);
  const std::vector<std::string> expected = reference::LogicalLines(bytes);
  EXPECT_EQ(ReadAll(path, false), expected);
  // Passing over lines unbuilt must keep every line that holds the byte.
  EXPECT_EQ(Containing(ReadAll(path, true), ']'), Containing(expected, ']'));

  std::string expectedId = "none";
  std::string actualId = "none";
  EXPECT_EQ(FindModelHardwareId(path, actualId), reference::ModelHardwareId(bytes, expectedId));
  EXPECT_EQ(actualId, expectedId);
}

TEST(InfReaderDifferential, SmallGeneratedFilesReadAsTheModelReadsThem) {
  std::mt19937 random(20261208);
  TempFolder folder;
  for (int i = 0; i < 1500; ++i) {
    const std::string bytes = RandomInf(random, random() % 60);
    SCOPED_TRACE("case " + std::to_string(i));
    ExpectSameAsReference(folder, bytes);
    if (::testing::Test::HasFailure()) break;
  }
}

TEST(InfReaderDifferential, FilesSpanningSeveralReadBlocksReadAsTheModelReadsThem) {
  std::mt19937 random(7);
  TempFolder folder;
  for (int i = 0; i < 12; ++i) {
    // Past 64 KiB; 0x1A, if any, only at the very end.
    std::string bytes = RandomInf(random, 4000 + random() % 8000, false);
    if (i % 3 == 0) bytes += "\x1A[Tarvelix]\n%M%=I,X\n";
    ASSERT_GT(bytes.size(), 64u * 1024u);
    SCOPED_TRACE("case " + std::to_string(i) + ", " + std::to_string(bytes.size()) + " bytes");
    ExpectSameAsReference(folder, bytes);
    if (::testing::Test::HasFailure()) break;
  }
}

}  // namespace
}  // namespace varnoll
