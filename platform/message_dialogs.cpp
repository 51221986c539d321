#include "platform/message_dialogs.h"

namespace vantelo {

RecordingMessageDialog::RecordingMessageDialog(int answer) : answer_(answer) {}

int RecordingMessageDialog::Show(const std::string& text, int style, const std::string& title) {
  records_.push_back(MessageRecord{text, style, title});
  return answer_;
}

std::vector<MessageRecord> RecordingMessageDialog::Records() const {
  return records_;
}

void RecordingMessageDialog::Clear() {
  records_.clear();
}

} // namespace vantelo
