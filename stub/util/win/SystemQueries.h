// The few system queries the start-up needs: the stub's own file, folders, file version,
// tree deletion and the self-delete batch.
#pragma once
#include <cstdint>
#include <string>

namespace stub {

std::string OwnExecutablePath();                   // full path of the running stub
std::string TemporaryFolder(bool trailingBackslash);  // GetTempPath, normalised
// The fixed file version of path (the stub itself when empty) as "%d.%d.%d.%d", or its
// leading parts only; empty on failure (logged as "Utils.GetExeVersion()").
std::string FileVersionText(const std::string& path, int parts = 4);
// The file's last-write time as a DOS date-time (date high, time low); 0 on failure.
std::uint32_t FileDosDateTime(const std::string& path);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Deletes every file and sub-folder, then the folder. True when it existed and is gone.
bool DeleteTree(const std::string& folder, bool clearAttributes = true);
// Writes "_DEL_ME_.BAT" in the temporary folder and starts it hidden; the batch deletes
// the stub's file once the stub has ended (and its folder when asked).
bool StartSelfDelete(bool removeFolder, bool shortNames = false);

}  // namespace stub
