// One-call registry helpers: each opens one key in a fresh TMyRegistry,
// reads or writes one value and releases everything again.
#pragma once

#include <cstdint>
#include <string>

#include "brmRegistry.h"

bool utRegWriteSingleString(HKEY RootKey, const std::string& Key, const std::string& Value,
                            const std::string& Data, uint8_t AccessBits);
// rdString, rdExpandString or rdMultiString; any other kind writes nothing
// and gives false (the key is created all the same).
bool utRegWriteSingleStringByType(HKEY RootKey, const std::string& Key, const std::string& Value,
                                  const std::string& Data, TRegDataType DataType,
                                  uint8_t AccessBits);
// Strings and expandable strings as stored, multi-strings with CR LF after
// every string; false (and Data unchanged) for other kinds and missing values.
bool utRegReadSingleString(HKEY RootKey, const std::string& Key, const std::string& Value,
                           std::string& Data, uint8_t AccessBits);
bool utRegWriteSingleInteger(HKEY RootKey, const std::string& Key, const std::string& Value,
                             int32_t Data, uint8_t AccessBits);
// Errors are swallowed and give false.
bool utRegKeyExists(HKEY RootKey, const std::string& Key, bool Lookup64Bit);
