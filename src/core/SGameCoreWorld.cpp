// The game core's loading phases: emptying the world, loading what must be resident before play, and
// tying the tables' picture names to the image cache.
#include "core/SGameCore.h"
#include "game/SStateGame.h"
#include "script/SScriptContext.h"
#include "script/SScriptInterpreter.h"

void SGameCore::UnloadWorld() {
  world.images.Clear();
  world.images.Init();
  // The game state lets go of its music track before the sound table frees the modules it plays.
  if (stateGame) stateGame->StopMusic();
  // The sky kept while no sky serves the hour names this world's picture slots: the next world's first
  // hour without a sky must not show them.
  if (stateGame) stateGame->skyChoice = SSkyChoice{};
  // Every table read from a world loses its records and raw records; the sound table also stops every
  // channel first, so no channel plays data that is freed.
  world.SetSoundManager(soundManager);
  // The interpreter's loaded program points into the script records about to be freed.
  if (scriptInterpreter) scriptInterpreter->LoadProgram(nullptr, 0, 0);
  // And the context's target, speaker and stand-in monster point into the world.
  if (scriptContext) scriptContext->Reset();
  world.tables.ClearAll();
  world.modules.Clear();
}

void SGameCore::PrepareWorldTables(SLoadingSteps* steps) {
  world.SetSoundManager(soundManager);
  world.sounds.PreloadGlobalSounds();
  if (steps) steps->Step();
  for (SSpellEffect* effect : world.rules.spellEffects.records) effect->LoadFrames(world.images);
  if (steps) steps->Step();
  world.rules.skies.LoadThunderSky();  // lightning never waits for its picture
  if (steps) {
    steps->Step();
    steps->Step();
  }
  world.items.LoadItemPictures(world.images);
}

void SGameCore::BindWorldResources(SLoadingSteps* steps) {
  world.images.PublishIndexTables();
  if (steps) steps->Step();
  static constexpr SWorldBlock kOrder[] = {kBlockMapObjectTypes, kBlockMonsters, kBlockItems, kBlockSpellEffects};
  for (SWorldBlock b : kOrder) {
    if (SWorldTable* t = world.tables[b]) t->ResolveNames(world.images, world.images.ImageFlags());
    if (steps) steps->Step();
  }
  if (stateGame) stateGame->ResolveDoorAndDropImages();
}
