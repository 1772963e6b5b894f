// Redirects the stub's standard text output (its trace) to the debug viewer window.
#pragma once

namespace stub {

// Installs the viewer sink on std::cout and the thread/process ids of the debug log.
// Call once at the start of the program entry.
void InstallTraceViewerSink();

// Hands one piece of text to a window of class ".BDebug." through the registered message
// ".B_DebugMsg." (wParam 1, lParam = a global atom holding the text; the atom is deleted
// after SendMessage returns). Text longer than an atom can hold goes in consecutive atoms.
// Without a viewer the text is dropped.
void DeliverToTraceViewer(const char* text, unsigned length);

}  // namespace stub
