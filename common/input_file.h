// A file the engine reads: a regular file opened without ever blocking (see regular_file.h),
// read through a stream. It is open from `open` until `close` or its end; when the open failed
// it holds the reason instead.
#pragma once

#include <filesystem>
#include <istream>
#include <memory>
#include <string>

namespace clustering {

class InputFile {
 public:
  static InputFile open(const std::filesystem::path& host);

  InputFile(InputFile&&) noexcept;
  ~InputFile();

  bool isOpen() const;
  // Why the open failed, in the system's words.
  const std::string& failure() const { return failure_; }
  // The contents; a read that fails ends them, as the end of the file does.
  std::istream& stream();
  void close();

 private:
  struct Reader;
  InputFile() = default;
  std::unique_ptr<Reader> reader_;
  std::string failure_;
};

}  // namespace clustering
