// Header lines of an HTTP message, each as the name, ": " and the value.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "utStringList.h"

class TIdHeaderList : public TStringList {
 public:
  // The value of the first line of that name (letter case ignored), with
  // its continuation lines (lines that begin with a blank or a tab) joined
  // to it by one blank; empty when there is none.
  std::string Values(std::string_view name) const;
  // The values of every line of that name, in order.
  std::vector<std::string> Extract(std::string_view name) const;
  // Appends each line to dest with its first ": " replaced by "="; a line
  // without ": " is appended unchanged.
  void ConvertToStdValues(TStringList& dest) const;

  // The name of a header line (before its first ":", trimmed), and its
  // value (after the ":", trimmed); a line without ":" has neither.
  static std::string HeaderName(std::string_view line);
  static std::string HeaderValue(std::string_view line);
};

// A row of the header list the HTTP page shows: a line with ": " is split
// where its converted form name=value has its first "="; a continuation
// line has no field and its trimmed text as value; a line with only ":"
// is split there.
struct THeaderRow {
  std::string Field;
  std::string Value;
};
std::vector<THeaderRow> HeaderRows(const TIdHeaderList& headers);
