#include "graphics/SDisplay.h"

#include "graphics/SDisplayHost.h"
#include "graphics/renderer/SRenderer.h"
#include "platform/hal/Display.h"
#include "platform/hal/DisplayModes.h"

#include <algorithm>
#include <new>

namespace {
// The renderer's column arrays hold at most this many view columns.
constexpr i32 kMaxViewWidth = SRenderer::kMaxColumns;
}  // namespace

SDisplayCommon::~SDisplayCommon() { delete renderer_; }

SDisplay::~SDisplay() {
  delete display_;
  display_ = nullptr;
}

bool SDisplay::ModeSize(i32 displayMode, u16& width, u16& height) {
  const Hal::DisplayModeRow* row = Hal::FindDisplayMode(displayMode);
  if (!row || !row->width) return false;
  width = row->width;
  height = row->height;
  return true;
}

bool SDisplay::CreateForWindow(Os::WindowId window) {
  window_ = window;
  return Create();
}

bool SDisplay::Create() {
  if (display_) {
    // The old frame buffer goes with the old display: draw nowhere until the new one is seen.
    delete display_;
    display_ = nullptr;
    frameBase_ = nullptr;
    view_->frameBuffer = nullptr;
    bufferWidth_ = bufferHeight_ = 0;
    RebuildScreen();
  }
  displayRotation_ = orientation_ == 1 ? 3 : orientation_ == 2 ? 1 : 0;
  Hal::DisplayParameters parameters;
  parameters.width = width_;
  parameters.height = height_;
  parameters.orientation = displayRotation_;
  parameters.swapEffect = Hal::SWAP_COPY;
  display_ = Hal::Display::Create(window_, &parameters);
  return display_ != nullptr;
}

bool SDisplay::Init(Os::WindowId window, u32 screenWidth, u32 screenHeight) {
  width_ = static_cast<u16>(screenWidth);
  height_ = static_cast<u16>(screenHeight);
  window_ = window;
  frameBytes_ = static_cast<u32>(width_) * height_ * 2;
  screenWidth_ = width_;
  screenHeight_ = height_;
  if (!Create()) return false;
  if (display_->BeginScene()) {
    RefreshFrameBase();
    display_->Swap(0);
  }
  if (!CreateRenderer()) return false;
  return ApplyScreenMode(true);
}

bool SDisplay::UseMemory(u16* pixels, u16 width, u16 height) {
  delete display_;
  display_ = nullptr;
  width_ = screenWidth_ = width;
  height_ = screenHeight_ = height;
  frameBytes_ = static_cast<u32>(width) * height * 2;
  bufferWidth_ = width;
  bufferHeight_ = height;
  pitch_ = width;
  frameBase_ = nullptr;
  SetFrameBase(pixels);
  if (!renderer_ && !CreateRenderer()) return false;
  RebuildScreen();
  return pixels != nullptr;
}

void SDisplay::PublishFrame() {
  view_ = host_ && host_->WorldView() ? host_->WorldView() : &ownView_;
  view_->frameBuffer = frameBase_;
  view_->pitch = static_cast<i32>(pitch_ ? pitch_ : width_);
  view_->orientation = 0;  // the display layer rotates when it presents
  if (renderer_) renderer_->view = view_;
  RebuildScreen();
}

void SDisplay::SetupProjection() {
  if (!renderer_) return;
  renderer_->SetupProjection();
  ++projectionUpdates_;
}

bool SDisplay::CreateRenderer() {
  frameBytes_ = static_cast<u32>(width_) * height_ * 2;
  if (!renderer_) renderer_ = new (std::nothrow) SRenderer();
  if (!renderer_) return false;
  RelinkRenderer();
  return true;
}

void SDisplay::RelinkRenderer() {
  frameBytes_ = static_cast<u32>(width_) * height_ * 2;
  PublishFrame();
  view_->viewWidth = 480;
  SetupProjection();
}

bool SDisplay::ApplyScreenMode(bool keepDisplay) {
  SetViewRect();
  if (host_) ModeSize(host_->DisplayMode(), width_, height_);
  RelinkRenderer();
  if (!keepDisplay && !Create()) return false;
  if (display_ && display_->BeginScene()) {
    RefreshFrameBase();
    display_->Swap(0);
  }
  SetupProjection();
  return true;
}

