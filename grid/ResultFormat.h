#ifndef VARID_GRID_RESULTFORMAT_H
#define VARID_GRID_RESULTFORMAT_H

#include <wx/string.h>

// How results are shown, wherever they are shown: grid cells, boxes, files.
class ResultFormat {
public:
    // Fewer decimals for smaller magnitudes of a corrected value.
    static wxString FormatCorrection(double v);
    // Accuracy in percent, one decimal.
    static wxString FormatAccuracy(double v);
    // Registration efficacy, one decimal.
    static wxString FormatKeff(double v);
    // Dead time and K1 to K3, three decimals.
    static wxString FormatCoefficient(double v);
    // One of the five results by its place in panel::kResultBoxes: Keff as
    // FormatKeff, the others as FormatCoefficient.
    static wxString FormatResult(int nResult, double v);
    // An uncertainty with two significant digits, never in exponent form.
    static wxString FormatUncertainty(double v);
};

#endif
