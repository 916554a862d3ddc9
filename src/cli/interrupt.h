// Ctrl+C and SIGTERM for a console run. A signal only counts; the transfer
// looks at the count where the window would look at its Cancel button, so a
// file is finished or abandoned the same way and nothing of a move's source is
// lost. A third signal ends the program at once, for a run that hangs.
#pragma once

namespace duplane {

// Installs the handlers for SIGINT and SIGTERM.
void InstallInterruptHandlers();
// How many signals have arrived since the start.
int InterruptCount();

}  // namespace duplane
