// Temporary folders of INF files for the tests.
#pragma once

#include <filesystem>
#include <string>

namespace varnoll::testing {

// A fresh, empty folder that is removed with everything in it when the object
// goes away.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }

  // The folder as the installer sees its own: with a trailing separator.
  std::string WithSeparator() const;

  // Writes `bytes` to `name` in the folder, byte for byte; returns the path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  void MakeFolder(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

}  // namespace varnoll::testing
