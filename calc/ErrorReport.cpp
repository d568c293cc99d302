#include "calc/ErrorReport.h"

#include <cstdio>

namespace {
ErrorReportHandler g_handler = nullptr;
}

ErrorReportHandler SetErrorReportHandler(ErrorReportHandler handler) {
    ErrorReportHandler previous = g_handler;
    g_handler = handler;
    return previous;
}

void ReportError(const wxString& message) {
    if (g_handler) {
        g_handler(message);
    } else {
        std::fprintf(stderr, "%s\n", static_cast<const char*>(message.utf8_str()));
    }
}
