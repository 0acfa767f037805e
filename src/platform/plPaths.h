// Where the program and the user's files live on this platform.
#pragma once

#include <string>

// The running program file.
std::string GetProgramFile();

// The folder of the running program file, with a trailing "/".
std::string GetProgramFolder();

// The current user's application-data folder ($XDG_DATA_HOME, by default
// ~/.local/share), with a trailing "/".
std::string GetAppDataFolder();

// The current user's home folder, with a trailing "/".
std::string GetHomeFolder();

// True when a file can be created in the folder.
bool IsFolderWritable(const std::string& folder);
