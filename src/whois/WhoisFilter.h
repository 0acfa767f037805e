// The report filter: every match of a regular expression in the saved whois
// reports, grouped by match, with the reports that hold it.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "utRegExpr.h"
#include "utStringList.h"

// The preset patterns: e-mail addresses and name-server names. The lookup
// cache searches every report for the same two.
extern const std::string GrepExtractEmailPattern;
extern const std::string GrepExtractNameServerPattern;

// Every whole match of the pattern in the text of AInput (its lines, each
// followed by CR LF), each search starting where the last match ended;
// AOutput is cleared first. Errors (an invalid pattern, a search past its
// bounds) are swallowed: AOutput then holds the matches found before.
void GrepExtractFromList(const std::string& APattern, const TStringList& AInput,
                         TStringList& AOutput);

// One top node of the filter's result: a match key (the match in lower
// case) and the report names (file name without folder and ".txt") that
// hold it, both in the locale's order without regard to letter case.
struct TWhoisFilterNode {
  std::string key;
  std::vector<std::string> domains;
};

// The match table of one run: keys without duplicates, each with the
// reports that hold it, without duplicates (both compared without regard to
// letter case).
class TWhoisMatchTable {
 public:
  // The most keys a table holds: a report made of addresses must not turn
  // into millions of nodes. Matches with further keys are not added.
  static constexpr size_t kMaxKeys = 100000;
  // False when the match was not added because the table is full.
  bool Add(std::string_view match, const std::string& path);
  // The table as the tree shows it: keys and their reports sorted.
  std::vector<TWhoisFilterNode> Nodes() const;

 private:
  struct TEntry {
    std::vector<std::string> paths;
    std::set<std::string> folded;
  };
  std::map<std::string, TEntry> keys_;
};

// What a filter run tells its window after each report file: the file's
// name, how many files are done and how many there are.
using TWhoisFilterProgress =
    std::function<void(const std::string& name, size_t done, size_t total)>;

struct TWhoisFilterResult {
  std::vector<TWhoisFilterNode> nodes;
  size_t files = 0;
  // Files that could not be read (removed meanwhile, too large, no access)
  // or whose search reached its bounds; they are skipped.
  size_t skipped = 0;
  // True when matches were left out because the table was full.
  bool full = false;
};

// Searches every file with the pattern (compiled once). onFile runs before
// each file, as the window shows its name. An invalid pattern gives an
// empty result.
TWhoisFilterResult WhoisFilterFiles(const std::vector<std::string>& paths,
                                    const std::string& pattern,
                                    const TWhoisFilterProgress& onFile = {});

// The text of a top node: "key (count)".
std::string WhoisFilterNodeText(const TWhoisFilterNode& node);

// A tree of node texts: each top node's text with its children's texts.
using TTextTree = std::vector<std::pair<std::string, std::vector<std::string>>>;
// The filter result file: for every top node an empty line and three blanks
// before its text, then six blanks before each child's text; every line
// ends with CR LF.
std::string WhoisFilterTreeText(const TTextTree& tree);
