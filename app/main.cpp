// The toolkit's creation hook lives apart from App.cpp so that tests can link
// the application class and start it themselves.
#include "app/App.h"

wxIMPLEMENT_APP(App);
