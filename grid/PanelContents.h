#ifndef VARID_GRID_PANELCONTENTS_H
#define VARID_GRID_PANELCONTENTS_H

#include <array>
#include <string>

#include <wx/string.h>

#include "grid/CalibrationDetails.h"

// What the panel shows, without any window: the cells of its two grids, the
// texts of its eleven boxes and the calibration's record. The panel copies
// its widgets into these tables and back; the grid rules, the archive, the
// CSV, the plot and the report all read them.
namespace panel {

constexpr int kRows = 11;
constexpr int kCols = 6;
constexpr int kBoxes = 11;

using GridTable = std::array<std::array<wxString, kCols>, kRows>;

// Indexes of the boxes, in the order of the children of "Coefficients".
enum Box {
    kBoxT,
    kBoxRegistration,
    kBoxDeadTime,
    kBoxK1,
    kBoxK2,
    kBoxK3,
    kBoxManualDeadTime,
    kBoxManualRegistration,
    kBoxManualK1,
    kBoxManualK2,
    kBoxManualK3
};

struct Contents {
    GridTable table;        // measurement grid
    GridTable manualTable;  // manual grid
    std::array<wxString, kBoxes> boxes;
    CalibrationDetails details;

    bool operator==(const Contents& other) const {
        return table == other.table && manualTable == other.manualTable && boxes == other.boxes &&
               details == other.details;
    }
    bool operator!=(const Contents& other) const { return !(*this == other); }
};

// The check-box reading of a column-0 cell.
bool IsTickedText(const wxString& text);

// The five values of a calibration, in the panel's order: the box Count
// fills, the box Set reads, and their names. The manual box's names are the
// result box's with "Manual" in front, in the archive and in the CSV alike.
struct ResultBox {
    Box result;
    Box manual;
    const char* pszArchiveName;  // element under "Coefficients"
    const char* pszCsvName;      // record name of the CSV schema
    const char* pszLabel;        // the layout's label, translated in its catalogue
};

constexpr int kResults = 5;
constexpr int kResultDeadTime = 0, kResultKeff = 1, kResultK1 = 2, kResultK2 = 3, kResultK3 = 4;

constexpr std::array<ResultBox, kResults> kResultBoxes = {{
    {kBoxDeadTime, kBoxManualDeadTime, "DeatTime", "DeadTime", "Dead time"},
    {kBoxRegistration, kBoxManualRegistration, "CoeficientEffectiveness", "Keff",
     "Efficacy registration"},
    {kBoxK1, kBoxManualK1, "K1", "K1", "K1"},
    {kBoxK2, kBoxManualK2, "K2", "K2", "K2"},
    {kBoxK3, kBoxManualK3, "K3", "K3", "K3"},
}};

// A box's element in the archive and its record name in the CSV schema.
std::string ArchiveName(Box box);
std::string CsvName(Box box);

}  // namespace panel

#endif
