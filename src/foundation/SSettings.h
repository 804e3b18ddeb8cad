// The game's settings: 32-bit values kept under the registry key "SOFTWARE\Duskmire".
#pragma once
#include "os/Registry.h"
#include "os/Types.h"

inline constexpr char kSettingsKey[] = "SOFTWARE\\Duskmire";

struct SSettings {
  u32 startMode;
  u32 keys[12];     // portrait: up, down, left, right, action, app keys 1-4, 2 unused, stored marker
  u32 lKeys[12];    // left landscape
  u32 rKeys[12];    // right landscape (entry 12 the stored marker)
  u32 soundVolume;  // 0..10
  u32 musicVolume;  // 0..10
  u32 viewSize;     // 0 largest, 1 moderate, 2 smallest
  u32 lViewSize;
  u32 rViewSize;

  SSettings() { SetDefaults(); }
  void SetDefaults();
  // Reads the values (display modes 14 to 16 are keyboard devices) without writing them back.
  void Load(i32 displayMode);
  // Writes every value, in the record's order, as one batch of the registry.
  void Save() const;
  // The defaults of entries 0 to 8 of a key set: orientation 0 portrait, 1 left and 2 right landscape;
  // on keyboard devices the portrait set binds characters instead of actions.
  static const u32* DefaultKeys(u32 orientation, bool keyboard);
  // What the game core does at start-up: Load, then Save.
  void LoadAndStore(i32 displayMode) {
    Load(displayMode);
    Save();
  }
};

// Under HKEY_LOCAL_MACHINE\SOFTWARE\Duskmire; any failure gives the default.
u32 RegGetDword(const char* name, u32 defaultValue);
bool RegSetDword(const char* name, u32 value);
Os::RegKey RegCreateKeyHandle(const char* path, Os::RegistryRoot root);
