// A simulated handheld graphics device: the screen as GDI reports it, frame memory and display-controller
// registers in a 32-bit device address space, the processor's id and kernel mode, the OEM text, the
// display driver's escapes and the run-time graphics libraries. A profile says what the device has; the
// video drivers and their detection run against it unchanged, and tests read back the visible panel.
//
// Only this simulation raises Os::DeviceFault: for an unbacked address, a privileged read outside kernel
// mode, or a fault the profile asks for.
#pragma once
#include "os/Cpu.h"
#include "os/DeviceMemory.h"
#include "os/DisplayHardware.h"
#include "os/Gdi.h"
#include "os/Library.h"
#include "os/OemInfo.h"
#include "os/VirtualMemory.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Os::Sim {

enum class Lcd : u8 { None, StrongArm, XScale };

// Raise a fault the (skip + 1)-th time the named point is reached, and every time after when `always`.
// Points: "GETGXINFO", "GETRAWFRAMEBUFFER", "GXOpenDisplay", "GXBeginDraw", "ReadMainId",
// "AtiCore_ProcessAttach", "AtiCore_AllocateSurface", "lcd" (any controller register access),
// "frame" (any access to the panel's frame memory).
struct Fault {
  const char* point = "";
  u32 skip = 0;
  bool always = false;
};

// Device addresses the simulation uses (the LCD controllers' are in DisplayHardware.h).
constexpr DeviceAddr kStrongArmFramePhys = 0xC0000000;  // DBAR1: palette, then pixels
constexpr DeviceAddr kGxShadow = 0x30000000;            // the game-API library's DRAM buffer
constexpr DeviceAddr kDmaShadow = 0x31000000;           // the DMA library's system-memory frame
constexpr DeviceAddr kImageonMemory = 0x48000000;       // the Imageon chip's memory window
constexpr u32 kImageonMemorySize = 0x100000;
constexpr DeviceAddr kReserveBase = 0x60000000;  // where reservations are placed
constexpr u32 kAlias29 = 0x20000000;

struct Profile {
  const char* name = "";
  // The screen as GDI reports it (HORZRES, VERTRES, BITSPIXEL).
  u32 width = 240;
  u32 height = 320;
  u32 depth = 16;
  // The panel's frame memory: native orientation against the screen (0 to 3, counted as the display layer
  // counts them), row pitch in bytes (0: native width x 2) and device address of its first pixel.
  u32 orientation = 0;
  u32 pitch = 0;
  DeviceAddr frame = 0x0A000000;
  bool alias29 = false;        // also visible with bit 29 set; the interfaces report that form
  u32 writeCostNsPerByte = 0;  // writes to frame memory cost this much virtual time (MediaQ)
  const char* oem = nullptr;   // OEM text; null: the query fails
  // Processor.
  bool kernelMode = false;  // SetKMode present
  u32 cpuId = 0;
  bool cpuIdFaults = false;
  Lcd lcd = Lcd::None;
  bool lcdEnabled = true;
  bool lcdActive = true;
  u32 lcdDepth = 16;
  bool scanStuck = false;  // the controller's scan registers never move
  u32 scanStart = 0;       // line the scan starts on (past the visible rows: blanking)
  // Libraries.
  bool coredll = true;
  bool aygshell = true;
  bool gx = false;
  bool gxOpenFails = false;
  i32 gxDram = -1;  // -1: no GXIsDisplayDRAMBuffer entry; 0 or 1: its answer
  bool gxBeginDrawNull = false;
  bool gxdma = false;
  u32 dmaBusyPolls = 0;  // IsDMAReady false this many times after each transfer
  bool dmaNeverReady = false;
  bool imageon = false;
  u32 imageonBusyWaits = 0;  // AtiCore_WaitComplete false this many times per frame
  bool imageonTransferFails = false;
  const char* imageonMissing = nullptr;  // an entry the library lacks
  // Escapes.
  bool gxInfo = false;
  i32 gxInfoResult = 1;       // the GETGXINFO result (<= 0: failure, the record gets garbage)
  bool gxInfoShadow = false;  // its frame pointer is a system-memory frame that DMA copies out
  bool rawFrameBuffer = false;
  u16 rawFormat = kRawFormatRgb565;
  bool rawFrameNull = false;  // GETRAWFRAMEBUFFER succeeds but reports frame pointer 0
  std::vector<Fault> faults;
};