void SDisplay::SetViewRect() {
  i32 x = 0, y = 0, w = 0, h = 0;
  if (!host_) return;
  // The game state's world view may have come into being since the renderer was linked: follow it.
  if (host_->WorldView() && host_->WorldView() != view_) PublishFrame();
  if (!host_->ViewLayoutRect(x, y, w, h)) return;  // start-up refuses a table without the view
  const i32 mode = host_->DisplayMode();
  const Hal::DisplayModeRow* row = Hal::FindDisplayMode(mode);
  if (row && row->viewSizes) {
    const i32 v = static_cast<i32>(std::min<u32>(host_->ViewSizeSetting(orientation_ <= 2 ? orientation_ : 0), 2));
    x += ((w - 380) * v) / 4;
    y += ((h - 320) * v) / 4;
    w -= ((w - 380) * v) / 2;
    h -= ((h - 320) * v) / 2;
  }
  // The view must lie on the mode's screen and within the renderer's 800 columns: a view from damaged
  // data is cut rather than drawn past the frame buffer.
  u16 sw = width_, sh = height_;
  ModeSize(mode, sw, sh);
  x = std::clamp(x, 0, static_cast<i32>(sw));
  y = std::clamp(y, 0, static_cast<i32>(sh));
  w = std::clamp(w, 0, std::min(kMaxViewWidth, sw - x));
  h = std::clamp(h, 0, sh - y);
  view_->viewX = x;
  view_->viewY = y;
  view_->viewWidth = w;
  view_->viewHeight = h;
}

void SDisplay::RefreshFrameBase() {
  if (!display_) return;
  Hal::Surface* back = display_->GetBackBuffer();
  if (!back) return;
  const u32 pitch = back->pitch / 2;
  bool moved = back->pixels != frameBase_ || pitch != pitch_;
  bufferWidth_ = back->width;
  bufferHeight_ = back->height;
  if (moved) {
    pitch_ = pitch;
    frameBase_ = nullptr;
    SetFrameBase(back->pixels);
  } else {
    RebuildScreen();
  }
}

void SDisplay::SetFrameBase(u16* address) {
  if (address == frameBase_) return;
  frameBase_ = address;
  view_->frameBuffer = address;
  view_->pitch = static_cast<i32>(pitch_ ? pitch_ : width_);
  RebuildScreen();
  SetupProjection();
}

void SDisplay::RebuildScreen() {
  // Drawing is cut to the frame buffer actually held, whatever the mode's logical size says.
  const i32 w = bufferWidth_
                    ? std::min<i32>(width_, static_cast<i32>(std::min(bufferWidth_, pitch_ ? pitch_ : bufferWidth_)))
                    : width_;
  const i32 h = bufferHeight_ ? std::min<i32>(height_, static_cast<i32>(bufferHeight_)) : height_;
  screen_ = SSurface::ForMemory(frameBase_, pitch_ ? pitch_ : width_, 0, frameBase_ ? w : 0, frameBase_ ? h : 0);
  // A new frame buffer ends any clip: it was cut from the old one.
  ClearClip();
}

bool SDisplay::BeginFrame() {
  if (!display_ || !display_->BeginScene()) return false;
  RefreshFrameBase();
  return true;
}

Hal::Surface* SDisplay::FlipAndBegin() {
  if (!display_) return nullptr;
  display_->Swap(0);
  if (!display_->BeginScene()) return nullptr;
  RefreshFrameBase();
  return display_->GetBackBuffer();
}

void SDisplay::Present() {
  if (display_) display_->Swap(0);
}

// Drawing.

bool SDisplay::Source(const SImage* image, const u16* palette, u32 entries, SBlitSource& out) const {
  if (!image) return false;
  if (palette && !image->TableCovers(entries)) return false;
  out = SBlitSource::Of(image, palette);
  return true;
}

void SDisplay::FillRect(i32 x, i32 y, i32 w, i32 h, u16 colour) {
  Touch();
  SDraw2D::FillRect(target_, x - clipX_, y - clipY_, w, h, colour);
}

void SDisplay::Clear() { FillRect(0, 0, width_, height_, 0); }

void SDisplay::DrawFrame(i32 x, i32 y, i32 w, i32 h) {
  FillRect(x, y, w, 1, 0);
  FillRect(x, y, 1, h, 0);
  FillRect(x, y + h - 1, w, 1, 0);
  FillRect(x + w - 1, y, 1, h, 0);
}

