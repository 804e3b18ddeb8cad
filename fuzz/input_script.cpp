// The headless backend's scripted input: any bytes parse or fail with a message, never crash.
#include "common/Outcome.h"
#include "os/headless/InputScript.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzOutcome outcome;
  Os::InputScript script;
  std::string error;
  if (!script.Parse(reinterpret_cast<const char*>(data), size, &error) && error.empty()) __builtin_trap();
  outcome.AddValue(script.Events().size());
  for (const Os::ScriptEvent& e : script.Events())
    if (e.kind == Os::ScriptEvent::Capture && e.name.find('/') != std::string::npos) __builtin_trap();
  return 0;
}
