// The music track chosen by the screen and the situation (fight, underground, day or night outside),
// and the looping ambient sounds of the fires, water and markers around the player, each quieter with
// the distance in cells.
#include "core/SGameCore.h"
#include "game/SStateGame.h"
#include "platform/sound/SSoundManager.h"
#include "screens/SStateDialogInterior.h"
#include "screens/SStateScene.h"
#include "world/SSoundTable.h"
#include "world/kinds/SMapObjectScenery.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr u8 kWallClass = 5, kStairClass = 33, kAmbientMarkerClass = 43;

bool HasSound(const SMapObjectType* t) { return t && t->texts[1] && *t->texts[1]; }

}  // namespace

void SStateGame::StopChannel(i32 channel) {
  // -1 is no channel: there is nothing to stop (0 would be the first music channel).
  if (channel < 0 || !core || !core->soundManager) return;
  core->soundManager->StopChannel(channel);
}

void SStateGame::SelectMusic() {
  if (!core) return;
  SString name;
  const SState* current = core->currentState;
  if (current && current == core->states[kStateDialogInterior]) {
    name.Assign(static_cast<const SStateDialogInterior*>(current)->musicTrack.CStr());
  } else if (current && current == core->states[kStateScene]) {
    name.Assign(static_cast<const SStateScene*>(current)->musicTrack.CStr());
  } else if (current && current != this) {
    name.Assign("bmus_main");
  } else if (dangerCountdown) {
    name.Assign("bmus_fight");
  } else if (!window.IsJoined()) {
    name.Assign("bmus_dungeon");
  } else {
    name.Assign(IsDay() ? "bmus_surfaceday" : "bmus_surfacenight");
  }
  if (!musicRestart && musicName.Equals(name.CStr() ? name.CStr() : "")) {
    if (musicPaused) {
      if (musicChannel >= 0 && core->soundManager) core->soundManager->ResumeChannel(musicChannel);
      musicPaused = 0;
    }
    return;
  }
  musicRestart = musicPaused = 0;
  musicName.Assign(name.CStr() ? name.CStr() : "");
  StopChannel(musicChannel);
  musicChannel = -1;
  // An unknown song, or one that cannot play, leaves no channel (and never stops another).
  if (musicName.IsEmpty() || !core->world.sounds.FindSong(musicName.CStr())) return;
  const i32 channel = core->world.sounds.PlayMusicByName(musicName.CStr());
  musicChannel = channel >= 0 ? channel : -1;
}

void SStateGame::StopMusic() {
  StopChannel(musicChannel);
  musicChannel = -1;
}

void SStateGame::PauseMusic() {
  if (musicName.IsEmpty()) return;
  musicPaused = 1;
  if (musicChannel >= 0 && core && core->soundManager) core->soundManager->PauseChannel(musicChannel);
}

void SStateGame::StopAmbientSounds(bool pauseMusic) {
  StopRainSound();
  if (pauseMusic) PauseMusic();
  for (const SAmbientEntry& e : ambientSounds) StopChannel(e.channel);
  ambientSounds.Clear();
}

SAmbientEntry* SStateGame::FindAmbientEntry(const SResource* sound, i32 volume) {
  for (SAmbientEntry& e : ambientSounds)
    if (e.sound == sound && e.volume == volume) return &e;
  return nullptr;
}

void SStateGame::PlayAmbientAt(const char* name, i32 x, i32 y, i32 offset) {
  if (!core || !name || !*name) return;
  SResource* sound = core->world.sounds.FindSound(name);
  if (!sound) return;
  const i32 volume = std::max(1, VolumeByDistance(x, y) - offset);
  if (FindAmbientEntry(sound, volume)) return;
  const i32 channel = core->world.sounds.PlayLoop(sound, volume);
  ambientSounds.Add(SAmbientEntry{channel > 0 ? channel : -1, volume, sound});
}

void SStateGame::UpdateAmbient() {
  StopAmbientSounds(false);
  UpdateRainSound();
  UpdateDanger();
  SelectMusic();
  ambientMarker = nullptr;
  if (!window.IsAllocated() || !window.CurrentArea()) return;
  const bool night = IsNight();
  SRandom& random = *window.Random();
  const i32 px = window.playerX, py = window.playerY;
  for (i32 y = std::max(0, py - 7); y <= std::min(SMapWindow::kSize - 1, py + 7); ++y)
    for (i32 x = std::max(0, px - 7); x <= std::min(SMapWindow::kSize - 1, px + 7); ++x) {
      SMapCell* c = window.Cell(x, y);
      SMapCellFaces* f = window.Faces(x, y);
      SMapObjectType* centre = c->centreType;
      const u8 n = SMapWindow::TypeNumber(centre);
      SMapObjectInst* object = centre ? window.FindBlockObjectById(x, y, c->centreObjectId) : nullptr;
      if (HasSound(centre) || n == kStairClass) PlayAmbientLayer1(centre->GetAmbientSound(object, c), x, y);
      if (n == kAmbientMarkerClass && static_cast<SMapObjectAmbientSound*>(centre)->PlaysAt(night)) {
        if (!ambientMarker || random.Next(100) >= 51) {
          ambientMarker = centre;
          ambientX = x;
          ambientY = y;
        }
      }
      if (n == kWallClass)
        for (u32 s = 0; s < 4; ++s)
          if (HasSound(c->sideType[s]))
            PlayAmbientLayer1(c->sideType[s]->GetAmbientSound(window.FindBlockObjectById(x, y, c->sideObjectId[s]), c),
                              x, y);
      // The second layer sounds from its own centre and sides.
      SMapObjectType* centre2 = f->centreType;
      if (HasSound(centre2))
        PlayAmbientLayer2(centre2->GetAmbientSoundLayer2(window.FindBlockObjectById(x, y, f->centreObjectId), f), x, y);
      if (SMapWindow::TypeNumber(centre2) == kWallClass)
        for (u32 s = 0; s < 4; ++s)
          if (HasSound(f->sideType[s]))
            PlayAmbientLayer2(
                f->sideType[s]->GetAmbientSoundLayer2(window.FindBlockObjectById(x, y, f->sideObjectId[s]), f), x, y);
    }
}
