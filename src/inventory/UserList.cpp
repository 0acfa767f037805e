#include "UserList.h"

#include <map>

#include "AccountDatabase.h"
#include "utFiles.h"
#include "utIniFile.h"
#include "utSecurity.h"
#include "utStringList.h"
#include "utStrings.h"

namespace {

constexpr uint32_t kNobody = 65534;

// The groups of the group file: name, gid and the names of their members.
struct TGroup {
  std::string name;
  std::string gid;
  std::set<std::string> members;
};

std::vector<TGroup> ReadGroups(const std::string& file) {
  std::vector<TGroup> groups;
  for (const std::vector<std::string>& f : ReadAccountFile(file)) {
    if (f.size() < 4) continue;
    TGroup g{f[0], f[2], {}};
    for (const std::string& member : SplitFields(f[3], ','))
      if (!member.empty()) g.members.insert(member);
    groups.push_back(std::move(g));
  }
  return groups;
}

}  // namespace

std::string UserLevelText(TUserLevel level) {
  switch (level) {
    case ulGuest:
      return "Guest";
    case ulUser:
      return "User";
    case ulAdmin:
      return "Administrator";
  }
  return "";
}

TUserList::TUserList(bool EnumerateImmdiately) {
  if (EnumerateImmdiately) Enumerate();
}

bool TUserList::Enumerate(const std::string&, const TUserLevels& UserLevels) {
  Clear();
  if (!FileExists(PasswdFile())) return false;
  const std::vector<TGroup> groups = ReadGroups(GroupFile());
  const auto memberOf = [&](const std::string& user, const std::string& gid,
                            std::initializer_list<const char*> names) {
    for (const TGroup& g : groups)
      for (const char* name : names)
        if (g.name == name && (g.members.count(user) || g.gid == gid)) return true;
    return false;
  };
  for (const std::vector<std::string>& f : ReadAccountFile(PasswdFile())) {
    // name:password:uid:gid:gecos:home:shell
    if (f.size() < 7 || f[0].empty()) continue;
    long long uid = -1;
    if (!TryStrToInt64(f[2], uid) || uid < 0) continue;
    TUserRecord r;
    r.Username = f[0];
    // The GECOS field: full name, then room, work phone, home phone and
    // other; the comment is those that are not empty.
    const std::vector<std::string> gecos = SplitFields(f[4], ',');
    r.Fullname = gecos[0];
    for (size_t i = 1; i < gecos.size(); ++i)
      if (!gecos[i].empty()) r.Comment += (r.Comment.empty() ? "" : ", ") + gecos[i];
    if (uid == 0 || memberOf(f[0], f[3], {"sudo", "wheel", "admin"}))
      r.UserLevel = ulAdmin;
    else if (uid == kNobody || memberOf(f[0], f[3], {"guest", "guests"}))
      r.UserLevel = ulGuest;
    else
      r.UserLevel = ulUser;
    if (UserLevels.count(r.UserLevel)) FUsers.push_back(std::move(r));
  }
  return true;
}

bool TUserList::UpdateSIDStrings() {
  FFailures.clear();
  for (TUserRecord& r : FUsers) {
    try {
      utConvertSidToStringSid(utLookupAccountName(r.Username, ""), r.SIDString);
    } catch (const std::exception& e) {
      r.SIDString.clear();
      FFailures.push_back(r.Username + ": " + e.what());
    }
  }
  return FFailures.empty();
}
