#include "utStringList.h"

#include <algorithm>

#include "utFiles.h"
#include "utStrings.h"

void TStringList::Insert(size_t index, std::string line) {
  if (index > lines_.size()) index = lines_.size();
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
}

void TStringList::Delete(size_t index) {
  if (index < lines_.size()) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
}

void TStringList::AddText(std::string_view text) {
  for (auto& l : SplitLines(text)) lines_.push_back(std::move(l));
}

std::string TStringList::Text() const { return JoinLines(lines_); }

void TStringList::SetText(std::string_view text) { lines_ = SplitLines(text); }

std::string TStringList::NameOf(std::string_view line) {
  const size_t eq = line.find('=');
  return eq == std::string_view::npos ? std::string() : std::string(line.substr(0, eq));
}

std::string TStringList::ValueOf(std::string_view line) {
  const size_t eq = line.find('=');
  return eq == std::string_view::npos ? std::string() : std::string(line.substr(eq + 1));
}

int TStringList::IndexOfName(std::string_view name) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    const size_t eq = lines_[i].find('=');
    if (eq != std::string::npos && SameText(std::string_view(lines_[i]).substr(0, eq), name))
      return static_cast<int>(i);
  }
  return -1;
}

int TStringList::IndexOf(std::string_view line) const {
  for (size_t i = 0; i < lines_.size(); ++i)
    if (SameText(lines_[i], line)) return static_cast<int>(i);
  return -1;
}

std::string TStringList::Values(std::string_view name) const {
  const int i = IndexOfName(name);
  return i < 0 ? std::string() : ValueFromIndex(static_cast<size_t>(i));
}

void TStringList::SetValue(std::string_view name, std::string_view value) {
  const int i = IndexOfName(name);
  if (value.empty()) {
    if (i >= 0) Delete(static_cast<size_t>(i));
    return;
  }
  std::string line = std::string(name) + "=" + std::string(value);
  if (i >= 0)
    lines_[static_cast<size_t>(i)] = std::move(line);
  else
    lines_.push_back(std::move(line));
}

void TStringList::Sort() {
  std::stable_sort(lines_.begin(), lines_.end(), [](const std::string& a, const std::string& b) {
    return AnsiCompareText(a, b) < 0;
  });
}

void TStringList::LoadFromFile(const std::string& path) { SetText(ReadFileBytes(path)); }

void TStringList::SaveToFile(const std::string& path) const { WriteFileAtomic(path, Text()); }
