#pragma once
// TOptionsList: a small in-memory list of named text values, kept as lines
// "name=value" in the order the names were first set. The HTML generation
// fills one and reads it while filling the page templates.
//
// Names compare without regard to ASCII case ("imagewidth" finds
// "ImageWidth"). A name ends at the first '=' of its line, so a name should
// not hold one. An empty value is the same as no value: setting it removes the
// line, and reading an absent name gives "".

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantrix {

class TOptionsList {
 public:
  // Sets the value of name, adding a line when the name is new; an empty
  // value removes the line.
  void PutString(std::string_view name, std::string_view value);
  void PutInteger(std::string_view name, int64_t number);
  void PutBoolean(std::string_view name, bool flag);  // "TRUE" / "FALSE"

  // The value of name; empty when absent.
  std::string GetString(std::string_view name) const;
  // True exactly when the value is "TRUE" (upper case).
  bool GetBoolean(std::string_view name) const;

  // Direct access to the lines, for passes over every line.
  int Count() const { return static_cast<int>(lines_.size()); }
  const std::string& Line(int i) const { return lines_[i]; }  // 0-based
  void SetLine(int i, std::string line) { lines_[i] = std::move(line); }
  void Clear() { lines_.clear(); }

  // The name and value parts of a line (all of it is the name without '=').
  static std::string_view LineName(std::string_view line);
  static std::string_view LineValue(std::string_view line);

 private:
  int IndexOf(std::string_view name) const;  // -1 when absent

  std::vector<std::string> lines_;
};

}  // namespace vantrix
