#include "cli/ConsoleStream.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace {

#ifdef _WIN32
// The stream's console, or null when it is a file or a pipe.
HANDLE ConsoleOf(FILE* pFile) {
    const HANDLE hStream = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(pFile)));
    DWORD dwMode = 0;
    if (hStream == INVALID_HANDLE_VALUE || !GetConsoleMode(hStream, &dwMode)) return nullptr;
    return hStream;
}

// A console shows UTF-8 bytes in its own code page: hand it the characters.
bool WriteToConsole(HANDLE hConsole, FILE* pFile, const wxString& str) {
    std::fflush(pFile);
    const std::wstring wide = str.ToStdWstring();
    DWORD dwWritten = 0;
    return WriteConsoleW(hConsole, wide.data(), static_cast<DWORD>(wide.size()), &dwWritten,
                         nullptr) &&
           dwWritten == wide.size();
}
#endif

}  // namespace

void ConsoleStream::PrepareStandardStreams() {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}

void ConsoleStream::Write(FILE* pFile, const wxString& str) {
#ifdef _WIN32
    if (const HANDLE hConsole = ConsoleOf(pFile)) {
        WriteToConsole(hConsole, pFile, str);
        return;
    }
#endif
    const wxScopedCharBuffer buf = str.utf8_str();
    std::fwrite(buf.data(), 1, buf.length(), pFile);
}

bool ConsoleStream::WriteUtf8(FILE* pFile, const std::string& text) {
#ifdef _WIN32
    if (const HANDLE hConsole = ConsoleOf(pFile)) {
        // The byte-order mark is for spreadsheets; a console would show it
        // as letters.
        static const std::string kByteOrderMark = "\xEF\xBB\xBF";
        const size_t nSkip =
            text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0 ? kByteOrderMark.size() : 0;
        return WriteToConsole(hConsole, pFile,
                              wxString::FromUTF8(text.data() + nSkip, text.size() - nSkip));
    }
#endif
    return std::fwrite(text.data(), 1, text.size(), pFile) == text.size() &&
           std::fflush(pFile) == 0;
}
