#include "common/input_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <streambuf>

#include "common/regular_file.h"

namespace clustering {

// The descriptor, read in blocks.
struct InputFile::Reader : std::streambuf {
  explicit Reader(int descriptor) : descriptor(descriptor), stream(this) {}
  ~Reader() override { ::close(descriptor); }

  int_type underflow() override {
    ssize_t count = 0;
    do {
      count = ::read(descriptor, block.data(), block.size());
    } while (count < 0 && errno == EINTR);
    if (count <= 0) return traits_type::eof();
    setg(block.data(), block.data(), block.data() + count);
    return traits_type::to_int_type(block[0]);
  }

  int descriptor;
  std::array<char, 1 << 16> block{};
  std::istream stream;
};

InputFile InputFile::open(const std::filesystem::path& host) {
  InputFile file;
  OpenedFile opened = openRegularFile(host, O_RDONLY);
  if (opened.descriptor < 0) {
    file.failure_ = std::move(opened.failure);
  } else {
    file.reader_ = std::make_unique<Reader>(opened.descriptor);
  }
  return file;
}

InputFile::InputFile(InputFile&&) noexcept = default;
InputFile::~InputFile() = default;

bool InputFile::isOpen() const { return reader_ != nullptr; }

std::istream& InputFile::stream() { return reader_->stream; }

void InputFile::close() { reader_.reset(); }

}  // namespace clustering
