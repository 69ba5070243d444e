// The file side of the seam over POSIX: what the INF reading and the INF
// search need, with the Windows behaviour they rely on (case-insensitive
// "*.inf" matching, 8.3 short names matched too, names sorted as Windows
// returns them, directories listed but not opened as files).
#include "platform_files.h"
#include "posix_handle.h"

#include "ascii.h"
#include "short_names.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace varnoll::posix {
namespace {

thread_local DWORD lastError = 0;
int openHandles = 0;
OpenObserver openObserver = nullptr;

struct FileHandle : Handle {
  explicit FileHandle(int descriptor) : fd(descriptor) {}
  ~FileHandle() override { close(fd); }
  int fd;
};

struct SearchHandle {
  std::vector<std::string> names;
  std::vector<bool> isDirectory;
  std::vector<std::uint64_t> sizes;
  size_t next = 0;
};

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(LowerAscii(x)) < static_cast<unsigned char>(LowerAscii(y));
  });
}

void Fill(const SearchHandle& search, size_t index, WIN32_FIND_DATAA* entry) {
  entry->dwFileAttributes = search.isDirectory[index] ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
  entry->nFileSizeHigh = static_cast<DWORD>(search.sizes[index] >> 32);
  entry->nFileSizeLow = static_cast<DWORD>(search.sizes[index]);
  std::snprintf(entry->cFileName, sizeof entry->cFileName, "%s", search.names[index].c_str());
}

BOOL Fail(DWORD error) {
  lastError = error;
  return FALSE;
}

}  // namespace

Handle::Handle() { ++openHandles; }
Handle::~Handle() { --openHandles; }
int OpenHandleCount() { return openHandles; }
void SetOpenObserver(OpenObserver observer) { openObserver = observer; }

}  // namespace varnoll::posix

using varnoll::posix::lastError;

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD error) { lastError = error; }

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* entry) {
  const std::string text = pattern;
  const size_t separator = text.find_last_of("/\\");
  const std::string directory = separator == std::string::npos ? "./" : text.substr(0, separator + 1);
  const std::string mask = separator == std::string::npos ? text : text.substr(separator + 1);

  DIR* listing = opendir(directory.c_str());
  if (!listing) {
    lastError = ERROR_FILE_NOT_FOUND;
    return INVALID_HANDLE_VALUE;
  }
  std::vector<std::string> names;
  while (const dirent* item = readdir(listing)) {
    const std::string name = item->d_name;
    if (name == "." || name == "..") continue;
    if (varnoll::MatchesSearch(name, mask)) names.push_back(name);
  }
  closedir(listing);
  if (names.empty()) {
    lastError = ERROR_FILE_NOT_FOUND;
    return INVALID_HANDLE_VALUE;
  }
  // Windows returns names sorted without regard to case.
  std::sort(names.begin(), names.end(), varnoll::posix::LessIgnoringCase);

  auto* search = new varnoll::posix::SearchHandle;
  for (const std::string& name : names) {
    struct stat info {};
    const bool known = stat((directory + name).c_str(), &info) == 0;
    search->isDirectory.push_back(known && S_ISDIR(info.st_mode));
    search->sizes.push_back(known && !S_ISDIR(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0);
  }
  search->names = std::move(names);
  varnoll::posix::Fill(*search, search->next++, entry);
  ++varnoll::posix::openHandles;
  return search;
}

BOOL FindNextFileA(HANDLE handle, WIN32_FIND_DATAA* entry) {
  auto* search = static_cast<varnoll::posix::SearchHandle*>(handle);
  if (search->next == search->names.size()) return varnoll::posix::Fail(ERROR_NO_MORE_FILES);
  varnoll::posix::Fill(*search, search->next++, entry);
  return TRUE;
}

BOOL FindClose(HANDLE handle) {
  delete static_cast<varnoll::posix::SearchHandle*>(handle);
  --varnoll::posix::openHandles;
  return TRUE;
}

HANDLE CreateFileA(const char* path, DWORD access, DWORD share, void*, DWORD disposition, DWORD, HANDLE) {
  if (varnoll::posix::openObserver) varnoll::posix::openObserver(path, access, share, disposition);
  // Only what the programs ask for: reading an existing file.
  if (access != GENERIC_READ || disposition != OPEN_EXISTING) {
    lastError = ERROR_ACCESS_DENIED;
    return INVALID_HANDLE_VALUE;
  }
  // Without O_NONBLOCK, opening a FIFO waits for a writer, for ever if none
  // comes; opening a socket fails anyway.
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    lastError = errno == ENOENT || errno == ENOTDIR ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED;
    return INVALID_HANDLE_VALUE;
  }
  // Windows refuses to open a directory as a file; a FIFO or a device is no
  // INF file either, and reading one could block.
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || fcntl(fd, F_SETFL, 0) != 0) {
    close(fd);
    lastError = ERROR_ACCESS_DENIED;
    return INVALID_HANDLE_VALUE;
  }
  return static_cast<varnoll::posix::Handle*>(new varnoll::posix::FileHandle(fd));
}

BOOL ReadFile(HANDLE handle, void* buffer, DWORD size, DWORD* read, void*) {
  auto* file = dynamic_cast<varnoll::posix::FileHandle*>(static_cast<varnoll::posix::Handle*>(handle));
  if (!file) return varnoll::posix::Fail(ERROR_INVALID_HANDLE);
  ssize_t got;
  do {
    got = ::read(file->fd, buffer, size);
  } while (got < 0 && errno == EINTR);
  if (got < 0) return varnoll::posix::Fail(ERROR_ACCESS_DENIED);
  *read = static_cast<DWORD>(got);
  return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
  delete static_cast<varnoll::posix::Handle*>(handle);
  return TRUE;
}

// Without an ANSI code page only a to z have upper-case forms here; every
// section marker is plain ASCII.
DWORD CharUpperBuffA(char* text, DWORD length) {
  for (DWORD i = 0; i < length; ++i) text[i] = varnoll::UpperAscii(text[i]);
  return length;
}
