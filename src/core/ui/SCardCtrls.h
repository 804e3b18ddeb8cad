// The card game's controls: SDeckCtrl (a pile of cards), SCardCtrl (one card of a hand that can be
// raised) and SCardSignCtrl (a card place that can show one of two result marks). Each reports its id on
// a pen-down inside it.
#pragma once
#include "core/ui/SCtrl.h"

struct SImage;

// What the controls draw of a card, filled by the card screen from its card definition.
struct SCardLook {
  u32 tag = 0;   // a word of the definition the screen recognises the card by; never drawn
  u32 kind = 0;  // the deck the card belongs to
  u32 flags = 0;
  const SImage* picture = nullptr;
  const SImage* sign = nullptr;
};

// The card screen's own pictures that a card face-down or framed is drawn with.
struct SCardScreenPictures {
  static constexpr u32 kKinds = 3;
  const SImage* backs[kKinds] = {};  // by the card's kind
  const SImage* frame = nullptr;
  const SImage* secondFrame = nullptr;  // for cards whose flags have 0x01 or 0x10
};

// A pen-down inside the control reports its id.
class SCardBaseCtrl : public SCtrl {
 public:
  SCardBaseCtrl() { inputMask = kInputPen; }
  u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) override;

 protected:
  // Where a card's sign sits on its picture.
  i32 SignDx() const;
  i32 SignDy() const;
  // The area with the picture drawn at (x, y) (nothing for none): pictures are drawn at their own size,
  // whatever the control's.
  static void AddPicture(Area& area, const SImage* picture, i32 x, i32 y);
};

class SDeckCtrl : public SCardBaseCtrl {
 public:
  void ShowCard(const SCardLook& card);
  void ShowBack(const SImage* back);
  void SetCount(i32 n);
  void TakeOne();
  i32 Count() const { return count; }
  void SetEmptyPicture(const SImage* image) { empty = image; }
  // The layers a pile of `count` cards is drawn with on the display mode.
  static i32 Layers(i32 count, bool compact);
  void Paint() override;
  // A pile's lower layers lie up and to the left of its place.
  Area PaintedArea() const override;

  u32 cardTag = 0;
  const SImage* topPicture = nullptr;
  const SImage* sign = nullptr;
  const SImage* empty = nullptr;
  i32 count = 0;
};

class SCardCtrl : public SCardBaseCtrl {
 public:
  // Without a card the control's place becomes its home and nothing is shown; face 0 shows the back of
  // the card's kind, any other face the frame with the card's sign.
  void SetCard(const SCardLook* look, u32 cardFace, const SCardScreenPictures& screen);
  void SetLift(i32 n) { lift = n; }
  // Raised: lift pixels above home; lowered: at home.
  void SetRaised(bool on);
  void Paint() override;
  Area PaintedArea() const override;

  const SImage* picture = nullptr;  // keyed
  const SImage* sign = nullptr;     // opaque
  const SCardLook* card = nullptr;
  u32 face = 0;
  i32 homeX = 0, homeY = 0;
  i32 lift = 0;
  u32 raised = 0;
};

class SCardSignCtrl : public SCardBaseCtrl {
 public:
  void SetCardPicture(const SImage* image);
  void SetEmptyPicture(const SImage* image) { empty = image; }
  void SetMarkPictures(const SImage* first, const SImage* second);
  void ShowFirstMark();
  void ShowSecondMark();
  void ClearMarks();
  void Paint() override;
  Area PaintedArea() const override;

  const SImage* cardPicture = nullptr;  // opaque
  const SImage* empty = nullptr;        // keyed
  u32 firstShown = 0;
  const SImage* firstMark = nullptr;
  u32 secondShown = 0;
  const SImage* secondMark = nullptr;
};
