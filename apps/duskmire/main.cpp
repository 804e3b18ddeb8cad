// The Linux entry of Duskmire: reads the options, installs the SDL or the headless backend, and runs the
// game as the handheld's entry point does.
#include "app/DuskmireApp.h"
#include "os/Backend.h"
#include "os/Process.h"
#include "os/host/HostRegistry.h"
#include "os/sdl/SdlBackend.h"
#include "platform/hal/DisplayModes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The options; the list of screens comes from the display-mode table.
std::string UsageText() {
  const Os::BackendOptions defaults;
  std::vector<std::string> screens;
  for (const Hal::DisplayModeRow& row : Hal::DisplayModeRows()) {
    if (!row.screenWidth) continue;
    std::string size = std::to_string(row.screenWidth) + "x" + std::to_string(row.screenHeight);
    if (row.screenWidth == defaults.screenWidth && row.screenHeight == defaults.screenHeight) size += " (default)";
    if (std::find(screens.begin(), screens.end(), size) == screens.end()) screens.push_back(size);
  }
  const std::string indent(26, ' ');
  std::string text =
      "Usage: duskmire [options]\n"
      "  --backend sdl|headless  where the game runs: an SDL window (default) or headless\n";
  std::string line = "  --screen WxH            the handheld's screen:";
  for (size_t i = 0; i < screens.size(); ++i) {
    std::string word = screens[i];
    if (i + 2 < screens.size()) word += ",";
    if (i > 0 && i + 1 == screens.size()) word = "or " + word;
    if (line.size() + 1 + word.size() > 100) {
      text += line + "\n";
      line = indent.substr(1);
    }
    line += " " + word;
  }
  text += line + "\n";
  text +=
      "  --scale N               SDL: each screen pixel as N x N window pixels (default 1, up to 8)\n"
      "  --data DIR              the folder of the game data and saved games (default: next to the program)\n"
      "  --registry FILE         the settings file (default: $XDG_CONFIG_HOME/duskmire/registry;\n"
      "                          headless runs keep settings in memory unless this is given)\n"
      "  --input FILE            headless: scripted input\n"
      "  --capture DIR           headless: write captured screens there (final.png at the end)\n"
      "  --frames N              headless: end after N presented frames\n"
      "  --ms N                  headless: end after N milliseconds of virtual time\n"
      "  --new-game              start a new game with the default character at once\n"
      "  --help                  this text\n"
      "\n"
      "Keys in the window (the handheld's buttons as Settings name them; what they do by default):\n"
      "  arrows                  Up, Down, Left, Right arrow: step forward, step back, turn left and right;\n"
      "                          in Left or Right Landscape they are turned back and keep these meanings\n"
      "  Enter                   Select: use\n"
      "  F1, F2, F3, F4          Calendar, Contacts, Messaging, Home: spell book, sidestep left, sidestep\n"
      "                          right, attack (in Right Landscape the other way round)\n"
      "  mouse                   the stylus\n"
      "  letters                 on 800x480, 800x600 and 640x240, which have a keyboard: w forward, s back,\n"
      "                          q and e turn, a and d sidestep, Space use, c spell book, Enter attack\n"
      "Settings change what each key does.\n";
  return text;
}

// Digits only (no sign, no blanks) and within lo..hi: anything else is refused rather than wrapped.
bool ParseCount(const std::string& text, u32 lo, u32 hi, u32* out) {
  if (text.empty() || text.size() > 10) return false;
  u64 v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + u64(c - '0');
  }
  if (v < lo || v > hi) return false;
  *out = u32(v);
  return true;
}

// "WxH", both strict counts.
bool ParseScreen(const std::string& text, u32* width, u32* height) {
  const size_t x = text.find('x');
  return x != std::string::npos && ParseCount(text.substr(0, x), 1, 65535, width) &&
         ParseCount(text.substr(x + 1), 1, 65535, height);
}

int Usage(const std::string& problem) {
  std::fprintf(stderr, "duskmire: %s\n%s", problem.c_str(), UsageText().c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  Os::BackendOptions options;
  std::string backend = "sdl", data, registry;
  bool headlessOnly = false, newGame = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(UsageText().c_str(), stdout);
      return 0;
    }
    if (arg == "--new-game") {
      newGame = true;
      continue;
    }
    const bool takesValue = arg == "--backend" || arg == "--screen" || arg == "--scale" || arg == "--data" ||
                            arg == "--registry" || arg == "--input" || arg == "--capture" || arg == "--frames" ||
                            arg == "--ms";
    if (!takesValue) return Usage("unknown option " + arg);
    if (i + 1 >= argc) return Usage(arg + " needs a value");
    const char* value = argv[++i];
    if (arg == "--backend") {
      backend = value;
      if (backend != "sdl" && backend != "headless") return Usage("unknown backend " + backend);
    } else if (arg == "--screen") {
      u32 w = 0, h = 0;
      if (!ParseScreen(value, &w, &h)) return Usage("--screen wants WxH, such as 240x320");
      if (!Hal::IsKnownScreen(w, h))
        return Usage("the screen size " + std::string(value) + " is not one of the handheld's sizes");
      options.screenWidth = i32(w);
      options.screenHeight = i32(h);
    } else if (arg == "--scale") {
      if (!ParseCount(value, 1, 8, &options.scale)) return Usage("--scale wants a whole number from 1 to 8");
    } else if (arg == "--data") {
      data = value;
    } else if (arg == "--registry") {
      registry = value;
    } else if (arg == "--input") {
      options.inputFile = value;
      headlessOnly = true;
    } else if (arg == "--capture") {
      options.captureDir = value;
      headlessOnly = true;
    } else if (arg == "--frames") {
      if (!ParseCount(value, 1, 100000000, &options.frameLimit)) return Usage("--frames wants a positive number");
      headlessOnly = true;
    } else if (arg == "--ms") {
      if (!ParseCount(value, 1, 2000000000, &options.timeLimit)) return Usage("--ms wants a positive number");
      headlessOnly = true;
    }
  }
  if (headlessOnly && backend != "headless")
    return Usage("--input, --capture, --frames and --ms belong to the headless backend (--backend headless)");

  if (!data.empty()) Os::SetProgramFolder(data);
  if (!registry.empty()) Os::SetRegistryFile(registry);
  options.memoryRegistry = registry.empty();

  std::string error;
  const bool ok = backend == "headless" ? Os::UseHeadless(options, &error) : Os::UseSdl(options, &error);
  if (!ok) {
    std::fprintf(stderr, "duskmire: %s\n", error.c_str());
    return 1;
  }
  std::string refusal;
  int code = WinMain(&refusal, newGame);
  if (!Os::FinishBackend(&error)) {
    std::fprintf(stderr, "duskmire: %s\n", error.c_str());
    code = 1;
  }
  if (!refusal.empty()) code = 1;
  return code;
}
