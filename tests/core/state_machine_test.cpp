// The state machine over small test states: switching by number and by 99, keeping and resuming, the words
// handed on, the codes that select no state, the stack operations, and what the state base does on Enter,
// Leave and Resume.
#include "CoreRig.h"

#include <functional>

namespace {

struct Machine : CoreRig {
  Machine() {
    for (i32 n = kStateGame; n <= kStateLast; ++n) {
      if (n == 13) continue;  // number 13 has no state
      s[n].name = std::to_string(n);
      s[n].log = &log;
      s[n].Attach(&core);
      core.states[n] = &s[n];
    }
  }
  // Makes state n current with these words, and forgets the log of getting there.
  void Start(i32 n, u32 w0 = 0, u32 w1 = 0, u32 w2 = 0, u32 w3 = 0) {
    core.SetState(n);
    s[n].params[0] = w0;
    s[n].params[1] = w1;
    s[n].params[2] = w2;
    s[n].params[3] = w3;
    log.Take();
  }
  // A switch the way the running game makes it: the current state's key handler answers the code.
  void Answer(i32 code) {
    Current()->next = u32(code);
    core.OnKey(0);
    Current()->next = 0;
  }
  // The current state asks to be kept and switches.
  void KeepAndSwitch(i32 code) {
    Current()->keep = 1;
    core.SetState(code);
  }
  LogState* Current() { return static_cast<LogState*>(core.currentState); }
  std::string Stack() const {
    std::string out;
    for (u32 i = 0; i < core.stackCount; ++i) out += (i ? "," : "") + static_cast<LogState*>(core.stateStack[i])->name;
    return out;
  }

