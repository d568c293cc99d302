// The record's checks as the details window's OK makes them: caps, ranges,
// dates and the decimal comma, and what Clear keeps.
#include "grid/CalibrationDetails.h"

#include <string>

#include <gtest/gtest.h>

using F = CalibrationDetails::Field;

namespace {

wxString U8(const std::string& s) { return wxString::FromUTF8(s.c_str()); }

}  // namespace

TEST(CalibrationDetails, NormaliseStoresCleanTextsAndRefusesBadFieldsWhole) {
    const struct {
        F field;
        std::string strTyped;
        bool bOk;
        std::string strStored;  // on success
    } cases[] = {
        {F::kTemperature, "20,5", true, "20.5"},
        {F::kTemperature, " -50 ", true, "-50"},
        {F::kTemperature, "-50.01", false, ""},
        {F::kTemperature, "60", true, "60"},
        {F::kTemperature, "61", false, ""},
        {F::kTemperature, "warm", false, ""},
        {F::kTemperature, "nan", false, ""},
        {F::kPressure, "101.325", true, "101.325"},
        {F::kPressure, "49.9", false, ""},
        {F::kPressure, "120", true, "120"},
        {F::kHumidity, "0", true, "0"},
        {F::kHumidity, "100,0", true, "100.0"},
        {F::kHumidity, "100.1", false, ""},
        {F::kReferenceUncertainty, "0", false, ""},
        {F::kReferenceUncertainty, "0.001", true, "0.001"},
        {F::kReferenceUncertainty, "50", true, "50"},
        {F::kReferenceUncertainty, "50.5", false, ""},
        {F::kReferenceCoverageFactor, "0.99", false, ""},
        {F::kReferenceCoverageFactor, "1", true, "1"},
        {F::kReferenceCoverageFactor, "10", true, "10"},
        {F::kReferenceCoverageFactor, "inf", false, ""},
        {F::kTolerance, "0", false, ""},
        {F::kTolerance, "100", true, "100"},
        {F::kTolerance, "1e-3", true, "1e-3"},
        {F::kCalibrationDate, "2024-02-29", true, "2024-02-29"},
        {F::kCalibrationDate, "2023-02-29", false, ""},
        {F::kIssueDate, "2026-13-01", false, ""},
        {F::kIssueDate, "2026-1-01", false, ""},
        {F::kIssueDate, "01.12.2026", false, ""},
        {F::kIssueDate, " 2026-12-31 ", true, "2026-12-31"},
        {F::kDecisionRule, "guarded", true, "guarded"},
        {F::kDecisionRule, "strict", false, ""},
        {F::kInstrument, "  \xD0\x94\xD0\x91\xD0\x93-06  \xD0\xA2 ", true,
         "\xD0\x94\xD0\x91\xD0\x93-06  \xD0\xA2"},
        {F::kInstrument, std::string(200, 'x'), true, std::string(200, 'x')},
        {F::kInstrument, std::string(201, 'x'), false, ""},
        // A Cyrillic letter is one character, whatever its bytes.
        {F::kCustomer,
         [] {
             std::string s;
             for (int i = 0; i < 200; ++i) s += "\xD0\x96";
             return s;
         }(),
         true, ""},
        {F::kNotes, " line 1\n  line 2 \n", true, "line 1\n  line 2"},
        {F::kNotes, std::string(2000, 'n'), true, std::string(2000, 'n')},
        {F::kNotes, std::string(2001, 'n'), false, ""},
    };
    for (const auto& c : cases) {
        CalibrationDetails d;
        d.Set(F::kOperator, U8(" Petrenko "));
        d.Set(c.field, U8(c.strTyped));
        const CalibrationDetails before = d;
        wxString strError;
        const bool bOk = d.Normalise(strError);
        const std::string strWhat =
            CalibrationDetails::InfoOf(c.field).pszName + (" " + c.strTyped);
        ASSERT_EQ(c.bOk, bOk) << strWhat << ": " << strError.utf8_string();
        if (!bOk) {
            EXPECT_TRUE(d == before) << strWhat;
            // The message names the field by its label.
            EXPECT_NE(wxNOT_FOUND, strError.Find(CalibrationDetails::LabelOf(c.field))) << strWhat;
            continue;
        }
        if (!c.strStored.empty()) {
            EXPECT_EQ(c.strStored, d.Get(c.field).utf8_string()) << strWhat;
        }
        EXPECT_EQ("Petrenko", d.Get(F::kOperator).utf8_string());
    }
}

TEST(CalibrationDetails, ClearKeepsTheLaboratoryAndDefaultsStandIn) {
    CalibrationDetails d;
    for (const auto& info : CalibrationDetails::Fields()) d.Set(info.field, "v");
    d.ClearItemFields();
    for (const auto& info : CalibrationDetails::Fields())
        EXPECT_EQ(CalibrationDetails::IsItemField(info.field) ? "" : "v", d.Get(info.field))
            << info.pszName;

    CalibrationDetails empty;
    EXPECT_DOUBLE_EQ(2.0, empty.GetCoverageFactor());
    EXPECT_EQ("\xC2\xB5s", empty.GetPeriodUnit().utf8_string());
    EXPECT_FALSE(empty.IsGuarded());
    empty.Set(F::kReferenceCoverageFactor, "2.58");
    empty.Set(F::kPeriodUnit, "ms");
    empty.Set(F::kDecisionRule, "guarded");
    EXPECT_DOUBLE_EQ(2.58, empty.GetCoverageFactor());
    EXPECT_EQ("ms", empty.GetPeriodUnit());
    EXPECT_TRUE(empty.IsGuarded());
}