class Device;

// The device's GDI: the screen's size and depth, its escapes, and copies to the screen that land in the
// panel's frame memory (turned as the panel is mounted).
class ScreenGdi : public PanelGdi {
 public:
  explicit ScreenGdi(Device& device);
  i32 ExtEscape(Dc dc, i32 code, i32 inSize, const void* in, i32 outSize, void* out) override;

 protected:
  void OnPanelChanged(i32 x, i32 y, i32 width, i32 height) override;

 private:
  Device& device_;
};

class Device : public DeviceMemory, public VirtualMemory, public Cpu, public OemInfo, public Libraries {
 public:
  explicit Device(const Profile& profile);
  ~Device() override;
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  // Installs this device as the Os device memory, virtual memory, processor, OEM, GDI and library
  // services (and as the active device behind the library entries); Uninstall restores the host defaults.
  void Install();
  void Uninstall();
  static Device* Active();

  const Profile& profile() const { return profile_; }
  u32 NativeWidth() const { return nativeW_; }
  u32 NativeHeight() const { return nativeH_; }
  u32 Pitch() const { return pitch_; }

  // The visible picture as the user holds the device (width x height RGB565, rows top to bottom): the
  // Imageon overlay while it is on, else the panel's frame memory turned upright.
  std::vector<u16> Screen() const;
  u32 ScreenChecksum() const;
  // The panel's frame memory as stored (native width x height).
  std::vector<u16> Panel() const;
  // Writes a picture in screen coordinates into the panel (as the window-drawing path does).
  void BlitToScreen(i32 x, i32 y, i32 w, i32 h, const u8* src, u32 srcPitch);
  // Device address of screen pixel (0, 0) and of the panel's first pixel, as interfaces report them.
  DeviceAddr ScreenOrigin(DeviceAddr base) const;
  DeviceAddr ReportedFrame() const;

  // GDI.
  i32 DeviceCaps(i32 index) const;
  i32 Escape(i32 code, u32 inSize, const void* in, u32 outSize, void* out);

  ScreenGdi& Gdi() { return gdi_; }

  // Libraries.
  LibraryHandle LoadLibrary(const char* name) override;
  void FreeLibrary(LibraryHandle library) override;
  void* GetProcAddress(LibraryHandle library, const char* name) override;
  u32 LoadedLibraries() const { return loaded_; }

  // What happened, one line per call worth asserting on ("AllKeys 1", "SHFullScreen 42", "GXSuspend",
  // "overlay 1", ...).
  std::vector<std::string> log;
  bool LogHas(const std::string& line) const;
  u32 LogCount(const std::string& line) const;
  u32 ScanReads() const { return scanReads_; }
  u32 ScanLine() const { return scanLine_; }
  u32 DmaPolls() const { return dmaPolls_; }
  u32 DmaTransfers() const { return dmaTransfers_; }

  // DeviceMemory.
  u8* HostPtr(DeviceAddr addr, u32 size) override;
  u32 Read32(DeviceAddr addr) override;
  void Write32(DeviceAddr addr, u32 value) override;
  bool Fill(DeviceAddr addr, u8 value, u32 size) override;
  // VirtualMemory.
  u32 PageSize() override { return 4096; }
  DeviceAddr Reserve(u32 size) override;
  bool Copy(DeviceAddr addr, u32 physical, u32 size, u32 protect) override;
  bool Release(DeviceAddr addr) override;
  // Cpu.
  bool HasKernelMode() override { return profile_.kernelMode; }
  bool SetKernelMode(bool on) override;
  u32 ReadMainId() override;
  // OemInfo.
  bool Text(char* text, u32 capacity) override;

