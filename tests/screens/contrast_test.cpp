// Every text a player can see reads against what lies behind it: each screen and dialog is visited in a
// compact and a large display mode, every text drawn at the stop is recorded, and its colour is set
// against the median colour of the pixels behind it. Below 4.5:1 (the usual rule for normal text) the
// text fails, named with its stop. A caption of a group of choices (tabs, filters, the sheet's pages, the
// settings' orientations: buttons of which one stands latched) is judged in the other state too, chosen
// where it is not and not where it is. Scene lines while they fade in or out, and the captions of disabled
// controls (dimmed on purpose), are left out and listed. DUSKMIRE_TOUR_DUMP=<folder> writes each stop's
// frame there, to look at.
#include "core/SGameCore.h"
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SCtrl.h"
#include "core/ui/SDialog.h"
#include "core/ui/SGameCtrls.h"
#include "core/ui/SRgb.h"
#include "core/ui/SSceneTextCtrl.h"
#include "graphics/SImage.h"
#include "support/Png.h"
#include "support/ScreenTour.h"
#include "support/TextRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <set>
#include <sstream>

namespace {

// The relative luminance of an RGB565 colour, as the contrast rule defines it for sRGB.
double Luminance(u16 c) {
  auto channel = [](u32 v, u32 max) {
    const double s = double(v) / max;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c >> 11 & 31, 31) + 0.7152 * channel(c >> 5 & 63, 63) + 0.0722 * channel(c & 31, 31);
}

double Ratio(u16 a, u16 b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What a text is set against: the median by luminance of the pixels in its drawn lines that are not its
// glyphs' body colour, and whether its body colour still shows there at all (a text drawn over later does
// not count).
struct Behind {
  bool shows = false;
  u16 median = 0;
};

Behind BehindText(const Os::Panel& panel, const TextRecord::Text& t) {
  Behind b;
  std::vector<std::pair<double, u16>> back;
  for (i32 y = std::max(0, t.top); y < std::min(panel.height, t.bottom); ++y)
    for (i32 x = std::max(0, t.left); x < std::min(panel.width, t.right); ++x) {
      const u16 c = panel.At(x, y);
      if (c == t.shade)
        b.shows = true;
      else
        back.emplace_back(Luminance(c), c);
    }
  if (back.empty()) return b;
  std::nth_element(back.begin(), back.begin() + back.size() / 2, back.end());
  b.median = back[back.size() / 2].second;
  return b;
}

// Why a text is left out ("" when it is judged).
std::string Exempt(const TextRecord::Text& t) {
  if (const auto* scene = dynamic_cast<const SSceneTextCtrl*>(t.control); scene && t.textColour != scene->textColour)
    return "a scene line fading";
  if (t.control && !t.control->IsEnabled()) return "a disabled control's caption";
  return "";
}

// The captioned choices of a dialog: its labelled buttons and topic buttons of a kind of which one or more
// stands latched (the chosen tab, filter or page).
std::vector<SCtrl*> Choices(SDialog& dialog) {
  auto captioned = [](const SCtrl* c) {
    if (const auto* b = dynamic_cast<const SButtonCtrl*>(c)) return b->showLabel != 0;
    return dynamic_cast<const STopicButtonCtrl*>(c) != nullptr;
  };
  bool buttonLatched = false, topicLatched = false;
  for (i32 i = 0; i < i32(dialog.controls.Count()); ++i)
    if (const SCtrl* c = dialog.controls.At(i); c && c->IsVisible() && c->IsLatched() && captioned(c))
      (dynamic_cast<const STopicButtonCtrl*>(c) ? topicLatched : buttonLatched) = true;
  std::vector<SCtrl*> choices;
  for (i32 i = 0; i < i32(dialog.controls.Count()); ++i)
    if (SCtrl* c = dialog.controls.At(i); c && c->IsVisible() && c->IsEnabled() && captioned(c) &&
                                          (dynamic_cast<const STopicButtonCtrl*>(c) ? topicLatched : buttonLatched))
      choices.push_back(c);
  return choices;
}

void Tour(i32 mode, std::vector<std::string>& failures, std::set<std::string>& exempt) {
  const char* dump = std::getenv("DUSKMIRE_TOUR_DUMP");
  const std::vector<std::string> missed = ScreenTour(mode).run([&](const std::string& stop, GameHarness& game) {
    TextRecord texts(game);
    if (stop == "screen/scene") {
      // The scene's text scrolls in from the bottom, drawn anew at each step: its first lines rise into
      // their full colour.
      game.frame(60);
    } else {
      // The stop's own screen or dialog drawn afresh, so that each of its texts is heard (what lies beneath
      // is judged at its own stop).
      ScreenTour::dialogs(game).back()->SetFullRepaint();
      game.frame();
    }
    const Os::Panel& panel = game.panel();
    if (dump) {
      std::string name = stop;
      std::replace(name.begin(), name.end(), '/', '_');
      testpng::WriteRgb565(std::string(dump) + "/" + name + "_" + std::to_string(mode) + ".png", panel.pixels.data(),
                           panel.width, panel.height, panel.width);
    }
    // Judges the latest drawing of each text (of one control, when given), named with the stop and state.
    auto judge = [&](const std::string& state, const SCtrl* only) {
      std::set<std::string> seen;
      for (auto it = texts.texts().rbegin(); it != texts.texts().rend(); ++it) {
        const TextRecord::Text& t = *it;
        if (only && t.control != only) continue;
        if (t.lines == 0 || t.text.find_first_not_of(" \r\n") == std::string::npos) continue;
        if (t.control && !t.controlVisible) continue;
        const Behind behind = BehindText(panel, t);
        if (!behind.shows) continue;
        const std::string where = "mode " + std::to_string(mode) + " " + stop + state + ": \"" + t.text + "\"";
        if (!seen.insert(where).second) continue;
        if (const std::string why = Exempt(t); !why.empty()) {
          exempt.insert(where + " (" + why + ")");
          continue;
        }
        const double ratio = Ratio(t.shade, behind.median);
        if (ratio < 4.5) {
          std::ostringstream line;
          line.precision(2);
          line << std::fixed << where << " reads at " << ratio << ":1 (text " << std::hex << t.shade << " on "
               << behind.median << ") " << t.describe();
          failures.push_back(line.str());
        }
      }
    };
    judge("", nullptr);
    // The choices of a group in their other state, one at a time, each put back after.
    SDialog* top = ScreenTour::dialogs(game).back();
    for (SCtrl* choice : Choices(*top)) {
      choice->SetLatched(!choice->IsLatched());
      texts.clear();
      top->SetFullRepaint();
      game.frame();
      judge(choice->IsLatched() ? " (chosen)" : " (not chosen)", choice);
      choice->SetLatched(!choice->IsLatched());
    }
    top->SetFullRepaint();
    game.frame();
  });
  EXPECT_EQ(missed, std::vector<std::string>{}) << "mode " << mode;
}

TEST(Contrast, EveryTextReadsOnEveryScreenInACompactAndALargeMode) {
  std::vector<std::string> failures;
  std::set<std::string> exempt;
  for (i32 mode : {7, 10}) Tour(mode, failures, exempt);
  std::ostringstream out;
  for (const std::string& f : failures) out << "\n  " << f;
  EXPECT_TRUE(failures.empty()) << failures.size() << " texts read below 4.5:1:" << out.str();
  std::ostringstream left;
  for (const std::string& e : exempt) left << "\n  " << e;
  std::cout << "Left out:" << left.str() << "\n";
}

// Why the chosen quests filter stands on a ground of its own: the filters' captions, dark while not chosen and
// light while chosen, are too far apart for any one ground to read both. Over every colour the screen can
// show, the best reads each at little more than 3:1.
TEST(Contrast, NoOneGroundReadsBothQuestFilterCaptions) {
  const u16 dark = MakeColor565(RgbWord(0x2D2D2D)), light = MakeColor565(RgbWord(0x96F0FF));
  double best = 0;
  for (u32 ground = 0; ground <= 0xFFFF; ++ground)
    best = std::max(best, std::min(Ratio(dark, u16(ground)), Ratio(light, u16(ground))));
  EXPECT_LT(best, 4.5);
  EXPECT_GT(best, 3.2);
}

}  // namespace
