#include "report/PlotAxis.h"

#include <algorithm>
#include <cmath>

namespace {

// Share of the data's span added on each side, and the least margin (in
// decades for a logarithmic axis).
const double kMargin = 0.06;
const double kLeastLogMargin = 0.02;

}  // namespace

PlotAxis PlotAxis::Log(double dMin, double dMax) {
    PlotAxis axis;
    axis.m_bLog = true;
    double lo = std::log10(dMin), hi = std::log10(dMax);
    const double span = hi - lo;
    // A single value gets half a decade on each side.
    const double margin = span > 0 ? std::max(span * kMargin, kLeastLogMargin) : 0.5;
    lo -= margin;
    hi += margin;
    axis.m_dMin = std::pow(10.0, lo);
    axis.m_dMax = std::pow(10.0, hi);
    axis.ChooseLogTicks();
    return axis;
}

PlotAxis PlotAxis::Linear(double dMin, double dMax) {
    PlotAxis axis;
    const double span = dMax - dMin;
    const double margin = span > 0 ? span * kMargin : std::max(std::fabs(dMin) * 0.1, 1.0);
    axis.m_dMin = dMin - margin;
    axis.m_dMax = dMax + margin;
    axis.ChooseLinearTicks(5);
    return axis;
}

double PlotAxis::Fraction(double dValue) const {
    if (m_bLog)
        return (std::log10(dValue) - std::log10(m_dMin)) /
               (std::log10(m_dMax) - std::log10(m_dMin));
    return (dValue - m_dMin) / (m_dMax - m_dMin);
}

void PlotAxis::ChooseLogTicks() {
    const double lo = std::log10(m_dMin), hi = std::log10(m_dMax);
    // Decades when there are enough of them, else 1-2-5, else every mantissa;
    // a range inside one step of those gets linear ticks.
    const std::vector<std::vector<double>> mantissas = {
        {1}, {1, 2, 5}, {1, 2, 3, 4, 5, 6, 7, 8, 9}};
    for (const auto& set : mantissas) {
        std::vector<double> ticks;
        for (int k = static_cast<int>(std::floor(lo)); k <= static_cast<int>(std::ceil(hi)); ++k)
            for (double m : set) {
                const double v = m * std::pow(10.0, k);
                if (v >= m_dMin && v <= m_dMax) ticks.push_back(v);
            }
        if (ticks.size() >= 3 || (set.size() == 9 && ticks.size() >= 2)) {
            // Many decades: every second, third... so the labels do not crowd.
            const size_t step = (ticks.size() + 7) / 8;
            for (size_t i = 0; i < ticks.size(); i += step) m_vecTicks.push_back(ticks[i]);
            return;
        }
    }
    ChooseLinearTicks(4);
}

void PlotAxis::ChooseLinearTicks(int nWanted) {
    m_vecTicks.clear();
    const double raw = (m_dMax - m_dMin) / nWanted;
    if (!(raw > 0) || !std::isfinite(raw)) return;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double norm = raw / magnitude;
    const double step = (norm < 1.5 ? 1 : norm < 3 ? 2 : norm < 7 ? 5 : 10) * magnitude;
    // Bounded, in case a huge offset leaves k + 1 == k.
    const double first = std::ceil(m_dMin / step);
    for (double k = first; k * step <= m_dMax && k - first < 50; ++k) {
        const double v = k * step;
        // Zero computed as k * step may come out as -0 or a tiny remainder.
        m_vecTicks.push_back(std::fabs(v) < step * 1e-9 ? 0 : v);
    }
}

wxString PlotAxis::FormatTick(double dValue) { return wxString::Format(wxT("%g"), dValue); }
