// Fuzz target: command-line tail, switch reading, role decision and the texts built from
// them must cope with any bytes (no crash, no out-of-range access, no runaway growth).
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/CommandLine.h"
#include "core/InstanceControl.h"
#include "core/StubRole.h"
#include "util/DebugLog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  // Input: raw command line, NUL, stub path.
  const std::size_t cut = input.find('\0');
  const std::string raw = input.substr(0, cut);
  const std::string path = cut == std::string::npos ? std::string("C:\\p\\setup.exe") : input.substr(cut + 1);

  stub::RoleInputs in;
  in.stubPath = path;
  in.agentName = "agent.exe";
  in.isAgent = size % 2 == 0;
  in.runFromTempCopy = size % 3 == 0;
  const std::string tail = stub::CommandLineTail(raw, path.substr(path.find_last_of('\\') + 1), path);
  stub::CommandLineSwitches switches(tail);
  in.spanLevel = switches.Number("/SpanCdLvl=", 1);
  stub::DecideRole(in);

  for (const char* name : {"/SpanCdLvl=", "/SpanDiskFName1=", "/OriginExe=", "-x=", "/", "", "=", "/=="})
    switches.Text(name, "d");
  switches.Flag("/hide");
  stub::ForwardedMessages(switches, stub::RunningAgentPath(path), size % 5 == 0);
  stub::RunningAgentArguments(switches);
  const std::string copy = stub::SpanCopyCommandLine("Y.exe", tail, path);
  // The copy always reads level 2, whatever the tail held.
  if (stub::CommandLineSwitches(copy.substr(6)).Number("/SpanCdLvl=", 1) != 2 &&
      copy.find('"') == std::string::npos && path.find(" /") == std::string::npos)
    __builtin_trap();
  stub::AgentLogFileName(path);
  return 0;
}
