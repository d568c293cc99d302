#ifndef VARID_GRID_CALIBRATIONRUN_H
#define VARID_GRID_CALIBRATIONRUN_H

#include <wx/string.h>

#include "grid/PanelContents.h"
#include "grid/GridData.h"

class Calculator;
class CalibrationFit;

// Count and Set on what the panel shows, without a window: the input checks
// and their messages, the grid reading, the hand-over to the engine and the
// results written back in their display formats. The panel and the export
// command both run Count and Set through this class.
class CalibrationRun {
public:
    enum class Outcome {
        kDone,
        kRefused,  // an input check failed: GetError() holds the message
        kFailed    // the engine failed and has reported its own message
    };

    explicit CalibrationRun(Calculator& calc);

    // nChosenCount is the number of ticked rows as the caller keeps it.
    // Whatever the outcome, contents may have changed: a grid reading empties
    // column 3 when no row holds a second reading there.
    Outcome Count(panel::Contents& contents, int nChosenCount);
    Outcome Set(panel::Contents& contents, int nChosenCount);
    // Count's input checks, the fit over every complete row, then its set in
    // the five manual boxes and Set on them; the result boxes stay as they
    // are. A refused or failed fit is kRefused with its message, and changes
    // nothing but what the grid reading changes.
    Outcome Fit(panel::Contents& contents, int nChosenCount, CalibrationFit& fit);

    // The grid check alone (as Save makes it); false with GetError().
    bool ReadGrid(panel::Contents& contents);

    const wxString& GetError() const { return m_strError; }
    // True when the last reading found column 3 without second readings and
    // emptied it; the panel then locks the column.
    bool IsSingleValueColumn() const { return m_bSingleValueColumn; }
    // The complete rows of the last grid reading.
    const GridData& GetGridData() const { return m_gridData; }

private:
    bool CheckInput(const panel::Contents& contents, int nChosenCount);
    bool ReadManualBox(const wxString& str, const char* pszLabel, double& dOut);
    void FillCalculator(const panel::Contents& contents);
    void WriteRowResult(panel::GridTable& table, int nRow, double dCorrectP, double dAccuracy);
    bool Refuse(const wxString& strMessage);

    Calculator& m_calculator;
    GridData m_gridData;
    bool m_bSingleValueColumn;
    wxString m_strError;
};

#endif
