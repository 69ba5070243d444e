#include "setupapi_log.h"

#include "ansi_text.h"
#include "ascii.h"
#include "platform_files.h"
#include "unique_handle.h"

#include <cstring>
#include <memory>
#include <string_view>

namespace varnoll::check {

namespace {

constexpr DWORD kBlockSize = 64 * 1024;
// What is kept of one line; the rest of a longer line is read and dropped.
constexpr size_t kMaxLine = 4096;

// The log's lines, read in blocks. UTF-16 (little-endian, with its
// byte-order mark) is turned into single bytes: ASCII stays, every other
// character becomes '?'. NUL bytes are dropped; a carriage return before the
// line feed too.
class CLogLines {
 public:
  explicit CLogLines(const std::string& path)
      : file_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (file_.IsValid()) block_.reset(new char[kBlockSize]);
  }

  bool IsOpen() const { return file_.IsValid(); }

  // The next whole line, valid until the next call; false at the end, and at
  // a last line that has no line feed yet (Windows may be writing it).
  bool Next(std::string_view& line) {
    // The common case, straight from the block: the whole line is there and
    // holds no NUL.
    if (!utf16_ && !skipHighByte_ && position_ < end_) {
      const char* start = block_.get() + position_;
      const char* feed = static_cast<const char*>(std::memchr(start, '\n', end_ - position_));
      // Where the block's next NUL is, looked for once per block or NUL.
      if (!nextNulKnown_ || nextNul_ < position_) {
        const void* nul = std::memchr(start, '\0', end_ - position_);
        nextNul_ = nul ? static_cast<size_t>(static_cast<const char*>(nul) - block_.get()) : end_;
        nextNulKnown_ = true;
      }
      if (feed && static_cast<size_t>(feed - block_.get()) < nextNul_) {
        position_ += static_cast<size_t>(feed - start) + 1;
        line = std::string_view(start, static_cast<size_t>(feed - start));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() > kMaxLine) line = line.substr(0, kMaxLine);
        return true;
      }
    }
    if (!NextByRules(scratch_)) return false;
    line = scratch_;
    return true;
  }

  // From the start of a line, passes over the whole lines of the current
  // block that do not hold `c`, in one step; stops at the start of the line
  // that holds it, or of the block's last, unfinished line.
  void SkipLinesWithout(char c) {
    if (utf16_ || skipHighByte_ || position_ >= end_) return;
    const char* base = block_.get();
    const void* hit = std::memchr(base + position_, c, end_ - position_);
    size_t lineStart = hit ? static_cast<size_t>(static_cast<const char*>(hit) - base) : end_;
    while (lineStart > position_ && base[lineStart - 1] != '\n') --lineStart;
    position_ = lineStart;
  }

 private:
  // Everything else, byte by byte: lines split between blocks, NUL bytes,
  // UTF-16.
  bool NextByRules(std::string& line) {
    line.clear();
    for (;;) {
      if (position_ == end_ && !Refill()) return false;
      if (skipHighByte_) {
        // The NUL after a UTF-16 line feed, maybe in the next block.
        skipHighByte_ = false;
        ++position_;
        continue;
      }
      const char* start = block_.get() + position_;
      const char* feed = static_cast<const char*>(std::memchr(start, '\n', end_ - position_));
      const size_t take = feed ? static_cast<size_t>(feed - start) : end_ - position_;
      Append(line, std::string_view(start, take));
      position_ += take;
      if (feed) {
        ++position_;
        skipHighByte_ = utf16_;
        haveLow_ = false;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
      }
    }
  }

  bool Refill() {
    DWORD got = 0;
    if (!ReadFile(file_.Get(), block_.get(), kBlockSize, &got, nullptr) || got == 0) return false;
    position_ = 0;
    end_ = got;
    nextNulKnown_ = false;
    if (first_) {
      first_ = false;
      if (got >= 2 && static_cast<unsigned char>(block_[0]) == 0xFF &&
          static_cast<unsigned char>(block_[1]) == 0xFE) {
        utf16_ = true;
        position_ = 2;
      }
    }
    return true;
  }

