// International domain names: the ASCII form registries understand
// ("bücher.de" is asked as "xn--bcher-kva.de"), made with IDNA 2008
// (libidn2, non-transitional, as whois(1) does).
#pragma once

#include <string>
#include <string_view>

// The ASCII form of a domain typed by the user. A domain of ASCII letters
// only is returned as it is; false (with the reason) when a label cannot
// be written in ASCII.
bool WhoisDomainToAscii(std::string_view typed, std::string& ascii, std::string& error);
