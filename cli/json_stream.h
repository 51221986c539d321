// Writes JSON to a stream piece by piece, laid out exactly as
// nlohmann::json's dump(2) lays it out, so that a report of any size is
// written without its whole tree or text standing in memory.
//
//   JsonStream out(std::cout);
//   out.BeginObject();
//   out.Key("documents");
//   out.BeginArray();
//   out.Value(document); // any JSON value, itself laid out as by dump(2)
//   out.End();
//   out.End();
#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <ostream>
#include <string_view>
#include <vector>

namespace vantelo::cli {

class JsonStream {
public:
  explicit JsonStream(std::ostream& out) : out_(out) {}

  void BeginObject() { Begin('{', '}'); }
  void BeginArray() { Begin('[', ']'); }
  // Closes the innermost object or array.
  void End();
  // The name of the next value, inside an object.
  void Key(std::string_view key);
  void Value(const nlohmann::ordered_json& value);

private:
  struct Open {
    char close;
    std::size_t items = 0;
  };

  void Begin(char open, char close);
  // Before a value: after a key nothing, else the separator from the
  // previous item and the value's line.
  void StartItem();
  void NewLine(std::size_t depth);

  std::ostream& out_;
  std::vector<Open> open_;
  bool afterKey_ = false;
};

} // namespace vantelo::cli
