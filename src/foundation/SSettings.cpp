#include "foundation/SSettings.h"

#include "foundation/StrUtil.h"

namespace {

const u32 kKeysDefault[12] = {1000, 1002, 1004, 1006, 3006, 3001, 3004, 3005, 3000, 0, 0, 0};
const u32 kLKeysDefault[12] = {1004, 1006, 1002, 1000, 3006, 3001, 3004, 3005, 3000, 0, 0, 0};
const u32 kRKeysDefault[12] = {1006, 1004, 1000, 1002, 3006, 3000, 3005, 3004, 3001, 0, 0, 0};
// Keyboard devices: w, s, q, e, blank, c, Enter, a, d.
const u32 kKeyboardKeys[9] = {119, 115, 113, 101, 32, 99, 13, 97, 100};
// The keyboard devices' own names; entry 12 is the stored marker.
constexpr char kKeyboardPrefix[] = "KeyboardKey", kKeyboardMarker[] = "KeyboardKey12";

// A table that some device bound by character: nonzero entries, all below 256 (action codes are 1000 up).
bool HoldsCharacters(const u32* table) {
  bool any = false;
  for (int i = 0; i < 9; ++i) {
    if (table[i] > 0xFF) return false;
    any = any || table[i] != 0;
  }
  return any;
}

void ReadTable(u32* table, const char* prefix, u32 count) {
  for (u32 i = 0; i < count; ++i) {
    char name[16];
    StrFormat(name, "%s%u", prefix, i + 1);
    table[i] = RegGetDword(name, 0);
  }
}

void WriteTable(const u32* table, const char* prefix) {
  for (u32 i = 0; i < 12; ++i) {
    char name[16];
    StrFormat(name, "%s%u", prefix, i + 1);
    RegSetDword(name, table[i]);
  }
}

}  // namespace

void SSettings::SetDefaults() {
  startMode = 0;
  for (int i = 0; i < 12; ++i) {
    keys[i] = kKeysDefault[i];
    lKeys[i] = kLKeysDefault[i];
    rKeys[i] = kRKeysDefault[i];
  }
  soundVolume = 10;
  musicVolume = 5;
  viewSize = lViewSize = rViewSize = 0;
}

const u32* SSettings::DefaultKeys(u32 orientation, bool keyboard) {
  if (keyboard) return kKeyboardKeys;
  if (orientation == 1) return kLKeysDefault;
  if (orientation == 2) return kRKeysDefault;
  return kKeysDefault;
}

void SSettings::Load(i32 displayMode) {
  keyboard = KeyboardMode(displayMode);
  startMode = RegGetDword("StartMode", 0);
  soundVolume = RegGetDword("SoundVolume", 10);
  musicVolume = RegGetDword("MusicVolume", 5);
  viewSize = RegGetDword("ViewSize", 0);
  lViewSize = RegGetDword("LViewSize", 0);
  rViewSize = RegGetDword("RViewSize", 0);
  if (keyboard)
    LoadKeyboardKeys();
  else
    LoadHardwareKeys();
}

void SSettings::LoadKeyboardKeys() {
  keys[11] = RegGetDword(kKeyboardMarker, 0);
  if (keys[11]) {
    ReadTable(keys, kKeyboardPrefix, 11);
    return;
  }
  // None stored under its own names: a file from before keeps the characters a keyboard device stored
  // as the portrait table; a table of action codes (another kind's) is not ours to read as characters.
  u32 stored[12] = {};
  if (RegGetDword("Key12", 0)) ReadTable(stored, "Key", 11);
  const bool adopt = HoldsCharacters(stored);
  for (int i = 0; i < 11; ++i) keys[i] = adopt ? stored[i] : i < 9 ? kKeyboardKeys[i] : 0;
  keys[11] = 1;
}

void SSettings::LoadHardwareKeys() {
  keys[11] = RegGetDword("Key12", 0);
  if (keys[11]) {
    ReadTable(keys, "Key", 11);
    ReadTable(lKeys, "LKey", 12);
    if (HoldsCharacters(keys)) {
      // Characters that a keyboard device stored here before it had names of its own: they move there
      // (unless it has a table by now), and this table starts again from its defaults.
      if (!RegGetDword(kKeyboardMarker, 0)) {
        Os::RegistryBatch batch;
        WriteTable(keys, kKeyboardPrefix);
      }
      for (int i = 0; i < 12; ++i) keys[i] = kKeysDefault[i];
      keys[11] = 1;
    }
  } else {
    keys[11] = 1;
  }

  rKeys[11] = RegGetDword("RKey12", 0);
  if (rKeys[11])
    ReadTable(rKeys, "RKey", 11);
  else
    rKeys[11] = 1;
}

void SSettings::Save() const {
  // One batch: a settings file is written once, and not at all when every value is as stored.
  Os::RegistryBatch batch;
  RegSetDword("StartMode", startMode);
  if (keyboard) {
    WriteTable(keys, kKeyboardPrefix);
  } else {
    WriteTable(keys, "Key");
    WriteTable(lKeys, "LKey");
    WriteTable(rKeys, "RKey");
  }
  RegSetDword("SoundVolume", soundVolume);
  RegSetDword("MusicVolume", musicVolume);
  RegSetDword("ViewSize", viewSize);
  RegSetDword("LViewSize", lViewSize);
  RegSetDword("RViewSize", rViewSize);
}

Os::RegKey RegCreateKeyHandle(const char* path, Os::RegistryRoot root) { return Os::Reg().CreateKey(root, path); }

u32 RegGetDword(const char* name, u32 defaultValue) {
  Os::RegKey key = RegCreateKeyHandle(kSettingsKey, Os::RegistryRoot::LocalMachine);
  if (key == Os::kNoKey) return defaultValue;
  u32 value = 0;
  bool ok = Os::Reg().QueryDword(key, name, &value);
  Os::Reg().CloseKey(key);
  return ok ? value : defaultValue;
}

bool RegSetDword(const char* name, u32 value) {
  Os::RegKey key = RegCreateKeyHandle(kSettingsKey, Os::RegistryRoot::LocalMachine);
  if (key == Os::kNoKey) return false;
  bool ok = Os::Reg().SetDword(key, name, value);
  Os::Reg().CloseKey(key);
  return ok;
}
