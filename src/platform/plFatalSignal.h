// Last words of a program that receives a fatal signal (SIGSEGV, SIGBUS,
// SIGFPE, SIGILL, SIGABRT): a report file with the signal, the version, the
// time and a stack trace is written into a folder, then the signal ends the
// program as it would have without the handler.
#pragma once

#include <string>

// Installs the handler. The report goes to folder + "crash-" + UNIX time +
// "-" + process id + ".txt". May be called again to change the folder.
void InstallFatalSignalHandler(const std::string& folder, const std::string& version);

// The path the handler writes to for the given time and process id.
std::string FatalSignalReportPath(const std::string& folder, long long unixTime, long pid);
