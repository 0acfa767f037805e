// The local account database as text files: /etc/passwd and /etc/group,
// or files of a test's own (SetAccountDatabase).
#pragma once

#include <string>
#include <vector>

// The text split at every separator (an empty text is one empty field).
std::vector<std::string> SplitFields(const std::string& text, char separator);
// The lines of an account file, each split at ":"; a file that cannot be
// read gives none.
std::vector<std::vector<std::string>> ReadAccountFile(const std::string& path);
