#include <gtest/gtest.h>

#include <clocale>

#include "TempFolder.h"
#include "WhoisFilter.h"
#include "WhoisReports.h"
#include "utFiles.h"

namespace {

using V = std::vector<std::string>;

// A report folder of the test's own: name -> report text.
struct TReportFolder {
  TTempFolder data;
  std::string Add(const std::string& name, const std::string& text) {
    return data.Write("Query/Whois/" + name, text);
  }
};

}  // namespace

TEST(WhoisReports, SaveNameIsTheCleanedDomainInLowerCaseAndTheTime) {
  const TDateTime when = EncodeDateTime({2009, 3, 7, 14, 5, 9});
  EXPECT_EQ(WhoisSaveFileName("Example.COM", when), "example.com.2009-03-07.14-05-09.txt");
  EXPECT_EQ(WhoisSaveFileName("A*B?/c", when), "a_b__c.2009-03-07.14-05-09.txt");
  EXPECT_EQ(WhoisSaveTimeText(EncodeDateTime({2026, 12, 31, 0, 0, 0})), "2026-12-31.00-00-00");
}

TEST(WhoisReports, OldReportsAreGroupedByFirstLetterInTheOrderOfTheirFirstReport) {
  std::setlocale(LC_ALL, "C");
  const auto groups = GroupWhoisReports(
      {"/d/bravo.test.txt", "/d/alpha.test.txt", "/d/Able.test.txt", "/d/7seas.test.txt",
       "/d/.txt", "/d/abc"});
  std::vector<std::string> shown;
  for (const auto& g : groups) {
    shown.push_back(g.letter + "...");
    for (const auto& r : g.reports) shown.push_back("  " + r.caption + " " + r.path);
  }
  // ".txt" alone gives no item; "abc" is cut to nothing past four characters.
  EXPECT_EQ(shown, (V{"7...", "  7seas.test /d/7seas.test.txt", "A...",
                      "  Able.test /d/Able.test.txt", "  alpha.test /d/alpha.test.txt", "B...",
                      "  bravo.test /d/bravo.test.txt"}));
}

TEST(WhoisReports, ADomainListIsSortedWithoutRegardToCaseAndKeepsEveryLine) {
  std::setlocale(LC_ALL, "C");
  TTempFolder dir;
  const std::string file = dir.Write("list.txt", "b.test\r\nA.test\n\na.test\r B.test \n");
  // Nothing is trimmed: the blank before " B.test " sorts it first.
  EXPECT_EQ(ReadWhoisDomainList(file).Lines(), (V{"", " B.test ", "A.test", "a.test", "b.test"}));
  // A list larger than the read bound is refused, not cut.
  const std::string big = dir.Write("big.txt", std::string(kMaxReadFileSize + 1, 'x'));
  EXPECT_THROW(ReadWhoisDomainList(big), EFileError);
}

TEST(WhoisReports, ReportFilesReadAsLinesEndingInCrLf) {
  TTempFolder dir;
  const struct {
    std::string bytes, text;
  } cases[] = {{"a\r\nb\r\n", "a\r\nb\r\n"}, {"a\nb", "a\r\nb\r\n"}, {"a\rb\r\n", "a\r\nb\r\n"},
               {"", ""}};
  for (const auto& c : cases)
    EXPECT_EQ(ReadWhoisReportText(dir.Write("r.txt", c.bytes)), c.text) << c.bytes;
}

TEST(WhoisFilter, MatchesFoldIntoOneKeyCountedOncePerReport) {
  std::setlocale(LC_ALL, "C");
  TReportFolder folder;
  const std::vector<std::string> paths = {
      folder.Add("one.test.txt", "Admin: Owner@Example.COM\r\nTech: OWNER@EXAMPLE.COM\r\n"),
      folder.Add("Two.test.txt", "Email: owner@example.com\r\nns1.two.test\r\n"),
      folder.Add("three.test.txt", "Email: OWNER@example.com\r\nabuse@zz.example\r\n"),
      folder.Add("none.test.txt", "nothing here\r\n"),
  };
  const TWhoisFilterResult result = WhoisFilterFiles(paths, GrepExtractEmailPattern);
  ASSERT_EQ(result.nodes.size(), 2u);
  EXPECT_EQ(WhoisFilterNodeText(result.nodes[0]), "abuse@zz.example (1)");
  EXPECT_EQ(result.nodes[0].domains, V{"three.test"});
  EXPECT_EQ(WhoisFilterNodeText(result.nodes[1]), "owner@example.com (3)");
  EXPECT_EQ(result.nodes[1].domains, (V{"one.test", "three.test", "Two.test"}));
  EXPECT_EQ(result.files, 4u);
  EXPECT_EQ(result.skipped, 0u);

  TTextTree tree;
  for (const auto& n : result.nodes) tree.emplace_back(WhoisFilterNodeText(n), n.domains);
  EXPECT_EQ(WhoisFilterTreeText(tree),
            "\r\n   abuse@zz.example (1)\r\n      three.test\r\n"
            "\r\n   owner@example.com (3)\r\n      one.test\r\n      three.test\r\n      Two.test\r\n");
  EXPECT_EQ(WhoisFilterTreeText({}), "");
}

TEST(WhoisFilter, MissingFilesAreSkippedAndABadPatternFindsNothing) {
  TReportFolder folder;
  const std::vector<std::string> paths = {
      folder.Add("a.test.txt", "x@a.example\r\n"),
      folder.data.Path() + "Query/Whois/removed.test.txt",
      folder.Add("b.test.txt", "y@b.example\r\n"),
  };
  std::vector<std::string> seen;
  const TWhoisFilterResult result = WhoisFilterFiles(
      paths, GrepExtractEmailPattern,
      [&](const std::string& name, size_t done, size_t total) {
        seen.push_back(name + " " + std::to_string(done) + "/" + std::to_string(total));
      });
  EXPECT_EQ(result.nodes.size(), 2u);
  EXPECT_EQ(result.skipped, 1u);
  EXPECT_EQ(seen, (V{"a.test.txt 0/3", "removed.test.txt 1/3", "b.test.txt 2/3"}));
  EXPECT_TRUE(WhoisFilterFiles(paths, "([unclosed").nodes.empty());

  TStringList out;
  GrepExtractFromList("ns\\d\\.[a-z.]+", TStringList({"ns1.a.example ns2.b.example", "x"}), out);
  EXPECT_EQ(out.Lines(), (V{"ns1.a.example", "ns2.b.example"}));
  GrepExtractFromList("(", TStringList({"x"}), out);
  EXPECT_TRUE(out.Empty());
}
