// Backend selection: installs the services of every Os area for a headless run or for the host with an
// SDL window (src/os/sdl/SdlBackend.h), and takes them down again.
#pragma once
#include "os/Types.h"

#include <string>

namespace Os {

class HeadlessWindows;
class PanelGdi;
class VirtualClock;
class FixedMemory;

struct BackendOptions {
  i32 screenWidth = 240;
  i32 screenHeight = 320;
  u32 scale = 1;                    // SDL: the window shows each panel pixel as scale x scale
  std::string inputFile;            // headless: scripted input
  std::string captureDir;           // headless: where captures go (also the final panel, "final.png")
  u32 frameLimit = 0;               // headless: end after this many presented frames (0 = none)
  u32 timeLimit = 0;                // headless: end after this many virtual milliseconds (0 = none)
  bool memoryRegistry = true;       // headless: settings kept in memory (false: the host registry file)
  u32 availableMemory = 64u << 20;  // headless: the memory status reported
};

// Installs the headless services; false with a message when the options cannot be used.
bool UseHeadless(const BackendOptions& options, std::string* error);
// Ends a backend: the headless run writes its final capture; every area returns to the host default.
// False (with a message) when something asked of the run failed, such as a capture.
bool FinishBackend(std::string* error);

// The headless parts while they are installed (null otherwise), for tests and the program.
HeadlessWindows* HeadlessWindowSystem();
PanelGdi* HeadlessGraphics();
VirtualClock* HeadlessClock();
FixedMemory* HeadlessMemory();

// The SDL backend registers how to finish itself here.
void SetBackendFinisher(bool (*finish)(std::string* error));

}  // namespace Os
