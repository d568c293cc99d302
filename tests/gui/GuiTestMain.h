#ifndef VARID_TESTS_GUI_GUITESTMAIN_H
#define VARID_TESTS_GUI_GUITESTMAIN_H

// Lets pending events (paint, size, deferred deletion) run.
void PumpEvents();

#endif
