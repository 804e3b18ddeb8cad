// Records and entry points of the display hardware's interfaces that the video drivers reach and the
// simulated device answers: the display driver's escapes, the game-API library, the DMA library and the
// Imageon library. Where the handheld leaves a layout open (field offsets, the libraries' inner working)
// it is fixed here once, so driver and device agree.
#pragma once
#include "os/Types.h"

namespace Os {

// Escape codes of the display driver.
constexpr i32 kEscQuerySupport = 8;             // in: the i32 code asked about; > 0 when supported
constexpr i32 kEscGetGxInfo = 0x20000;          // out: GxInfoRecord
constexpr i32 kEscGetRawFrameBuffer = 0x20001;  // out: RawFrameBufferRecord

// GETGXINFO's 132-byte record. The caller sets `version` to 100 before the call.
struct GxInfoRecord {
  u32 version;
  u32 reserved0;
  u32 framePointer;  // device address of the frame memory's first byte
  u32 stride;        // bytes per row of frame memory
  u32 width;         // of the screen as the user holds it (exchanged against the rows when landscape)
  u32 height;
  u32 bitsPerPixel;
  u32 formatFlags;  // bit 3: the frame memory's rows run across the screen's height (landscape)
  u32 reserved[25];
};
static_assert(sizeof(GxInfoRecord) == 132);
constexpr u32 kGxInfoVersion = 100;
constexpr u32 kGxInfoLandscape = 8;

// GETRAWFRAMEBUFFER's 24-byte record.
struct RawFrameBufferRecord {
  u16 format;  // (format & 3) == 1: RGB565
  u16 bitsPerPixel;
  u32 framePointer;  // device address of the screen's pixel (0, 0)
  i32 xStride;       // bytes from one pixel to the next on the right
  i32 yStride;       // bytes from one pixel to the one below
  i32 xPixels;
  i32 yPixels;
};
static_assert(sizeof(RawFrameBufferRecord) == 24);
constexpr u16 kRawFormatRgb565 = 1;

// The game-API library's display properties: the screen as the user holds it, and the byte strides
// from pixel to pixel in that view.
struct GxDisplayProperties {
  u32 cx;
  u32 cy;
  i32 xPitch;
  i32 yPitch;
  i32 bpp;
  u32 format;
};
constexpr u32 kGxFullScreen = 1;

// The Imageon overlay set-up record (six words).
struct ImageonOverlayRecord {
  u32 surfaceOffset;
  u32 zero0;
  u32 width2;   // width in both 16-bit halves
  u32 height2;  // height in both 16-bit halves
  u32 zero1;
  u32 format;  // 8: RGB565
};
static_assert(sizeof(ImageonOverlayRecord) == 24);

// The LCD controllers' register blocks (physical addresses) and the offsets of the registers used, after
// the processors' published register maps.
constexpr u32 kStrongArmLcdRegs = 0xB0100000;
constexpr u32 kXScaleLcdRegs = 0x44000000;
namespace StrongArmReg {
constexpr u32 LCCR0 = 0x00, LCSR = 0x04, DBAR1 = 0x10, DCAR1 = 0x14, DBAR2 = 0x18, DCAR2 = 0x1C, LCCR1 = 0x20,
              LCCR2 = 0x24, LCCR3 = 0x28, Size = 0x2C;
}
namespace XScaleReg {
constexpr u32 LCCR0 = 0x000, LCCR1 = 0x004, LCCR2 = 0x008, LCCR3 = 0x00C, FDADR0 = 0x200, FSADR0 = 0x204, FIDR0 = 0x208,
              LDCMD0 = 0x20C, Size = 0x220;
}

// Entry points of the run-time libraries, as the symbol lookup hands them out. The window is passed as
// its window id.
using WindowHandleValue = u32;
namespace Entry {
// coredll.dll
using AllKeys = i32 (*)(i32 all);
using SetKMode = i32 (*)(i32 on);
using ChangeDisplaySettingsEx = i32 (*)(const void* device, void* mode, WindowHandleValue window, u32 flags,
                                        void* param);
// aygshell.dll
using SHFullScreen = i32 (*)(WindowHandleValue window, u32 flags);
// gx.dll
using GXOpenDisplay = i32 (*)(WindowHandleValue window, u32 flags);
using GXCloseDisplay = i32 (*)();
using GXBeginDraw = u32 (*)();  // device address, 0 when none
using GXEndDraw = i32 (*)();
using GXOpenInput = i32 (*)();
using GXCloseInput = i32 (*)();
using GXGetDisplayProperties = GxDisplayProperties (*)();
using GXGetDefaultKeys = i32 (*)(i32 options);
using GXSuspend = i32 (*)();
using GXResume = i32 (*)();
using GXSetViewport = i32 (*)(u32 top, u32 height, u32 reserved1, u32 reserved2);
using GXIsDisplayDRAMBuffer = i32 (*)();
// gxdma.dll
using DmaVRAMtoDRAM = i32 (*)(u32 x, u32 y, u32 width, u32 height);
using DmaDRAMtoVRAM = i32 (*)(u32 x, u32 y, u32 width, u32 height);
using IsDMAReady = i32 (*)();
// CoreLinkLib.dll (the entries the driver calls; the others are looked up as untyped entries)
using AtiProcessAttach = i32 (*)();
using AtiProcessDetach = i32 (*)();
using AtiAllocateSurface = i32 (*)(u16* handle, u32* offset, u32 size, u32 flags);
using AtiDestroySurface = i32 (*)(u16 handle);
using AtiAllocOverlay = i32 (*)(u16* handle);
using AtiSetupOverlay = i32 (*)(u16 overlay, const ImageonOverlayRecord* record);
using AtiSetOverlayPos = i32 (*)(u16 overlay, u16 x, u16 y);
using AtiSetOverlayOnOff = i32 (*)(u16 overlay, i32 on);
using AtiReleaseOverlay = i32 (*)(u16 overlay);
using AtiSetupMemoryTransfer = i32 (*)(u32 offset, u32* address);
using AtiTerminateMemoryTransfer = i32 (*)();
using AtiWaitComplete = i32 (*)(u32 timeout);
}  // namespace Entry

}  // namespace Os
