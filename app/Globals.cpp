#include "app/Globals.h"

wxString g_strXmlFile;
int g_nProgramMode = 0;
bool g_bRemember = false;