void SDisplay::DrawText(const STextRecord& text) {
  Touch();
  STextRecord shifted = text;
  shifted.x -= clipX_;
  shifted.y -= clipY_;
  SDraw2D::DrawText(target_, shifted);
}

void SDisplay::DrawImage(const SImage* image, i32 x, i32 y) {
  SBlitSource s;
  if (!Source(image, nullptr, 0, s)) return;
  Touch();
  SDraw2D::BlitKeyed(target_, x - clipX_, y - clipY_, s, 0, 0, s.width, s.height);
}

void SDisplay::DrawImageOpaque(const SImage* image, i32 x, i32 y) { DrawImageOpaquePal(image, nullptr, 0, x, y); }

void SDisplay::DrawImageOpaquePal(const SImage* image, const u16* palette, u32 paletteEntries, i32 x, i32 y) {
  SBlitSource s;
  if (!Source(image, palette, paletteEntries, s)) return;
  Touch();
  SDraw2D::Blit(target_, x - clipX_, y - clipY_, s, 0, 0, s.width, s.height);
}

void SDisplay::DrawImagePart(const SImage* image, i32 x, i32 y, i32 sx, i32 sy, i32 sw, i32 sh) {
  DrawImagePartPal(image, nullptr, 0, x, y, sx, sy, sw, sh);
}

void SDisplay::DrawImagePartPal(const SImage* image, const u16* palette, u32 paletteEntries, i32 x, i32 y, i32 sx,
                                i32 sy, i32 sw, i32 sh) {
  SBlitSource s;
  if (!Source(image, palette, paletteEntries, s)) return;
  Touch();
  SDraw2D::BlitKeyed(target_, x - clipX_, y - clipY_, s, sx, sy, sw, sh);
}

void SDisplay::DrawImagePartOpaque(const SImage* image, i32 x, i32 y, i32 sx, i32 sy, i32 sw, i32 sh) {
  SBlitSource s;
  if (!Source(image, nullptr, 0, s)) return;
  Touch();
  SDraw2D::Blit(target_, x - clipX_, y - clipY_, s, sx, sy, sw, sh);
}

void SDisplay::DrawImagePartBlended(const SImage* image, i32 x, i32 y, i32 sy, i32 sw, i32 sh) {
  SBlitSource s;
  if (!Source(image, nullptr, 0, s)) return;
  Touch();
  SDraw2D::BlitHalfBlend(target_, x - clipX_, y - clipY_, s, sy, sw, sh);
}

void SDisplay::DrawImageClipped(const SImage* image, i32 x, i32 y, i32 clipX, i32 clipY, i32 clipW, i32 clipH,
                                bool keyed) {
  if (!image) return;
  const i32 x0 = std::max(x, clipX), y0 = std::max(y, clipY);
  const i32 x1 = std::min(x + i32(image->width), clipX + clipW), y1 = std::min(y + i32(image->height), clipY + clipH);
  if (x1 <= x0 || y1 <= y0) return;
  if (keyed)
    DrawImagePart(image, x0, y0, x0 - x, y0 - y, x1 - x0, y1 - y0);
  else
    DrawImagePartOpaque(image, x0, y0, x0 - x, y0 - y, x1 - x0, y1 - y0);
}

void SDisplay::DrawImageMirrored(const SImage* image, i32 x, i32 y) {
  SBlitSource s;
  if (!Source(image, nullptr, 0, s)) return;
  Touch();
  SDraw2D::BlitMirroredKeyed(target_, x - clipX_, y - clipY_, s, s.width, s.height);
}

void SDisplay::DrawImageScaled(const SImage* image, i32 x, i32 y, i32 w, i32 h) {
  SBlitSource s;
  if (!Source(image, nullptr, 0, s)) return;
  Touch();
  SDraw2D::BlitScaled(target_, x - clipX_, y - clipY_, s, s.width, s.height, w, h);
}

void SDisplay::DrawImageScaledKeyed(const SImage* image, i32 x, i32 y, i32 w, i32 h) {
  SBlitSource s;
  if (!Source(image, nullptr, 0, s)) return;
  Touch();
  SDraw2D::BlitScaledKeyed(target_, x - clipX_, y - clipY_, s, s.width, s.height, w, h);
}

