// The workbook's rules without a reader: which texts become numbers and with
// which number format, which record fields always stay text, which file
// names choose it, and a failed write that keeps the earlier file and leaves
// nothing behind. Its cells are read back by an independent reader in
// tests/cli/workbook_check.py.
#include "report/WorkbookExport.h"

#include <algorithm>
#include <clocale>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "grid/GridData.h"
#include "report/ExportFile.h"
#include "report/WorkbookWriter.h"
#include "testsupport/TempDir.h"
#include "testsupport/TempFolderVariables.h"

namespace {

using CellKind = WorkbookWriter::Cell::Kind;

TEST(WorkbookWriter, NumbersKeepTheirTextsDigitsAndAnythingElseStaysText) {
    const struct {
        const char* szText;
        CellKind kind;
        double dNumber;
        const char* szFormat;
    } cases[] = {
        {"4.067", CellKind::kNumber, 4.067, "0.000"},
        {"5", CellKind::kNumber, 5, "0"},
        {"-0.50", CellKind::kNumber, -0.5, "0.00"},
        {"+7", CellKind::kNumber, 7, "0"},
        {".5", CellKind::kNumber, 0.5, "0.0"},
        {"5.", CellKind::kNumber, 5, "0"},
        {"001234", CellKind::kNumber, 1234, "0"},
        {"1e-3", CellKind::kNumber, 0.001, "0E+00"},
        {"1.5E+03", CellKind::kNumber, 1500, "0.0E+00"},
        {"-2.25e-7", CellKind::kNumber, -2.25e-7, "0.00E+00"},
        {" 5", CellKind::kNumber, 5, "0"},
        // Where the C library reads hexadecimal (not Windows' own), a number
        // without decimals to show.
        {"0x10", CellKind::kNumber, 16, "General"},
        {"0.1234567890123456", CellKind::kNumber, 0.1234567890123456, "General"},
        {"nan", CellKind::kText, 0, ""},
        {"NAN(1)", CellKind::kText, 0, ""},
        {"inf", CellKind::kText, 0, ""},
        {"-infinity", CellKind::kText, 0, ""},
        {"1e999", CellKind::kText, 0, ""},
        {"5 ", CellKind::kText, 0, ""},
        {"1,5", CellKind::kText, 0, ""},
        {"2024-03-05", CellKind::kText, 0, ""},
        {"frequency", CellKind::kText, 0, ""},
        {"", CellKind::kEmpty, 0, ""},
    };
    for (const auto& c : cases) {
        const WorkbookWriter::Cell cell = WorkbookWriter::ReadCell(c.szText);
        double d = 0;
        if (std::string(c.szText) == "0x10" && !GridData::ReadNumber(c.szText, d)) {
            EXPECT_EQ(cell.kind, CellKind::kText);
            continue;
        }
        EXPECT_EQ(cell.kind, c.kind) << c.szText;
        if (c.kind != CellKind::kNumber) continue;
        EXPECT_DOUBLE_EQ(cell.dNumber, c.dNumber) << c.szText;
        EXPECT_EQ(cell.strFormat, c.szFormat) << c.szText;
    }
}

TEST(WorkbookExport, OnlyTheRecordsSixNumbersMayBecomeNumbers) {
    const char* const numbers[] = {
        "Temperature", "Pressure", "Humidity", "ReferenceUncertainty", "ReferenceCoverageFactor",
        "Tolerance"};
    int nTextOnly = 0;
    for (const CalibrationDetails::FieldInfo& info : CalibrationDetails::Fields()) {
        const bool bNumber =
            std::find_if(std::begin(numbers), std::end(numbers), [&](const char* sz) {
                return std::string(sz) == info.pszName;
            }) != std::end(numbers);
        EXPECT_EQ(WorkbookExport::IsTextOnly(info.pszName), !bNumber) << info.pszName;
        nTextOnly += !bNumber;
    }
    EXPECT_EQ(nTextOnly, CalibrationDetails::kFields - 6);
    for (const char* szName : {"T", "K1", "ManualK3", "FitRows", "mode", "Unknown"})
        EXPECT_FALSE(WorkbookExport::IsTextOnly(szName)) << szName;
}

TEST(ExportFile, TheExtensionChoosesTheFormatAndABareNameGetsOne) {
    using Format = ExportFile::Format;
    const struct {
        const char* szPath;
        Format fallback, format;
        const char* szCompleted;
    } cases[] = {
        {"run.xlsx", Format::kCsv, Format::kWorkbook, "run.xlsx"},
        {"RUN.XLSX", Format::kCsv, Format::kWorkbook, "RUN.XLSX"},
        {"run.csv", Format::kWorkbook, Format::kCsv, "run.csv"},
        {"run.Csv", Format::kWorkbook, Format::kCsv, "run.Csv"},
        {"run", Format::kWorkbook, Format::kWorkbook, "run.xlsx"},
        {"run", Format::kCsv, Format::kCsv, "run.csv"},
        {"run.txt", Format::kCsv, Format::kCsv, "run.txt"},
        {"dir.xlsx/run", Format::kCsv, Format::kCsv, "dir.xlsx/run.csv"},
    };
    for (const auto& c : cases) {
        const Format format = ExportFile::FormatOf(c.szPath, c.fallback);
        EXPECT_EQ(format, c.format) << c.szPath;
        EXPECT_EQ(ExportFile::WithExtension(c.szPath, format), c.szCompleted) << c.szPath;
    }
}

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The library refuses a text longer than a cell holds, and a decimal comma
// is refused: the export fails, the earlier file stays as it was, and no
// scratch folder is left behind.
TEST(WorkbookExport, AFailedWriteKeepsTheEarlierFileAndLeavesNothingBehind) {
    const TempDir dir("varid-workbook-\xD0\xBA\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB0");
    const TempDir temp("varid-workbook-temp");
    const TempFolderVariables variables(temp.Name());
    const std::filesystem::path target = dir.Path() / std::filesystem::u8path("\xD0\xBA.xlsx");
    const wxString strTarget = dir.Name() + wxFILE_SEP_PATH + wxString::FromUTF8("\xD0\xBA.xlsx");
    panel::Contents contents;
    contents.table[0][1] = "4.067";
    ASSERT_TRUE(WorkbookExport::WriteFile(strTarget, contents, 0));
    const std::string strEarlier = Slurp(target);
    EXPECT_EQ(strEarlier.substr(0, 4), "PK\x03\x04");

    contents.table[1][1] = wxString(40000, 'x');
    EXPECT_FALSE(WorkbookExport::WriteFile(strTarget, contents, 0));
    EXPECT_EQ(Slurp(target), strEarlier);
    // A decimal comma would damage every number the library prints.
    if (std::setlocale(LC_NUMERIC, "ru_RU.UTF-8")) {
        contents.table[1][1] = "5";
        EXPECT_FALSE(WorkbookExport::WriteFile(strTarget, contents, 0));
        std::setlocale(LC_NUMERIC, "C");
        EXPECT_EQ(Slurp(target), strEarlier);
    }
    EXPECT_TRUE(std::filesystem::is_empty(temp.Path()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
