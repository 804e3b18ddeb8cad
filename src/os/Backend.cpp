#include "os/Backend.h"

#include "os/Clock.h"
#include "os/Gdi.h"
#include "os/Memory.h"
#include "os/Registry.h"
#include "os/WaveOut.h"
#include "os/Window.h"
#include "os/headless/FixedMemory.h"
#include "os/headless/HeadlessWindows.h"
#include "os/headless/MemoryRegistry.h"
#include "os/headless/SimWaveOut.h"
#include "os/headless/VirtualClock.h"

#include <sys/stat.h>
#include <memory>

namespace Os {
namespace {

// A headless run (a test, a scripted capture) is never "the" running game: it neither holds the
// single-instance lock nor asks a running copy to come to the front, so it runs beside a player's game.
class HeadlessInstances : public InstanceLock {
 public:
  bool TryAcquire(const char*) override { return true; }
  u32 RaiseHolder(const char*) override { return 0; }
  bool TakeRaiseRequest() override { return false; }
  void Release() override {}
};

struct Headless {
  HeadlessInstances instances;
  std::unique_ptr<VirtualClock> clock;
  std::unique_ptr<PanelGdi> gdi;
  std::unique_ptr<HeadlessWindows> windows;
  std::unique_ptr<FixedMemory> memory;
  std::unique_ptr<MemoryRegistry> registry;
  std::unique_ptr<SimWaveOut> waveOut;
};
std::unique_ptr<Headless> headless;
bool (*finisher)(std::string*) = nullptr;

}  // namespace

bool UseHeadless(const BackendOptions& o, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  if (headless || finisher) return fail("a backend is already in use");
  InputScript script;
  if (!o.inputFile.empty() && !script.Load(o.inputFile, error)) return false;
  if (!o.captureDir.empty()) {
    struct stat st;
    if (::stat(o.captureDir.c_str(), &st) != 0) ::mkdir(o.captureDir.c_str(), 0755);
    if (::stat(o.captureDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
      return fail("cannot use capture folder " + o.captureDir);
  }
  auto h = std::make_unique<Headless>();
  h->clock = std::make_unique<VirtualClock>();
  h->gdi = std::make_unique<PanelGdi>(o.screenWidth, o.screenHeight, 16);
  h->windows = std::make_unique<HeadlessWindows>(o.screenWidth, o.screenHeight, h->clock.get(), h->gdi.get());
  h->windows->SetScript(script.Events());
  h->windows->SetCaptureDir(o.captureDir);
  h->windows->SetFrameLimit(o.frameLimit);
  h->windows->SetTimeLimit(o.timeLimit);
  h->memory = std::make_unique<FixedMemory>(o.availableMemory);
  // No sound device: nothing would play its blocks in a headless run.
  h->waveOut = std::make_unique<SimWaveOut>(0);
  InstallClock(h->clock.get());
  InstallGraphics(h->gdi.get());
  InstallWindows(h->windows.get());
  InstallMemory(h->memory.get());
  InstallWaveOut(h->waveOut.get());
  InstallInstances(&h->instances);
  if (o.memoryRegistry) {
    h->registry = std::make_unique<MemoryRegistry>();
    InstallRegistry(h->registry.get());
  }
  headless = std::move(h);
  return true;
}

bool FinishBackend(std::string* error) {
  bool ok = true;
  if (headless) {
    std::string e;
    if (!headless->windows->Capture("final", &e)) {
      ok = false;
      if (error) *error = e;
    } else if (!headless->windows->Errors().empty()) {
      ok = false;
      if (error) *error = headless->windows->Errors().front();
    }
    InstallWindows(nullptr);
    InstallGraphics(nullptr);
    InstallClock(nullptr);
    InstallMemory(nullptr);
    InstallWaveOut(nullptr);
    InstallInstances(nullptr);
    if (headless->registry) InstallRegistry(nullptr);
    headless.reset();
  }
  if (finisher) {
    bool (*f)(std::string*) = finisher;
    finisher = nullptr;
    ok = f(error) && ok;
  }
  return ok;
}

void SetBackendFinisher(bool (*finish)(std::string* error)) { finisher = finish; }

HeadlessWindows* HeadlessWindowSystem() { return headless ? headless->windows.get() : nullptr; }
PanelGdi* HeadlessGraphics() { return headless ? headless->gdi.get() : nullptr; }
VirtualClock* HeadlessClock() { return headless ? headless->clock.get() : nullptr; }
FixedMemory* HeadlessMemory() { return headless ? headless->memory.get() : nullptr; }

}  // namespace Os
