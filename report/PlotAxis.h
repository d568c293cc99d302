#ifndef VARID_REPORT_PLOTAXIS_H
#define VARID_REPORT_PLOTAXIS_H

#include <vector>

#include <wx/string.h>

// One axis of the plot: its range, logarithmic or linear, and the values
// that get a tick and a label. Built from the extent of the data, with a
// margin so that no marker sits on the frame.
class PlotAxis {
public:
    PlotAxis() = default;

    // dMin and dMax must be positive; equal values give a range around them.
    static PlotAxis Log(double dMin, double dMax);
    static PlotAxis Linear(double dMin, double dMax);

    bool IsLog() const { return m_bLog; }
    double GetMin() const { return m_dMin; }
    double GetMax() const { return m_dMax; }
    const std::vector<double>& GetTicks() const { return m_vecTicks; }

    // Where a value lies along the axis: 0 at the minimum, 1 at the maximum.
    double Fraction(double dValue) const;

    // The label of a tick: short, with no trailing zeros.
    static wxString FormatTick(double dValue);

private:
    void ChooseLogTicks();
    void ChooseLinearTicks(int nWanted);

    bool m_bLog = false;
    double m_dMin = 0;
    double m_dMax = 1;
    std::vector<double> m_vecTicks;
};

#endif
