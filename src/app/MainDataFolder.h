// The choice of the data folder at start.
#pragma once

#include <string>

// The data folder: the application-data folder when "Toolbench.ini" in the
// program folder has BartPE=1 in its section "Corvina", otherwise the
// program folder. Both folders end in "/", and so does the result.
std::string ChooseDataFolder(const std::string& appPathFixed, const std::string& appDataFolder);
