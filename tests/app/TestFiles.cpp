#include "tests/app/TestFiles.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <sys/stat.h>

std::string MakeScratchDir() {
    const char* pTmp = std::getenv("TMPDIR");
    std::string strTemplate = std::string(pTmp && *pTmp ? pTmp : "/tmp") + "/varid-test-XXXXXX";
    if (!mkdtemp(&strTemplate[0])) throw std::runtime_error("mkdtemp failed");
    mkdir((strTemplate + "/home").c_str(), 0700);
    return strTemplate;
}

std::string ReadFile(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& strPath, const std::string& strText) {
    std::ofstream out(strPath, std::ios::binary);
    out << strText;
}

bool FileExists(const std::string& strPath) {
    struct stat st;
    return stat(strPath.c_str(), &st) == 0;
}

std::map<std::string, std::string> ReadIni(const std::string& strPath) {
    std::map<std::string, std::string> entries;
    std::istringstream in(ReadFile(strPath));
    std::string strLine, strGroup;
    while (std::getline(in, strLine)) {
        if (strLine.empty() || strLine[0] == ';' || strLine[0] == '#') continue;
        if (strLine[0] == '[') {
            strGroup = strLine.substr(1, strLine.find(']') - 1);
            continue;
        }
        const size_t nEq = strLine.find('=');
        if (nEq == std::string::npos) continue;
        // Blanks around a value are not part of it.
        std::string strValue = strLine.substr(nEq + 1);
        strValue.erase(0, strValue.find_first_not_of(" \t"));
        strValue.erase(strValue.find_last_not_of(" \t") + 1);
        entries[strGroup + "/" + strLine.substr(0, nEq)] = strValue;
    }
    return entries;
}
