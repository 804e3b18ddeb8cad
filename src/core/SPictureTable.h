// The fixed interface pictures of "DuskmireData": for each of the game core's picture slots, the record
// that holds its picture on each family of display modes. Start-up reads the slots through it and the
// world builder writes the records from it, so reader and writer cannot drift apart.
#pragma once
#include "os/Types.h"

#include <span>

// A run of consecutive slots whose records run alongside: slot firstSlot + n reads record id + n.
struct SPictureRun {
  u16 firstSlot;
  u16 count;
  u16 compactId;  // the small screens and 640x240 (modes 2, 5, 6, 7, 8, 12, 13, 16)
  u16 largeId;    // 480 pixels or more on both sides (modes 9, 10, 11, 14, 15)
  u16 baseId;     // every other mode (no device selects one)
};

// A slot that reads another record on a few display modes.
struct SPictureOverride {
  u16 slot;
  u16 id;
  u32 modes;  // bit n: display mode n
};

class SPictureTable {
 public:
  static constexpr u32 kSlots = 462;

  static std::span<const SPictureRun> Runs();
  static std::span<const SPictureOverride> Overrides();
  // The record that slot reads on that display mode, or 0 for a slot start-up leaves empty.
  static u16 RecordFor(u32 slot, i32 displayMode);
  // The main menu's four pictures (slots 420 to 423), which start-up leaves empty: the menu fills them,
  // the loading dialog shows them. MenuRecordFor answers 0 for any other slot.
  static std::span<const SPictureRun> MenuRuns();
  static u16 MenuRecordFor(u32 slot, i32 displayMode);
  // Every record the compact and large modes read (the base column serves no device), each once.
  static std::span<const u16> DeviceRecords();
};
