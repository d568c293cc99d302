#ifndef VARID_TESTS_ARCHIVE_ARCHIVETESTDATA_H
#define VARID_TESTS_ARCHIVE_ARCHIVETESTDATA_H

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <wx/arrstr.h>
#include <wx/dir.h>

#include "archive/ArchiveDocument.h"

// Contents and expected files shared by the document, panel and fuzz tests.
namespace archive_example {

// The two-row example: row 0 ticked (100, 98.4, 98.9), row 1 (200, 195.1), T = 0.5.
inline panel::Contents ExampleContents() {
    panel::Contents c;
    c.table[0] = {"1", "100", "98.4", "98.9", "", ""};
    c.table[1] = {"", "200", "195.1", "", "", ""};
    c.boxes[panel::kBoxT] = "0.5";
    return c;
}

// Archives end their lines as the platform's text files do.
#ifdef _WIN32
inline const std::string kLineBreak = "\r\n";
#else
inline const std::string kLineBreak = "\n";
#endif

inline std::string Line(int nDepth, const std::string& text) {
    return std::string(4 * nDepth, ' ') + text + kLineBreak;
}

// The text with the line ends of the other platform.
inline std::string OtherLineBreaks(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n' && kLineBreak == "\n") out += '\r';
        out += c;
    }
    return out;
}

inline std::string Leaf(int nDepth, const std::string& name, const std::string& value = "") {
    return Line(nDepth, "<" + name + ">" + value + "</" + name + ">");
}

// The example's file, written out element by element.
inline std::string ExampleText(const char* szFirst, const char* szSecond) {
    const char* const rows[2][4] = {{"1", "100", "98.4", "98.9"}, {"", "200", "195.1", ""}};
    std::string s =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>" + kLineBreak + Line(0, "<Archive>");
    for (const char* szTable : {"Table", "ManualTable"}) {
        s += Line(1, std::string("<") + szTable + ">");
        for (int r = 0; r < 11; ++r) {
            const bool bTyped = szTable[0] == 'T' && r < 2;
            auto value = [&](int nCol) { return std::string(bTyped ? rows[r][nCol] : ""); };
            s += Line(2, "<Row>") + Leaf(3, "ChooseValue", value(0)) + Leaf(3, "RealP", value(1)) +
                 Leaf(3, szFirst, value(2)) + Leaf(3, szSecond, value(3)) + Leaf(3, "CorrectP") +
                 Leaf(3, "Accuracy") + Line(2, "</Row>");
        }
        s += Line(1, std::string("</") + szTable + ">");
    }
    s += Line(1, "<Coefficients>") + Leaf(2, "T", "0.5");
    for (const char* szName :
         {"CoeficientEffectiveness", "DeatTime", "K1", "K2", "K3", "ManualDeatTime",
          "ManualCoeficientEffectiveness", "ManualK1", "ManualK2", "ManualK3"})
        s += Leaf(2, szName);
    s += Line(1, "</Coefficients>") + Line(1, "<Details>");
    for (const char* szName : {"CertificateNumber",
                               "Instrument",
                               "Manufacturer",
                               "SerialNumber",
                               "Customer",
                               "CalibrationDate",
                               "IssueDate",
                               "Temperature",
                               "Pressure",
                               "Humidity",
                               "Notes",
                               "Laboratory",
                               "LaboratoryAddress",
                               "Operator",
                               "ApprovedBy",
                               "ReferenceStandard",
                               "ReferenceUncertainty",
                               "ReferenceCoverageFactor",
                               "Unit",
                               "PeriodUnit",
                               "Tolerance",
                               "DecisionRule"})
        s += Leaf(2, szName);
    return s + Line(1, "</Details>") + Line(0, "</Archive>");
}

// The file an earlier build wrote: no record at all.
inline std::string WithoutDetails(std::string text) {
    const size_t nFrom = text.find("    <Details>");
    return text.erase(nFrom, text.find("</Archive>") - nFrom);
}

// Every cell and box distinct (ticks in rows 0, 3, 6, 9 and manual rows 1, 5,
// 9), so a value landing in the wrong place, or a change, shows.
inline panel::Contents Distinct() {
    panel::Contents c;
    for (int r = 0; r < panel::kRows; ++r) {
        c.table[r][0] = r % 3 == 0 ? "1" : "";
        c.manualTable[r][0] = r % 4 == 1 ? "1" : "";
        for (int col = 1; col < panel::kCols; ++col) {
            c.table[r][col] = wxString::Format("%d.%d", r, col);
            c.manualTable[r][col] = wxString::Format("m%d.%d", r, col);
        }
    }
    for (int i = 0; i < panel::kBoxes; ++i) c.boxes[i] = wxString::Format("b%d", i);
    return c;
}

// Every cell (measurement grid, then manual grid, row by row) and every box.
inline std::vector<std::string> Cells(const panel::Contents& c) {
    std::vector<std::string> v;
    for (const panel::GridTable* pTable : {&c.table, &c.manualTable})
        for (const auto& row : *pTable)
            for (const wxString& s : row) v.push_back(s.utf8_string());
    for (const wxString& s : c.boxes) v.push_back(s.utf8_string());
    return v;
}

inline std::string Slurp(const wxString& strPath) {
    std::ifstream in(strPath.fn_str(), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void Spit(const wxString& strPath, const std::string& text) {
    std::ofstream(strPath.fn_str(), std::ios::binary) << text;
}

// The directory's files, sorted, hidden ones included.
inline wxArrayString FilesIn(const wxString& strDir) {
    wxArrayString names;
    wxDir::GetAllFiles(strDir, &names, wxEmptyString, wxDIR_FILES | wxDIR_HIDDEN);
    names.Sort();
    return names;
}

}  // namespace archive_example

#endif
