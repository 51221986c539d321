// Lets the thread's waiting window messages be processed, so that the host's
// window stays responsive while the add-in works inside one of its calls.
#include "platform/windows/windows_services.h"

#include <windows.h>

namespace vantelo::win {

namespace {

class WindowsMessagePump final : public MessagePump {
public:
  void ProcessWaitingMessages() override {
    MSG message;
    // A window that keeps posting to itself must not hold the add-in here
    // for ever: after this many messages the rest waits for the host's loop.
    for (int processed = 0; processed < MaxMessages; ++processed) {
      if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        return;
      if (message.message == WM_QUIT) {
        // The quit request belongs to the host's own message loop: put it
        // back for the host instead of swallowing it.
        PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

private:
  static constexpr int MaxMessages = 10000;
};

} // namespace

std::shared_ptr<MessagePump> MakeMessagePump() { return std::make_shared<WindowsMessagePump>(); }

} // namespace vantelo::win
