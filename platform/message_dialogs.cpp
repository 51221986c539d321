#include "platform/message_dialogs.h"

namespace vantelo {

RecordingMessageDialog::RecordingMessageDialog(int answer) : answer_(answer) {}

int RecordingMessageDialog::Show(const std::string& text, int style, const std::string& title) {
  std::lock_guard lock(mutex_);
  records_.push_back(MessageRecord{text, style, title});
  return answer_;
}

std::vector<MessageRecord> RecordingMessageDialog::Records() const {
  std::lock_guard lock(mutex_);
  return records_;
}

void RecordingMessageDialog::Clear() {
  std::lock_guard lock(mutex_);
  records_.clear();
}

} // namespace vantelo
