#include "grid/PanelContents.h"

namespace panel {

namespace {

// The result or manual box a box is, with its name; T stands alone.
std::string NameOf(Box box, const char* ResultBox::*pName) {
    if (box == kBoxT) return "T";
    for (const ResultBox& r : kResultBoxes) {
        if (box == r.result) return r.*pName;
        if (box == r.manual) return std::string("Manual") + r.*pName;
    }
    return std::string();
}

}  // namespace

bool IsTickedText(const wxString& text) {
    return !(text.empty() || text == "0" || text == "f" || text == "false");
}

std::string ArchiveName(Box box) { return NameOf(box, &ResultBox::pszArchiveName); }

std::string CsvName(Box box) { return NameOf(box, &ResultBox::pszCsvName); }

}  // namespace panel
