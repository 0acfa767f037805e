// Text helpers shared by every subsystem. Texts are 8-bit strings kept
// byte-exact; letter-case helpers touch only the ASCII letters.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// True for the characters that Trim removes: blanks and control characters
// (codes 0 to 32).
inline bool IsBlankOrControl(unsigned char c) { return c <= 32; }

std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// Only the letters a to z / A to Z change; every other byte stays.
std::string UpperCaseAZ(std::string_view s);
std::string LowerCaseAZ(std::string_view s);

// Compares without regard to the case of the letters A to Z.
bool SameText(std::string_view a, std::string_view b);
int CompareText(std::string_view a, std::string_view b);

bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);

// Splits a text into lines at CR LF, LF or CR. A final line break adds no
// empty line; an empty text gives no lines.
std::vector<std::string> SplitLines(std::string_view text);

// Writes a text as lines into out, each line followed by CR LF, splitting it
// where SplitLines would. The text may come in pieces: a CR that ends one
// piece and an LF that starts the next are one line break.
class TCrLfLineWriter {
 public:
  explicit TCrLfLineWriter(std::string& out) : out_(out) {}
  void Write(std::string_view piece);
  // Ends an unfinished last line; returns false when nothing was written.
  bool Finish();

 private:
  std::string& out_;
  bool afterCR_ = false;
  bool lineOpen_ = false;
  bool any_ = false;
};

// Joins lines, writing CR LF after every line.
std::string JoinLines(const std::vector<std::string>& lines);

// Every "%0D%0A" (exactly these six characters) becomes CR LF.
std::string LineToString(std::string_view text);

// Replaces the characters that cannot stand in a file name ("*", "?", "\",
// ">", "<", "|", and on this platform also "/" and NUL) by "_".
std::string MakeCleanFilename(std::string_view filename);

// Compares without regard to letter case in the C library's locale order
// (LC_COLLATE): the order in which sorted lists are shown to the user.
int AnsiCompareText(std::string_view a, std::string_view b);

// Escapes a text (a folder) for a regular expression: every "\" becomes
// "\\", then every "(", ")" and "." gets a "\" in front.
std::string StringToRegExpr(std::string_view text);