  void Append(std::string& line, std::string_view bytes) {
    for (const char c : bytes) {
      if (utf16_) {
        // Low byte first; a line feed's high byte is the NUL right after it.
        if (!haveLow_) {
          low_ = c;
          haveLow_ = true;
          continue;
        }
        haveLow_ = false;
        // U+0080 to U+00FF become '?' too: their low byte stands for them
        // only in some code pages, and the INF names they are compared with
        // are in the system's.
        const char unit = c == '\0' && static_cast<unsigned char>(low_) < 0x80 ? low_ : '?';
        if (unit != '\0' && line.size() < kMaxLine) line += unit;
      } else if (c != '\0' && line.size() < kMaxLine) {
        line += c;
      }
    }
  }

  UniqueFileHandle file_;
  std::unique_ptr<char[]> block_;
  std::string scratch_;
  size_t nextNul_ = 0;  // when known and not behind position_
  bool nextNulKnown_ = false;
  size_t position_ = 0;
  size_t end_ = 0;
  bool first_ = true;
  bool utf16_ = false;
  bool haveLow_ = false;
  bool skipHighByte_ = false;
  char low_ = 0;
};

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// The body's text without its severity mark ("!!!", "!") and area tag
// ("ndv:", "inf:", ...).
std::string_view BodyText(std::string_view line) {
  line = Trim(line);
  while (!line.empty() && line.front() == '!') line.remove_prefix(1);
  line = Trim(line);
  const size_t colon = line.find(':');
  if (colon != std::string_view::npos && colon <= 4 && line.find(' ') > colon) line.remove_prefix(colon + 1);
  return Trim(line);
}

// "SUCCESS", "FAILURE(0xe0000203)" (as real logs write it), or "(0x...)"
// (as the documentation shows it): the error code when it says failure.
std::optional<std::string> ErrorOf(const std::string& status) {
  const size_t open = status.find("(0x");
  if (open == std::string::npos) return std::nullopt;
  const size_t close = status.find(')', open);
  std::string code =
      status.substr(open + 3, close == std::string::npos ? std::string::npos : close - open - 3);
  for (char& c : code) c = UpperAscii(c);
  if (code.empty() || code.find_first_not_of('0') == std::string::npos) return std::nullopt;
  return "0x" + code;
}

class CSectionReader {
 public:
  explicit CSectionReader(const std::function<void(const LoggedRun&)>& onRun) : onRun_(onRun) {}

