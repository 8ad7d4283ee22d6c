#include "common/output_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "common/failure.h"
#include "common/printable.h"
#include "common/regular_file.h"

namespace clustering {

namespace {

// Text is gathered and written out in blocks of about this size.
constexpr std::size_t WriteBlock = std::size_t{1} << 16;

bool sameOpenFile(int a, int b) {
  struct stat sa {};
  struct stat sb {};
  return ::fstat(a, &sa) == 0 && ::fstat(b, &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace

OutputFile::OutputFile(std::filesystem::path host, std::string label)
    : OutputFile(std::move(host), std::move(label), nullptr) {}

OutputFile::OutputFile(std::filesystem::path host, std::string label, const OutputFile* lockHolder)
    : host_(std::move(host)), label_(std::move(label)) {
  OpenedFile opened = openRegularFile(host_, O_WRONLY | O_CREAT);
  if (opened.descriptor < 0) throw EngineError(cannotCreate(opened.failure));
  descriptor_ = opened.descriptor;
  lockAndEmpty(lockHolder != nullptr && sameOpenFile(lockHolder->descriptor_, descriptor_));
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : host_(std::move(other.host_)),
      label_(std::move(other.label_)),
      descriptor_(std::exchange(other.descriptor_, -1)),
      pending_(std::move(other.pending_)),
      writeFailure_(std::move(other.writeFailure_)) {}

// What is still buffered is written out, as a stream does when it is destroyed; only finish()
// reports a failed write.
OutputFile::~OutputFile() {
  writeOut();
  close();
}

void OutputFile::lockAndEmpty(bool lockHeld) {
  // A file system that keeps no locks fails otherwise than EWOULDBLOCK; the file is then
  // written unlocked rather than not at all.
  if (!lockHeld && ::flock(descriptor_, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    close();
    throw EngineError("another engine is writing the " + label_ + " " + quotedPath(host_) +
                      (host_.has_parent_path() ? "" : " in this folder") + "; wait for it to end");
  }
  if (::ftruncate(descriptor_, 0) != 0) {
    const std::string reason = reasonOf(errno);
    close();
    throw EngineError(cannotCreate(reason));
  }
}

OutputFile OutputFile::createAgain() const { return OutputFile(host_, label_, this); }

std::string OutputFile::cannotCreate(std::string_view reason) const {
  return "cannot create the " + label_ + " " + quotedPath(host_) + ": " + std::string(reason);
}

void OutputFile::write(std::string_view text) {
  pending_.append(text);
  if (pending_.size() >= WriteBlock) writeOut();
}

void OutputFile::writeOut() {
  std::string_view rest = pending_;
  while (!rest.empty() && descriptor_ >= 0 && writeFailure_.empty()) {
    const ssize_t written = ::write(descriptor_, rest.data(), rest.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      writeFailure_ = reasonOf(written < 0 ? errno : EIO);
      break;
    }
    rest.remove_prefix(static_cast<std::size_t>(written));
  }
  pending_.clear();
}

void OutputFile::finish() {
  writeOut();
  if (!writeFailure_.empty()) {
    throw EngineError("cannot write the " + label_ + " " + quotedPath(host_) + ": " + writeFailure_);
  }
}

void OutputFile::close() {
  if (descriptor_ >= 0) ::close(descriptor_);
  descriptor_ = -1;
}

}  // namespace clustering
