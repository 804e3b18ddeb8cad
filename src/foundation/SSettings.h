// The game's settings: 32-bit values kept under the registry key "SOFTWARE\Duskmire".
#pragma once
#include "os/Registry.h"
#include "os/Types.h"

inline constexpr char kSettingsKey[] = "SOFTWARE\\Duskmire";

// Keyboard devices (display modes 14 to 16) bind keys by character: their portrait table is kept under
// names of its own ("KeyboardKey1".."KeyboardKey12"), so that one settings file serves screens of both
// kinds. Each kind reads and writes only its own key tables; the other values are shared.
struct SSettings {
  u32 startMode;
  u32 keys[12];     // portrait: up, down, left, right, action, app keys 1-4, 2 unused, stored marker;
                    // on keyboard devices the characters of forward, back, turns, use, spell, hit, strafes
  u32 lKeys[12];    // left landscape
  u32 rKeys[12];    // right landscape (entry 12 the stored marker)
  u32 soundVolume;  // 0..10
  u32 musicVolume;  // 0..10
  u32 viewSize;     // 0 largest, 1 moderate, 2 smallest
  u32 lViewSize;
  u32 rViewSize;
  bool keyboard = false;  // the kind of device the key tables were loaded for, and are saved for

  SSettings() { SetDefaults(); }
  void SetDefaults();
  static bool KeyboardMode(i32 displayMode) { return displayMode >= 14 && displayMode <= 16; }
  // Reads the values for the display mode's kind of device without writing them back, except that a
  // file from before the keyboard devices had their own names gets their table moved there (once).
  void Load(i32 displayMode);
  // Writes every value of this kind of device, in the record's order, as one batch of the registry.
  void Save() const;
  // The defaults of entries 0 to 8 of a key set: orientation 0 portrait, 1 left and 2 right landscape;
  // keyboard devices have one set, of characters, whatever the orientation.
  static const u32* DefaultKeys(u32 orientation, bool keyboard);
  // What the game core does at start-up: Load, then Save.
  void LoadAndStore(i32 displayMode) {
    Load(displayMode);
    Save();
  }

 private:
  void LoadKeyboardKeys();
  void LoadHardwareKeys();
};

// Under HKEY_LOCAL_MACHINE\SOFTWARE\Duskmire; any failure gives the default.
u32 RegGetDword(const char* name, u32 defaultValue);
bool RegSetDword(const char* name, u32 value);
Os::RegKey RegCreateKeyHandle(const char* path, Os::RegistryRoot root);
