// Device profiles the video tests share.
#pragma once
#include "os/sim/SimDevice.h"

namespace VideoTest {

using Os::Sim::Profile;

constexpr u32 kStrongArmId = 0x6901B119;
constexpr u32 kXScaleId = 0x69052D06;

// Only the window-drawing path: what the SDL backend offers.
inline Profile WindowOnly(u32 w = 240, u32 h = 320, u32 depth = 16) {
  Profile p;
  p.name = "window only";
  p.width = w;
  p.height = h;
  p.depth = depth;
  p.coredll = false;
  p.aygshell = false;
  return p;
}

// The game-API library over a panel of that native orientation; dram: its own buffer copied out.
inline Profile Gapi(u32 orientation, bool dram = false) {
  Profile p;
  p.name = dram ? "game API, DRAM buffer" : "game API";
  p.orientation = orientation;
  p.gx = true;
  p.gxDram = dram ? 1 : 0;
  return p;
}

// Model 1 with a StrongARM: landscape panel, frame at 0xAC050020 (also seen without bit 29).
inline Profile StrongArmIpaq() {
  Profile p = Gapi(3);
  p.name = "StrongARM model 1";
  p.oem = "Compaq iPAQ H3800 series";
  p.frame = 0xAC050020;
  p.alias29 = true;
  p.kernelMode = true;
  p.cpuId = kStrongArmId;
  p.lcd = Os::Sim::Lcd::StrongArm;
  return p;
}

inline Profile StrongArmPlain() {
  Profile p = Gapi(0);
  p.name = "StrongARM";
  p.kernelMode = true;
  p.cpuId = kStrongArmId;
  p.lcd = Os::Sim::Lcd::StrongArm;
  return p;
}

// XScale whose frame the game-API library reports with bit 29 set.
inline Profile XScaleLcd(u32 orientation) {
  Profile p = Gapi(orientation);
  p.name = "XScale";
  p.frame = 0x2A000000;
  p.alias29 = true;
  p.kernelMode = true;
  p.cpuId = kXScaleId;
  p.lcd = Os::Sim::Lcd::XScale;
  return p;
}

inline Profile XScaleVga(u32 orientation = 0) {
  Profile p = XScaleLcd(orientation);
  p.name = "XScale with VGA escape";
  p.width = 480;
  p.height = 640;
  p.rawFrameBuffer = true;
  return p;
}

inline Profile Vga(u32 orientation) {
  Profile p;
  p.name = "VGA escape";
  p.orientation = orientation;
  p.rawFrameBuffer = true;
  return p;
}

inline Profile Imageon() {
  Profile p = Gapi(0);
  p.name = "Imageon";
  p.oem = "TOSHIBA e740 Pocket PC";
  p.kernelMode = true;
  p.cpuId = kXScaleId;
  p.imageon = true;
  p.imageonBusyWaits = 2;
  return p;
}

// The display driver's GETGXINFO escape, no game-API library.
inline Profile Direct(u32 orientation, bool dma) {
  Profile p;
  p.name = dma ? "direct with DMA" : "direct";
  p.orientation = orientation;
  p.gxInfo = true;
  p.gxInfoShadow = dma;
  p.gxdma = dma;
  p.dmaBusyPolls = 3;
  return p;
}

// MediaQ frame memory found through GETGXINFO; clearing it costs 100 ns a byte (15 ms for 240 x 320).
inline Profile MediaQ(u32 orientation = 0, u32 costNs = 100) {
  Profile p = Direct(orientation, false);
  p.name = "MediaQ";
  p.frame = 0x0C042000;
  p.writeCostNsPerByte = costNs;
  return p;
}

}  // namespace VideoTest
