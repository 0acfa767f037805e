#include <gtest/gtest.h>

#include "TempFolder.h"
#include "WhoisServerList.h"

TEST(WhoisServerFields, SeparatorsQuotesAndEmptyFields) {
  struct Case {
    std::string line;
    std::vector<std::string> fields;
  } cases[] = {
      {"de|whois.denic.de", {"de", "whois.denic.de"}},
      {"  .de   whois.denic.de  ", {".de", "whois.denic.de"}},
      {".com \t | whois.verisign-grs.com", {".com", "whois.verisign-grs.com"}},
      {"|whois.any.example", {"", "whois.any.example"}},
      {"a||b", {"a", "", "b"}},
      {"a|", {"a", ""}},
      {"a | ", {"a", ""}},
      {"\"quoted | with blanks\"|server", {"quoted | with blanks", "server"}},
      {"\"say \"\"hi\"\"\" x", {"say \"hi\"", "x"}},
      {"\"open quote runs to the end", {"open quote runs to the end"}},
      {"\"ab\"cd|x", {"ab", "cd", "x"}},
      {"one", {"one"}},
      {"", {}},
      {"   \t", {}},
      {"a b c d", {"a", "b", "c", "d"}},
      {std::string("a|b\0|c", 6), {"a", "b"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitWhoisServerFields(c.line), c.fields) << c.line;
}

TEST(WhoisServerTable, LstFileGivesFirstAndSecondFields) {
  TTempFolder dir;
  dir.Write("whois-servers.lst",
            ".de | whois.denic.de | ignored\r\n"
            "single-field\n"
            "\n"
            "|catch.all\r"
            "\"co.uk\" \"whois.nic.uk\"\n");
  dir.Write("whois-servers.txt", "txt=not.used\n");
  TStringList table;
  LoadWhoisServerList(dir.Path(), table);
  EXPECT_EQ(table.Lines(),
            (std::vector<std::string>{".de=whois.denic.de", "=catch.all", "co.uk=whois.nic.uk"}));
}

TEST(WhoisServerTable, TxtFileEntriesAreTakenUnchangedAndNoFileGivesNone) {
  TTempFolder dir;
  dir.Write("whois-servers.txt", "de=whois.denic.de\r\n  com = spaced\nno equals\n");
  TStringList table;
  LoadWhoisServerList(dir.Path(), table);
  EXPECT_EQ(table.Lines(),
            (std::vector<std::string>{"de=whois.denic.de", "  com = spaced", "no equals"}));
  TTempFolder empty;
  TStringList none;
  LoadWhoisServerList(empty.Path(), none);
  EXPECT_TRUE(none.Empty());
  EXPECT_EQ(WhoisGetServer(none, "example.de"), kDefaultWhoisServer);
}

TEST(WhoisGetServer, TheLastMatchingEntryWins) {
  const TStringList comThenLonger({"com=A", "example.com=B"});
  const TStringList longerThenCom({"example.com=B", "com=A"});
  const TStringList withCatchAll({"de=whois.denic.de", "=catch.all"});
  const TStringList upperCase({"DE=whois.denic.de"});
  const TStringList noServer({"de=whois.denic.de", "de=", "no equals"});
  struct Case {
    const TStringList* table;
    std::string domain, server;
  } cases[] = {
      {&comThenLonger, "www.example.com", "B"},
      {&comThenLonger, "other.com", "A"},
      {&longerThenCom, "www.example.com", "A"},
      {&withCatchAll, "example.de", "catch.all"},
      {&upperCase, "example.de", kDefaultWhoisServer},
      {&comThenLonger, "om", kDefaultWhoisServer},  // a name longer than the domain
      {&comThenLonger, "", kDefaultWhoisServer},
      {&noServer, "example.de", "whois.denic.de"},
  };
  for (const auto& c : cases) EXPECT_EQ(WhoisGetServer(*c.table, c.domain), c.server) << c.domain;
}

TEST(WhoisServerTable, TheShippedTableLoadsAndCoversCommonEndings) {
  TStringList table;
  LoadWhoisServerList(CORVINA_DATA_DIR "/", table);
  EXPECT_GT(table.Count(), 100u);
  EXPECT_EQ(WhoisGetServer(table, "example.de"), "whois.denic.de");
  EXPECT_EQ(WhoisGetServer(table, "example.co.uk"), "whois.nic.uk");
  EXPECT_EQ(WhoisGetServer(table, "example.com"), kDefaultWhoisServer);
  EXPECT_EQ(WhoisGetServer(table, "example.co.za"), "whois.registry.net.za");
}
