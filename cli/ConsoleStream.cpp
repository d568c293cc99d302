#include "cli/ConsoleStream.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

void ConsoleStream::PrepareStandardStreams() {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}

void ConsoleStream::Write(FILE* pFile, const wxString& str) {
#ifdef _WIN32
    // A console shows UTF-8 bytes in its own code page: hand it the
    // characters instead.
    const HANDLE hConsole = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(pFile)));
    DWORD dwMode = 0;
    if (hConsole != INVALID_HANDLE_VALUE && GetConsoleMode(hConsole, &dwMode)) {
        std::fflush(pFile);
        const std::wstring wide = str.ToStdWstring();
        DWORD dwWritten = 0;
        WriteConsoleW(hConsole, wide.data(), static_cast<DWORD>(wide.size()), &dwWritten, nullptr);
        return;
    }
#endif
    const wxScopedCharBuffer buf = str.utf8_str();
    std::fwrite(buf.data(), 1, buf.length(), pFile);
}
