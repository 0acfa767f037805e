#include "utIniFile.h"

#include <charconv>

#include "utFiles.h"
#include "utStrings.h"

bool TryStrToInt64(std::string_view text, long long& value) {
  if (text.empty()) return false;
  size_t start = 0;
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    start = 1;
  }
  std::string_view digits = text.substr(start);
  if (digits.empty() || digits[0] < '0' || digits[0] > '9') return false;
  // Parse with the sign attached so that the most negative value fits.
  std::string s = (negative ? "-" : "") + std::string(digits);
  long long v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return false;
  value = v;
  return true;
}

TIniDocument TIniDocument::FromFile(const std::string& path) {
  TIniDocument doc;
  try {
    doc.SetText(ReadFileBytes(path));
  } catch (const EFileError&) {
  }
  return doc;
}

void TIniDocument::SetText(std::string_view text) {
  sections_.clear();
  TSection* current = nullptr;
  for (const std::string& raw : SplitLines(text)) {
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      current = &FindOrAdd(Trim(std::string_view(line).substr(1, line.size() - 2)));
      continue;
    }
    if (!current) continue;
    const size_t eq = line.find('=');
    if (eq == std::string::npos)
      current->keys.push_back({line, ""});
    else
      current->keys.push_back({Trim(std::string_view(line).substr(0, eq)),
                               Trim(std::string_view(line).substr(eq + 1))});
  }
}

std::string TIniDocument::Text() const {
  std::string out;
  for (const auto& s : sections_) {
    out += "[" + s.name + "]\r\n";
    for (const auto& k : s.keys) out += k.name + "=" + k.value + "\r\n";
    out += "\r\n";
  }
  return out;
}

void TIniDocument::SaveToFile(const std::string& path) const { WriteFileAtomic(path, Text()); }

const TIniDocument::TSection* TIniDocument::Find(std::string_view section) const {
  for (const auto& s : sections_)
    if (SameText(s.name, section)) return &s;
  return nullptr;
}

TIniDocument::TSection& TIniDocument::FindOrAdd(std::string_view section) {
  for (auto& s : sections_)
    if (SameText(s.name, section)) return s;
  sections_.push_back({std::string(section), {}});
  return sections_.back();
}

const TIniDocument::TKey* TIniDocument::FindKey(std::string_view section,
                                                std::string_view key) const {
  const TSection* s = Find(section);
  if (!s) return nullptr;
  for (const auto& k : s->keys)
    if (SameText(k.name, key)) return &k;
  return nullptr;
}

bool TIniDocument::SectionExists(std::string_view section) const {
  return Find(section) != nullptr;
}

bool TIniDocument::ValueExists(std::string_view section, std::string_view key) const {
  return FindKey(section, key) != nullptr;
}

std::string TIniDocument::ReadString(std::string_view section, std::string_view key,
                                     std::string_view def) const {
  const TKey* k = FindKey(section, key);
  return k ? k->value : std::string(def);
}

long long TIniDocument::ReadInteger(std::string_view section, std::string_view key,
                                    long long def) const {
  const TKey* k = FindKey(section, key);
  long long v = 0;
  return (k && TryStrToInt64(k->value, v)) ? v : def;
}

bool TIniDocument::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniDocument::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
  TSection& s = FindOrAdd(section);
  for (auto& k : s.keys)
    if (SameText(k.name, key)) {
      k.value = std::string(value);
      return;
    }
  s.keys.push_back({std::string(key), std::string(value)});
}

void TIniDocument::WriteInteger(std::string_view section, std::string_view key, long long value) {
  WriteString(section, key, std::to_string(value));
}

void TIniDocument::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteInteger(section, key, value ? 1 : 0);
}

void TIniDocument::EraseSection(std::string_view section) {
  std::erase_if(sections_, [&](const TSection& s) { return SameText(s.name, section); });
}

std::vector<std::string> TIniDocument::SectionNames() const {
  std::vector<std::string> r;
  for (const auto& s : sections_) r.push_back(s.name);
  return r;
}

std::vector<std::string> TIniDocument::KeyNames(std::string_view section) const {
  std::vector<std::string> r;
  if (const TSection* s = Find(section))
    for (const auto& k : s->keys) r.push_back(k.name);
  return r;
}