  void Line(std::string_view line) {
    // Outside the sections of interest only markers matter: most lines of a
    // big log are settled by their first character.
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) return;
    if (!open_ && line[first] != '>' && line[first] != '<' && line[first] != '[') return;
    const std::string_view text = Trim(line);
    if (StartsWith(text, ">>>")) return Header(Trim(text.substr(3)));
    if (StartsWith(text, "<<<")) return Footer(Trim(text.substr(3)));
    // A new boot session means the open section will never end.
    if (StartsWith(text, "[Boot Session:")) return Finish();
    if (open_) Body(line);
  }

  void End() { Finish(); }
  // Between sections of interest only a header (">>>") can matter.
  bool InSection() const { return open_; }
  size_t Sections() const { return sections_; }

 private:
  void Header(std::string_view text) {
    if (StartsWith(text, "Section start")) {
      if (open_ && run_.time.empty()) run_.time = std::string(Trim(text.substr(13)));
      return;
    }
    if (text.empty() || text.front() != '[') return;
    ++sections_;
    Finish();
    text = text.substr(
        1, text.find(']') == std::string_view::npos ? std::string_view::npos : text.rfind(']') - 1);
    constexpr std::string_view kUpdate = "Device Install (UpdateDriverForPlugAndPlayDevices) - ";
    constexpr std::string_view kStaging = "SetupCopyOEMInf - ";
    if (StartsWith(text, kUpdate)) {
      Open(LoggedCall::kUpdate, text.substr(kUpdate.size()));
    } else if (StartsWith(text, kStaging)) {
      Open(LoggedCall::kStaging, text.substr(kStaging.size()));
      run_.infPath = run_.subject;
    }
  }

  void Footer(std::string_view text) {
    if (!open_ || text.empty() || text.front() != '[') return;
    text.remove_prefix(1);
    if (!text.empty() && text.back() == ']') text.remove_suffix(1);
    if (!ContainsIgnoringCase(text.substr(0, 11), "exit status")) return;
    text = Trim(text.substr(11));
    if (!text.empty() && text.front() == ':') text = Trim(text.substr(1));
    run_.status = std::string(text);
    run_.error = ErrorOf(*run_.status);
    Finish();
  }

  void Body(std::string_view line) {
    // "      cmd: <command line>": which program made the call.
    if (!run_.cmd && StartsWith(Trim(line), "cmd:")) {
      run_.cmd = std::string(Trim(Trim(line).substr(4)));
      return;
    }
    const std::string_view text = BodyText(line);
    if (StartsWith(text, "INF path:")) run_.infPath = std::string(Trim(text.substr(9)));
    constexpr std::string_view kDevice = "{Update Device Driver - ";
    if (StartsWith(text, kDevice) && !StartsWith(text.substr(kDevice.size()), "exit")) {
      std::string_view instance = text.substr(kDevice.size());
      instance = instance.substr(0, instance.find('}'));
      run_.devices.emplace_back(Trim(instance));
    }
    constexpr std::string_view kPublishedPath = "Published Inf Path:";
    if (StartsWith(text, kPublishedPath))
      run_.published = std::string(FileNameOf(Trim(text.substr(kPublishedPath.size()))));
    // "Published 'x.inf_amd64_...\x.inf' to 'oem12.inf'."
    if (StartsWith(text, "Published '")) {
      const size_t to = text.find("' to '");
      if (to != std::string_view::npos) {
        const std::string_view name = text.substr(to + 6);
        run_.published = std::string(name.substr(0, name.find('\'')));
      }
    }
    Refusal(text);
    // Most body lines hold no 'b' at all, let alone "reboot": one memchr
    // settles them.
    if ((std::memchr(text.data(), 'b', text.size()) || std::memchr(text.data(), 'B', text.size())) &&
        ContainsIgnoringCase(text, "reboot") &&
        (ContainsIgnoringCase(text, "required") || ContainsIgnoringCase(text, "needed") ||
         ContainsIgnoringCase(text, "pending"))) {
      run_.restart = true;
    }
  }

  // The lines Windows writes when device-installation policy or signature
  // checks refuse the install (tests/data/setupapi/SOURCES.md).
  void Refusal(std::string_view text) {
    if (StartsWith(text, "[-] ")) run_.restrictions.emplace_back(Trim(text.substr(4)));
    if (StartsWith(text, "Installation of device is blocked by policy")) run_.policyBlocked = true;
    if (!run_.signatureProblem &&
        (StartsWith(text, "Catalog signer is untrusted") ||
         StartsWith(text, "Driver package failed signature validation") ||
         StartsWith(text, "Driver package failed signature verification"))) {
      // The sentence itself, without what follows it ("No error message
      // will be displayed as client is running in non-interactive mode.").
      const size_t stop = text.find(". ");
      run_.signatureProblem = std::string(stop == std::string_view::npos ? text : text.substr(0, stop));
    }
  }

  void Open(LoggedCall call, std::string_view subject) {
    run_ = LoggedRun();
    run_.call = call;
    run_.subject = std::string(Trim(subject));
    open_ = true;
  }

  void Finish() {
    if (open_) onRun_(run_);
    open_ = false;
  }

  const std::function<void(const LoggedRun&)>& onRun_;
  LoggedRun run_;
  bool open_ = false;
  size_t sections_ = 0;
};

}  // namespace

bool ReadSetupLog(const std::string& path, const std::function<void(const LoggedRun&)>& onRun,
                  size_t& sections) {
  sections = 0;
  CLogLines lines(path);
  if (!lines.IsOpen()) return false;
  CSectionReader reader(onRun);
  std::string_view line;
  for (;;) {
    if (!reader.InSection()) lines.SkipLinesWithout('>');
    if (!lines.Next(line)) break;
    reader.Line(line);
  }
  reader.End();
  sections = reader.Sections();
  return true;
}

}  // namespace varnoll::check
