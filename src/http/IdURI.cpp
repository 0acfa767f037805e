#include "IdURI.h"

#include <vector>

#include "utStrings.h"

TIdURI TIdURI::Parse(std::string_view input) {
  std::string url(input);
  for (char& c : url)
    if (c == '\\') c = '/';
  if (const size_t hash = url.find('#'); hash != std::string::npos) url.resize(hash);

  TIdURI uri;
  std::string_view rest(url);
  if (const size_t scheme = rest.find("://"); scheme != std::string_view::npos) {
    uri.Protocol = std::string(rest.substr(0, scheme));
    rest.remove_prefix(scheme + 3);
    // The authority ends at the first "/" or "?".
    size_t end = rest.find_first_of("/?");
    if (end == std::string_view::npos) end = rest.size();
    std::string_view authority = rest.substr(0, end);
    rest.remove_prefix(end);
    if (const size_t at = authority.rfind('@'); at != std::string_view::npos) {
      const std::string_view credentials = authority.substr(0, at);
      const size_t colon = credentials.find(':');
      uri.Username = std::string(credentials.substr(0, colon));
      if (colon != std::string_view::npos)
        uri.Password = std::string(credentials.substr(colon + 1));
      authority.remove_prefix(at + 1);
    }
    if (const size_t colon = authority.rfind(':'); colon != std::string_view::npos) {
      uri.Port = std::string(authority.substr(colon + 1));
      authority = authority.substr(0, colon);
    }
    uri.Host = std::string(authority);
    // A host without a path asks for the root.
    if (rest.empty() || rest.front() == '?') uri.Path.push_back('/');
  }
  const size_t query = rest.find('?');
  const std::string_view beforeQuery = rest.substr(0, query);
  if (query != std::string_view::npos) uri.Params = std::string(rest.substr(query));
  const size_t slash = beforeQuery.rfind('/');
  if (slash == std::string_view::npos) {
    uri.Document = std::string(beforeQuery);
  } else {
    uri.Path += std::string(beforeQuery.substr(0, slash + 1));
    uri.Document = std::string(beforeQuery.substr(slash + 1));
  }
  return uri;
}

std::string ProcessPath(std::string_view basePath, std::string_view path) {
  std::string joined;
  if (!path.empty() && path.front() == '/') {
    joined = std::string(path);
  } else {
    joined = std::string(basePath);
    if (joined.empty() || joined.back() != '/') joined += '/';
    joined += path;
  }
  // Take the "." and ".." steps; the path keeps its trailing "/".
  std::vector<std::string_view> steps;
  std::string_view rest(joined);
  rest.remove_prefix(1);  // the leading "/"
  while (!rest.empty()) {
    const size_t slash = rest.find('/');
    const std::string_view step = rest.substr(0, slash);
    if (step == "..") {
      if (!steps.empty()) steps.pop_back();
    } else if (step != "." && !(step.empty() && slash != std::string_view::npos)) {
      steps.push_back(step);
    }
    if (slash == std::string_view::npos) break;
    rest.remove_prefix(slash + 1);
  }
  std::string result = "/";
  for (const std::string_view step : steps) {
    result += step;
    result += '/';
  }
  return result;
}

std::string PercentEncode(std::string_view text, bool (*mustEncode)(unsigned char c)) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (mustEncode(c)) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

std::string EncodeRequestTarget(std::string_view target) {
  return PercentEncode(target, [](unsigned char c) {
    return c <= 32 || c >= 127 ||
           std::string_view("\"<>\\^`{|}").find(static_cast<char>(c)) != std::string_view::npos;
  });
}
