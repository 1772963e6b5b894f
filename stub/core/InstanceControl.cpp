#include "core/InstanceControl.h"

#include "util/AsciiText.h"
#include "util/SelfDelimitedList.h"

namespace stub {

std::string RunningAgentArguments(const CommandLineSwitches& switches) {
  std::string args;
  const std::string transient = switches.Text("/TRANSIENT=");
  if (!transient.empty()) args += " /TRANSIENTx=" + transient;
  const std::string delay = switches.Text("/DELAY=");
  if (!delay.empty()) args += " /SleepX=" + delay;
  return args;
}

std::string SpanCopyCommandLine(const std::string& copyPath, const std::string& tail,
                                const std::string& stubPath) {
  // The copy must read level 2: an earlier "/SpanCdLvl=" in the tail would win the
  // lookup and make every copy start yet another copy.
  const std::string rest = WithoutSwitch(tail, "/SpanCdLvl=") + " /SpanCdLvl=2 /SpanDiskFName1=\"" + stubPath + ".001\"" +
                           " /OriginExe=\"" + stubPath + "\"";
  return copyPath + " " + TrimBlanks(rest);
}

std::vector<ForwardedMessage> ForwardedMessages(const CommandLineSwitches& switches,
                                                const std::string& targetPath, bool startedNewCopy) {
  std::vector<ForwardedMessage> out;
  const std::int64_t stop = switches.Number("/STOP=", -1);
  if (stop >= 0) {
    out.push_back({kMsgShutDown, static_cast<std::uintptr_t>(stop), 0,
                   "PostProcessMessage(wm_ShutDown) to: " + targetPath});
  }
  const std::string localMsg = switches.Text("/WM_MSG=");
  if (!localMsg.empty()) {
    const std::string pair = ":" + localMsg + ":";
    const std::int64_t a = SelfDelimitedList::IntField(pair, 0, 0);
    const std::int64_t b = SelfDelimitedList::IntField(pair, 1, 0);
    out.push_back({kMsgLocal, static_cast<std::uintptr_t>(a), static_cast<std::intptr_t>(b),
                   "PostProcessMessage(wm_LocalMsg) to: " + targetPath + " - " + pair});
  }
  const std::int64_t test = switches.Number("/TEST=", -1);
  if (test >= 0) {
    out.push_back({kMsgAgent, kAgentPerformUpdateCycle, static_cast<std::intptr_t>(test),
                   "PostProcessMessage(wm_AgentMsg) to: " + targetPath + " - AU_PerformUpdateCycle (" +
                       std::to_string(test) + ")"});
    if (!startedNewCopy && test > 0) out.push_back({kMsgShutDown, 2, 0, ""});
  }
  return out;
}

}  // namespace stub
