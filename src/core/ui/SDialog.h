// The base of every screen and window of the game, the game states included: a rectangle, an optional
// background, an ordered list of controls and at most one open modal child. Input goes to the child, or
// to the controls from the last added to the first; the first command code a control reports becomes a
// call of OnCommand, whose result is the dialog's (for a state: the next state, 0 stays). Painting is
// incremental: everything after a full repaint was asked for, otherwise only the dirty controls.
#pragma once
#include "core/ui/SCtrl.h"
#include "foundation/SPtrArray.h"
#include "os/Types.h"

class SDatabase;
class SDisplay;
class SFont;
class SGameCore;
struct SImage;

class SDialog {
 public:
  static constexpr u32 kFullRepaint = 1;  // flags bit: the next Paint paints everything

  SDialog() = default;
  virtual ~SDialog() = default;
  SDialog(const SDialog&) = delete;
  SDialog& operator=(const SDialog&) = delete;

  // Stores the core and caches its display, font and data archive; dialogs extend it to create their
  // controls.
  virtual void Attach(SGameCore* gameCore);
  virtual void Paint();
  // What lies under the controls, painted first on a full repaint: the background, when it is drawn.
  // Dialogs that draw their own panel under their controls draw it here.
  virtual void PaintGround();
  virtual u32 OnCommand(u16 code) { return 0; }
  virtual u32 OnKey(u32 key);
  // Pen events: down (touching 1, moving 0), move (1, 1), up (0, 0). No event is taken in the frame the
  // dialog was opened in, and no move or pen-up before a pen-down.
  virtual u32 OnPen(i32 x, i32 y, u32 touching, u32 moving);
  virtual u32 OnTick(u32 frameCounter, SDisplay* screen);

  // Appends the control unless it is listed already; either way it becomes dirty, enabled, shown and
  // in-dialog. False (nothing changed) when the list cannot grow.
  bool AddControl(SCtrl* control);
  // What every builder does for a control of its layout: places the control (attached to this dialog)
  // at its entry in this dialog's layout and adds it, or, when the layout has no entry for it in this
  // display mode, leaves it out with flags 0. True when it was added.
  bool AddLayoutControl(SCtrl* control, u32 controlId);
  // Takes the control out of the list and hides it; its owner and this dialog repaint fully.
  void RemoveControl(SCtrl* control);
  // Hides every control and empties the list; this dialog repaints fully.
  void ClearControls();
  void MarkAllDirty();
  // Paints the background (after a full repaint was asked for) and the controls that need it.
  void PaintControls();
  // The ground and every shown control whose paint meets the area, each as it shows now, without touching
  // any flag (the display's clip keeps them to the area).
  void PaintLayer(const SCtrl::Area& area);
  // Paints every shown control, dirty or not, in adding order (for dialogs that draw their own panel
  // first on every paint).
  void PaintEveryControl();

  void OpenChild(SDialog* dialog);
  // Closing a child resets the input guard, so the pen-up that closed it is not taken here.
  void CloseChild();
  void Reopen();
  void ResetInputGuard();
  bool IsOpeningTick() const;
  // The pen input guard as a test: 1 drops the event, 0 takes it.
  u32 FilterPen(u32 touching, u32 moving);

  // One of the game core's two click sounds (0 selections and arrows, 1 confirm, cancel and close), and a
  // sound of the world's table by name, both at volume step 10.
  void PlayClick(u32 which);
  void PlaySoundByName(const char* name);

  void SetFullRepaint() { flags |= kFullRepaint; }
  void ClearFullRepaint() { flags &= ~kFullRepaint; }
  bool NeedsFullRepaint() const { return flags & kFullRepaint; }
  void SetBlackBackground() {
    drawBackground = 1;
    backgroundColour = 0;
  }
  void SetBackgroundPicture(const SImage* picture) {
    drawBackground = 1;
    backgroundPicture = picture;
  }
  void HideBackground() { drawBackground = 0; }
  void SetPos(i32 x, i32 y) {
    left = x;
    top = y;
  }
  // Stores the layout id and takes the size from the layout table (left as it is when the layout has
  // no variant for the display mode).
  void SetLayout(u32 id);
  void CenterOnScreen();
  // Centres the rectangle in the 3D view rectangle.
  void CenterInView();

  SDialog* child = nullptr;                      // the open modal child dialog
  SDialog* parent = nullptr;                     // the dialog that opened this one; null for a state
  i32 left = 0, top = 0, width = 0, height = 0;  // the rectangle in screen pixels
  u32 flags = 0;
  const SImage* backgroundPicture = nullptr;  // tiled on a full repaint; null: the background colour
  u32 backgroundColour = 0;                   // 0x00BBGGRR
  u32 drawBackground = 1;                     // 0: a full repaint leaves the area untouched
  u32 layoutId = 0;
  SPtrArray<SCtrl> controls{false, 4};  // in adding order; the controls are members of the dialog
  u32 openingTick = 0;                  // the frame counter when the dialog was (re)opened
  u32 penLatch = 0;                     // 1 once a pen-down was taken since the guard was reset
  SGameCore* core = nullptr;
  SDisplay* display = nullptr;
  SFont* font = nullptr;
  SDatabase* data = nullptr;

 private:
  // Paints, cut to the area the control's paint covers, what a full repaint paints there: the
  // dialogs beneath this one (from the current state down its children), this dialog's ground and its
  // controls, the changed one among them. What the control stops covering is so painted anew.
  void RepaintUnder(const SCtrl& control);
  // The first nonzero command code of the controls that take this kind of input, asked last first.
  u32 AskControls(u8 kind, u32 value, i32 x, i32 y, u32 touching, u32 moving);
  // Repaints and hands a reported code to OnCommand; with `repaintAfter` set, this dialog, or when the
  // command closed it its opener, paints again if it is open over the current state at any depth.
  u32 Finish(u32 code, bool repaintAfter);
  u32 FrameCounter() const;
};
