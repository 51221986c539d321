// The message pump and message box off Windows.
#pragma once

#include "platform/services.h"

#include <string>
#include <vector>

namespace vantelo {

// There is no window message queue off Windows: does nothing.
class NullMessagePump : public MessagePump {
public:
  void ProcessWaitingMessages() override {}
};

// One message box shown.
struct MessageRecord {
  std::string text;
  int style = 0;
  std::string title;
  bool operator==(const MessageRecord&) const = default;
};

// Records each message box and answers at once with a fixed button (1, OK,
// unless told otherwise).
class RecordingMessageDialog : public MessageDialog {
public:
  explicit RecordingMessageDialog(int answer = 1);

  int Show(const std::string& text, int style, const std::string& title) override;

  std::vector<MessageRecord> Records() const; // in the order shown
  void Clear();

private:
  const int answer_;
  std::vector<MessageRecord> records_;
};

} // namespace vantelo
