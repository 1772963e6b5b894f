// The process-wide abort flag of HTTP transfers (`DownloadAbortRequested`): set by the main
// window when it is closed or destroyed, cleared by the update agent before a transfer,
// polled by the transfer after every chunk.
#pragma once

namespace stub {

bool DownloadAbortRequested();
void SetDownloadAbortRequested(bool requested);

}  // namespace stub
