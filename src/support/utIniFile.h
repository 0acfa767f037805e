// An INI document held in memory: sections of name=value keys.
// Section and key names are compared without regard to letter case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class TIniDocument {
 public:
  TIniDocument() = default;
  explicit TIniDocument(std::string_view text) { SetText(text); }

  // Reads a file; a missing or unreadable file reads as an empty document.
  static TIniDocument FromFile(const std::string& path);

  void SetText(std::string_view text);
  // The whole document: each section's "[name]" line, its name=value lines
  // and one empty line.
  std::string Text() const;
  void SaveToFile(const std::string& path) const;

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def) const;
  // Decimal integers only; a value that is not one counts as missing.
  long long ReadInteger(std::string_view section, std::string_view key, long long def) const;
  // An integer, true when not 0.
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, long long value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  void EraseSection(std::string_view section);

  std::vector<std::string> SectionNames() const;
  // The key names of a section, in order.
  std::vector<std::string> KeyNames(std::string_view section) const;

 private:
  struct TKey {
    std::string name, value;
  };
  struct TSection {
    std::string name;
    std::vector<TKey> keys;
  };
  const TSection* Find(std::string_view section) const;
  TSection& FindOrAdd(std::string_view section);
  const TKey* FindKey(std::string_view section, std::string_view key) const;

  std::vector<TSection> sections_;
};

// Parses a decimal integer (optional sign, digits, nothing else); false when
// the text is not one or does not fit.
bool TryStrToInt64(std::string_view text, long long& value);
