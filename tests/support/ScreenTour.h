// Opens every screen and dialog of the game, one after another, on the sample world in a display mode, and
// hands each to a visitor once its frame is painted: for checks that must hold wherever a player can look
// (every control paints something, texts read and fit). A stop has a stable name ("inventory/items",
// "dialog/worldmap", ...); the visitor sees the harness, so the state, the open dialogs and their controls
// (GameHarness::controls(), openChild(), panel(), or ScreenTour::dialogs() for the live objects).
//
//   ScreenTour tour(7);
//   const std::vector<std::string> missed = tour.run([](const std::string& stop, GameHarness& game) { ... });
//   EXPECT_TRUE(missed.empty());
#pragma once
#include "os/Types.h"
#include "support/GameHarness.h"

#include <functional>
#include <string>
#include <vector>

class SDialog;
class SCtrl;

class ScreenTour {
 public:
  using Visitor = std::function<void(const std::string& stop, GameHarness& game)>;

  explicit ScreenTour(i32 displayMode) : mode_(displayMode) {}

  // Only the stops whose name starts with this (empty: every stop).
  void only(const std::string& prefix) { only_ = prefix; }
  // Plays a seasoned character in place of the new one: a high level, wide numbers everywhere, points to
  // spend, a heavy pack with several worn pieces, spells in every school and several entries in every list
  // (the enchanting entries among them), so that texts are as wide and lists as long as a player meets them.
  void seasoned() { seasoned_ = true; }

  // Opens every stop in turn and visits it; returns the stops that could not be opened (each with why),
  // empty when the tour saw them all.
  std::vector<std::string> run(const Visitor& visit);

  // The name of every stop, in the order of a tour.
  static std::vector<std::string> stopNames();

  // The current state, then every dialog open over it, innermost last (live objects).
  static std::vector<SDialog*> dialogs(const GameHarness& game);
  // The visible controls of those dialogs with their dialog, in painting order (a message box's body text,
  // which it paints itself, included).
  struct Shown {
    SDialog* dialog;
    SCtrl* control;
  };
  static std::vector<Shown> shownControls(const GameHarness& game);

 private:
  i32 mode_;
  std::string only_;
  bool seasoned_ = false;
};
