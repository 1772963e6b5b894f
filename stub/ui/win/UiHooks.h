// Connects the user interface to the stub's main flow: the main window's title, its
// label direction, the message-box font at start-up and the progress bars.
#pragma once

namespace stub {

// Installs the language lookup over the stub's own package and the main-flow hooks.
// Call once at the program entry, before the main flow runs.
void InstallUserInterface();

}  // namespace stub
