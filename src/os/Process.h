// The program folder: where the game finds its data archives and keeps its saved games.
#pragma once
#include <string>

namespace Os {

// The folder, always ending with '/': the executable's folder unless set.
const std::string& ProgramFolder();
// Sets the folder (a trailing '/' is added when missing); an empty path restores the executable's folder.
void SetProgramFolder(const std::string& folder);

// One line on standard error as it stands: what the program tells whoever started it.
void Say(const std::string& line);

// One line "duskmire: <text>" on standard error: a problem the program passes over but should not keep
// silent about.
void Warn(const std::string& text);

}  // namespace Os
