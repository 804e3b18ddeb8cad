// The macros of the texts the game shows: the player's and the speaker's names, money, the date, script
// globals, the map and the article before a word. Each is replaced in one pass over the text; a text never
// grows past what a string holds, and globals that name globals are followed a bounded number of rounds.
#include "core/SGameCore.h"
#include "foundation/StrUtil.h"
#include "game/SStateGame.h"
#include "script/SScriptContext.h"
#include "world/SWorldModule.h"

#include <cstring>
#include <new>

namespace {

// Rounds of "%Global:" macros that a global's own text may bring in; those left after them are removed.
constexpr u32 kGlobalRounds = 8;
constexpr char kGlobalMacro[] = "%Global:";
constexpr u32 kGlobalMacroLength = sizeof kGlobalMacro - 1;

// A text put together piece by piece, cut at the longest text a string holds.
class STextBuilder {
 public:
  STextBuilder() = default;
  STextBuilder(const STextBuilder&) = delete;
  STextBuilder& operator=(const STextBuilder&) = delete;
  ~STextBuilder() { delete[] buffer_; }

  void Append(const char* text, u32 n) {
    if (failed_ || !text) return;
    if (n > kMaxLength - length_) n = kMaxLength - length_;
    if (!n) return;
    if (length_ + n + 1 > capacity_) {
      u32 capacity = capacity_ ? capacity_ : 64;
      while (capacity < length_ + n + 1) capacity *= 2;
      if (capacity > kMaxLength + 1) capacity = kMaxLength + 1;
      char* grown = new (std::nothrow) char[capacity];
      if (!grown) {
        failed_ = true;
        return;
      }
      if (buffer_) std::memcpy(grown, buffer_, length_);
      delete[] buffer_;
      buffer_ = grown;
      capacity_ = capacity;
    }
    std::memcpy(buffer_ + length_, text, n);
    length_ += n;
  }
  void Append(const char* text) { Append(text, StrLength(text)); }
  // Replaces the text with what was built; the text stays as it was when memory ran out.
  void StoreIn(SString& text) {
    if (failed_) return;
    if (!buffer_) {
      text.Assign("");
      return;
    }
    buffer_[length_] = 0;
    text.Assign(buffer_);
  }