  // The library entries' behaviour (the exported entries forward here).
  i32 AllKeys(i32 all);
  i32 SetKMode(i32 on);
  i32 SHFullScreen(WindowHandleValue window, u32 flags);
  i32 GXOpenDisplay(WindowHandleValue window, u32 flags);
  i32 GXCloseDisplay();
  u32 GXBeginDraw();
  i32 GXEndDraw();
  GxDisplayProperties GXGetDisplayProperties();
  i32 GXSuspend();
  i32 GXResume();
  i32 GXSetViewport(u32 top, u32 height);
  i32 GXIsDisplayDRAMBuffer();
  i32 DmaCopy(bool toPanel, u32 x, u32 y, u32 w, u32 h);
  i32 IsDMAReady();
  i32 AtiProcessAttach();
  i32 AtiProcessDetach();
  i32 AtiAllocateSurface(u16* handle, u32* offset, u32 size, u32 flags);
  i32 AtiDestroySurface(u16 handle);
  i32 AtiAllocOverlay(u16* handle);
  i32 AtiSetupOverlay(u16 overlay, const ImageonOverlayRecord* record);
  i32 AtiSetOverlayPos(u16 overlay, u16 x, u16 y);
  i32 AtiSetOverlayOnOff(u16 overlay, i32 on);
  i32 AtiReleaseOverlay(u16 overlay);
  i32 AtiSetupMemoryTransfer(u32 offset, u32* address);
  i32 AtiTerminateMemoryTransfer();
  i32 AtiWaitComplete(u32 timeout);

  // Called with whole milliseconds of virtual time that slow frame-memory writes cost (a test advances its
  // clock here).
  std::function<void(u32)> onCost;

  // Raises the fault the profile asks for at this point, if any.
  void FaultPoint(const char* point);

 private:
  struct Block;
  struct Region {
    DeviceAddr base;
    u32 size;
    Block* block;
    u32 offset;  // into the block
  };

  Block* NewBlock(u32 size, u8 kind);
  void Map(std::vector<Region>& space, DeviceAddr base, u32 size, Block* block, u32 offset);
  const Region* Find(const std::vector<Region>& space, DeviceAddr addr, u32 size) const;
  const Region* Resolve(DeviceAddr addr, u32 size);  // raises DeviceFault when unbacked
  u32 RegisterRead(Block* block, u32 offset);
  void ChargeWrite(const Block* block, u32 bytes);
  u32 PixelOffset(u32 x, u32 y) const;  // byte offset in the panel of screen pixel (x, y)
  void CopyScreenRows(const u8* from, u8* to, u32 top, u32 rows);

  Profile profile_;
  u32 nativeW_ = 0, nativeH_ = 0, pitch_ = 0;
  u32 paletteBytes_ = 0;  // in front of the pixels of the panel block (StrongARM)
  std::vector<std::unique_ptr<Block>> blocks_;
  std::vector<Region> virtual_;   // the process's address space
  std::vector<Region> physical_;  // physical memory that Copy can map
  struct Reservation {
    DeviceAddr addr;
    u32 size;
  };
  std::vector<Reservation> reservations_;
  DeviceAddr nextReserve_ = kReserveBase;
  Block* panel_ = nullptr;
  Block* gxShadow_ = nullptr;
  Block* dmaShadow_ = nullptr;
  Block* imageonMem_ = nullptr;
  Block* lcdRegs_ = nullptr;
  std::vector<u32> faultHits_;
  std::vector<u8> libraries_;  // kind per handle - 1; 0 = free
  ScreenGdi gdi_;
  u32 loaded_ = 0;
  bool kernel_ = false;
  i32 allKeys_ = 0;
  bool gxOpen_ = false;
  u32 gxViewTop_ = 0, gxViewRows_ = 0;
  bool gxViewSet_ = false;  // until the first GXSetViewport the whole screen is copied
  u32 dmaBusy_ = 0, dmaPolls_ = 0, dmaTransfers_ = 0;
  u32 scanLine_ = 0, scanReads_ = 0;
  u64 costNs_ = 0;
  bool atiAttached_ = false;
  u32 atiWaits_ = 0;
  u16 surfaceHandle_ = 0, overlayHandle_ = 0;
  u32 surfaceOffset_ = 0, surfaceSize_ = 0;
  bool overlayOn_ = false;
  ImageonOverlayRecord overlay_{};
  bool transferOpen_ = false;
};

}  // namespace Os::Sim
