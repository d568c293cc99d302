#ifndef VARID_TESTS_ARCHIVE_ARCHIVEEXAMPLE_H
#define VARID_TESTS_ARCHIVE_ARCHIVEEXAMPLE_H

#include <string>

// The expected file of the two-row example (row 0 ticked: 100, 98.4, 98.9;
// row 1: 200, 195.1; T = 0.5), written out element by element.
namespace archive_example {

inline std::string Line(int nDepth, const std::string& text) {
    return std::string(4 * nDepth, ' ') + text + "\n";
}

inline std::string EmptyRow(const char* szFirst, const char* szSecond) {
    std::string s = Line(2, "<Row>");
    for (std::string name : {"ChooseValue", "RealP", szFirst, szSecond, "CorrectP", "Accuracy"})
        s += Line(3, "<" + name + "></" + name + ">");
    return s + Line(2, "</Row>");
}

inline std::string ExampleText(const char* szFirst, const char* szSecond) {
    const std::string first = szFirst, second = szSecond;
    std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n";
    s += Line(0, "<Archive>") + Line(1, "<Table>");
    s += Line(2, "<Row>") + Line(3, "<ChooseValue>1</ChooseValue>") + Line(3, "<RealP>100</RealP>");
    s += Line(3, "<" + first + ">98.4</" + first + ">");
    s += Line(3, "<" + second + ">98.9</" + second + ">");
    s += Line(3, "<CorrectP></CorrectP>") + Line(3, "<Accuracy></Accuracy>") + Line(2, "</Row>");
    s += Line(2, "<Row>") + Line(3, "<ChooseValue></ChooseValue>") + Line(3, "<RealP>200</RealP>");
    s += Line(3, "<" + first + ">195.1</" + first + ">");
    s += Line(3, "<" + second + "></" + second + ">");
    s += Line(3, "<CorrectP></CorrectP>") + Line(3, "<Accuracy></Accuracy>") + Line(2, "</Row>");
    for (int i = 0; i < 9; ++i) s += EmptyRow(szFirst, szSecond);
    s += Line(1, "</Table>") + Line(1, "<ManualTable>");
    for (int i = 0; i < 11; ++i) s += EmptyRow(szFirst, szSecond);
    s += Line(1, "</ManualTable>") + Line(1, "<Coefficients>") + Line(2, "<T>0.5</T>");
    for (std::string name :
         {"CoeficientEffectiveness", "DeatTime", "K1", "K2", "K3", "ManualDeatTime",
          "ManualCoeficientEffectiveness", "ManualK1", "ManualK2", "ManualK3"})
        s += Line(2, "<" + name + "></" + name + ">");
    return s + Line(1, "</Coefficients>") + Line(0, "</Archive>");
}

}  // namespace archive_example

#endif
