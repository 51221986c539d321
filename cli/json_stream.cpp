#include "cli/json_stream.h"

#include <string>

namespace vantelo::cli {

namespace {
constexpr unsigned kIndent = 2;
}

void JsonStream::Begin(char open, char close) {
  StartItem();
  out_ << open;
  open_.push_back({close});
}

void JsonStream::End() {
  const Open closed = open_.back();
  open_.pop_back();
  if (closed.items > 0) // an empty one stays on its line: [] or {}
    NewLine(open_.size());
  out_ << closed.close;
}

void JsonStream::Key(std::string_view key) {
  StartItem();
  out_ << nlohmann::json(key).dump() << ": ";
  afterKey_ = true;
}

void JsonStream::Value(const nlohmann::ordered_json& value) {
  StartItem();
  // Serialised straight into the stream, laid out from this depth on.
  nlohmann::detail::serializer<nlohmann::ordered_json> serializer(
      nlohmann::detail::output_adapter<char>(out_), ' ');
  serializer.dump(value, true, false, kIndent, static_cast<unsigned>(open_.size() * kIndent));
}

void JsonStream::StartItem() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (open_.empty())
    return;
  if (open_.back().items++ > 0)
    out_ << ',';
  NewLine(open_.size());
}

void JsonStream::NewLine(std::size_t depth) { out_ << '\n' << std::string(depth * kIndent, ' '); }

} // namespace vantelo::cli
