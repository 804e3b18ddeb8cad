// The game's screen object: owns the display layer's display and the 3D renderer, keeps the logical screen
// size of the display mode, publishes the frame buffer and the 3D view rectangle into the world view the
// renderer reads, and offers the game one set of 2D drawing operations on images.
#pragma once
#include "graphics/SDraw2D.h"
#include "graphics/renderer/SWorldView.h"
#include "os/Window.h"

namespace Hal {
class Display;
class Surface;
}  // namespace Hal

class SDisplayHost;
class SRenderer;

class SDisplayCommon {
 public:
  SDisplayCommon() = default;
  virtual ~SDisplayCommon();
  SDisplayCommon(const SDisplayCommon&) = delete;
  SDisplayCommon& operator=(const SDisplayCommon&) = delete;

  SRenderer* Renderer() const { return renderer_; }
  u16 Width() const { return width_; }
  u16 Height() const { return height_; }
  u16 ScreenWidth() const { return screenWidth_; }
  u16 ScreenHeight() const { return screenHeight_; }
  u32 Orientation() const { return orientation_; }
  u32 FrameBytes() const { return frameBytes_; }

 protected:
  SDisplayHost* host_ = nullptr;
  SRenderer* renderer_ = nullptr;
  u16* frameBase_ = nullptr;
  u32 frameBytes_ = 0;
  u16 width_ = 0, height_ = 0;
  u16 screenWidth_ = 0, screenHeight_ = 0;
  u32 orientation_ = 0;
};

class SDisplay : public SDisplayCommon {
 public:
  SDisplay() = default;
  ~SDisplay() override;

  void SetGameCore(SDisplayHost* host) { host_ = host; }
  void SetOrientation(u32 code) { orientation_ = code; }

  // Sets up the screen for the window at the application's screen size, then applies the display mode.
  // False when no display or renderer could be made: the game cannot run then.
  bool Init(Os::WindowId window, u32 screenWidth, u32 screenHeight);
  bool CreateForWindow(Os::WindowId window);
  bool Create();
  // Re-reads the mode's size and view; with keepDisplay false a new display of the new size is made.
  // False when that re-creation fails.
  bool ApplyScreenMode(bool keepDisplay);
  bool CreateRenderer();
  void RelinkRenderer();
  void SetViewRect();

  // Without a display layer: draw into caller-owned memory of width x height pixels (tools and tests).
  bool UseMemory(u16* pixels, u16 width, u16 height);

  bool BeginFrame();
  Hal::Surface* FlipAndBegin();
  void Present();
  u16* GetFrameBase() const { return frameBase_; }
  void SetFrameBase(u16* address);
  u32 Pitch() const { return pitch_; }
  bool HasDisplay() const { return display_ != nullptr; }
  Hal::Display* Display() const { return display_; }
  u32 DisplayRotation() const { return displayRotation_; }
  // Sets the renderer's projection up again for the current frame and view.
  void SetupProjection();
  // Projection set-ups run since construction (each frame-buffer move or mode change runs one).
  u32 ProjectionUpdates() const { return projectionUpdates_; }

  // The whole screen as a surface (logical size, cut to the frame buffer actually held).
  const SSurface& Screen() const { return screen_; }
  SWorldView& View() { return *view_; }

