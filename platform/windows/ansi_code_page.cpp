// The system's ANSI code page, through which the settings file's texts pass.
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_services.h"

namespace vantelo::win {

namespace {

class WindowsAnsiCodePage final : public AnsiCodePage {
public:
  std::string FromUtf8(const std::string& text) override {
    return AnsiFromWide(WideFromUtf8(text));
  }
  std::string ToUtf8(const std::string& bytes) override {
    return Utf8FromWide(WideFromAnsi(bytes));
  }
};

} // namespace

std::shared_ptr<AnsiCodePage> MakeAnsiCodePage() { return std::make_shared<WindowsAnsiCodePage>(); }

} // namespace vantelo::win
