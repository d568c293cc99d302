#include "grid/ResultFormat.h"

#include <algorithm>
#include <cmath>

#include "grid/PanelContents.h"

wxString ResultFormat::FormatCorrection(double v) {
    const double a = std::fabs(v);
    if (a > 10 && a < 100) return wxString::Format(wxT("%.1f"), v);
    if (a < 100) return wxString::Format(wxT("%.f"), v);
    return wxString::Format(wxT("%.3f"), v);
}

wxString ResultFormat::FormatAccuracy(double v) { return wxString::Format(wxT("%.1f"), v); }

wxString ResultFormat::FormatKeff(double v) { return wxString::Format(wxT("%.1f"), v); }

wxString ResultFormat::FormatCoefficient(double v) { return wxString::Format(wxT("%.3f"), v); }

wxString ResultFormat::FormatResult(int nResult, double v) {
    return nResult == panel::kResultKeff ? FormatKeff(v) : FormatCoefficient(v);
}

wxString ResultFormat::FormatUncertainty(double v) {
    if (!std::isfinite(v) || v <= 0) return wxString::Format(wxT("%g"), v);
    const int nDecimals = std::max(0, 1 - static_cast<int>(std::floor(std::log10(v))));
    return wxString::Format(wxT("%.*f"), nDecimals, v);
}
