#include "os/sim/SimDevice.h"

#include <strings.h>
#include <algorithm>
#include <cstdio>
#include <cstring>

namespace Os::Sim {

struct Device::Block {
  std::vector<u8> bytes;
  u8 kind = 0;  // kMemory, kStrongArmRegs, kXScaleRegs
};

namespace {

constexpr u8 kMemory = 0;
constexpr u8 kStrongArmRegs = 1;
constexpr u8 kXScaleRegs = 2;

constexpr u8 kLibCore = 1, kLibAyg = 2, kLibGx = 3, kLibGxDma = 4, kLibAti = 5;

constexpr u32 kBlankLines = 40;  // lines of a scan cycle outside the visible rows
constexpr u32 kImageonSurfaceOffset = 0x1000;

Device* gActive = nullptr;

std::string Format(const char* fmt, u32 a) {
  char text[64];
  std::snprintf(text, sizeof text, fmt, a);
  return text;
}

u32 Load32(const u8* p) {
  u32 v;
  std::memcpy(&v, p, 4);
  return v;
}
void Store32(u8* p, u32 v) { std::memcpy(p, &v, 4); }

// The exported entries of the simulated libraries: plain functions, as a symbol lookup hands out, that
// forward to the active device.
#define SIM_ENTRY(ret, name, params, call, fallback) \
  ret name params {                                  \
    Device* d = Device::Active();                    \
    return d ? d->call : fallback;                   \
  }

SIM_ENTRY(i32, SimAllKeys, (i32 a), AllKeys(a), 0)
SIM_ENTRY(i32, SimSetKMode, (i32 a), SetKMode(a), 0)
i32 SimChangeDisplaySettingsEx(const void*, void*, WindowHandleValue, u32, void*) { return 0; }
SIM_ENTRY(i32, SimSHFullScreen, (WindowHandleValue w, u32 f), SHFullScreen(w, f), 0)
SIM_ENTRY(i32, SimGXOpenDisplay, (WindowHandleValue w, u32 f), GXOpenDisplay(w, f), 0)
SIM_ENTRY(i32, SimGXCloseDisplay, (), GXCloseDisplay(), 0)
SIM_ENTRY(u32, SimGXBeginDraw, (), GXBeginDraw(), 0)
SIM_ENTRY(i32, SimGXEndDraw, (), GXEndDraw(), 0)
i32 SimGXOpenInput() { return 1; }
i32 SimGXCloseInput() { return 1; }
SIM_ENTRY(GxDisplayProperties, SimGXGetDisplayProperties, (), GXGetDisplayProperties(), GxDisplayProperties{})
i32 SimGXGetDefaultKeys(i32) { return 0; }
SIM_ENTRY(i32, SimGXSuspend, (), GXSuspend(), 0)
SIM_ENTRY(i32, SimGXResume, (), GXResume(), 0)
SIM_ENTRY(i32, SimGXSetViewport, (u32 t, u32 h, u32, u32), GXSetViewport(t, h), 0)
SIM_ENTRY(i32, SimGXIsDisplayDRAMBuffer, (), GXIsDisplayDRAMBuffer(), 0)
SIM_ENTRY(i32, SimDmaVRAMtoDRAM, (u32 x, u32 y, u32 w, u32 h), DmaCopy(false, x, y, w, h), 0)
SIM_ENTRY(i32, SimDmaDRAMtoVRAM, (u32 x, u32 y, u32 w, u32 h), DmaCopy(true, x, y, w, h), 0)
SIM_ENTRY(i32, SimIsDMAReady, (), IsDMAReady(), 0)
SIM_ENTRY(i32, SimAtiProcessAttach, (), AtiProcessAttach(), 0)
SIM_ENTRY(i32, SimAtiProcessDetach, (), AtiProcessDetach(), 0)
SIM_ENTRY(i32, SimAtiAllocateSurface, (u16 * h, u32* o, u32 s, u32 f), AtiAllocateSurface(h, o, s, f), 0)
SIM_ENTRY(i32, SimAtiDestroySurface, (u16 h), AtiDestroySurface(h), 0)
SIM_ENTRY(i32, SimAtiAllocOverlay, (u16 * h), AtiAllocOverlay(h), 0)
SIM_ENTRY(i32, SimAtiSetupOverlay, (u16 o, const ImageonOverlayRecord* r), AtiSetupOverlay(o, r), 0)
SIM_ENTRY(i32, SimAtiSetOverlayPos, (u16 o, u16 x, u16 y), AtiSetOverlayPos(o, x, y), 0)
SIM_ENTRY(i32, SimAtiSetOverlayOnOff, (u16 o, i32 on), AtiSetOverlayOnOff(o, on), 0)
SIM_ENTRY(i32, SimAtiReleaseOverlay, (u16 o), AtiReleaseOverlay(o), 0)
SIM_ENTRY(i32, SimAtiSetupMemoryTransfer, (u32 o, u32* a), AtiSetupMemoryTransfer(o, a), 0)
SIM_ENTRY(i32, SimAtiTerminateMemoryTransfer, (), AtiTerminateMemoryTransfer(), 0)
SIM_ENTRY(i32, SimAtiWaitComplete, (u32 t), AtiWaitComplete(t), 0)
i32 SimAtiUnused() { return 0; }

#undef SIM_ENTRY

struct Export {
  const char* name;
  void* entry;
};

template <typename F>
void* Ptr(F f) {
  return reinterpret_cast<void*>(f);
}

const Export kCoreExports[] = {
    {"AllKeys", Ptr(&SimAllKeys)},
    {"SetKMode", Ptr(&SimSetKMode)},
    {"ChangeDisplaySettingsEx", Ptr(&SimChangeDisplaySettingsEx)},
};
const Export kAygExports[] = {{"SHFullScreen", Ptr(&SimSHFullScreen)}};
const Export kGxExports[] = {
    {"?GXOpenDisplay@@YAHPAUHWND__@@K@Z", Ptr(&SimGXOpenDisplay)},
    {"?GXCloseDisplay@@YAHXZ", Ptr(&SimGXCloseDisplay)},
    {"?GXBeginDraw@@YAPAXXZ", Ptr(&SimGXBeginDraw)},
    {"?GXEndDraw@@YAHXZ", Ptr(&SimGXEndDraw)},
    {"?GXOpenInput@@YAHXZ", Ptr(&SimGXOpenInput)},
    {"?GXCloseInput@@YAHXZ", Ptr(&SimGXCloseInput)},
    {"?GXGetDisplayProperties@@YA?AUGXDisplayProperties@@XZ", Ptr(&SimGXGetDisplayProperties)},
    {"?GXGetDefaultKeys@@YA?AUGXKeyList@@H@Z", Ptr(&SimGXGetDefaultKeys)},
    {"?GXSuspend@@YAHXZ", Ptr(&SimGXSuspend)},
    {"?GXResume@@YAHXZ", Ptr(&SimGXResume)},
    {"?GXSetViewport@@YAHKKKK@Z", Ptr(&SimGXSetViewport)},
    {"?GXIsDisplayDRAMBuffer@@YAHXZ", Ptr(&SimGXIsDisplayDRAMBuffer)},
};
const Export kGxDmaExports[] = {
    {"DmaVRAMtoDRAM", Ptr(&SimDmaVRAMtoDRAM)},
    {"DmaDRAMtoVRAM", Ptr(&SimDmaDRAMtoVRAM)},
    {"IsDMAReady", Ptr(&SimIsDMAReady)},
};
const Export kAtiExports[] = {
    {"AtiCore_SetupGraphicWindow", Ptr(&SimAtiUnused)},
    {"AtiCore_GetFrontBufferPitchOffset", Ptr(&SimAtiUnused)},
    {"AtiCore_ProcessAttach", Ptr(&SimAtiProcessAttach)},
    {"AtiCore_ProcessDetach", Ptr(&SimAtiProcessDetach)},
    {"AtiCore_ProcessAttachMinimal", Ptr(&SimAtiUnused)},
    {"AtiCore_ProcessDetachMinimal", Ptr(&SimAtiUnused)},
    {"AtiCore_AllocOverlay", Ptr(&SimAtiAllocOverlay)},
    {"AtiCore_SetOverlayOnOff", Ptr(&SimAtiSetOverlayOnOff)},
    {"AtiCore_SetupOverlay", Ptr(&SimAtiSetupOverlay)},
    {"AtiCore_SetupOverlayExtended", Ptr(&SimAtiUnused)},
    {"AtiCore_SetOverlayPos", Ptr(&SimAtiSetOverlayPos)},
    {"AtiCore_ReleaseOverlay", Ptr(&SimAtiReleaseOverlay)},
    {"AtiCore_AllocateSurface", Ptr(&SimAtiAllocateSurface)},
    {"AtiCore_DestroySurface", Ptr(&SimAtiDestroySurface)},
    {"AtiCore_SetupMemoryTransfer", Ptr(&SimAtiSetupMemoryTransfer)},
    {"AtiCore_TerminateMemoryTransfer", Ptr(&SimAtiTerminateMemoryTransfer)},
    {"AtiCore_BitBlt", Ptr(&SimAtiUnused)},
    {"AtiCore_BitBltFilpRotate", Ptr(&SimAtiUnused)},
    {"AtiCore_DrawPixel", Ptr(&SimAtiUnused)},
    {"AtiCore_ReadMem", Ptr(&SimAtiUnused)},
    {"AtiCore_ReadReg", Ptr(&SimAtiUnused)},
    {"AtiCore_SetFrontBuffer", Ptr(&SimAtiUnused)},
    {"AtiCore_WaitComplete", Ptr(&SimAtiWaitComplete)},
    {"AtiCore_SetSrcPitchOffset", Ptr(&SimAtiUnused)},
    {"AtiCore_SetDstPitchOffset", Ptr(&SimAtiUnused)},
    {"AtiCore_SetRopOperation", Ptr(&SimAtiUnused)},
    {"AtiCore_SetSrcType", Ptr(&SimAtiUnused)},
    {"AtiCore_SetDstType", Ptr(&SimAtiUnused)},
};

u32 StrongArmDepthCode(u32 depth) {
  switch (depth) {
    case 4: return 0;
    case 8: return 1;
    case 16: return 2;
    default: return 3;
  }
}

u32 XScaleDepthCode(u32 depth) {
  switch (depth) {
    case 1: return 0;
    case 2: return 1;
    case 4: return 2;
    case 8: return 3;
    case 16: return 4;
    default: return 7;
  }
}

}  // namespace

ScreenGdi::ScreenGdi(Device& device)
    : PanelGdi(i32(device.profile().width), i32(device.profile().height), i32(device.profile().depth)),
      device_(device) {}

i32 ScreenGdi::ExtEscape(Dc dc, i32 code, i32 inSize, const void* in, i32 outSize, void* out) {
  if (dc == 0 || inSize < 0 || outSize < 0) return 0;
  return device_.Escape(code, u32(inSize), in, u32(outSize), out);
}

void ScreenGdi::OnPanelChanged(i32 x, i32 y, i32 width, i32 height) {
  const Panel& panel = GetPanel();
  if (x < 0 || y < 0 || width <= 0 || height <= 0 || x + width > panel.width || y + height > panel.height) return;
  const u8* src = reinterpret_cast<const u8*>(&panel.pixels[size_t(y) * size_t(panel.width) + size_t(x)]);
  device_.BlitToScreen(x, y, width, height, src, u32(panel.width) * 2);
}

Device::Device(const Profile& profile) : profile_(profile), gdi_(*this) {
  const bool odd = (profile_.orientation & 1) != 0;
  nativeW_ = odd ? profile_.height : profile_.width;
  nativeH_ = odd ? profile_.width : profile_.height;
  pitch_ = profile_.pitch ? profile_.pitch : nativeW_ * 2;
  faultHits_.assign(profile_.faults.size(), 0);
  scanLine_ = profile_.scanStart;

  if (profile_.lcd == Lcd::StrongArm) paletteBytes_ = profile_.lcdDepth == 8 ? 512 : 32;
  const u32 pixelBytes = pitch_ * nativeH_;
  panel_ = NewBlock(paletteBytes_ + pixelBytes, kMemory);
  const DeviceAddr start = profile_.frame - paletteBytes_;
  if (profile_.alias29) {
    Map(virtual_, start & ~kAlias29, panel_->bytes.size(), panel_, 0);
    Map(virtual_, start | kAlias29, panel_->bytes.size(), panel_, 0);
  } else {
    Map(virtual_, start, panel_->bytes.size(), panel_, 0);
  }

  if (profile_.gx && profile_.gxDram == 1) {
    gxShadow_ = NewBlock(pixelBytes, kMemory);
    Map(virtual_, kGxShadow, pixelBytes, gxShadow_, 0);
  }
  if (profile_.gxInfo && profile_.gxInfoShadow) {
    dmaShadow_ = NewBlock(pixelBytes, kMemory);
    Map(virtual_, kDmaShadow, pixelBytes, dmaShadow_, 0);
  }
  if (profile_.imageon) {
    imageonMem_ = NewBlock(kImageonMemorySize, kMemory);
    Map(virtual_, kImageonMemory, kImageonMemorySize, imageonMem_, 0);
  }

  const u32 active = profile_.lcdActive ? 0x80u : 0u;
  const u32 enable = profile_.lcdEnabled ? 1u : 0u;
  if (profile_.lcd == Lcd::StrongArm) {
    lcdRegs_ = NewBlock(StrongArmReg::Size, kStrongArmRegs);
    Map(physical_, kStrongArmLcdRegs, StrongArmReg::Size, lcdRegs_, 0);
    Map(physical_, kStrongArmFramePhys, panel_->bytes.size(), panel_, 0);
    u8* r = lcdRegs_->bytes.data();
    Store32(r + StrongArmReg::LCCR0, enable | active);
    Store32(r + StrongArmReg::LCCR1, (nativeW_ - 16) & 0x3FF);
    Store32(r + StrongArmReg::LCCR2, (nativeH_ - 1) & 0x3FF);
    Store32(r + StrongArmReg::DBAR1, kStrongArmFramePhys);
    // The first palette word carries the pixel depth in bits 12 and 13.
    const u16 palette0 = static_cast<u16>(StrongArmDepthCode(profile_.lcdDepth) << 12);
    std::memcpy(panel_->bytes.data(), &palette0, 2);
  } else if (profile_.lcd == Lcd::XScale) {
    lcdRegs_ = NewBlock(XScaleReg::Size, kXScaleRegs);
    Map(physical_, kXScaleLcdRegs, XScaleReg::Size, lcdRegs_, 0);
    u8* r = lcdRegs_->bytes.data();
    Store32(r + XScaleReg::LCCR0, enable | active);
    Store32(r + XScaleReg::LCCR1, (nativeW_ - 1) & 0x3FF);
    Store32(r + XScaleReg::LCCR2, (nativeH_ - 1) & 0x3FF);
    Store32(r + XScaleReg::LCCR3, XScaleDepthCode(profile_.lcdDepth) << 24);
  }
}

Device::~Device() {
  if (gActive == this) Uninstall();
}

void Device::Install() {
  gActive = this;
  InstallDeviceMemory(this);
  InstallVirtualMemory(this);
  InstallCpu(this);
  InstallOemInfo(this);
  InstallGraphics(&gdi_);
  InstallLibraries(this);
}

void Device::Uninstall() {
  if (gActive != this) return;
  gActive = nullptr;
  InstallDeviceMemory(nullptr);
  InstallVirtualMemory(nullptr);
  InstallCpu(nullptr);
  InstallOemInfo(nullptr);
  InstallGraphics(nullptr);
  InstallLibraries(nullptr);
}

Device* Device::Active() { return gActive; }

Device::Block* Device::NewBlock(u32 size, u8 kind) {
  auto block = std::make_unique<Block>();
  block->bytes.assign(size, 0);
  block->kind = kind;
  blocks_.push_back(std::move(block));
  return blocks_.back().get();
}

void Device::Map(std::vector<Region>& space, DeviceAddr base, u32 size, Block* block, u32 offset) {
  space.push_back(Region{base, size, block, offset});
}

const Device::Region* Device::Find(const std::vector<Region>& space, DeviceAddr addr, u32 size) const {
  const u64 end = u64{addr} + (size ? size : 1);
  for (const Region& r : space) {
    if (addr >= r.base && end <= u64{r.base} + r.size) return &r;
  }
  return nullptr;
}

void Device::FaultPoint(const char* point) {
  for (size_t i = 0; i < profile_.faults.size(); ++i) {
    const Fault& f = profile_.faults[i];
    if (std::strcmp(f.point, point) != 0) continue;
    const u32 hit = ++faultHits_[i];
    if (hit == f.skip + 1 || (f.always && hit > f.skip)) throw DeviceFault(point);
  }
}

const Device::Region* Device::Resolve(DeviceAddr addr, u32 size) {
  const Region* r = Find(virtual_, addr, size);
  if (!r) throw DeviceFault("access to an unbacked device address");
  if (r->block == panel_) FaultPoint("frame");
  if (r->block == lcdRegs_) FaultPoint("lcd");
  return r;
}

u8* Device::HostPtr(DeviceAddr addr, u32 size) {
  const Region* r = Resolve(addr, size);
  return r->block->bytes.data() + r->offset + (addr - r->base);
}

u32 Device::Read32(DeviceAddr addr) {
  const Region* r = Resolve(addr, 4);
  const u32 offset = r->offset + (addr - r->base);
  if (r->block->kind != kMemory) return RegisterRead(r->block, offset);
  return Load32(r->block->bytes.data() + offset);
}

void Device::Write32(DeviceAddr addr, u32 value) {
  const Region* r = Resolve(addr, 4);
  Store32(r->block->bytes.data() + r->offset + (addr - r->base), value);
  ChargeWrite(r->block, 4);
}

bool Device::Fill(DeviceAddr addr, u8 value, u32 size) {
  const Region* r = Find(virtual_, addr, size);
  if (!r) return false;
  if (r->block == panel_) FaultPoint("frame");
  std::memset(r->block->bytes.data() + r->offset + (addr - r->base), value, size);
  ChargeWrite(r->block, size);
  return true;
}

void Device::ChargeWrite(const Block* block, u32 bytes) {
  if (block != panel_ || profile_.writeCostNsPerByte == 0) return;
  costNs_ += u64{bytes} * profile_.writeCostNsPerByte;
  const u32 ms = static_cast<u32>(costNs_ / 1000000);
  costNs_ %= 1000000;
  if (ms && onCost) onCost(ms);
}

// The display controller's scan: every read of the scan registers moves one line on, through the visible
// rows and then the blanking lines, so that a wait for a region of the scan ends.
u32 Device::RegisterRead(Block* block, u32 offset) {
  const u8* regs = block->bytes.data();
  const bool scanRegister = (block->kind == kStrongArmRegs && offset == StrongArmReg::DCAR1) ||
                            (block->kind == kXScaleRegs && offset == XScaleReg::LDCMD0);
  if (!scanRegister) return Load32(regs + offset);
  ++scanReads_;
  if (!profile_.scanStuck) scanLine_ = (scanLine_ + 1) % (nativeH_ + kBlankLines);
  const bool visible = scanLine_ < nativeH_;
  if (block->kind == kStrongArmRegs) {
    const u32 base = Load32(regs + StrongArmReg::DBAR1) + paletteBytes_;
    return visible ? base + scanLine_ * pitch_ : base;
  }
  // XScale: bytes left to fetch of the frame, and the palette-load bit while blanking.
  if (!visible) return (1u << 26) | ((25 * pitch_) & 0x1FFFFF);
  return ((nativeH_ - scanLine_) * pitch_) & 0x1FFFFF;
}

DeviceAddr Device::Reserve(u32 size) {
  if (size == 0) return 0;
  const DeviceAddr addr = nextReserve_;
  nextReserve_ += (size + 0xFFFF) & ~0xFFFFu;
  reservations_.push_back(Reservation{addr, size});
  return addr;
}

bool Device::Copy(DeviceAddr addr, u32 physical, u32 size, u32 protect) {
  log.push_back(Format("VirtualCopy %08X", physical) + Format(" %u", size) + Format(" %X", protect));
  const auto it = std::find_if(reservations_.begin(), reservations_.end(), [&](const Reservation& r) {
    return addr >= r.addr && u64{addr} + size <= u64{r.addr} + r.size;
  });
  if (it == reservations_.end() || !kernel_) return false;
  const u32 phys = (protect & kPagePhysical) ? physical << 8 : physical;
  const Region* r = Find(physical_, phys, size);
  if (!r) return false;
  Map(virtual_, addr, size, r->block, r->offset + (phys - r->base));
  return true;
}

bool Device::Release(DeviceAddr addr) {
  const auto it =
      std::find_if(reservations_.begin(), reservations_.end(), [&](const Reservation& r) { return r.addr == addr; });
  if (it == reservations_.end()) return false;
  const u64 end = u64{it->addr} + it->size;
  std::erase_if(virtual_, [&](const Region& r) { return r.base >= addr && r.base < end; });
  reservations_.erase(it);
  return true;
}

bool Device::SetKernelMode(bool on) {
  if (!profile_.kernelMode) return false;
  const bool previous = kernel_;
  kernel_ = on;
  return previous;
}

u32 Device::ReadMainId() {
  FaultPoint("ReadMainId");
  if (profile_.cpuIdFaults || !kernel_) throw DeviceFault("privileged coprocessor read");
  return profile_.cpuId;
}

bool Device::Text(char* text, u32 capacity) {
  if (!profile_.oem || capacity == 0) return false;
  std::snprintf(text, capacity, "%s", profile_.oem);
  return true;
}

u32 Device::PixelOffset(u32 x, u32 y) const {
  const u32 w = profile_.width, h = profile_.height;
  u32 nx = x, ny = y;
  switch (profile_.orientation & 3) {
    case 1:
      nx = h - 1 - y;
      ny = x;
      break;
    case 2:
      nx = w - 1 - x;
      ny = h - 1 - y;
      break;
    case 3:
      nx = y;
      ny = w - 1 - x;
      break;
    default: break;
  }
  return ny * pitch_ + nx * 2;
}

DeviceAddr Device::ScreenOrigin(DeviceAddr base) const { return base + PixelOffset(0, 0); }

DeviceAddr Device::ReportedFrame() const { return profile_.frame; }

std::vector<u16> Device::Panel() const {
  std::vector<u16> out(size_t{nativeW_} * nativeH_);
  const u8* p = panel_->bytes.data() + paletteBytes_;
  for (u32 y = 0; y < nativeH_; ++y) std::memcpy(&out[size_t{y} * nativeW_], p + y * pitch_, nativeW_ * 2);
  return out;
}

std::vector<u16> Device::Screen() const {
  if (overlayOn_ && imageonMem_) {
    const u32 w = overlay_.width2 & 0xFFFF, h = overlay_.height2 & 0xFFFF;
    std::vector<u16> out(size_t{w} * h);
    if (u64{overlay_.surfaceOffset} + u64{w} * h * 2 <= imageonMem_->bytes.size())
      std::memcpy(out.data(), imageonMem_->bytes.data() + overlay_.surfaceOffset, out.size() * 2);
    return out;
  }
  std::vector<u16> out(size_t{profile_.width} * profile_.height);
  const u8* p = panel_->bytes.data() + paletteBytes_;
  for (u32 y = 0; y < profile_.height; ++y)
    for (u32 x = 0; x < profile_.width; ++x)
      std::memcpy(&out[size_t{y} * profile_.width + x], p + PixelOffset(x, y), 2);
  return out;
}

u32 Device::ScreenChecksum() const {
  u32 hash = 2166136261u;  // FNV-1a over the pixels' bytes
  for (u16 pixel : Screen()) {
    hash = (hash ^ (pixel & 0xFF)) * 16777619u;
    hash = (hash ^ (pixel >> 8)) * 16777619u;
  }
  return hash;
}

void Device::BlitToScreen(i32 x, i32 y, i32 w, i32 h, const u8* src, u32 srcPitch) {
  u8* p = panel_->bytes.data() + paletteBytes_;
  for (i32 row = 0; row < h; ++row) {
    const i32 sy = y + row;
    if (sy < 0 || sy >= static_cast<i32>(profile_.height)) continue;
    for (i32 col = 0; col < w; ++col) {
      const i32 sx = x + col;
      if (sx < 0 || sx >= static_cast<i32>(profile_.width)) continue;
      std::memcpy(p + PixelOffset(sx, sy), src + size_t(row) * srcPitch + size_t(col) * 2, 2);
    }
  }
}

i32 Device::DeviceCaps(i32 index) const {
  switch (index) {
    case 8: return static_cast<i32>(profile_.width);
    case 10: return static_cast<i32>(profile_.height);
    case 12: return static_cast<i32>(profile_.depth);
    default: return 0;
  }
}

i32 Device::Escape(i32 code, u32 inSize, const void* in, u32 outSize, void* out) {
  if (code == kEscQuerySupport) {
    if (inSize < 4 || !in) return 0;
    i32 asked;
    std::memcpy(&asked, in, 4);
    if (asked == kEscGetGxInfo) return profile_.gxInfo ? 1 : 0;
    if (asked == kEscGetRawFrameBuffer) return profile_.rawFrameBuffer ? 1 : 0;
    return 0;
  }
  if (code == kEscGetGxInfo) {
    if (!profile_.gxInfo) return 0;
    FaultPoint("GETGXINFO");
    if (outSize < sizeof(GxInfoRecord) || !out) return -1;
    GxInfoRecord record;
    std::memcpy(&record, out, sizeof record);
    if (record.version != kGxInfoVersion) return -1;
    if (profile_.gxInfoResult <= 0) {
      // A failing display driver may leave a half-written record behind.
      record.framePointer = 0xDEAD0000;
      std::memcpy(out, &record, sizeof record);
      return profile_.gxInfoResult;
    }
    record.framePointer = profile_.gxInfoShadow ? kDmaShadow : profile_.frame;
    record.stride = pitch_;
    record.width = profile_.width;
    record.height = profile_.height;
    record.bitsPerPixel = 16;
    record.formatFlags = (profile_.orientation & 1) ? kGxInfoLandscape : 0;
    std::memcpy(out, &record, sizeof record);
    return 1;
  }
  if (code == kEscGetRawFrameBuffer) {
    if (!profile_.rawFrameBuffer) return 0;
    FaultPoint("GETRAWFRAMEBUFFER");
    if (outSize < sizeof(RawFrameBufferRecord) || !out) return -1;
    const GxDisplayProperties props = GXGetDisplayProperties();
    RawFrameBufferRecord record{};
    record.format = profile_.rawFormat;
    record.bitsPerPixel = 16;
    record.framePointer = profile_.rawFrameNull ? 0 : ScreenOrigin(profile_.frame);
    record.xStride = props.xPitch;
    record.yStride = props.yPitch;
    record.xPixels = static_cast<i32>(profile_.width);
    record.yPixels = static_cast<i32>(profile_.height);
    std::memcpy(out, &record, sizeof record);
    return 1;
  }
  return 0;
}

LibraryHandle Device::LoadLibrary(const char* name) {
  struct Known {
    const char* name;
    u8 kind;
    bool present;
  };
  const Known known[] = {
      {"coredll.dll", kLibCore, profile_.coredll},
      {"aygshell.dll", kLibAyg, profile_.aygshell},
      {"gx.dll", kLibGx, profile_.gx},
      {"gxdma.dll", kLibGxDma, profile_.gxdma},
      {"CoreLinkLib.dll", kLibAti, profile_.imageon},
  };
  for (const Known& k : known) {
    if (!name || strcasecmp(name, k.name) != 0 || !k.present) continue;
    libraries_.push_back(k.kind);
    ++loaded_;
    log.push_back(std::string("load ") + k.name);
    return LibraryHandle(libraries_.size());
  }
  return 0;
}

void Device::FreeLibrary(LibraryHandle library) {
  if (library == 0 || library > libraries_.size() || libraries_[library - 1] == 0) return;
  libraries_[library - 1] = 0;
  --loaded_;
}

void* Device::GetProcAddress(LibraryHandle library, const char* name) {
  if (library == 0 || library > libraries_.size() || !name) return nullptr;
  const u8 kind = libraries_[library - 1];
  const Export* begin = nullptr;
  size_t count = 0;
  switch (kind) {
    case kLibCore:
      begin = kCoreExports;
      count = std::size(kCoreExports);
      break;
    case kLibAyg:
      begin = kAygExports;
      count = std::size(kAygExports);
      break;
    case kLibGx:
      begin = kGxExports;
      count = std::size(kGxExports);
      break;
    case kLibGxDma:
      begin = kGxDmaExports;
      count = std::size(kGxDmaExports);
      break;
    case kLibAti:
      begin = kAtiExports;
      count = std::size(kAtiExports);
      break;
    default: return nullptr;
  }
  if (kind == kLibCore && std::strcmp(name, "SetKMode") == 0 && !profile_.kernelMode) return nullptr;
  if (kind == kLibGx && std::strcmp(name, "?GXIsDisplayDRAMBuffer@@YAHXZ") == 0 && profile_.gxDram < 0) return nullptr;
  if (kind == kLibAti && profile_.imageonMissing && std::strcmp(name, profile_.imageonMissing) == 0) return nullptr;
  for (size_t i = 0; i < count; ++i)
    if (std::strcmp(begin[i].name, name) == 0) return begin[i].entry;
  return nullptr;
}

bool Device::LogHas(const std::string& line) const { return std::find(log.begin(), log.end(), line) != log.end(); }

u32 Device::LogCount(const std::string& line) const { return u32(std::count(log.begin(), log.end(), line)); }

i32 Device::AllKeys(i32 all) {
  log.push_back(Format("AllKeys %u", static_cast<u32>(all)));
  const i32 previous = allKeys_;
  allKeys_ = all;
  return previous;
}

i32 Device::SetKMode(i32 on) { return SetKernelMode(on != 0) ? 1 : 0; }

i32 Device::SHFullScreen(WindowHandleValue, u32 flags) {
  log.push_back(Format("SHFullScreen %u", flags));
  return 1;
}

i32 Device::GXOpenDisplay(WindowHandleValue, u32) {
  log.push_back("GXOpenDisplay");
  FaultPoint("GXOpenDisplay");
  if (profile_.gxOpenFails || gxOpen_) return 0;
  gxOpen_ = true;
  gxViewTop_ = 0;
  gxViewRows_ = 0;
  gxViewSet_ = false;
  return 1;
}

i32 Device::GXCloseDisplay() {
  log.push_back("GXCloseDisplay");
  const bool was = gxOpen_;
  gxOpen_ = false;
  return was ? 1 : 0;
}

u32 Device::GXBeginDraw() {
  log.push_back("GXBeginDraw");
  FaultPoint("GXBeginDraw");
  if (!gxOpen_ || profile_.gxBeginDrawNull) return 0;
  return ScreenOrigin(gxShadow_ ? kGxShadow : profile_.frame);
}

// Copies whole screen rows (as the user holds the device) between two frames laid out like the panel.
void Device::CopyScreenRows(const u8* from, u8* to, u32 top, u32 rows) {
  const u32 end = std::min(profile_.height, top + rows);
  for (u32 y = top; y < end; ++y)
    for (u32 x = 0; x < profile_.width; ++x) {
      const u32 o = PixelOffset(x, y);
      std::memcpy(to + o, from + o, 2);
    }
}

i32 Device::GXEndDraw() {
  log.push_back("GXEndDraw");
  if (!gxOpen_) return 0;
  if (gxShadow_) {
    const u32 rows = gxViewSet_ ? gxViewRows_ : profile_.height;
    CopyScreenRows(gxShadow_->bytes.data(), panel_->bytes.data() + paletteBytes_, gxViewTop_, rows);
  }
  return 1;
}

GxDisplayProperties Device::GXGetDisplayProperties() {
  GxDisplayProperties p{};
  p.cx = profile_.width;
  p.cy = profile_.height;
  p.bpp = 16;
  const i32 pitch = static_cast<i32>(pitch_);
  switch (profile_.orientation & 3) {
    case 0:
      p.xPitch = 2;
      p.yPitch = pitch;
      break;
    case 1:
      p.xPitch = pitch;
      p.yPitch = -2;
      break;
    case 2:
      p.xPitch = -2;
      p.yPitch = -pitch;
      break;
    default:
      p.xPitch = -pitch;
      p.yPitch = 2;
      break;
  }
  return p;
}

i32 Device::GXSuspend() {
  log.push_back("GXSuspend");
  return 1;
}

i32 Device::GXResume() {
  log.push_back("GXResume");
  return 1;
}

i32 Device::GXSetViewport(u32 top, u32 height) {
  gxViewTop_ = top;
  gxViewRows_ = height;
  gxViewSet_ = true;
  return 1;
}

i32 Device::GXIsDisplayDRAMBuffer() { return profile_.gxDram > 0 ? 1 : 0; }

i32 Device::DmaCopy(bool toPanel, u32 x, u32 y, u32 w, u32 h) {
  if (!dmaShadow_) return 0;
  if (x >= nativeW_ || y >= nativeH_) return 0;
  w = std::min(w, nativeW_ - x);
  h = std::min(h, nativeH_ - y);
  u8* panel = panel_->bytes.data() + paletteBytes_;
  u8* shadow = dmaShadow_->bytes.data();
  for (u32 row = y; row < y + h; ++row) {
    const u32 o = row * pitch_ + x * 2;
    if (toPanel)
      std::memcpy(panel + o, shadow + o, w * 2);
    else
      std::memcpy(shadow + o, panel + o, w * 2);
  }
  ++dmaTransfers_;
  dmaBusy_ = profile_.dmaBusyPolls;
  return 1;
}

i32 Device::IsDMAReady() {
  ++dmaPolls_;
  if (profile_.dmaNeverReady) return 0;
  if (dmaBusy_) {
    --dmaBusy_;
    return 0;
  }
  return 1;
}

i32 Device::AtiProcessAttach() {
  log.push_back("AtiCore_ProcessAttach");
  FaultPoint("AtiCore_ProcessAttach");
  atiAttached_ = true;
  return 1;
}

i32 Device::AtiProcessDetach() {
  log.push_back("AtiCore_ProcessDetach");
  atiAttached_ = false;
  return 1;
}

i32 Device::AtiAllocateSurface(u16* handle, u32* offset, u32 size, u32) {
  FaultPoint("AtiCore_AllocateSurface");
  if (!atiAttached_ || !handle || !offset || size > kImageonMemorySize - kImageonSurfaceOffset) return 0;
  surfaceHandle_ = 1;
  surfaceOffset_ = kImageonSurfaceOffset;
  surfaceSize_ = size;
  *handle = surfaceHandle_;
  *offset = surfaceOffset_;
  return 1;
}

i32 Device::AtiDestroySurface(u16 handle) {
  if (handle == 0 || handle != surfaceHandle_) return 0;
  log.push_back("AtiCore_DestroySurface");
  surfaceHandle_ = 0;
  return 1;
}

i32 Device::AtiAllocOverlay(u16* handle) {
  if (!atiAttached_ || !handle) return 0;
  overlayHandle_ = 2;
  *handle = overlayHandle_;
  return 1;
}

i32 Device::AtiSetupOverlay(u16 overlay, const ImageonOverlayRecord* record) {
  if (overlay == 0 || overlay != overlayHandle_ || !record) return 0;
  overlay_ = *record;
  return 1;
}

i32 Device::AtiSetOverlayPos(u16 overlay, u16, u16) { return overlay != 0 && overlay == overlayHandle_; }

i32 Device::AtiSetOverlayOnOff(u16 overlay, i32 on) {
  if (overlay == 0 || overlay != overlayHandle_) return 0;
  overlayOn_ = on != 0;
  log.push_back(Format("overlay %u", overlayOn_ ? 1 : 0));
  return 1;
}

i32 Device::AtiReleaseOverlay(u16 overlay) {
  if (overlay == 0 || overlay != overlayHandle_) return 0;
  log.push_back("AtiCore_ReleaseOverlay");
  overlayHandle_ = 0;
  overlayOn_ = false;
  return 1;
}

i32 Device::AtiSetupMemoryTransfer(u32 offset, u32* address) {
  if (!address) return 0;
  if (profile_.imageonTransferFails || offset >= kImageonMemorySize) {
    *address = 0;
    return 0;
  }
  *address = kImageonMemory + offset;
  transferOpen_ = true;
  return 1;
}

i32 Device::AtiTerminateMemoryTransfer() {
  const bool was = transferOpen_;
  transferOpen_ = false;
  return was ? 1 : 0;
}

i32 Device::AtiWaitComplete(u32) {
  if (atiWaits_ < profile_.imageonBusyWaits) {
    ++atiWaits_;
    return 0;
  }
  atiWaits_ = 0;
  return 1;
}

}  // namespace Os::Sim
