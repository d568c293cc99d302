#ifndef VARID_TESTS_APP_TESTFILES_H
#define VARID_TESTS_APP_TESTFILES_H

#include <map>
#include <string>

// File helpers for tests that run the application in a scratch directory.

// A fresh directory under the system's temporary directory, with a "home"
// subdirectory for the single-instance lock.
std::string MakeScratchDir();

std::string ReadFile(const std::string& strPath);
void WriteFile(const std::string& strPath, const std::string& strText);
bool FileExists(const std::string& strPath);

// The entries of an ini file as "group/key" -> value (no unescaping: the test
// values contain nothing the format escapes).
std::map<std::string, std::string> ReadIni(const std::string& strPath);

#endif
