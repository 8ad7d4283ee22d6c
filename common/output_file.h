// A text file the engine writes: the result file or the cluster listing. Every line end is
// stored as CR LF.
//
// Two engines started from one folder would otherwise write one listing (or one result file)
// at once and leave it holding the bytes of both. So the file is opened without emptying it,
// locked for this engine alone, and only then emptied; an engine that meets the lock of another
// is refused at once and has emptied nothing. The lock lasts as long as the OutputFile. Only a
// regular file or a new one is written (see regular_file.h).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace clustering {

class OutputFile {
 public:
  // Creates or empties the file at `host`; `label` names it in messages ("result file").
  OutputFile(std::filesystem::path host, std::string label);
  OutputFile(OutputFile&& other) noexcept;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  // Creates the file at the same path once more, emptying it again. While it is still the file
  // this one holds, this one's lock covers both, so this must outlive what it returns.
  OutputFile createAgain() const;

  void write(std::string_view text);
  void endLine() { write("\r\n"); }
  // Writes out what is buffered; a write that failed (a full disk) is refused, never passed over.
  void finish();

 private:
  // Creates or empties the file; `lockHolder`'s lock stands for this one's while both hold the
  // same file.
  OutputFile(std::filesystem::path host, std::string label, const OutputFile* lockHolder);
  // Locks the open file unless `lockHeld`, then empties it; refuses a lock held elsewhere.
  void lockAndEmpty(bool lockHeld);
  std::string cannotCreate(std::string_view reason) const;
  void writeOut();
  void close();

  std::filesystem::path host_;
  std::string label_;
  int descriptor_ = -1;
  std::string pending_;
  std::string writeFailure_;  // the reason of the first write that failed
};

}  // namespace clustering
