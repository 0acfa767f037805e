// Security identifiers of local accounts. A Unix account's SID is the one
// Samba gives Unix users: "S-1-22-1-" + uid (authority 22, sub-authorities
// 1 and the uid), held as a real binary SID structure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The account database the look-ups read: /etc/passwd and /etc/group, or
// files of a test's own.
void SetAccountDatabase(const std::string& passwdFile, const std::string& groupFile);
const std::string& PasswdFile();
const std::string& GroupFile();

// The stand-in of the system's LookupAccountNameA: the SID of an account
// of the local account database. With a buffer too small (or none), false
// with the sizes needed in cbSid and cchReferencedDomainName; an unknown
// name gives false with the last error 1332 (ERROR_NONE_MAPPED).
bool LookupAccountNameA(const char* lpSystemName, const char* lpAccountName, void* Sid,
                        uint32_t* cbSid, char* ReferencedDomainName,
                        uint32_t* cchReferencedDomainName, int* peUse);
// The stand-in of ConvertSidToStringSidA: "S-1-" + authority + each
// sub-authority. False (last error 1337, ERROR_INVALID_SID) for a buffer
// that is no SID.
bool ConvertSidToStringSidA(const void* Sid, std::string& StringSid);
// The last error of the two functions above, and its text.
uint32_t SecurityLastError();
std::string SecurityErrorText(uint32_t code);

// A newly made SID of the account; raises "utLookupAccountName.
// LookupAccountName failed (<reason>)!" when there is none.
std::vector<uint8_t> utLookupAccountName(const std::string& AccountName,
                                         const std::string& SystemName);
// The text form of a SID; raises "utConvertSidToStringSid.
// ConvertSidToStringSid failed (<reason>)!".
void utConvertSidToStringSid(const std::vector<uint8_t>& Sid, std::string& S);