 private:
  static constexpr u32 kMaxLength = SString::kMaxCapacity - 1;
  char* buffer_ = nullptr;
  u32 length_ = 0, capacity_ = 0;
  bool failed_ = false;
};

bool SameNoCase(const char* text, const char* pattern, u32 n) {
  for (u32 i = 0; i < n; ++i)
    if (!text[i] || CharToLower(text[i]) != CharToLower(pattern[i])) return false;
  return true;
}

// The next occurrence of the pattern from `from`, ignoring ASCII case; null when there is none.
const char* FindNoCase(const char* from, const char* pattern, u32 n) {
  for (const char* p = from; *p; ++p)
    if (SameNoCase(p, pattern, n)) return p;
  return nullptr;
}

// Every occurrence of the macro replaced by what `replacement` gives for the text that follows it.
template <class Replacement>
void ReplaceEach(SString& text, const char* macro, Replacement&& replacement) {
  const char* source = text.CStr();
  const u32 n = StrLength(macro);
  if (!source || !FindNoCase(source, macro, n)) return;
  STextBuilder out;
  for (const char* at; (at = FindNoCase(source, macro, n)) != nullptr; source = at + n) {
    out.Append(source, u32(at - source));
    out.Append(replacement(at + n));
  }
  out.Append(source);
  out.StoreIn(text);
}

void ReplaceMacro(SString& text, const char* macro, const char* replacement) {
  ReplaceEach(text, macro, [replacement](const char*) { return replacement ? replacement : ""; });
}

// Each "%AAN%" (or "%CAAN%") judged by the first letter or digit after it: "an" before a vowel.
void ReplaceArticles(SString& text, const char* macro, const char* an, const char* a) {
  ReplaceEach(text, macro, [an, a](const char* word) {
    while (*word &&
           !((*word >= 'a' && *word <= 'z') || (*word >= 'A' && *word <= 'Z') || (*word >= '0' && *word <= '9')))
      ++word;
    return *word && std::strchr("aeiouAEIOU", *word) ? an : a;
  });
}

// One round over the text: each "%Global:NAME%" becomes the global's text (found by `lookup`, "" when
// there is none); with `remove` every one goes. An unclosed one goes to the text's end. False when there
// was none.
template <class Lookup>
bool ExpandGlobalsOnce(SString& text, bool remove, Lookup&& lookup) {
  const char* source = text.CStr();
  if (!source || !FindNoCase(source, kGlobalMacro, kGlobalMacroLength)) return false;
  STextBuilder out;
  SString name;
  for (const char* at; (at = FindNoCase(source, kGlobalMacro, kGlobalMacroLength)) != nullptr;) {
    out.Append(source, u32(at - source));
    const char* begin = at + kGlobalMacroLength;
    const char* end = std::strchr(begin, '%');
    if (!end) {
      source = begin + StrLength(begin);
      break;
    }
    if (!remove) {
      name.Assign("");
      name.AppendN(begin, u32(end - begin));
      out.Append(lookup(name.CStr() ? name.CStr() : ""));
    }
    source = end + 1;
  }
  out.Append(source);
  out.StoreIn(text);
  return true;
}

// An amount as a money text: "%lu" below 10,000, then thousands "K" and millions "M", and from a billion on
// whole billions "B".
void MoneyText(u64 amount, SString& out) {
  if (amount >= 1000000000ull)
    out.Format("%luB", u32(amount / 1000000000ull));
  else
    FormatCompactNumber(u32(amount), out);
}

}  // namespace

void SScriptContext::ExpandTextMacros(SString& text) {
  if (text.IsEmpty() || !text.CStr() || !std::strchr(text.CStr(), '%')) return;
  SPlayer* player = core ? &core->player : nullptr;
  SString value;
  ReplaceMacro(text, "%PCName%", player ? player->name.CStr() : "");
  const char* npc = speaker ? (speaker->texts[0] ? speaker->texts[0] : "") : "?";
  ReplaceMacro(text, "%NPCName%", npc);
  ReplaceMacro(text, "%PCRace%", player ? player->GetRaceName() : "");
  MoneyText(player ? u64(player->crime) * 100 : 0, value);
  ReplaceMacro(text, "%PCCrimeGold%", value.CStr());
  MoneyText(player ? player->money : 0, value);
  ReplaceMacro(text, "%PCGold%", value.CStr());
  value.Assign("");
  if (player) player->GetFirstDiseaseName(value);
  ReplaceMacro(text, "%PCDisease%", value.CStr());
  value.Format("%ld", i32(GetDay()));
  ReplaceMacro(text, "%Day%", value.CStr());
  value.Assign("");
  SStateGame* game = Game();
  if (game) game->FormatDayTime(value);
  ReplaceMacro(text, "%Date%", value.CStr());

  // A global's text may hold further globals: they are followed for a few rounds, then dropped.
  auto lookup = [this](const char* name) {
    const char* t = GetGlobalText(name);
    return t ? t : "";
  };
  for (u32 round = 0; round < kGlobalRounds && ExpandGlobalsOnce(text, false, lookup); ++round) {}
  ExpandGlobalsOnce(text, true, lookup);

  const SMapArea* map = game ? game->window.CurrentArea() : nullptr;
  if (!map && core && core->world.modules.current) map = core->world.modules.current->currentMap;
  ReplaceMacro(text, "%Map%", map && map->title ? map->title : "");
  ReplaceArticles(text, "%AAN%", "an", "a");
  ReplaceArticles(text, "%CAAN%", "An", "A");
}
