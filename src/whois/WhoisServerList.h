// The whois server table: name=value entries of a domain ending and the
// whois server for domains with that ending.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "utStringList.h"

// The registry whois server for domains that no entry matches, and the
// second host name of the same registry; both get "domain " in front of the
// query.
inline constexpr const char* kDefaultWhoisServer = "whois.verisign-grs.com";
inline constexpr const char* kSecondRegistryHost = "whois.crsnic.net";
// The server of an entry for an ending that has no port-43 whois server
// (its registry serves RDAP only).
inline constexpr const char* kNoWhoisServer = "-";

// The fields of one line of "whois-servers.lst": separated by "|" and by
// runs of blanks and control characters; a field in double quotes may hold
// both ("" inside stands for one quote).
std::vector<std::string> SplitWhoisServerFields(std::string_view line);

// Loads the table from the program folder: "whois-servers.lst" when it
// exists (first field = second field for every line of two or more fields),
// else "whois-servers.txt" (its lines unchanged), else nothing.
void LoadWhoisServerList(const std::string& programFolder, TStringList& table);

// The server for a domain (passed in lower case): the server of the last
// entry whose name is empty or ends the domain (letter case counts), or the
// default server. An entry that names no server (no "=", or nothing after
// it) selects nothing.
std::string WhoisGetServer(const TStringList& table, std::string_view domain);
