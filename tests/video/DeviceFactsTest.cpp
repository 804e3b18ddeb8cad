// The device facts the drivers share: the model table, the processor type, physical mapping and the LCD
// controllers' records.
#include "Profiles.h"
#include "VideoRig.h"

#include "os/DisplayHardware.h"
#include "platform/video/DeviceAccess.h"

#include <gtest/gtest.h>

namespace VideoTest {
namespace {

TEST(DeviceFacts, ModelTableMatchesPrefixIgnoringCaseInTableOrder) {
  struct Case {
    const char* text;
    u32 model;
  };
  for (const Case& c : {Case{"Compaq iPAQ H3800", 1}, Case{"compaq ipaq h3800 Pocket PC", 1}, Case{"COMPALE P6C", 2},
                        Case{"Typhoon MyGuide", 3}, Case{"Toshiba e310", 4}, Case{"Toshiba e330", 5},
                        Case{"Toshiba e740", 6}, Case{"TOSHIBA E750 Pocket PC 2003", 7}, Case{"MotoQ", 8},
                        Case{"Toshiba e7", 0}, Case{"Compaq iPAQ H3600", 0}, Case{" Toshiba e740", 0}, Case{"", 0}}) {
    EXPECT_EQ(Hal::DeviceModelFromOemText(c.text), c.model) << '"' << c.text << '"';
  }
}

TEST(DeviceFacts, ModelComesFromTheDevicesOemText) {
  Profile p = WindowOnly();
  p.oem = "TOSHIBA e750 with more words";
  {
    Rig rig(p);
    EXPECT_EQ(Hal::GetDeviceModel(), 7u);
  }
  p.oem = nullptr;
  Rig rig(p);
  EXPECT_EQ(Hal::GetDeviceModel(), 0u);
}

TEST(DeviceFacts, ProcessorTypeFromTheMainIdRegister) {
  struct Case {
    const char* label;
    bool kernelMode;
    u32 id;
    bool faults;
    u32 type;
  };
  for (const Case& c :
       {Case{"XScale PXA25x", true, 0x69052D06, false, 2},
        Case{"XScale PXA25x, other revision", true, 0x69052100, false, 2},
        Case{"another XScale", true, 0x69054117, false, 0}, Case{"StrongARM", true, 0x6901B119, false, 1},
        Case{"other ARM", true, 0x41129200, false, 0}, Case{"read faults", true, 0x69052D06, true, 0},
        Case{"no kernel-mode switch", false, 0x69052D06, false, 0}}) {
    SCOPED_TRACE(c.label);
    Profile p = WindowOnly();
    p.kernelMode = c.kernelMode;
    p.cpuId = c.id;
    p.cpuIdFaults = c.faults;
    Rig rig(p);
    EXPECT_EQ(Hal::GetProcessorType(), c.type);
    // Kernel mode is back off, also after a fault.
    EXPECT_FALSE(rig.device.SetKernelMode(false));
  }
}

TEST(DeviceFacts, MapPhysicalPassesPageAlignedAddresses) {
  Rig rig(StrongArmPlain());
  // A high address goes in 256-byte units, uncached.
  const Os::DeviceAddr regs = Hal::MapPhysical(Os::kStrongArmLcdRegs + Os::StrongArmReg::DBAR1, 4, false);
  ASSERT_NE(regs, 0u);
  EXPECT_EQ(rig.device.log.back(), "VirtualCopy 00B01000 20 604");
  EXPECT_EQ(regs & 0xFFF, 0x10u);
  EXPECT_EQ(Os::Device().Read32(regs), Os::Sim::kStrongArmFramePhys);
  Hal::UnmapPhysical(regs);
  EXPECT_THROW(Os::Device().Read32(regs), Os::DeviceFault);
  // A low address goes as it is; nothing is there, so the reservation is given back.
  EXPECT_EQ(Hal::MapPhysical(0x00012345, 8, true), 0u);
  EXPECT_EQ(rig.device.log.back(), "VirtualCopy 00012000 845 4");
}

TEST(DeviceFacts, LcdRecordsDescribeTheController) {
  {
    Rig rig(StrongArmIpaq());
    const Hal::LcdRecord& lcd = Hal::StrongArmLcd();
    ASSERT_TRUE(lcd.Valid());
    EXPECT_EQ(lcd.frameAddress, Os::Sim::kStrongArmFramePhys);
    EXPECT_EQ(lcd.width, 320u);
    EXPECT_EQ(lcd.height, 240u);
    EXPECT_EQ(lcd.depth, 16u);
    EXPECT_EQ(lcd.pitch, 640u);
    EXPECT_EQ(lcd.paletteBytes, 32u);
    EXPECT_FALSE(Hal::XScaleLcd().Valid());
  }
  {
    Rig rig(XScaleLcd(0));
    const Hal::LcdRecord& lcd = Hal::XScaleLcd();
    ASSERT_TRUE(lcd.Valid());
    EXPECT_EQ(lcd.width, 240u);
    EXPECT_EQ(lcd.height, 320u);
    EXPECT_EQ(lcd.pitch, 480u);
  }
  // Only an enabled, active 16-bit panel is usable.
  struct Case {
    const char* label;
    Profile profile;
  };
  Profile disabled = StrongArmPlain(), passive = StrongArmPlain(), depth8 = XScaleLcd(0), faulting = XScaleLcd(0);
  disabled.lcdEnabled = false;
  passive.lcdActive = false;
  depth8.lcdDepth = 8;
  faulting.faults.push_back({"lcd", 1});
  for (const Case& c : {Case{"disabled", disabled}, Case{"passive", passive}, Case{"depth 8", depth8},
                        Case{"register read faults", faulting}}) {
    SCOPED_TRACE(c.label);
    Rig rig(c.profile);
    EXPECT_FALSE(Hal::StrongArmLcd().Valid());
    EXPECT_FALSE(Hal::XScaleLcd().Valid());
  }
}

}  // namespace
}  // namespace VideoTest
