#include <gtest/gtest.h>

#include "TempFolder.h"
#include "UserList.h"
#include "utSecurity.h"
#include "utStringList.h"

namespace {

using V = std::vector<std::string>;

// An account database of the test's own, in place while it lives.
struct TAccounts {
  TTempFolder dir;
  TAccounts(const std::string& passwd, const std::string& group) {
    SetAccountDatabase(dir.Write("passwd", passwd), dir.Write("group", group));
  }
  ~TAccounts() { SetAccountDatabase("/etc/passwd", "/etc/group"); }
};

std::string Row(const TUserRecord& u) {
  return u.Username + "|" + u.Fullname + "|" + UserLevelText(u.UserLevel) + "|" + u.SIDString +
         "|" + u.Comment;
}

}  // namespace

TEST(UserAccounts, LevelsNamesCommentsAndSidsInFileOrder) {
  TAccounts db(
      "root:x:0:0:root:/root:/bin/bash\n"
      "daemon:x:1:1::/usr/sbin:/usr/sbin/nologin\n"
      "ann:x:1000:1000:Ann Admin,Room 1,555-1,,likes cats:/home/ann:/bin/bash\n"
      "bob:x:1001:1001:Bob:/home/bob:/bin/bash\n"
      "gus:x:1002:1002:Gus Guest:/home/gus:/bin/sh\n"
      "wes:x:1003:27:Wheel By Group:/home/wes:/bin/sh\n"
      "nobody:x:65534:65534:nobody:/nonexistent:/usr/sbin/nologin\n"
      "m\xfcller:x:1004:1004:J\xfcrgen M\xfcller:/home/m:/bin/sh\n"
      "broken line without fields\n",
      "root:x:0:\nsudo:x:27:ann\nguests:x:900:gus\nwheel:x:28:\nadmin:x:29:bob,x\n");
  TUserList users(true);
  V rows;
  for (size_t i = 0; i < users.Count(); ++i) rows.push_back(Row(users.Users(i)));
  EXPECT_EQ(rows, (V{"root|root|Administrator||", "daemon||User||",
                     "ann|Ann Admin|Administrator||Room 1, 555-1, likes cats",
                     "bob|Bob|Administrator||", "gus|Gus Guest|Guest||",
                     "wes|Wheel By Group|Administrator||", "nobody|nobody|Guest||",
                     "m\xfcller|J\xfcrgen M\xfcller|User||"}));
  EXPECT_TRUE(users.UpdateSIDStrings());
  EXPECT_EQ(users.Users(0).SIDString, "S-1-22-1-0");
  EXPECT_EQ(users.Users(2).SIDString, "S-1-22-1-1000");
  EXPECT_EQ(users.Users(6).SIDString, "S-1-22-1-65534");

  // Only the levels asked for.
  users.Enumerate("", {ulGuest});
  EXPECT_EQ(users.Count(), 2u);
}

TEST(UserAccounts, SidsAreBinaryStructuresAndLookupsFailClearly) {
  TAccounts db("big:x:4294967294:1::/:/bin/sh\n", "");
  const std::vector<uint8_t> sid = utLookupAccountName("big", "");
  EXPECT_EQ(sid, (std::vector<uint8_t>{1, 2, 0, 0, 0, 0, 0, 22, 1, 0, 0, 0, 0xFE, 0xFF, 0xFF,
                                       0xFF}));
  std::string text;
  utConvertSidToStringSid(sid, text);
  EXPECT_EQ(text, "S-1-22-1-4294967294");
  try {
    utLookupAccountName("nosuchuser", "");
    FAIL();
  } catch (const std::exception& e) {
    EXPECT_EQ(std::string(e.what()),
              "utLookupAccountName.LookupAccountName failed (No mapping between account names "
              "and security IDs was done.)!");
  }
  EXPECT_THROW(utConvertSidToStringSid({9, 9}, text), std::runtime_error);
  EXPECT_THROW(utConvertSidToStringSid({1, 5, 0, 0, 0, 0, 0, 22}, text), std::runtime_error);
}

TEST(UserAccounts, OneAccountWithoutASidStillListsTheOthers) {
  // The look-up finds the first "dup" line, whose uid is no number: that
  // account has no SID; the others still get theirs.
  TAccounts db("ok:x:1:1::/:/bin/sh\ndup:x:bad:1::/:/bin/sh\ndup:x:7:7::/:/bin/sh\n"
               "last:x:2:2::/:/bin/sh\n",
               "");
  TUserList users(true);
  ASSERT_EQ(users.Count(), 3u);
  EXPECT_FALSE(users.UpdateSIDStrings());
  EXPECT_EQ(users.Users(0).SIDString, "S-1-22-1-1");
  EXPECT_EQ(users.Users(1).SIDString, "");
  EXPECT_EQ(users.Users(2).SIDString, "S-1-22-1-2");
  ASSERT_EQ(users.Failures().size(), 1u);
  EXPECT_EQ(users.Failures()[0].rfind("dup: utLookupAccountName.LookupAccountName failed", 0), 0u);
}

TEST(UserAccounts, TheMachinesOwnAccountsInTheirFileOrder) {
  TUserList users(true);
  TStringList passwd;
  passwd.LoadFromFile("/etc/passwd");
  V names, expected;
  for (size_t i = 0; i < users.Count(); ++i) names.push_back(users.Users(i).Username);
  for (const std::string& line : passwd.Lines())
    if (!line.empty() && line[0] != '#') expected.push_back(line.substr(0, line.find(':')));
  EXPECT_EQ(names, expected);
  EXPECT_TRUE(users.UpdateSIDStrings());
  ASSERT_GT(users.Count(), 0u);
  EXPECT_EQ(users.Users(0).SIDString.rfind("S-1-22-1-", 0), 0u);
}
