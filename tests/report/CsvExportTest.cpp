// The CSV document: the example archive's contents written out in full, and
// the quoting and width rules on awkward values. Its writer is the archives'
// safe writer, tested with them.
#include "report/CsvExport.h"

#include <gtest/gtest.h>

#include "tests/archive/ArchiveTestData.h"

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

}  // namespace
