#include "core/SPictureTable.h"

#include "core/SGameCore.h"

#include <algorithm>
#include <array>

namespace {

constexpr SPictureRun kRuns[] = {
    {0, 1, 3200, 3200, 3200},    {1, 9, 3670, 3015, 3015},    {10, 1, 3679, 4069, 3024},   {11, 1, 3681, 4071, 3026},
    {12, 1, 3683, 4073, 3028},   {13, 1, 3680, 4070, 3025},   {14, 1, 3682, 4072, 3027},   {15, 1, 3684, 4074, 3029},
    {16, 4, 3090, 3090, 3090},   {21, 4, 3094, 3094, 3094},   {25, 4, 3100, 3100, 3100},   {30, 4, 3104, 3104, 3104},
    {34, 4, 3120, 3120, 3120},   {39, 4, 3124, 3124, 3124},   {43, 1, 3658, 4075, 3110},   {44, 1, 3660, 4077, 3112},
    {45, 1, 3662, 4079, 3114},   {46, 1, 3659, 4076, 3111},   {47, 1, 3661, 4078, 3113},   {48, 1, 3663, 4080, 3115},
    {49, 2, 4141, 4143, 3130},   {51, 4, 3150, 3150, 3150},   {56, 4, 3154, 3154, 3154},   {60, 4, 3160, 3160, 3160},
    {64, 4, 3170, 3170, 3170},   {68, 4, 3180, 3180, 3180},   {73, 4, 3184, 3184, 3184},   {77, 4, 3190, 3190, 3190},
    {82, 4, 3194, 3194, 3194},   {86, 4, 3923, 3923, 3923},   {91, 4, 3927, 3927, 3927},   {95, 4, 3500, 3500, 3500},
    {100, 4, 3504, 3504, 3504},  {104, 4, 3510, 3510, 3510},  {109, 4, 3514, 3514, 3514},  {113, 9, 3140, 3140, 3140},
    {122, 4, 3210, 3210, 3210},  {127, 4, 3214, 3214, 3214},  {131, 4, 4229, 3220, 3220},  {135, 8, 4233, 3330, 3330},
    {143, 2, 3685, 3224, 3224},  {145, 4, 3691, 3324, 3324},  {149, 2, 3726, 3287, 3287},  {151, 4, 3687, 3226, 3226},
    {155, 14, 3695, 3236, 3236}, {169, 1, 4063, 4145, 3230},  {170, 1, 4065, 4147, 3232},  {171, 1, 4067, 4149, 3234},
    {172, 1, 4064, 4146, 3231},  {173, 1, 4066, 4148, 3233},  {174, 1, 4068, 4150, 3235},  {175, 2, 3891, 3250, 3250},
    {177, 1, 3909, 3291, 3291},  {178, 2, 3893, 3252, 3252},  {180, 1, 3910, 3292, 3292},  {181, 2, 3895, 3254, 3254},
    {183, 1, 3911, 3293, 3293},  {184, 2, 3897, 3256, 3256},  {186, 1, 3912, 3294, 3294},  {187, 2, 3899, 3258, 3258},
    {189, 1, 3913, 3295, 3295},  {190, 2, 3901, 3260, 3260},  {192, 1, 3914, 3296, 3296},  {193, 2, 3905, 3264, 3264},
    {195, 1, 3916, 3298, 3298},  {196, 2, 3903, 3262, 3262},  {198, 1, 3915, 3297, 3297},  {199, 2, 3907, 3266, 3266},
    {201, 1, 3917, 3299, 3299},  {202, 2, 3723, 3284, 3284},  {204, 2, 3721, 3282, 3282},  {206, 2, 4051, 4051, 4051},
    {208, 2, 4049, 4049, 4049},  {210, 2, 4061, 4061, 4061},  {212, 2, 4059, 4059, 4059},  {214, 1, 3725, 3286, 3286},
    {215, 2, 3728, 4112, 3289},  {217, 2, 3730, 4114, 3306},  {219, 3, 3300, 3300, 3300},  {222, 1, 3304, 3304, 3304},
    {223, 1, 3303, 3303, 3303},  {224, 9, 3882, 3030, 3030},  {233, 9, 3873, 3039, 3039},  {242, 14, 3855, 3310, 3310},
    {256, 6, 3841, 4082, 3340},  {262, 1, 3346, 3346, 3346},  {263, 12, 3709, 3270, 3270}, {275, 2, 3347, 3347, 3347},
    {277, 1, 4029, 3349, 3349},  {278, 1, 4030, 3352, 3352},  {279, 2, 3732, 3350, 3350},  {281, 20, 3803, 4092, 3358},
    {301, 6, 3378, 3378, 3378},  {307, 6, 3823, 3823, 3823},  {313, 3, 3919, 4151, 3385},  {316, 4, 3869, 3390, 3390},
    {320, 69, 3734, 4160, 3400}, {389, 6, 3833, 3470, 3470},  {395, 2, 3839, 3478, 3478},  {397, 4, 3829, 3480, 3480},
    {401, 2, 3484, 3484, 3484},  {403, 2, 3940, 3486, 3486},  {405, 1, 3918, 4088, 3488},  {406, 3, 3931, 4089, 3532},
    {409, 2, 3938, 3489, 3489},  {411, 4, 3934, 3491, 3491},  {415, 4, 3495, 3495, 3495},  {419, 1, 3530, 3530, 3530},
    {424, 2, 4027, 4027, 4027},  {426, 12, 4037, 4037, 4037}, {438, 6, 4122, 4128, 4116},  {444, 4, 4134, 4134, 4134},
    {448, 1, 4139, 4140, 4138},  {449, 4, 4154, 4154, 4154},  {453, 4, 3550, 3550, 3550},  {458, 4, 3554, 3554, 3554},
};

// The main menu's pictures: the menu fills each of these slots that is empty when it is entered, the game
// state empties them again, and the loading dialog shows them.
constexpr SPictureRun kMenuRuns[] = {
    {420, 1, 3081, 3081, 3081}, {421, 1, 3080, 3080, 3080}, {422, 1, 3082, 3082, 3082}, {423, 1, 4036, 4081, 3083}};

constexpr u32 Modes(std::initializer_list<int> modes) {
  u32 bits = 0;
  for (int m : modes) bits |= 1u << m;
  return bits;
}

constexpr SPictureOverride kOverrides[] = {
    {405, 4055, Modes({8})},    {406, 4056, Modes({8})},    {407, 4057, Modes({8})},    {408, 4058, Modes({8})},
    {417, 4053, Modes({5, 8})}, {418, 4054, Modes({5, 8})}, {437, 3686, Modes({3, 4})},
};

constexpr u32 CountSlots() {
  u32 n = 0;
  for (const SPictureRun& run : kRuns) n += run.count;
  return n;
}
static_assert(CountSlots() == 447, "start-up fills 447 picture slots");

constexpr bool RunsAreOrderedAndInRange() {
  u32 next = 0;
  for (const SPictureRun& run : kRuns) {
    if (run.firstSlot < next || run.count == 0) return false;
    next = run.firstSlot + run.count;
  }
  return next <= SPictureTable::kSlots;
}
static_assert(RunsAreOrderedAndInRange(), "runs must be in slot order, without overlap, inside the slots");

const SPictureRun* FindRun(std::span<const SPictureRun> runs, u32 slot) {
  for (const SPictureRun& run : runs)
    if (slot >= run.firstSlot && slot < u32(run.firstSlot) + run.count) return &run;
  return nullptr;
}

u16 RunRecord(const SPictureRun& run, u32 slot, i32 displayMode) {
  const u16 first = SGameCore::IsCompactMode(displayMode) ? run.compactId
                    : SGameCore::IsLargeMode(displayMode) ? run.largeId
                                                          : run.baseId;
  return u16(first + (slot - run.firstSlot));
}

// The compact and large columns and the device modes' overrides, sorted and without repeats.
constexpr u32 kMaxDeviceRecords = 2 * CountSlots() + std::size(kOverrides);
struct DeviceRecordList {
  std::array<u16, kMaxDeviceRecords> ids{};
  u32 count = 0;
};

DeviceRecordList MakeDeviceRecords() {
  DeviceRecordList list;
  for (const SPictureRun& run : kRuns)
    for (u32 i = 0; i < run.count; ++i) {
      list.ids[list.count++] = u16(run.compactId + i);
      list.ids[list.count++] = u16(run.largeId + i);
    }
  // Mode 8 is the only device mode with overrides of its own.
  for (const SPictureOverride& o : kOverrides)
    if (o.modes & (1u << 8)) list.ids[list.count++] = o.id;
  std::sort(list.ids.begin(), list.ids.begin() + list.count);
  list.count = u32(std::unique(list.ids.begin(), list.ids.begin() + list.count) - list.ids.begin());
  return list;
}

}  // namespace

std::span<const SPictureRun> SPictureTable::Runs() { return kRuns; }

std::span<const SPictureOverride> SPictureTable::Overrides() { return kOverrides; }

std::span<const SPictureRun> SPictureTable::MenuRuns() { return kMenuRuns; }

u16 SPictureTable::RecordFor(u32 slot, i32 displayMode) {
  const SPictureRun* run = FindRun(kRuns, slot);
  if (!run) return 0;
  if (displayMode >= 0 && displayMode < 32)
    for (const SPictureOverride& o : kOverrides)
      if (o.slot == slot && (o.modes & (1u << displayMode))) return o.id;
  return RunRecord(*run, slot, displayMode);
}

u16 SPictureTable::MenuRecordFor(u32 slot, i32 displayMode) {
  const SPictureRun* run = FindRun(kMenuRuns, slot);
  return run ? RunRecord(*run, slot, displayMode) : 0;
}

std::span<const u16> SPictureTable::DeviceRecords() {
  static const DeviceRecordList list = MakeDeviceRecords();
  return {list.ids.data(), list.count};
}
