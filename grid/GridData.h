#ifndef VARID_GRID_GRIDDATA_H
#define VARID_GRID_GRIDDATA_H

#include <vector>

#include <wx/string.h>

#include "grid/PanelContents.h"

class Calculator;

// The measurement grid's reading rules without a window: which rows are
// complete, which are chosen, whether column 3 holds second readings, and how
// the calibration points reach the engine. The panel, the export command and
// the plot all read a grid through this class.
class GridData {
public:
    static constexpr int kCheckCol = 0;
    static constexpr int kRealPCol = 1;
    static constexpr int kFirstReadingCol = 2;
    static constexpr int kSecondReadingCol = 3;
    static constexpr int kCorrectionCol = 4;
    static constexpr int kAccuracyCol = 5;

    // A text is a number only when the conversion uses it up entirely, so
    // "0,5" or "5 us" are refused instead of silently shortened.
    static bool ReadNumber(const wxString& str, double& dOut);
    // Column 3 is in use as soon as any row holds a number there, so a typed
    // reading is never dropped because row 0 happens to lack one.
    static bool IsSecondColumnInUse(const panel::GridTable& table);
    // Rows whose tick cell reads as ticked.
    static int CountChosenRows(const panel::GridTable& table);
    // Count or Set has written results into the table (for the manual grid:
    // Set was used on what it shows).
    static bool ShowsResults(const panel::GridTable& table);
    // The grid of the final set: the manual grid once Set has shown its rows
    // there, else the measurement grid.
    static const panel::GridTable& FinalTable(const panel::Contents& contents);

    // Collects every complete row in grid order. With bSingleValueColumn the
    // first reading stands for both. False when the grid breaks a rule of
    // Count: a row with some but not all of its numbers, or fewer than four
    // chosen complete rows; the complete rows are collected either way.
    bool Read(const panel::GridTable& table, bool bSingleValueColumn);

    // The four calibration points (the first four chosen complete rows), T and
    // every complete row, in the order the engine expects them.
    void FillCalculator(Calculator& calc, double dT) const;
    // The mean reading of every complete row, as the engine averages them.
    std::vector<double> MeanReadings() const;

    std::vector<bool> m_vecGridChoose;
    std::vector<double> m_vecGridRealP;
    std::vector<double> m_vecGridFl;
    std::vector<double> m_vecGridFr;
    std::vector<int> m_vecGridRow;  // grid row of each complete row
};

#endif
