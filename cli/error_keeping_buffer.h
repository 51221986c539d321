// A stream buffer that gathers output and passes it on to another one in
// large pieces, keeping the reason (errno) the first write failed, taken as
// it failed: the C library's stdout drops what it held and its reason with
// it, so a later flush neither fails again nor tells why.
#pragma once

#include <array>
#include <cerrno>
#include <streambuf>

namespace vantelo::cli {

class ErrorKeepingBuffer final : public std::streambuf {
public:
  explicit ErrorKeepingBuffer(std::streambuf* next) : next_(next) { Empty(); }

  // errno of the first write that failed (EIO when the failure set none);
  // 0 while none did.
  int Error() const { return error_; }

protected:
  int_type overflow(int_type c) override {
    if (!Pass())
      return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override {
    if (!Pass())
      return -1;
    errno = 0;
    return Kept(next_->pubsync() != 0) ? -1 : 0;
  }

private:
  void Empty() { setp(buffer_.data(), buffer_.data() + buffer_.size()); }

  // Passes on what was written since the last time, in one piece: output
  // that cannot be buffered further down (a character device on Windows)
  // would otherwise be written a few bytes at a time.
  bool Pass() {
    const std::streamsize count = pptr() - pbase();
    Empty();
    errno = 0;
    return count == 0 || !Kept(next_->sputn(buffer_.data(), count) < count);
  }

  bool Kept(bool failed) {
    if (failed && error_ == 0)
      error_ = errno != 0 ? errno : EIO;
    return failed;
  }

  std::streambuf* next_;
  std::array<char, 64 * 1024> buffer_;
  int error_ = 0;
};

} // namespace vantelo::cli
