#include "IdHeaderList.h"

#include "utStrings.h"

namespace {

bool IsContinuation(std::string_view line) {
  return !line.empty() && (line.front() == ' ' || line.front() == '\t');
}

std::string ToStdValue(std::string_view line) {
  const size_t sep = line.find(": ");
  if (sep == std::string_view::npos) return std::string(line);
  std::string converted(line);
  converted.replace(sep, 2, "=");
  return converted;
}

}  // namespace

std::string TIdHeaderList::HeaderName(std::string_view line) {
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) return {};
  return Trim(line.substr(0, colon));
}

std::string TIdHeaderList::HeaderValue(std::string_view line) {
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) return {};
  return Trim(line.substr(colon + 1));
}

std::vector<std::string> TIdHeaderList::Extract(std::string_view name) const {
  std::vector<std::string> values;
  const auto& lines = Lines();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (IsContinuation(lines[i]) || !SameText(HeaderName(lines[i]), name)) continue;
    std::string value = HeaderValue(lines[i]);
    for (size_t j = i + 1; j < lines.size() && IsContinuation(lines[j]); ++j)
      value += " " + Trim(lines[j]);
    values.push_back(std::move(value));
  }
  return values;
}

std::string TIdHeaderList::Values(std::string_view name) const {
  std::vector<std::string> values = Extract(name);
  return values.empty() ? std::string() : std::move(values.front());
}

void TIdHeaderList::ConvertToStdValues(TStringList& dest) const {
  for (const std::string& line : Lines()) dest.Add(ToStdValue(line));
}

std::vector<THeaderRow> HeaderRows(const TIdHeaderList& headers) {
  std::vector<THeaderRow> rows;
  for (const std::string& line : headers.Lines()) {
    if (line.find(": ") != std::string::npos) {
      const std::string converted = ToStdValue(line);
      rows.push_back({TStringList::NameOf(converted), TStringList::ValueOf(converted)});
    } else if (IsContinuation(line) || line.find(':') == std::string::npos) {
      rows.push_back({"", Trim(line)});
    } else {
      rows.push_back({TIdHeaderList::HeaderName(line), TIdHeaderList::HeaderValue(line)});
    }
  }
  return rows;
}
