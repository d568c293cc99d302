// The CSV document: the example archive's contents written out in full, and
// the quoting and width rules on awkward values. Its writer is the archives'
// safe writer, tested with them.
#include "report/CsvExport.h"

#include <cmath>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/archive/ArchiveTestData.h"
#include "testsupport/KnownPanel.h"

namespace {

const std::string kEmptyRows =
    "3,,,,,,,,\r\n"
    "4,,,,,,,,\r\n"
    "5,,,,,,,,\r\n"
    "6,,,,,,,,\r\n"
    "7,,,,,,,,\r\n"
    "8,,,,,,,,\r\n"
    "9,,,,,,,,\r\n"
    "10,,,,,,,,\r\n"
    "11,,,,,,,,\r\n";

// The record's fields, all empty, last.
const std::string kEmptyRecord =
    "CertificateNumber,,,,,,,,\r\n"
    "Instrument,,,,,,,,\r\n"
    "Manufacturer,,,,,,,,\r\n"
    "SerialNumber,,,,,,,,\r\n"
    "Customer,,,,,,,,\r\n"
    "CalibrationDate,,,,,,,,\r\n"
    "IssueDate,,,,,,,,\r\n"
    "Temperature,,,,,,,,\r\n"
    "Pressure,,,,,,,,\r\n"
    "Humidity,,,,,,,,\r\n"
    "Notes,,,,,,,,\r\n"
    "Laboratory,,,,,,,,\r\n"
    "LaboratoryAddress,,,,,,,,\r\n"
    "Operator,,,,,,,,\r\n"
    "ApprovedBy,,,,,,,,\r\n"
    "ReferenceStandard,,,,,,,,\r\n"
    "ReferenceUncertainty,,,,,,,,\r\n"
    "ReferenceCoverageFactor,,,,,,,,\r\n"
    "Unit,,,,,,,,\r\n"
    "PeriodUnit,,,,,,,,\r\n"
    "Tolerance,,,,,,,,\r\n"
    "DecisionRule,,,,,,,,\r\n";

TEST(CsvExport, ExampleArchiveInBothModes) {
    const std::string strHead =
        "\xEF\xBB\xBF"
        "mode,";
    const std::string strRest =
        ",,,,,,,\r\n"
        "T,0.5,,,,,,,\r\n"
        "DeadTime,,,,,,,,\r\n"
        "Keff,,,,,,,,\r\n"
        "K1,,,,,,,,\r\n"
        "K2,,,,,,,,\r\n"
        "K3,,,,,,,,\r\n"
        "ManualDeadTime,,,,,,,,\r\n"
        "ManualKeff,,,,,,,,\r\n"
        "ManualK1,,,,,,,,\r\n"
        "ManualK2,,,,,,,,\r\n"
        "ManualK3,,,,,,,,\r\n"
        "Row,Chosen,RealP0,Reading1,Reading2,CorrectionP0,Accuracy,ManualCorrectionP0,"
        "ManualAccuracy\r\n"
        "1,1,100,98.4,98.9,,,,\r\n"
        "2,,200,195.1,,,,,\r\n" +
        kEmptyRows + kEmptyRecord;
    const panel::Contents example = archive_example::ExampleContents();
    EXPECT_EQ(CsvExport::Format(example, 0), strHead + "frequency" + strRest);
    EXPECT_EQ(CsvExport::Format(example, 1), strHead + "period" + strRest);
}

TEST(CsvExport, ResultsTicksAndAwkwardTextsKeepTheirFields) {
    panel::Contents c;
    c.table[0] = {"true", "1,5", "say \"hi\"", "two\nlines", "99.123", "-0.5"};
    c.table[1] = {"0", wxString::FromUTF8("мкс"), "", "", "", ""};
    c.manualTable[0] = {"1", "x", "x", "x", "98.7", "1.2"};
    c.boxes[panel::kBoxK1] = "0.350";
    c.boxes[panel::kBoxManualRegistration] = "a,b";
    const std::string csv = CsvExport::Format(c, 0);
    EXPECT_NE(csv.find("\r\nK1,0.350,,,,,,,\r\n"), std::string::npos);
    EXPECT_NE(csv.find("\r\nManualKeff,\"a,b\",,,,,,,\r\n"), std::string::npos);
    EXPECT_NE(
        csv.find("\r\n1,1,\"1,5\",\"say \"\"hi\"\"\",\"two\nlines\",99.123,-0.5,98.7,1.2\r\n"),
        std::string::npos);
    EXPECT_NE(csv.find("\r\n2,,\xD0\xBC\xD0\xBA\xD1\x81,,,,,,\r\n"), std::string::npos);
}

TEST(CsvExport, TheRecordComesLastAfterTheFitOneFieldARecord) {
    panel::Contents c;
    c.details.Set(CalibrationDetails::kSerialNumber, "001234");
    c.details.Set(CalibrationDetails::kCustomer,
                  wxString::FromUTF8("\xD0\x9E\xD0\x9E\xD0\x9E, \"A\""));
    c.details.Set(CalibrationDetails::kNotes, "one\ntwo");
    c.details.Set(CalibrationDetails::kDecisionRule, "guarded");
    const std::string csv = CsvExport::Format(c, 0);
    EXPECT_NE(csv.find("\r\nSerialNumber,001234,,,,,,,\r\n"), std::string::npos);
    EXPECT_NE(csv.find("\r\nCustomer,\"\xD0\x9E\xD0\x9E\xD0\x9E, \"\"A\"\"\",,,,,,,\r\n"),
              std::string::npos);
    EXPECT_NE(csv.find("\r\nNotes,\"one\ntwo\",,,,,,,\r\n"), std::string::npos);
    const std::string strLast = "\r\nDecisionRule,guarded,,,,,,,\r\n";
    EXPECT_EQ(csv.size() - strLast.size(), csv.rfind(strLast));
}

// The document's records, each split into its fields (none quoted here).
std::vector<std::vector<std::string>> Records(const std::string& csv) {
    std::vector<std::vector<std::string>> records;
    size_t nStart = 3;  // after the byte-order mark
    for (size_t nEnd; (nEnd = csv.find("\r\n", nStart)) != std::string::npos; nStart = nEnd + 2) {
        std::vector<std::string> fields(1);
        for (char ch : csv.substr(nStart, nEnd - nStart)) {
            if (ch == ',')
                fields.emplace_back();
            else
                fields.back() += ch;
        }
        records.push_back(fields);
    }
    return records;
}

// Digits from the first that is not 0, exponent left out.
int SignificantDigits(const std::string& str) {
    int n = 0;
    bool bLeading = true;
    for (char ch : str.substr(0, str.find('e'))) {
        if (ch < '0' || ch > '9') continue;
        bLeading = bLeading && ch == '0';
        if (!bLeading) ++n;
    }
    return n;
}

double Num(const std::string& str) { return std::stod(str); }

TEST(CsvExport, TheBudgetFollowsTheFitBeforeTheRecord) {
    const ProgramMode mode(0);
    const std::vector<int> rows = {0, 2, 3, 5, 6, 7, 8, 9, 10};
    CalibrationFit fit;
    panel::Contents c = PanelAfterFit(MakeDetectorData(0, rows, {0, 4, 6, 8}), fit);
    c.details.Set(CalibrationDetails::kReferenceUncertainty, "2");
    c.details.Set(CalibrationDetails::kTolerance, "5");
    const auto records = Records(CsvExport::Format(c, 0, &fit));
    auto find = [&](const std::string& strName) {
        for (size_t i = 0; i < records.size(); ++i)
            if (records[i][0] == strName) return i;
        return records.size();
    };
    const size_t nDeviation = find("DeviationReferencePercent");
    ASSERT_EQ(nDeviation, find("FitValue") + 6);
    ASSERT_EQ(find("CertificateNumber"), nDeviation + 6 + 1 + rows.size() + 1 + 5);
    for (const auto& record : records) EXPECT_EQ(record.size(), 9u) << record[0];

    // The deviation: u_ref = 2 % / 2 and the residual, k near 1.96.
    const double s = fit.GetResidualPercent(), uc = std::sqrt(1 + s * s);
    const double expected[] = {1, s, uc, 0, 1.959964, 1.959964 * uc};
    const char* const names[] = {"DeviationReferencePercent", "DeviationScatterPercent",
                                 "DeviationCombinedPercent",  "DeviationDegreesOfFreedom",
                                 "DeviationCoverageFactor",   "DeviationExpandedPercent"};
    for (size_t i = 0; i < 6; ++i) {
        const std::vector<std::string>& record = records[nDeviation + i];
        EXPECT_EQ(record[0], names[i]);
        EXPECT_GE(SignificantDigits(record[1]), 4) << record[1];
        if (i != 3) {
            EXPECT_NEAR(Num(record[1]), expected[i], 1e-3 * expected[i]) << names[i];
        }
        EXPECT_EQ(record[2], "");
    }
    EXPECT_GT(Num(records[nDeviation + 3][1]), 1000);

    const size_t nRowHeader = nDeviation + 6;
    EXPECT_EQ(records[nRowHeader],
              (std::vector<std::string>{
                  "BudgetRow", "FitPercent", "OffsetPercent", "ReferencePercent", "CombinedPercent",
                  "EffectiveDegreesOfFreedom", "CoverageFactor", "ExpandedPercent", "Verdict"}));
    for (size_t k = 0; k < rows.size(); ++k) {
        const std::vector<std::string>& r = records[nRowHeader + 1 + k];
        EXPECT_EQ(r[0], "Row" + std::to_string(rows[k] + 1));
        for (int i = 1; i < 8; ++i) EXPECT_GE(SignificantDigits(r[i]), 4) << r[0] << " " << r[i];
        EXPECT_EQ(r[3], "1.000");
        // Within 0.1 % and U near 2 % of 5 %: the simple rule passes.
        EXPECT_EQ(r[8], "pass") << r[0];
    }

    const size_t nValueHeader = nRowHeader + 1 + rows.size();
    EXPECT_EQ(records[nValueHeader],
              (std::vector<std::string>{"BudgetValue", "FitStandard", "ReferenceStandard",
                                        "CombinedStandard", "EffectiveDegreesOfFreedom",
                                        "CoverageFactor", "Expanded", "", ""}));
    for (int j = 0; j < CalibrationFit::kValues; ++j) {
        const std::vector<std::string>& r = records[nValueHeader + 1 + j];
        EXPECT_EQ(r[0], panel::kResultBoxes[j].pszCsvName);
        const double u = fit.GetStandardUncertainty()[j];
        EXPECT_NEAR(Num(r[1]), u, 1e-3 * u) << r[0];
        // Keff carries 1 % of itself; the others no reference, and their
        // k is the fit's own at n - 5 degrees of freedom.
        const double uRef = j == CalibrationFit::kKeff ? fit.GetSet()[j] / 100 : 0;
        EXPECT_NEAR(Num(r[2]), uRef, 1e-3 * uRef) << r[0];
        if (j != CalibrationFit::kKeff) {
            EXPECT_NEAR(Num(r[5]), fit.GetCoverageFactor(), 1e-3) << r[0];
        }
    }

    // Without a tolerance no verdict; without a fit no budget.
    c.details.Set(CalibrationDetails::kTolerance, "");
    EXPECT_EQ(Records(CsvExport::Format(c, 0, &fit))[nRowHeader + 1][8], "");
    EXPECT_EQ(CsvExport::Format(c, 0).find("Deviation"), std::string::npos);
}

}  // namespace
