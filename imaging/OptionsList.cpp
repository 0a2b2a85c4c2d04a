#include "imaging/OptionsList.h"

#include "platform/PathText.h"

namespace vantrix {

std::string_view TOptionsList::LineName(std::string_view line) {
  return line.substr(0, line.find('='));
}

std::string_view TOptionsList::LineValue(std::string_view line) {
  const size_t eq = line.find('=');
  return eq == line.npos ? std::string_view() : line.substr(eq + 1);
}

int TOptionsList::IndexOf(std::string_view name) const {
  for (size_t i = 0; i < lines_.size(); ++i)
    if (EqualsNoCase(LineName(lines_[i]), name)) return static_cast<int>(i);
  return -1;
}

void TOptionsList::PutString(std::string_view name, std::string_view value) {
  const int i = IndexOf(name);
  if (value.empty()) {
    if (i >= 0) lines_.erase(lines_.begin() + i);
    return;
  }
  std::string line;
  line.reserve(name.size() + 1 + value.size());
  line.append(name).append(1, '=').append(value);
  if (i >= 0)
    lines_[i] = std::move(line);
  else
    lines_.push_back(std::move(line));
}

void TOptionsList::PutInteger(std::string_view name, int64_t number) {
  PutString(name, std::to_string(number));
}

void TOptionsList::PutBoolean(std::string_view name, bool flag) {
  PutString(name, flag ? "TRUE" : "FALSE");
}

std::string TOptionsList::GetString(std::string_view name) const {
  const int i = IndexOf(name);
  return i < 0 ? std::string() : std::string(LineValue(lines_[i]));
}

bool TOptionsList::GetBoolean(std::string_view name) const {
  return GetString(name) == "TRUE";
}

}  // namespace vantrix
