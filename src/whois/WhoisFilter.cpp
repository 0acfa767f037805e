#include "WhoisFilter.h"

#include <algorithm>
#include <memory>

#include "WhoisReports.h"
#include "utFiles.h"
#include "utStrings.h"

const std::string GrepExtractEmailPattern =
    "[_a-zA-Z\\d\\-\\.]+@([_a-zA-Z\\d\\-]+(\\.[_a-zA-Z\\d\\-]+)+)";
const std::string GrepExtractNameServerPattern =
    "[_a-zA-Z\\d\\-\\.]?(ns|NS)[_a-zA-Z\\d\\-\\.]?\\.+([_a-zA-Z\\d\\-]+(\\.[_a-zA-Z\\d\\-]+)+)";

namespace {

bool LocaleLess(const std::string& a, const std::string& b) { return AnsiCompareText(a, b) < 0; }

// The report name of a path: the file name without its last four
// characters.
std::string ReportName(const std::string& path) {
  std::string name = ExtractFileName(path);
  name.resize(name.size() > 4 ? name.size() - 4 : 0);
  return name;
}

}  // namespace

void GrepExtractFromList(const std::string& APattern, const TStringList& AInput,
                         TStringList& AOutput) {
  AOutput.Clear();
  try {
    TRegExpr(APattern, TRegExpr::roDotAll).ForEachMatch(AInput.Text(), [&](std::string_view m) {
      AOutput.Add(std::string(m));
      return true;
    });
  } catch (const ERegExpError&) {
  }
}

bool TWhoisMatchTable::Add(std::string_view match, const std::string& path) {
  std::string key = LowerCaseAZ(match);
  auto it = keys_.find(key);
  if (it == keys_.end()) {
    if (keys_.size() >= kMaxKeys) return false;
    it = keys_.emplace(std::move(key), TEntry{}).first;
  }
  if (it->second.folded.insert(LowerCaseAZ(path)).second) it->second.paths.push_back(path);
  return true;
}

std::vector<TWhoisFilterNode> TWhoisMatchTable::Nodes() const {
  std::vector<TWhoisFilterNode> nodes;
  nodes.reserve(keys_.size());
  for (const auto& [key, entry] : keys_) {
    std::vector<std::string> paths = entry.paths;
    std::stable_sort(paths.begin(), paths.end(), LocaleLess);
    TWhoisFilterNode node{key, {}};
    for (const std::string& path : paths) node.domains.push_back(ReportName(path));
    nodes.push_back(std::move(node));
  }
  std::stable_sort(nodes.begin(), nodes.end(),
                   [](const TWhoisFilterNode& a, const TWhoisFilterNode& b) {
                     return LocaleLess(a.key, b.key);
                   });
  return nodes;
}

TWhoisFilterResult WhoisFilterFiles(const std::vector<std::string>& paths,
                                    const std::string& pattern,
                                    const TWhoisFilterProgress& onFile) {
  TWhoisFilterResult result;
  result.files = paths.size();
  std::unique_ptr<TRegExpr> expression;
  try {
    expression = std::make_unique<TRegExpr>(pattern, TRegExpr::roDotAll, /*jit=*/true);
  } catch (const ERegExpError&) {
  }
  TWhoisMatchTable table;
  for (size_t i = 0; i < paths.size(); ++i) {
    if (onFile) onFile(ExtractFileName(paths[i]), i, paths.size());
    if (!expression) continue;
    // The matches found before an error still count, as in
    // GrepExtractFromList.
    try {
      expression->ForEachMatch(ReadWhoisReportText(paths[i]), [&](std::string_view match) {
        result.full = !table.Add(match, paths[i]) || result.full;
        return true;
      });
    } catch (const std::exception&) {
      ++result.skipped;
    }
  }
  result.nodes = table.Nodes();
  return result;
}

std::string WhoisFilterNodeText(const TWhoisFilterNode& node) {
  return node.key + " (" + std::to_string(node.domains.size()) + ")";
}

std::string WhoisFilterTreeText(const TTextTree& tree) {
  std::string text;
  for (const auto& [top, children] : tree) {
    text += "\r\n   " + top + "\r\n";
    for (const std::string& child : children) text += "      " + child + "\r\n";
  }
  return text;
}
