#include "platform/video/VideoLibraries.h"

#include <memory>

namespace Hal {
namespace {

i32 FallbackIsDMAReady() { return 1; }

std::unique_ptr<GxTable> gGx;
std::unique_ptr<GxDmaTable> gGxDma;
std::unique_ptr<AtiCoreTable> gAtiCore;

template <typename T>
T& Table(std::unique_ptr<T>& slot) {
  if (!slot) slot = std::make_unique<T>();
  return *slot;
}

template <typename F>
F As(void* entry) {
  return reinterpret_cast<F>(entry);
}

}  // namespace

GxTable::GxTable() {
  GXOpenDisplay = As<Os::Entry::GXOpenDisplay>(library.Symbol("?GXOpenDisplay@@YAHPAUHWND__@@K@Z"));
  GXCloseDisplay = As<Os::Entry::GXCloseDisplay>(library.Symbol("?GXCloseDisplay@@YAHXZ"));
  GXBeginDraw = As<Os::Entry::GXBeginDraw>(library.Symbol("?GXBeginDraw@@YAPAXXZ"));
  GXEndDraw = As<Os::Entry::GXEndDraw>(library.Symbol("?GXEndDraw@@YAHXZ"));
  GXOpenInput = As<Os::Entry::GXOpenInput>(library.Symbol("?GXOpenInput@@YAHXZ"));
  GXCloseInput = As<Os::Entry::GXCloseInput>(library.Symbol("?GXCloseInput@@YAHXZ"));
  GXGetDisplayProperties =
      As<Os::Entry::GXGetDisplayProperties>(library.Symbol("?GXGetDisplayProperties@@YA?AUGXDisplayProperties@@XZ"));
  GXGetDefaultKeys = As<Os::Entry::GXGetDefaultKeys>(library.Symbol("?GXGetDefaultKeys@@YA?AUGXKeyList@@H@Z"));
  GXSuspend = As<Os::Entry::GXSuspend>(library.Symbol("?GXSuspend@@YAHXZ"));
  GXResume = As<Os::Entry::GXResume>(library.Symbol("?GXResume@@YAHXZ"));
  GXSetViewport = As<Os::Entry::GXSetViewport>(library.Symbol("?GXSetViewport@@YAHKKKK@Z"));
  GXIsDisplayDRAMBuffer = As<Os::Entry::GXIsDisplayDRAMBuffer>(library.Symbol("?GXIsDisplayDRAMBuffer@@YAHXZ"));
}

bool GxTable::Usable() const {
  return library.IsLoaded() && GXOpenDisplay && GXCloseDisplay && GXBeginDraw && GXEndDraw && GXGetDisplayProperties &&
         GXSuspend && GXResume && GXSetViewport;
}

GxDmaTable::GxDmaTable() {
  DmaVRAMtoDRAM = As<Os::Entry::DmaVRAMtoDRAM>(library.Symbol("DmaVRAMtoDRAM"));
  DmaDRAMtoVRAM = As<Os::Entry::DmaDRAMtoVRAM>(library.Symbol("DmaDRAMtoVRAM"));
  IsDMAReady = As<Os::Entry::IsDMAReady>(library.Symbol("IsDMAReady"));
  if (!IsDMAReady) IsDMAReady = FallbackIsDMAReady;
}

const char* const AtiCoreTable::kEntryNames[kEntryCount] = {
    "AtiCore_SetupGraphicWindow",
    "AtiCore_GetFrontBufferPitchOffset",
    "AtiCore_ProcessAttach",
    "AtiCore_ProcessDetach",
    "AtiCore_ProcessAttachMinimal",
    "AtiCore_ProcessDetachMinimal",
    "AtiCore_AllocOverlay",
    "AtiCore_SetOverlayOnOff",
    "AtiCore_SetupOverlay",
    "AtiCore_SetupOverlayExtended",
    "AtiCore_SetOverlayPos",
    "AtiCore_ReleaseOverlay",
    "AtiCore_AllocateSurface",
    "AtiCore_DestroySurface",
    "AtiCore_SetupMemoryTransfer",
    "AtiCore_TerminateMemoryTransfer",
    "AtiCore_BitBlt",
    "AtiCore_BitBltFilpRotate",
    "AtiCore_DrawPixel",
    "AtiCore_ReadMem",
    "AtiCore_ReadReg",
    "AtiCore_SetFrontBuffer",
    "AtiCore_WaitComplete",
    "AtiCore_SetSrcPitchOffset",
    "AtiCore_SetDstPitchOffset",
    "AtiCore_SetRopOperation",
    "AtiCore_SetSrcType",
    "AtiCore_SetDstType",
};

AtiCoreTable::AtiCoreTable() {
  for (u32 i = 0; i < kEntryCount; ++i) entries[i] = library.Symbol(kEntryNames[i]);
  ProcessAttach = As<Os::Entry::AtiProcessAttach>(entries[2]);
  ProcessDetach = As<Os::Entry::AtiProcessDetach>(entries[3]);
  AllocOverlay = As<Os::Entry::AtiAllocOverlay>(entries[6]);
  SetOverlayOnOff = As<Os::Entry::AtiSetOverlayOnOff>(entries[7]);
  SetupOverlay = As<Os::Entry::AtiSetupOverlay>(entries[8]);
  SetOverlayPos = As<Os::Entry::AtiSetOverlayPos>(entries[10]);
  ReleaseOverlay = As<Os::Entry::AtiReleaseOverlay>(entries[11]);
  AllocateSurface = As<Os::Entry::AtiAllocateSurface>(entries[12]);
  DestroySurface = As<Os::Entry::AtiDestroySurface>(entries[13]);
  SetupMemoryTransfer = As<Os::Entry::AtiSetupMemoryTransfer>(entries[14]);
  TerminateMemoryTransfer = As<Os::Entry::AtiTerminateMemoryTransfer>(entries[15]);
  WaitComplete = As<Os::Entry::AtiWaitComplete>(entries[22]);
}

bool AtiCoreTable::Usable() const {
  return library.IsLoaded() && ProcessAttach && ProcessDetach && AllocOverlay && SetOverlayOnOff && SetupOverlay &&
         SetOverlayPos && ReleaseOverlay && AllocateSurface && DestroySurface && SetupMemoryTransfer &&
         TerminateMemoryTransfer && WaitComplete;
}

GxTable& Gx() { return Table(gGx); }
GxDmaTable& GxDma() { return Table(gGxDma); }
AtiCoreTable& AtiCore() { return Table(gAtiCore); }

void ReleaseVideoLibraries() {
  gGx.reset();
  gGxDma.reset();
  gAtiCore.reset();
}

}  // namespace Hal
