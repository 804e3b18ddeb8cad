// The catalogue of script functions: one row per function, in id order. The id is also the function's
// token byte in a compiled script. The interpreter's function list and the dispatch by target are built
// from this table, and so is the world builder's script compiler.
#pragma once
#include "os/Types.h"

namespace ScriptTarget {
// Which handler serves a function: the global handler, map objects, monsters, the player.
inline constexpr u8 kGlobal = 1;
inline constexpr u8 kObject = 2;
inline constexpr u8 kMonster = 4;
inline constexpr u8 kPlayer = 8;
// In a row's answers besides the targets: the value is a text; it comes only while a list or a
// conversation takes the script's output.
inline constexpr u8 kAnswersText = 0x10;
inline constexpr u8 kAnswersInListOutput = 0x20;
}  // namespace ScriptTarget

struct SScriptCatalogueRow {
  u8 id;
  const char* name;
  u8 argumentCount;  // as documented; calls are not checked against it
  u8 targets;        // ScriptTarget flags: who serves the function
  const char* help;  // the arguments, "" for none
  u8 answers;        // ScriptTarget flags of the targets that give a value (0: the function gives none)

  constexpr bool GivesValue() const { return answers != 0; }
};

inline constexpr u8 kFirstScriptFunction = 100;
inline constexpr u8 kLastScriptFunction = 254;
inline constexpr u32 kScriptFunctionCount = kLastScriptFunction - kFirstScriptFunction + 1;