  // Drawing, in logical screen pixels. An explicit palette replaces the image's own table; it is used only
  // when it covers every index the image uses (paletteEntries colours), else nothing is drawn.
  void FillRect(i32 x, i32 y, i32 w, i32 h, u16 colour);
  void Clear();
  void DrawFrame(i32 x, i32 y, i32 w, i32 h);
  void DrawText(const STextRecord& text);
  void DrawImage(const SImage* image, i32 x, i32 y);
  void DrawImageOpaque(const SImage* image, i32 x, i32 y);
  void DrawImageOpaquePal(const SImage* image, const u16* palette, u32 paletteEntries, i32 x, i32 y);
  void DrawImagePart(const SImage* image, i32 x, i32 y, i32 sx, i32 sy, i32 sw, i32 sh);
  void DrawImagePartPal(const SImage* image, const u16* palette, u32 paletteEntries, i32 x, i32 y, i32 sx, i32 sy,
                        i32 sw, i32 sh);
  void DrawImagePartOpaque(const SImage* image, i32 x, i32 y, i32 sx, i32 sy, i32 sw, i32 sh);
  void DrawImagePartBlended(const SImage* image, i32 x, i32 y, i32 sy, i32 sw, i32 sh);
  // The part of the image at (x, y) that lies inside the clip rectangle, keyed or opaque.
  void DrawImageClipped(const SImage* image, i32 x, i32 y, i32 clipX, i32 clipY, i32 clipW, i32 clipH, bool keyed);
  void DrawImageMirrored(const SImage* image, i32 x, i32 y);
  void DrawImageScaled(const SImage* image, i32 x, i32 y, i32 w, i32 h);
  // As DrawImageScaled, leaving the picture's transparent pixels.
  void DrawImageScaledKeyed(const SImage* image, i32 x, i32 y, i32 w, i32 h);
  // The image turned about its centre, placed at (x, y), by whole degrees; keyed.
  void DrawImageRotated(const SImage* image, i32 x, i32 y, i32 degrees);
  // Copies of the image over the w x h area at (x, y), keyed or opaque.
  void TileImageKeyed(i32 x, i32 y, i32 w, i32 h, const SImage* image);
  void TileImage(i32 x, i32 y, i32 w, i32 h, const SImage* image);
  // Item pictures shrunk to 40, 30 or 20 pixels (for a 50 x 50 picture; any size is read at its own stride).
  void DrawIcon40(const SImage* image, const u16* palette, u32 paletteEntries, i32 x, i32 y);
  void DrawIcon30(const SImage* image, const u16* palette, u32 paletteEntries, i32 x, i32 y);
  void DrawIcon20(const SImage* image, const u16* palette, u32 paletteEntries, i32 x, i32 y);

  // RGB565 rows of sourceWidth pixels, as SDraw2D::BlitRaw16 copies them.
  void DrawRaw16(i32 x, i32 y, const u16* pixels, i32 sourceWidth, i32 sourceHeight, i32 sx, i32 sy, i32 w, i32 h);

  // Until ClearClip, every drawing above is cut to this rectangle of the screen (a dialog repainting what
  // lies beneath one control); coordinates stay those of the screen.
  void SetClip(i32 x, i32 y, i32 w, i32 h);
  void ClearClip();
  bool Clipped() const { return clipped_; }

  // Fills an 80 x 50 thumbnail (rows of 80 pixels) from the 3D view rectangle of the current frame.
  void MakeViewThumbnail(u16* buffer) const;

  // Logical size of a display mode; false for a mode that keeps the application's screen size.
  static bool ModeSize(i32 displayMode, u16& width, u16& height);

 private:
  void RefreshFrameBase();
  void RebuildScreen();
  void PublishFrame();
  void Touch() { view_->flags |= 2; }
  bool Source(const SImage* image, const u16* palette, u32 entries, SBlitSource& out) const;
  void DrawIcon(int size, const SImage* image, const u16* palette, u32 entries, i32 x, i32 y);

  Hal::Display* display_ = nullptr;
  u32 displayRotation_ = 0;
  Os::WindowId window_ = 0;
  u32 pitch_ = 0;        // pixels per frame-buffer row
  u32 bufferWidth_ = 0;  // size of the frame buffer held
  u32 bufferHeight_ = 0;
  SSurface screen_;
  SSurface target_;  // what drawing goes to: the screen, or the part of it inside the clip
  i32 clipX_ = 0, clipY_ = 0;
  bool clipped_ = false;
  SWorldView ownView_;
  SWorldView* view_ = &ownView_;
  u32 projectionUpdates_ = 0;
};
