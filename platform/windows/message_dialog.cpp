// The modal message box, owned by the host's active window.
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_services.h"

#include <windows.h>

namespace vantelo::win {

namespace {

// The title a box carries when the caller gives none: the add-in's own.
constexpr const wchar_t* AddInTitle = L"Vantelo";

class WindowsMessageDialog final : public MessageDialog {
public:
  int Show(const std::string& text, int style, const std::string& title) override {
    const std::wstring caption = title.empty() ? std::wstring(AddInTitle) : WideFromUtf8(title);
    return MessageBoxW(GetActiveWindow(), WideFromUtf8(text).c_str(), caption.c_str(),
                       static_cast<UINT>(style));
  }
};

} // namespace

std::shared_ptr<MessageDialog> MakeMessageDialog() {
  return std::make_shared<WindowsMessageDialog>();
}

} // namespace vantelo::win