void SDisplay::DrawImageRotated(const SImage* image, i32 x, i32 y, i32 degrees) {
  SBlitSource s;
  if (!Source(image, nullptr, 0, s)) return;
  Touch();
  SRenderer::BlitRotatedOn(target_, x - clipX_, y - clipY_, s.pixels, s.table, s.width, s.height, s.format,
                           static_cast<i32>(static_cast<u32>(degrees) << 16));
}

void SDisplay::TileImageKeyed(i32 x, i32 y, i32 w, i32 h, const SImage* image) {
  SBlitSource s;
  if (!Source(image, nullptr, 0, s)) return;
  Touch();
  SDraw2D::TileImage(target_, x - clipX_, y - clipY_, s, w, h, true);
}

void SDisplay::TileImage(i32 x, i32 y, i32 w, i32 h, const SImage* image) {
  SBlitSource s;
  if (!Source(image, nullptr, 0, s)) return;
  Touch();
  SDraw2D::TileImage(target_, x - clipX_, y - clipY_, s, w, h, false);
}

void SDisplay::DrawIcon(int size, const SImage* image, const u16* palette, u32 entries, i32 x, i32 y) {
  // Pictures of any size are shrunk, read with their own stride.
  if (!image) return;
  SBlitSource s;
  if (!Source(image, palette, entries, s)) return;
  Touch();
  if (size == 40) {
    SDraw2D::ShrinkIcon40(target_, x - clipX_, y - clipY_, s.pixels, s.table, s.width, s.height, s.format);
  } else if (size == 30) {
    SDraw2D::ShrinkIcon30(target_, x - clipX_, y - clipY_, s.pixels, s.table, s.width, s.height, s.format);
  } else {
    SDraw2D::ShrinkIcon20(target_, x - clipX_, y - clipY_, s.pixels, s.table, s.width, s.height, s.format);
  }
}

void SDisplay::DrawIcon40(const SImage* image, const u16* palette, u32 paletteEntries, i32 x, i32 y) {
  DrawIcon(40, image, palette, paletteEntries, x, y);
}
void SDisplay::DrawIcon30(const SImage* image, const u16* palette, u32 paletteEntries, i32 x, i32 y) {
  DrawIcon(30, image, palette, paletteEntries, x, y);
}
void SDisplay::DrawIcon20(const SImage* image, const u16* palette, u32 paletteEntries, i32 x, i32 y) {
  DrawIcon(20, image, palette, paletteEntries, x, y);
}

void SDisplay::DrawRaw16(i32 x, i32 y, const u16* pixels, i32 sourceWidth, i32 sourceHeight, i32 sx, i32 sy, i32 w,
                         i32 h) {
  if (!pixels) return;
  Touch();
  SDraw2D::BlitRaw16(target_, x - clipX_, y - clipY_, pixels, sourceWidth, sourceHeight, sx, sy, w, h);
}

void SDisplay::SetClip(i32 x, i32 y, i32 w, i32 h) {
  const i32 x0 = std::clamp(x, 0, screen_.width), y0 = std::clamp(y, 0, screen_.height);
  const i32 x1 = std::clamp(x + std::max(w, 0), x0, screen_.width), y1 = std::clamp(y + std::max(h, 0), y0, screen_.height);
  target_ = screen_;
  if (screen_.base) target_.base = screen_.Pixel(x0, y0);
  target_.width = x1 - x0;
  target_.height = y1 - y0;
  clipX_ = x0;
  clipY_ = y0;
  clipped_ = true;
}

void SDisplay::ClearClip() {
  target_ = screen_;
  clipX_ = clipY_ = 0;
  clipped_ = false;
}

void SDisplay::MakeViewThumbnail(u16* buffer) const {
  const SWorldView& v = *view_;
  // The view rectangle as it lies in the frame actually held (an empty view gives a black thumbnail).
  const i32 x = std::max(v.viewX, 0), y = std::max(v.viewY, 0);
  const i32 w = std::min(v.viewWidth, screen_.width - x), h = std::min(v.viewHeight, screen_.height - y);
  if (!screen_.base || w <= 0 || h <= 0) {
    SDraw2D::MakeViewThumbnail(buffer, nullptr, 0, 0, 0);
    return;
  }
  SDraw2D::MakeViewThumbnail(buffer, screen_.Pixel(x, y), static_cast<i32>(screen_.pitch), w, h);
}
