#include "grid/ResultFormat.h"

#include <cmath>

wxString ResultFormat::FormatCorrection(double v) {
    const double a = std::fabs(v);
    if (a > 10 && a < 100) return wxString::Format(wxT("%.1f"), v);
    if (a < 100) return wxString::Format(wxT("%.f"), v);
    return wxString::Format(wxT("%.3f"), v);
}

wxString ResultFormat::FormatAccuracy(double v) { return wxString::Format(wxT("%.1f"), v); }

wxString ResultFormat::FormatKeff(double v) { return wxString::Format(wxT("%.1f"), v); }

wxString ResultFormat::FormatCoefficient(double v) { return wxString::Format(wxT("%.3f"), v); }
