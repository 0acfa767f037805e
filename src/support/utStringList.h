// An ordered list of text lines. A line "name=value" is addressed by its name,
// the text before its first "="; name lookups ignore letter case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class TStringList {
 public:
  TStringList() = default;
  explicit TStringList(std::vector<std::string> lines) : lines_(std::move(lines)) {}

  size_t Count() const { return lines_.size(); }
  bool Empty() const { return lines_.empty(); }
  const std::string& operator[](size_t i) const { return lines_.at(i); }
  std::string& operator[](size_t i) { return lines_.at(i); }
  const std::vector<std::string>& Lines() const { return lines_; }

  void Add(std::string line) { lines_.push_back(std::move(line)); }
  void Insert(size_t index, std::string line);
  void Delete(size_t index);
  void Clear() { lines_.clear(); }
  // Appends the lines of a text (split at CR LF, LF or CR).
  void AddText(std::string_view text);

  // All lines, each followed by CR LF.
  std::string Text() const;
  // Replaces the list with the lines of a text.
  void SetText(std::string_view text);

  // The text before the first "=" of a line (empty when there is none).
  static std::string NameOf(std::string_view line);
  // The text after the first "=" of a line (empty when there is none).
  static std::string ValueOf(std::string_view line);
  std::string Names(size_t index) const { return NameOf(lines_.at(index)); }
  std::string ValueFromIndex(size_t index) const { return ValueOf(lines_.at(index)); }

  // Index of the first line with that name (letter case ignored), or -1.
  int IndexOfName(std::string_view name) const;
  // Index of the first line equal to the text (letter case ignored), or -1.
  int IndexOf(std::string_view line) const;
  std::string Values(std::string_view name) const;
  // Sets the value of the first line of that name, appending a line when there
  // is none; an empty value removes the line.
  void SetValue(std::string_view name, std::string_view value);

  // Sorts without regard to letter case in the locale's order.
  void Sort();

  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;

 private:
  std::vector<std::string> lines_;
};