namespace script_catalogue_detail {
using namespace ScriptTarget;
inline constexpr SScriptCatalogueRow kRows[kScriptFunctionCount] = {
    {100, "getglobal", 1, kGlobal, "globalid", kGlobal},
    {101, "setglobal", 2, kGlobal, "globalid,value", 0},
    {102, "isopened", 0, kObject, "", kObject},
    {103, "open", 0, kObject, "", 0},
    {104, "close", 0, kObject, "", 0},
    {105, "getlockedstate", 0, kObject, "", kObject},
    {106, "setlockedstate", 1, kObject, "value (0..101)", 0},
    {107, "gettrappedstate", 0, kObject, "", kObject},
    {108, "settrappedstate", 1, kObject, "value (0..101)", 0},
    {109, "isvisible", 0, kObject | kMonster, "", kObject | kMonster},
    {110, "setvisible", 0, kObject | kMonster, "", 0},
    {111, "sethidden", 0, kObject | kMonster, "", 0},
    {112, "ison", 0, kObject, "", kObject},
    {113, "seton", 0, kObject, "", 0},
    {114, "setoff", 0, kObject, "", 0},
    {115, "getstate", 0, kObject | kMonster, "", kObject | kMonster},
    {116, "setstate", 1, kObject | kMonster, "state[int]", 0},
    {117, "isdaylight", 0, kGlobal, "", kGlobal},
    {118, "isnight", 0, kGlobal, "", kGlobal},
    {119, "gettime", 0, kGlobal, "", kGlobal},
    {120, "getday", 0, kGlobal, "", kGlobal},
    {121, "gethour", 0, kGlobal, "", kGlobal},
    {122, "getminute", 0, kGlobal, "", kGlobal},
    {123, "getdaydiff", 1, kGlobal, "time", kGlobal},
    {124, "gethourdiff", 1, kGlobal, "time", kGlobal},
    {125, "getminutediff", 1, kGlobal, "time", kGlobal},
    {126, "isdead", 0, kMonster, "", kObject | kMonster},
    {127, "getdamage", 0, kGlobal, "", kGlobal},
    {128, "setdamage", 1, kGlobal, "value", 0},
    {129, "isspell", 1, kGlobal, "spellid", kGlobal},
    {130, "isweapon", 1, kGlobal, "itemtypeid", kGlobal},
    {131, "addquest", 1, kPlayer, "questid", 0},
    {132, "solvequest", 1, kPlayer, "questid", 0},
    {133, "failquest", 1, kPlayer, "questid", 0},
    {134, "hasquest", 1, kPlayer, "questid", kPlayer},
    {135, "isquestsolved", 1, kPlayer, "questid", kPlayer},
    {136, "isquestfailed", 1, kPlayer, "questid", kPlayer},
    {137, "removequest", 1, kPlayer, "questid", 0},
    {138, "finditem", 2, kMonster | kPlayer, "itemtypeid,amount", 0},
    {139, "receiveitem", 2, kObject | kMonster | kPlayer, "itemtypeid,amount", 0},
    {140, "removeitem", 2, kObject | kMonster | kPlayer, "itemtypeid,amount", 0},
    {141, "hasitem", 2, kObject | kMonster | kPlayer, "itemtypeid,amount", kObject | kMonster | kPlayer},
    {142, "itemvalue", 1, kGlobal, "itemtypeid", kGlobal},
    {143, "addxp", 1, kPlayer, "value (cannot be negative)", 0},
    {144, "removexp", 2, kPlayer, "value (cannot be negative),canberestored[1/0]", 0},
    {145, "restoresavedxp", 0, kPlayer, "", 0},
    {146, "findgold", 1, kPlayer, "value", 0},
    {147, "receivegold", 1, kPlayer, "value", 0},
    {148, "removegold", 1, kPlayer, "value", 0},
    {149, "getgold", 0, kPlayer, "", kPlayer},
    {150, "stealgold", 0, kMonster, "", 0},
    {151, "movemode", 2, kPlayer, "mapobjid,movemode[\"\",teleport,fall,ladderdown,ladderup,stairdown,stairup]", 0},
    {152, "getskillvalue", 1, kPlayer, "skillid", kPlayer},
    {153, "addskillvalue", 2, kPlayer, "skillid,value", 0},
    {154, "addspell", 1, kPlayer, "spellid", 0},
    {155, "removespell", 1, kPlayer, "spellid", 0},
    {156, "knowsspell", 1, kMonster | kPlayer, "spellid", kMonster | kPlayer},
    {157, "addability", 1, kPlayer, "abilityid", 0},
    {158, "removeability", 1, kPlayer, "abilityid", 0},
    {159, "hasability", 1, kPlayer, "abilityid", kPlayer},
    {160, "getattributevalue", 1, kPlayer, "attributeid", kPlayer},
    {161, "addattributevalue", 2, kPlayer, "attributeid,value", 0},
    {162, "move", 1, kMonster | kPlayer, "mapobjid", 0},
    {163, "movequestion", 2, kPlayer, "mapobjid,question", 0},
    {164, "turn", 1, kMonster | kPlayer, "direction[north,west,south,east]", 0},
    {165, "movepos", 2, kMonster | kPlayer, "x,y", 0},
    {166, "getposx", 0, kMonster | kPlayer, "", kMonster | kPlayer},
    {167, "getposy", 0, kMonster | kPlayer, "", kMonster | kPlayer},
    {168, "iscurrentmap", 1, kGlobal, "mapid", kGlobal},
    {169, "iscurrentworld", 1, kGlobal, "worldid", kGlobal},
    {170, "addobjecttolist", 2, kGlobal, "id,title", 0},
    {171, "showobjectlist", 0, kGlobal, "", 0},
    {172, "getobjectlistresult", 0, kGlobal, "", kGlobal | kAnswersText | kAnswersInListOutput},
    {173, "infectdisease", 1, kMonster | kPlayer, "diseaseid", 0},
    {174, "curedisease", 1, kMonster | kPlayer, "diseaseid", 0},
    {175, "isdiseased", 1, kMonster | kPlayer, "diseaseid[can be empty]", kMonster | kPlayer},
    {176, "getrace", 0, kPlayer, "", kPlayer | kAnswersText},
    {177, "gethp", 0, kMonster | kPlayer, "", kMonster | kPlayer},
    {178, "sethp", 1, kMonster | kPlayer, "value (0..max hp)", 0},
    {179, "addhp", 1, kMonster | kPlayer, "value", 0},
    {180, "setfullhp", 0, kMonster | kPlayer, "", 0},
    {181, "getmaxhp", 0, kMonster | kPlayer, "", kMonster | kPlayer},
    {182, "getsp", 0, kPlayer, "", kPlayer},
    {183, "setsp", 1, kPlayer, "value (0..max)", 0},
    {184, "addsp", 1, kPlayer, "value", 0},
    {185, "setfullsp", 0, kPlayer, "", 0},
    {186, "getmaxsp", 0, kPlayer, "", kPlayer},
    {187, "message", 1, kGlobal, "text", 0},
    {188, "random", 1, kGlobal, "max (returns 0..max-1)", kGlobal},
    {189, "talknpc", 1, kGlobal, "npcid", 0},
    {190, "setmapfog", 3, kGlobal, "mapid,viewdistance[0..100],fogcolor[RRGGBB: FF0000 is red]", 0},
    {191, "resetmapfog", 1, kGlobal, "mapid", 0},
    {192, "isgood", 0, kPlayer, "", kPlayer},
    {193, "isevil", 0, kPlayer, "", kPlayer},
    {194, "isundead", 0, kMonster | kPlayer, "", kMonster | kPlayer},
    {195, "executespell", 2, kMonster | kPlayer, "spellid,skillvalue", 0},
    {196, "getfame", 0, kPlayer, "", kPlayer},
    {197, "addfame", 1, kPlayer, "value", 0},
    {198, "getcrime", 0, kPlayer, "", kPlayer},
    {199, "clearcrime", 0, kPlayer, "", 0},
    {200, "addcrime", 1, kPlayer, "value", 0},
    {201, "getoutfit", 0, kPlayer, "", kPlayer},
    {202, "getweathercloud", 0, kGlobal, "", kGlobal},
    {203, "setweathercloud", 2, kGlobal, "skyid[can be empty],value[0..100]", 0},
    {204, "getweatherrain", 0, kGlobal, "", kGlobal},
    {205, "setweatherrain", 1, kGlobal, "value[0..100]", 0},
    {206, "removemonstertypes", 1, kGlobal, "monstertypeid", 0},
    {207, "createmonsterobj", 2, kGlobal, "monstertypeid,mapobjid", 0},
    {208, "createmonsterpos", 3, kGlobal, "monstertypeid,x,y", 0},
    {209, "createmonsterdir", 3, kGlobal, "monstertypeid,direction[north,west,south,east],distance", 0},
    {210, "getlevel", 0, kMonster | kPlayer, "", kMonster | kPlayer},
    {211, "playsound", 2, kGlobal, "soundid,volume[0..10]", 0},
    {212, "playmusic", 1, kGlobal, "musicid", 0},
    {213, "getac", 0, kMonster | kPlayer, "", kMonster | kPlayer},
    {214, "isaggressive", 0, kMonster, "", kMonster},
    {215, "setaggressive", 0, kMonster, "", 0},
    {216, "setpeaceful", 0, kMonster, "", 0},
    {217, "attractmonsters", 1, kGlobal, "distance", 0},
    {218, "calmmonsters", 1, kGlobal, "distance", 0},
    {219, "playscene", 1, kGlobal, "sceneid", 0},
    {220, "playcard", 1, kGlobal, "opponentcardskill[1..100]", 0},
    {221, "evtstepon", 0, kGlobal, "", kGlobal},
    {222, "evtstepoff", 0, kGlobal, "", kGlobal},
    {223, "evtitemchange", 0, kGlobal, "", kGlobal},
    {224, "evthit", 0, kGlobal, "", kGlobal},
    {225, "evtspell", 0, kGlobal, "", kGlobal},
    {226, "evtuse", 0, kGlobal, "", kGlobal},
    {227, "evtdie", 0, kGlobal, "", kGlobal},
    {228, "movequestionmode", 3, kPlayer,
     "mapobjid,question,movemode[\"\",teleport,fall,ladderdown,ladderup,stairdown,stairup]", 0},
    {229, "default", 0, kGlobal, "", 0},
    {230, "questionyesno", 1, kGlobal, "question", 0},
    {231, "questionokcancel", 1, kGlobal, "question", 0},
    {232, "answer", 0, kGlobal, "", kGlobal},
    {233, "goodbye", 0, kGlobal, "", 0},
    {234, "movetojail", 1, kPlayer, "mapobjid", 0},
    {235, "moveback", 0, kPlayer, "", 0},
    {236, "clearjail", 0, kPlayer, "", 0},
    {237, "isinjail", 0, kPlayer, "", kPlayer},
    {238, "createobjectlist", 1, kGlobal, "title", 0},
    {239, "isparalyzed", 0, kMonster | kPlayer, "", kMonster | kPlayer},
    {240, "ispoisoned", 0, kMonster | kPlayer, "", kMonster | kPlayer},
    {241, "iscursed", 0, kMonster | kPlayer, "", kMonster | kPlayer},
    {242, "hassavedxp", 0, kPlayer, "", kPlayer},
    {243, "evtequip", 0, kGlobal, "", kGlobal},
    {244, "passtime", 3, kGlobal, "days,hours,minutes", 0},
    {245, "evtremove", 0, kGlobal, "", kGlobal},
    {246, "ismale", 0, kPlayer, "", kPlayer},
    {247, "evtarrive", 0, kGlobal, "", kGlobal},
    {248, "gonext", 0, kGlobal, "", 0},
    {249, "passtimeto", 1, kGlobal, "time", 0},
    {250, "gofirst", 0, kGlobal, "", 0},
    {251, "gethighestskill", 1, kPlayer, "skill list", kPlayer | kAnswersText},
    {252, "getglobalstr", 1, kGlobal, "globalid", kGlobal | kAnswersText},
    {253, "setglobalstr", 2, kGlobal, "globalid,value (string)", 0},
    {254, "movebyship", 2, kPlayer, "targetid,text", 0},
};
}  // namespace script_catalogue_detail

