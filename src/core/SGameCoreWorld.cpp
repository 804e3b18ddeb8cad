// The game core's loading phases: emptying the world, loading what must be resident before play, and
// tying the tables' picture names to the image cache.
#include "core/SGameCore.h"

void SGameCore::UnloadWorld() {
  world.images.Clear();
  world.images.Init();
  // Every table read from a world loses its records and raw records; the sound table also stops every
  // channel first, so no channel plays data that is freed.
  world.SetSoundManager(soundManager);
  world.tables.ClearAll();
  world.modules.Clear();
}

void SGameCore::PrepareWorldTables(SLoadingSteps* steps) {
  world.SetSoundManager(soundManager);
  world.sounds.PreloadGlobalSounds();
  if (steps) steps->Step();
  // Spell-effect frames, the thunder sky's picture and the item pictures load with their tables; until
  // those tables exist their steps still advance the bar.
  if (steps) steps->Step();
  world.rules.skies.LoadThunderSky();  // lightning never waits for its picture
  if (steps) steps->Step();
  world.items.LoadItemPictures(world.images);
  if (steps) steps->Step();
}

void SGameCore::BindWorldResources(SLoadingSteps* steps) {
  world.images.PublishIndexTables();
  if (steps) steps->Step();
  static constexpr SWorldBlock kOrder[] = {kBlockMapObjectTypes, kBlockMonsters, kBlockItems, kBlockSpellEffects};
  for (SWorldBlock b : kOrder) {
    if (SWorldTable* t = world.tables[b]) t->ResolveNames(world.images, world.images.ImageFlags());
    if (steps) steps->Step();
  }
}
