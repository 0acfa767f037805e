// The local user accounts: name, full name, privilege level, comment and
// SID, read from the local account database (/etc/passwd in file order,
// /etc/group for the levels).
#pragma once

#include <set>
#include <string>
#include <vector>

enum TUserLevel { ulGuest = 0, ulUser = 1, ulAdmin = 2 };
using TUserLevels = std::set<TUserLevel>;

struct TUserRecord {
  std::string Username;
  std::string Fullname;
  TUserLevel UserLevel = ulUser;
  std::string SIDString;
  std::string Comment;
};

// "Guest", "User" or "Administrator".
std::string UserLevelText(TUserLevel level);

class TUserList {
 public:
  explicit TUserList(bool EnumerateImmdiately = false);

  // Reads every account of the local account database whose level is in
  // UserLevels (MachineName is not used: always the local machine). False
  // when the database cannot be read; the list is then empty.
  bool Enumerate(const std::string& MachineName = "",
                 const TUserLevels& UserLevels = {ulGuest, ulUser, ulAdmin});
  void Clear() { FUsers.clear(); }
  size_t GetCount() const { return FUsers.size(); }
  size_t Count() const { return FUsers.size(); }
  TUserRecord GetUser(size_t UserIndex) const { return FUsers.at(UserIndex); }
  TUserRecord Users(size_t UserIndex) const { return GetUser(UserIndex); }

  // Fills SIDString of every record. An account whose SID cannot be made
  // keeps an empty SID and its error is kept in Failures; every other
  // account still gets its SID. True when all succeeded.
  bool UpdateSIDStrings();
  const std::vector<std::string>& Failures() const { return FFailures; }

 private:
  std::vector<TUserRecord> FUsers;
  std::vector<std::string> FFailures;
};