  EventLog log;
  LogState s[kStateCount];
};

TEST(StateMachine, SwitchesKeepsAndResumes) {
  struct Case {
    const char* name;
    std::function<void(Machine&)> run;
    const char* log;
    const char* current;
    const char* stack;
  } cases[] = {
      {"a handler answering 0 switches and repaints nothing",
       [](Machine& m) {
         m.Start(1);
         m.core.OnKey(7);
         m.core.OnStylus(3, 4, 1, 0);
         m.core.Tick();
       },
       "1 key; 1 pen; 1 tick", "1", ""},
      {"an ordinary switch hands on the words of the state it replaces",
       [](Machine& m) {
         m.Start(5, 11, 12, 13, 14);
         m.Answer(9);
       },
       "5 key; 5 leave 9; 9 enter 11 12 13 14", "9", ""},
      {"a kept state is pushed without Leave, and the next state still gets its words",
       [](Machine& m) {
         m.Start(1, 1, 2, 3, 4);
         m.s[1].keep = 1;
         m.Answer(4);
       },
       "1 key; 4 enter 1 2 3 4", "4", "1"},
      {"99 resumes the kept state without Enter; its words stay",
       [](Machine& m) {
         m.Start(1, 1, 2, 3, 4);
         m.s[1].keep = 1;
         m.Answer(4);
         m.s[4].params[0] = 99;
         m.Answer(99);
         EXPECT_EQ(m.s[1].params[0], 1u);
         EXPECT_EQ(m.s[1].params[3], 4u);
         EXPECT_EQ(m.s[1].keep, 0u);
       },
       "1 key; 4 enter 1 2 3 4; 4 key; 4 leave 99; 1 resume; 1 paint", "1", ""},
      {"a switch by number leaves the stack alone and resumes a state that is on it",
       [](Machine& m) {
         m.Start(1);
         m.KeepAndSwitch(4);
         m.KeepAndSwitch(5);
         m.log.Take();
         m.core.SetState(1);
       },
       "5 leave 1; 1 resume; 1 paint", "1", "1,4"},
      {"a switch to itself leaves and enters it with its former words",
       [](Machine& m) {
         m.Start(2, 7, 8, 9, 10);
         m.Answer(2);
       },
       "2 key; 2 leave 2; 2 enter 7 8 9 10", "2", ""},
      {"99 on an empty stack enters the current state again",
       [](Machine& m) {
         m.Start(3, 5, 6, 7, 8);
         m.core.SetState(kStateReturn);
       },
       "3 leave 99; 3 enter 5 6 7 8", "3", ""},
      {"99 on an empty stack resumes a kept current state",
       [](Machine& m) {
         m.Start(3, 5, 6, 7, 8);
         m.s[3].keep = 1;
         m.core.SetState(kStateReturn);
       },
       "3 resume; 3 paint", "3", ""},
      {"the empty slot 13 and unknown codes select no state",
       [](Machine& m) {
         m.Start(3, 5, 6, 7, 8);
         m.core.SetState(13);
         m.core.SetState(16);
         m.core.SetState(-1);
       },
       "3 leave 13; 3 enter 5 6 7 8; 3 leave 16; 3 enter 5 6 7 8; 3 leave 4294967295; 3 enter 5 6 7 8", "3", ""},
      {"without a current state, a code that selects none does nothing",
       [](Machine& m) {
         m.core.SetState(13);
         m.core.SetState(kStateReturn);
       },
       "", "none", ""},
      {"PopAllStates leaves every kept state, top first, with its stack position",
       [](Machine& m) {
         m.Start(1);
         m.KeepAndSwitch(4);
         m.KeepAndSwitch(5);
         m.log.Take();
         m.core.PopAllStates();
         EXPECT_EQ(m.s[1].keep, 0u);
         m.core.PopAllStates();
       },
       "4 leave 1; 1 leave 0", "5", ""},
      {"PopToFirstState keeps the bottom entry",
       [](Machine& m) {
         m.Start(1);
         for (i32 n : {4, 5, 6}) m.KeepAndSwitch(n);
         m.log.Take();
         m.core.PopToFirstState();
         m.core.PopToFirstState();
       },
       "5 leave 2; 4 leave 1", "6", "1"},
      {"a full stack leaves the state instead of keeping it",
       [](Machine& m) {
         m.Start(1);
         for (u32 i = 0; i < SGameCore::kStateStackSize; ++i) {
           m.KeepAndSwitch(4);
           m.core.SetState(1);
         }
         m.log.Take();
         m.KeepAndSwitch(4);
       },
       "1 leave 4; 4 enter 0 0 0 0", "4", "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1"},
  };
  for (const Case& c : cases) {
    Machine m;
    c.run(m);
    EXPECT_EQ(m.log.Take(), c.log) << c.name;
    EXPECT_EQ(m.core.currentState ? m.Current()->name : "none", c.current) << c.name;
    EXPECT_EQ(m.Stack(), c.stack) << c.name;
  }
}

TEST(StateMachine, TheFrameCounterGrowsByOnePerTick) {
  Machine m;
  m.Start(1);
  m.s[1].next = 4;  // every tick switches
  for (u32 i = 1; i <= 3; ++i) {
    EXPECT_EQ(m.core.Tick(), i == 1 ? 4u : 0u);
    EXPECT_EQ(m.core.frameCounter, i);
    m.s[1].next = 0;
  }
  EXPECT_EQ(m.Current(), &m.s[4]);
  // No screen: the counter still counts, nothing ticks.
  SGameCore bare;
  EXPECT_EQ(bare.Tick(), 0u);
  EXPECT_EQ(bare.frameCounter, 1u);
}

TEST(StateMachine, StateBaseEntersLeavesAndResumes) {
  Machine m;
  SState plain;  // the base behaviour, without the test state's overrides
  plain.Attach(&m.core);
  m.core.states[kStateMain] = &plain;
  EventLog log;
  LogCtrl ctrl("c", &log);
  LogDialog child("child", &log);
  m.core.frameCounter = 41;
  plain.penLatch = 1;
  plain.OpenChild(&child);
  plain.AddControl(&ctrl);
  m.core.SetState(kStateMain);
  EXPECT_EQ(plain.openingTick, 41u);
  EXPECT_EQ(plain.penLatch, 0u);
  EXPECT_TRUE(plain.NeedsFullRepaint());
  EXPECT_EQ(plain.child, nullptr);  // dropped, not closed

  // Leave: keep flag and controls go.
  plain.keep = 1;
  plain.Leave(1);
  EXPECT_EQ(plain.keep, 0u);
  EXPECT_EQ(plain.controls.Count(), 0);
  EXPECT_FALSE(ctrl.IsShown());

  // Resume paints at once and resets the guard.
  plain.AddControl(&ctrl);
  plain.ClearFullRepaint();
  ctrl.ClearDirty();
  m.core.frameCounter = 50;
  plain.penLatch = 1;
  log.Take();
  plain.Resume();
  EXPECT_EQ(log.Take(), "c paint");
  EXPECT_EQ(plain.openingTick, 50u);
  EXPECT_EQ(plain.penLatch, 0u);
}

}  // namespace
