// The graphics libraries the video drivers load at run time: the game-API library, its DMA companion and
// the Imageon library. Each is one process-wide table of entry points built on first use; entries a
// library lacks are null, or a fallback where the drivers can do without.
#pragma once
#include "os/DisplayHardware.h"
#include "platform/video/SystemLibraries.h"

namespace Hal {

// "gx.dll". No fallbacks: a missing GXIsDisplayDRAMBuffer counts as false.
struct GxTable {
  DynamicLibrary library{"gx.dll"};
  Os::Entry::GXOpenDisplay GXOpenDisplay = nullptr;
  Os::Entry::GXCloseDisplay GXCloseDisplay = nullptr;
  Os::Entry::GXBeginDraw GXBeginDraw = nullptr;
  Os::Entry::GXEndDraw GXEndDraw = nullptr;
  Os::Entry::GXOpenInput GXOpenInput = nullptr;
  Os::Entry::GXCloseInput GXCloseInput = nullptr;
  Os::Entry::GXGetDisplayProperties GXGetDisplayProperties = nullptr;
  Os::Entry::GXGetDefaultKeys GXGetDefaultKeys = nullptr;
  Os::Entry::GXSuspend GXSuspend = nullptr;
  Os::Entry::GXResume GXResume = nullptr;
  Os::Entry::GXSetViewport GXSetViewport = nullptr;
  Os::Entry::GXIsDisplayDRAMBuffer GXIsDisplayDRAMBuffer = nullptr;
  GxTable();
  // Loaded, with every entry the drivers call (a library without them is treated as unusable rather than
  // called through a null entry).
  bool Usable() const;
  bool IsDRAMBuffer() const { return GXIsDisplayDRAMBuffer && GXIsDisplayDRAMBuffer() != 0; }
};

// "gxdma.dll". IsDMAReady always has an entry (the fallback says ready).
struct GxDmaTable {
  DynamicLibrary library{"gxdma.dll"};
  Os::Entry::DmaVRAMtoDRAM DmaVRAMtoDRAM = nullptr;
  Os::Entry::DmaDRAMtoVRAM DmaDRAMtoVRAM = nullptr;
  Os::Entry::IsDMAReady IsDMAReady = nullptr;
  GxDmaTable();
  bool Usable() const { return library.IsLoaded() && DmaDRAMtoVRAM; }
};

// "CoreLinkLib.dll", the Imageon library: all 28 entries are looked up; these twelve are called.
struct AtiCoreTable {
  static constexpr u32 kEntryCount = 28;
  static const char* const kEntryNames[kEntryCount];
  DynamicLibrary library{"CoreLinkLib.dll"};
  void* entries[kEntryCount] = {};
  Os::Entry::AtiProcessAttach ProcessAttach = nullptr;
  Os::Entry::AtiProcessDetach ProcessDetach = nullptr;
  Os::Entry::AtiAllocOverlay AllocOverlay = nullptr;
  Os::Entry::AtiSetOverlayOnOff SetOverlayOnOff = nullptr;
  Os::Entry::AtiSetupOverlay SetupOverlay = nullptr;
  Os::Entry::AtiSetOverlayPos SetOverlayPos = nullptr;
  Os::Entry::AtiReleaseOverlay ReleaseOverlay = nullptr;
  Os::Entry::AtiAllocateSurface AllocateSurface = nullptr;
  Os::Entry::AtiDestroySurface DestroySurface = nullptr;
  Os::Entry::AtiSetupMemoryTransfer SetupMemoryTransfer = nullptr;
  Os::Entry::AtiTerminateMemoryTransfer TerminateMemoryTransfer = nullptr;
  Os::Entry::AtiWaitComplete WaitComplete = nullptr;
  AtiCoreTable();
  bool Usable() const;
};

// The process-wide tables, loaded on first use.
GxTable& Gx();
GxDmaTable& GxDma();
AtiCoreTable& AtiCore();

// Frees the loaded tables (process exit; a test changing the device). The next use loads them again.
void ReleaseVideoLibraries();

}  // namespace Hal
