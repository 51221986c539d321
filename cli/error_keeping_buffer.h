// A stream buffer that passes all output on to another one and keeps the
// reason (errno) the first write failed, taken as it failed: the C library's
// stdout drops what it held and its reason with it, so a later flush neither
// fails again nor tells why.
#pragma once

#include <cerrno>
#include <streambuf>

namespace vantelo::cli {

class ErrorKeepingBuffer final : public std::streambuf {
public:
  explicit ErrorKeepingBuffer(std::streambuf* next) : next_(next) {}

  // errno of the first write that failed (EIO when the failure set none);
  // 0 while none did.
  int Error() const { return error_; }

protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof()))
      return traits_type::not_eof(c);
    errno = 0;
    const int_type put = next_->sputc(traits_type::to_char_type(c));
    return Kept(traits_type::eq_int_type(put, traits_type::eof())) ? traits_type::eof() : c;
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    errno = 0;
    const std::streamsize put = next_->sputn(text, count);
    Kept(put < count);
    return put;
  }
  int sync() override {
    errno = 0;
    return Kept(next_->pubsync() != 0) ? -1 : 0;
  }

private:
  bool Kept(bool failed) {
    if (failed && error_ == 0)
      error_ = errno != 0 ? errno : EIO;
    return failed;
  }

  std::streambuf* next_;
  int error_ = 0;
};

} // namespace vantelo::cli
