#include "ui/PanelResult.h"

void PanelResult::Save() {}
void PanelResult::Open() {}
void PanelResult::SaveArchive(wxString) {}
void PanelResult::LoadArchive(wxString) {}
