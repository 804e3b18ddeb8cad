#include "game/SStateGame.h"

bool SStateGame::IsBusy() const { return turning || stepping || subDialog != nullptr; }
