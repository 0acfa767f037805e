#include "utSecurity.h"

#include <cstring>
#include <stdexcept>

#include "AccountDatabase.h"
#include "utIniFile.h"

namespace {

constexpr uint32_t ERROR_INSUFFICIENT_BUFFER = 122;
constexpr uint32_t ERROR_NONE_MAPPED = 1332;
constexpr uint32_t ERROR_INVALID_SID = 1337;
constexpr int SidTypeUser = 1;
// The domain Samba names for Unix users.
constexpr const char* kUnixUserDomain = "Unix User";

std::string gPasswd = "/etc/passwd", gGroup = "/etc/group";
uint32_t gLastError = 0;

// The uid of the first account of that name in the passwd file, or false.
bool FindUid(const std::string& name, uint32_t& uid) {
  for (const std::vector<std::string>& f : ReadAccountFile(gPasswd)) {
    if (f.size() < 3 || f[0] != name) continue;
    long long value = 0;
    if (!TryStrToInt64(f[2], value) || value < 0 || value > 0xFFFFFFFFLL) return false;
    uid = static_cast<uint32_t>(value);
    return true;
  }
  return false;
}

}  // namespace

void SetAccountDatabase(const std::string& passwdFile, const std::string& groupFile) {
  gPasswd = passwdFile;
  gGroup = groupFile;
}
const std::string& PasswdFile() { return gPasswd; }
const std::string& GroupFile() { return gGroup; }

uint32_t SecurityLastError() { return gLastError; }

std::string SecurityErrorText(uint32_t code) {
  switch (code) {
    case ERROR_INSUFFICIENT_BUFFER:
      return "The data area passed to a system call is too small.";
    case ERROR_NONE_MAPPED:
      return "No mapping between account names and security IDs was done.";
    case ERROR_INVALID_SID:
      return "The security ID structure is invalid.";
    default:
      return "Error " + std::to_string(code) + ".";
  }
}

bool LookupAccountNameA(const char*, const char* lpAccountName, void* Sid, uint32_t* cbSid,
                        char* ReferencedDomainName, uint32_t* cchReferencedDomainName,
                        int* peUse) {
  uint32_t uid = 0;
  if (!lpAccountName || !cbSid || !cchReferencedDomainName || !FindUid(lpAccountName, uid)) {
    gLastError = ERROR_NONE_MAPPED;
    return false;
  }
  // Revision 1, two sub-authorities, authority 22 (big-endian, 6 bytes),
  // sub-authorities 1 and the uid (little-endian).
  const uint8_t sid[16] = {1, 2, 0, 0, 0, 0, 0, 22, 1, 0, 0, 0,
                           static_cast<uint8_t>(uid), static_cast<uint8_t>(uid >> 8),
                           static_cast<uint8_t>(uid >> 16), static_cast<uint8_t>(uid >> 24)};
  const uint32_t domainLength = static_cast<uint32_t>(std::strlen(kUnixUserDomain));
  if (!Sid || *cbSid < sizeof sid || !ReferencedDomainName ||
      *cchReferencedDomainName < domainLength + 1) {
    *cbSid = sizeof sid;
    *cchReferencedDomainName = domainLength + 1;
    gLastError = ERROR_INSUFFICIENT_BUFFER;
    return false;
  }
  std::memcpy(Sid, sid, sizeof sid);
  *cbSid = sizeof sid;
  std::memcpy(ReferencedDomainName, kUnixUserDomain, domainLength + 1);
  *cchReferencedDomainName = domainLength;
  if (peUse) *peUse = SidTypeUser;
  return true;
}

bool ConvertSidToStringSidA(const void* Sid, std::string& StringSid) {
  const auto* b = static_cast<const uint8_t*>(Sid);
  if (!b || b[0] != 1 || b[1] > 15) {
    gLastError = ERROR_INVALID_SID;
    return false;
  }
  uint64_t authority = 0;
  for (int i = 2; i < 8; ++i) authority = (authority << 8) | b[i];
  std::string text = "S-1-" + std::to_string(authority);
  for (int i = 0; i < b[1]; ++i) {
    const uint8_t* s = b + 8 + 4 * i;
    text += "-" + std::to_string(static_cast<uint32_t>(s[0] | (s[1] << 8) | (s[2] << 16)) |
                                 (static_cast<uint32_t>(s[3]) << 24));
  }
  StringSid = text;
  return true;
}

std::vector<uint8_t> utLookupAccountName(const std::string& AccountName,
                                         const std::string& SystemName) {
  uint32_t sidSize = 0, domainSize = 0;
  int use = 0;
  LookupAccountNameA(SystemName.c_str(), AccountName.c_str(), nullptr, &sidSize, nullptr,
                     &domainSize, &use);
  std::vector<uint8_t> sid(sidSize);
  std::string domain(domainSize * 2, '\0');
  if (!LookupAccountNameA(SystemName.c_str(), AccountName.c_str(), sid.data(), &sidSize,
                          domain.data(), &domainSize, &use))
    throw std::runtime_error("utLookupAccountName.LookupAccountName failed (" +
                             SecurityErrorText(SecurityLastError()) + ")!");
  return sid;
}

void utConvertSidToStringSid(const std::vector<uint8_t>& Sid, std::string& S) {
  S.clear();
  if (Sid.size() < 8 || Sid.size() < 8u + 4u * Sid[1] || !ConvertSidToStringSidA(Sid.data(), S))
    throw std::runtime_error("utConvertSidToStringSid.ConvertSidToStringSid failed (" +
                             SecurityErrorText(ERROR_INVALID_SID) + ")!");
}
