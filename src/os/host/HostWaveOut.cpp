// The host default for wave-out: no devices. A program or test that wants sound installs the SDL or the
// headless wave-out; without one the speaker fails to open and the game runs silently.
#include "os/WaveOut.h"

namespace Os {
namespace {

class NoWaveOut : public WaveOut {
 public:
  u32 DeviceCount() override { return 0; }
  u32 Open(WaveOutDevice** device, u32, const WaveFormat&, WaveOutCallback, std::uintptr_t) override {
    if (device != nullptr) {
      *device = nullptr;
    }
    return kWaveBadDevice;
  }
  u32 Close(WaveOutDevice*) override { return kWaveInvalidHandle; }
};

NoWaveOut hostWaveOut;
WaveOut* installedWaveOut = nullptr;

}  // namespace

WaveOut& WaveOutDevices() { return installedWaveOut ? *installedWaveOut : hostWaveOut; }
void InstallWaveOut(WaveOut* w) { installedWaveOut = w; }

}  // namespace Os
