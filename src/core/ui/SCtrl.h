// The base of every control placed on a dialog: a rectangle, flags that say whether it is pressed, dirty,
// enabled, latched, shown and part of a dialog, and the kinds of input its dialog offers it. Its input
// handlers return a command code (0: not taken). Controls are members of their dialog, which lists them.
#pragma once
#include "core/SLayoutTable.h"
#include "os/Types.h"

class SDialog;
class SDisplay;
class SFont;
class SGameCore;

class SCtrl {
 public:
  // Flag bits.
  static constexpr u16 kPressed = 0x01;   // held down by the pen, or selected
  static constexpr u16 kDirty = 0x02;     // paint at the next incremental repaint
  static constexpr u16 kEnabled = 0x04;   // takes pen input
  static constexpr u16 kLatched = 0x08;   // a button drawn as held
  static constexpr u16 kShown = 0x10;     // painted and offered input (only together with in-dialog)
  static constexpr u16 kInDialog = 0x20;  // added to a dialog
  // What adding to a dialog, and placing from a layout entry, give.
  static constexpr u16 kPlaced = kDirty | kEnabled | kShown | kInDialog;
  // Input mask bits: the kinds of input the dialog offers the control.
  static constexpr u8 kInputKeys = 1, kInputPen = 2, kInputTick = 4;

  SCtrl() = default;
  virtual ~SCtrl() = default;
  SCtrl(const SCtrl&) = delete;
  SCtrl& operator=(const SCtrl&) = delete;

  // Ties the control to its dialog and caches the game core's display and font.
  virtual void Attach(SDialog* dialog);
  virtual u32 OnKey(u32 key) { return 0; }
  // Pen events: down (touching 1, moving 0), move (1, 1), up (0, 0).
  virtual u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) { return 0; }
  virtual u32 OnTick(u32 frameCounter) { return 0; }
  virtual void Paint() {}
  // True when Paint covers the whole rectangle with its own pixels, whatever was there: a change then needs
  // nothing beneath it repainted. A control that leaves pixels of what lies beneath (a text, a keyed
  // picture, a list without its background) answers false, and its dialog repaints what lies beneath it.
  virtual bool PaintsWhole() const { return false; }
  // Paints what the control shows now and nothing more: no line revealed, no frame presented, no wait. A
  // dialog calls it for the neighbours it repaints under the display's clip around a changed control, where
  // presenting would end the clip. Controls whose Paint moves something on override it.
  virtual void PaintCurrent() { Paint(); }
  // The rectangle the control's paint may cover: its own, and as far past it as anything it draws (a
  // text's outline and a list's frame reach 3 pixels out).
  static constexpr i32 kReach = 3;
  struct Area {
    i32 x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // x1, y1 past the last pixel
    bool Meets(const Area& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
    void Add(const Area& o);
  };
  virtual Area PaintedArea() const;
  // The area of its last paint through Redraw or RedrawCurrent (empty before it): where a changed control
  // may have left pixels it no longer covers.
  const Area& LastPainted() const { return lastPainted_; }
  // Paints the control as the one drawing: while it paints, Painting() names it (what a test's text
  // observer reads to tell which control drew a text).
  void Redraw();
  // As Redraw, with what the control shows now only (PaintCurrent).
  void RedrawCurrent();
  static const SCtrl* Painting() { return painting_; }
  // Names the control as the one drawing while it lives (for controls that draw from their ticks).
  class Drawing {
   public:
    explicit Drawing(const SCtrl* control) : before_(painting_) { painting_ = control; }
    ~Drawing() { painting_ = before_; }
    Drawing(const Drawing&) = delete;
    Drawing& operator=(const Drawing&) = delete;

   private:
    const SCtrl* before_;  // a control may paint its owner, whose controls paint in turn
  };

  // Showing marks the control dirty; hiding cannot be painted, so the owner repaints everything instead.
  void Show(bool on);
  void Hide() { Show(false); }
  void Enable(bool on) { Set(kEnabled, on); }
  void Disable() { Enable(false); }
  void SetPressed(bool on) { Set(kPressed, on); }
  void Release() { SetPressed(false); }
  void SetLatched(bool on) { Set(kLatched, on); }
  void MarkDirty() { flags |= kDirty; }
  void ClearDirty() { flags &= u16(~kDirty); }
  void SetInDialog() { flags |= kInDialog; }

  bool IsPressed() const { return flags & kPressed; }
  bool IsDirty() const { return flags & kDirty; }
  bool IsEnabled() const { return flags & kEnabled; }
  bool IsLatched() const { return flags & kLatched; }
  bool IsShown() const { return flags & kShown; }
  bool IsInDialog() const { return flags & kInDialog; }
  bool IsVisible() const { return (flags & (kShown | kInDialog)) == (kShown | kInDialog); }
  bool TakesInput(u8 kind) const { return inputMask & kind; }

  void SetPos(u16 x, u16 y) {
    left = x;
    top = y;
  }
  void SetRect(u16 x, u16 y, u16 w, u16 h) {
    SetPos(x, y);
    width = w;
    height = h;
  }
  // Places the control at a layout entry, relative to its owner, with the flags of a placed control
  // (pressed and latched cleared). Without an entry (the layout has no such control for this display
  // mode) the flags become 0: the control is then never painted or offered input.
  void PlaceFromLayout(const SLayoutItem* entry);

  SDialog* owner = nullptr;
  u16 id = 0;  // the control id of its layout entry; simple controls report it as their command code
  u16 left = 0, top = 0, width = 0, height = 0;  // the rectangle in screen pixels
  u16 flags = 0;
  u8 inputMask = 0;
  SGameCore* core = nullptr;
  SFont* font = nullptr;
  SDisplay* display = nullptr;

 private:
  static const SCtrl* painting_;
  Area lastPainted_;
  // Every change of pressed, enabled or latched asks for a repaint.
  void Set(u16 bit, bool on) { flags = u16((on ? flags | bit : flags & ~bit) | kDirty); }
};
