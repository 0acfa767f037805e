#include <gtest/gtest.h>

#include "TempFolder.h"
#include "utFiles.h"
#include "utStringList.h"

TEST(StringList, NamesAndValuesSplitAtTheFirstEquals) {
  TStringList list({"Name=Value=More", "plain", "=empty name", "x="});
  EXPECT_EQ(list.Names(0), "Name");
  EXPECT_EQ(list.ValueFromIndex(0), "Value=More");
  EXPECT_EQ(list.Names(1), "");
  EXPECT_EQ(list.ValueFromIndex(1), "");
  EXPECT_EQ(list.Names(2), "");
  EXPECT_EQ(list.ValueFromIndex(2), "empty name");
  EXPECT_EQ(list.IndexOfName("NAME"), 0);
  EXPECT_EQ(list.IndexOfName("plain"), -1);
  EXPECT_EQ(list.IndexOfName("X"), 3);
  EXPECT_EQ(list.Values("name"), "Value=More");
  EXPECT_EQ(list.Values("missing"), "");
}

TEST(StringList, SetValueReplacesAppendsAndRemoves) {
  TStringList list({"a=1", "B=2", "a=3"});
  list.SetValue("A", "9");
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"A=9", "B=2", "a=3"}));
  list.SetValue("c", "4");
  EXPECT_EQ(list[3], "c=4");
  list.SetValue("b", "");
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"A=9", "a=3", "c=4"}));
  list.SetValue("missing", "");
  EXPECT_EQ(list.Count(), 3u);
}

TEST(StringList, SortIgnoresLetterCaseAndKeepsEqualLinesInOrder) {
  TStringList list({"beta", "Alpha", "alpha", "Gamma", "ALPHA"});
  list.Sort();
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"Alpha", "alpha", "ALPHA", "beta", "Gamma"}));
}

TEST(StringList, TextRoundTripAndFiles) {
  TStringList list;
  list.SetText("one\ntwo\r\nthree\r");
  EXPECT_EQ(list.Text(), "one\r\ntwo\r\nthree\r\n");
  TTempFolder dir;
  list.SaveToFile(dir.Path() + "list.txt");
  EXPECT_EQ(ReadFileBytes(dir.Path() + "list.txt"), "one\r\ntwo\r\nthree\r\n");
  TStringList again;
  again.LoadFromFile(dir.Path() + "list.txt");
  EXPECT_EQ(again.Lines(), list.Lines());
  EXPECT_THROW(again.LoadFromFile(dir.Path() + "missing.txt"), EFileError);
}
