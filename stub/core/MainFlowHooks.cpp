#include "core/MainFlowHooks.h"

namespace stub {

namespace {
std::uint32_t g_exitCode = 0;
}

MainFlowHooks& Hooks() {
  static MainFlowHooks hooks;
  return hooks;
}

void SetStubExitCode(std::uint32_t code) { g_exitCode = code; }
std::uint32_t StubExitCode() { return g_exitCode; }

}  // namespace stub
