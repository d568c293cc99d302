#ifndef VARID_CLI_CONSOLESTREAM_H
#define VARID_CLI_CONSOLESTREAM_H

#include <cstdio>
#include <string>

#include <wx/string.h>

// The command's standard streams as its users see them. Files and pipes get
// the exact bytes (UTF-8, CSV with CR LF record ends); a Windows console gets
// the characters themselves, whatever its code page.
class ConsoleStream {
public:
    // Before anything is written: on Windows, standard output and error in
    // binary mode, so that the C runtime does not turn "\r\n" into "\r\r\n".
    static void PrepareStandardStreams();

    // Writes the text, as UTF-8 or to the console.
    static void Write(FILE* pFile, const wxString& str);

    // Writes UTF-8 text (the CSV): to a file or pipe byte for byte, to a
    // console as characters. False when it could not be written.
    static bool WriteUtf8(FILE* pFile, const std::string& text);
};

#endif