inline constexpr const SScriptCatalogueRow (&kScriptCatalogue)[kScriptFunctionCount] = script_catalogue_detail::kRows;

// The row of a function id; null outside 100..254.
constexpr const SScriptCatalogueRow* FindScriptFunction(u32 id) {
  return id >= kFirstScriptFunction && id <= kLastScriptFunction ? &kScriptCatalogue[id - kFirstScriptFunction]
                                                                 : nullptr;
}

// The row of a function name (exact, lower case); null for none.
constexpr const SScriptCatalogueRow* FindScriptFunction(const char* name) {
  for (const SScriptCatalogueRow& row : kScriptCatalogue) {
    const char* a = row.name;
    const char* b = name;
    while (*a && *a == *b) ++a, ++b;
    if (!*a && !*b) return &row;
  }
  return nullptr;
}

// The event code an evt function tests (1 stepped on ... 512 arrived); 0 for any other function.
constexpr u32 ScriptEventTested(u32 id) {
  switch (id) {
    case 221: return 1;    // evtstepon
    case 222: return 2;    // evtstepoff
    case 223: return 4;    // evtitemchange
    case 224: return 8;    // evthit
    case 225: return 16;   // evtspell
    case 226: return 32;   // evtuse
    case 227: return 64;   // evtdie
    case 243: return 128;  // evtequip
    case 245: return 256;  // evtremove
    case 247: return 512;  // evtarrive
    default: return 0;
  }
}

// How many rows carry a target flag.
constexpr u32 CountScriptFunctions(u8 target) {
  u32 n = 0;
  for (const SScriptCatalogueRow& row : kScriptCatalogue) n += (row.targets & target) ? 1 : 0;
  return n;
}

namespace script_catalogue_detail {
constexpr bool InIdOrder() {
  for (u32 i = 0; i < kScriptFunctionCount; ++i)
    if (kScriptCatalogue[i].id != kFirstScriptFunction + i || kScriptCatalogue[i].argumentCount > 3) return false;
  return true;
}
static_assert(InIdOrder(), "one row per id, in id order, at most three arguments");
static_assert(CountScriptFunctions(ScriptTarget::kGlobal) == 62 && CountScriptFunctions(ScriptTarget::kObject) == 18 &&
                  CountScriptFunctions(ScriptTarget::kMonster) == 35 &&
                  CountScriptFunctions(ScriptTarget::kPlayer) == 73,
              "the id lists of the four targets");
}  // namespace script_catalogue_detail
