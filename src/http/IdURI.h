// The parts of a URL, and the client's current URL that persists from one
// request to the next, so that relative addresses resolve against it.
#pragma once

#include <string>
#include <string_view>

struct TIdURI {
  std::string Protocol;
  std::string Username;
  std::string Password;
  std::string Host;
  std::string Port;
  // Up to and including the last "/" before any "?".
  std::string Path;
  std::string Document;
  // From "?" on, the "?" included.
  std::string Params;

  // Splits a URL: backslashes become slashes; the protocol is the text
  // before "://"; then "user:password@", the host and ":port"; then path,
  // document and parameters; a "#" fragment is dropped. A URL without
  // "://" has no protocol and no host: all of it is path and document.
  static TIdURI Parse(std::string_view url);

  // Path + document + parameters.
  std::string Target() const { return Path + Document + Params; }
};

// A path resolved against the path before it: an absolute path (starting
// with "/") stands as it is, a relative one is added to the base; "./" and
// "../" steps are taken, never above the root.
std::string ProcessPath(std::string_view basePath, std::string_view path);

// Each byte for which mustEncode is true written as "%" and two upper-case
// hexadecimal digits.
std::string PercentEncode(std::string_view text, bool (*mustEncode)(unsigned char c));

// The request target as it goes on the request line: every byte that may
// not stand there (blanks, control characters, bytes from 128 up, '"',
// "<", ">", "\", "^", "`", "{", "|", "}") is written as "%" and two
// hexadecimal digits, so no text of a URL can break the request's lines.
std::string EncodeRequestTarget(std::string_view target);
