#include "os/Gdi.h"
#include "os/WindowManager.h"
#include "os/headless/InputScript.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

Os::LResult Base(Os::WindowId w, u32 m, Os::WParam wp, Os::LParam lp) {
  Log().push_back("base " + std::to_string(m));
  return Os::Windows().DefWindowProc(w, m, wp, lp);
}

Os::WindowProc previous = nullptr;
Os::LResult Hook(Os::WindowId w, u32 m, Os::WParam wp, Os::LParam lp) {
  Log().push_back("hook " + std::to_string(m));
  return Os::Windows().CallWindowProc(previous, w, m, wp, lp);
}

struct Installed {
  explicit Installed(Os::WindowManager* wm) { Os::InstallWindows(wm); }
  ~Installed() { Os::InstallWindows(nullptr); }
};

}  // namespace

TEST(OsWindow, DestroyGoesThroughTheProcedureChainOnce) {
  Os::WindowManager wm;
  Installed in(&wm);
  ASSERT_TRUE(wm.RegisterClass("c", Base));
  EXPECT_FALSE(wm.RegisterClass("c", Base));
  const Os::WindowId w = wm.CreateWindow("c", "t", 0, 0, 240, 320, 0);
  ASSERT_NE(w, 0u);
  EXPECT_EQ(wm.CreateWindow("unknown", "t", 0, 0, 240, 320, 0), 0u);
  previous = wm.SetWindowProc(w, Hook);
  EXPECT_EQ(previous, &Base);
  Log().clear();
  wm.PostMessage(w, Os::kMsgPaint, 0, 0);
  // A close through the default procedure destroys the window, synchronously.
  EXPECT_EQ(wm.SendMessage(w, Os::kMsgClose, 0, 0), 0);
  EXPECT_EQ(Log(), (std::vector<std::string>{"hook 16", "base 16", "hook 2", "base 2"}));
  EXPECT_FALSE(wm.IsWindow(w));
  EXPECT_FALSE(wm.DestroyWindow(w));
  EXPECT_EQ(wm.SetWindowProc(w, Hook), nullptr);
  Os::Message m;
  EXPECT_FALSE(wm.PeekMessage(&m)) << "messages for a destroyed window are dropped";
}

TEST(OsWindow, QueueOrderQuitAndKeyState) {
  Os::WindowManager wm;
  Installed in(&wm);
  wm.RegisterClass("c", Base);
  const Os::WindowId w = wm.CreateWindow("c", "t", 0, 0, 240, 320, 0);
  EXPECT_FALSE(wm.PostMessage(w + 99, Os::kMsgPaint, 0, 0));
  wm.PostMessage(w, Os::kMsgKeyDown, 38, 1);
  EXPECT_LT(wm.GetKeyState(38), 0);
  wm.PostQuitMessage(3);
  wm.PostMessage(w, Os::kMsgKeyUp, 38, 0);
  EXPECT_EQ(wm.GetKeyState(38), 0);
  Os::Message m;
  ASSERT_TRUE(wm.PeekMessage(&m));
  EXPECT_EQ(m.code, Os::kMsgKeyDown);
  ASSERT_FALSE(wm.GetMessage(&m)) << "the quit message";
  EXPECT_EQ(m.code, Os::kMsgQuit);
  EXPECT_EQ(m.wParam, 3u);
  ASSERT_TRUE(wm.GetMessage(&m));
  EXPECT_EQ(m.code, Os::kMsgKeyUp);
  EXPECT_FALSE(wm.GetMessage(&m)) << "nothing can arrive: reported as a quit rather than a hang";
  EXPECT_EQ(Os::PointX(Os::PackPoint(-7, 300)), 0xFFF9u);
  EXPECT_EQ(Os::PointY(Os::PackPoint(-7, 300)), 300u);
  wm.MessageBox(w, "text", "caption", 0);
  ASSERT_EQ(wm.MessageBoxes().size(), 1u);
  EXPECT_EQ(wm.MessageBoxes()[0].caption, "caption");
}

TEST(OsGdi, SectionsAndClippedCopiesToThePanel) {
  Os::WindowManager wm(16, 8);
  Installed in(&wm);
  Os::PanelGdi gdi(16, 8, 16);
  const Os::Dc screen = gdi.GetDC(0);
  ASSERT_NE(screen, 0u);
  EXPECT_EQ(gdi.GetDeviceCaps(screen, Os::kCapsHorzRes), 16);
  EXPECT_EQ(gdi.GetDeviceCaps(screen, Os::kCapsVertRes), 8);
  EXPECT_EQ(gdi.GetDeviceCaps(screen, Os::kCapsBitsPixel), 16);
  EXPECT_EQ(gdi.GetDC(0x4444), 0u) << "no such window";

  Os::BitmapInfo16 info;
  info.width = 6;
  info.height = -4;
  void* bits = nullptr;
  Os::BitmapInfo16 bad = info;
  bad.masks[0] = 0x7C00;
  EXPECT_EQ(gdi.CreateDIBSection(screen, bad, &bits), 0u);
  EXPECT_EQ(bits, nullptr);
  const Os::GdiObject section = gdi.CreateDIBSection(screen, info, &bits);
  ASSERT_NE(section, 0u);
  u16* pixels = static_cast<u16*>(bits);
  for (int i = 0; i < 6 * 4; ++i) pixels[i] = u16(i + 1);
  const Os::Dc memory = gdi.CreateCompatibleDC(screen);
  const Os::GdiObject old = gdi.SelectObject(memory, section);
  EXPECT_EQ(old, Os::kStockBitmap);
  EXPECT_FALSE(gdi.DeleteObject(section)) << "still selected";
  EXPECT_FALSE(gdi.BitBlt(screen, 0, 0, 6, 4, memory, 0, 0, 0x00EE0086)) << "only plain copies";
  // Partly off the panel on the right and above: the rest lands, nothing outside.
  ASSERT_TRUE(gdi.BitBlt(screen, 12, -1, 6, 4, memory, 0, 0, Os::kRopSrcCopy));
  const Os::Panel& p = gdi.GetPanel();
  EXPECT_EQ(p.At(12, 0), 7);   // source row 1, column 0
  EXPECT_EQ(p.At(15, 2), 22);  // source row 3, column 3
  EXPECT_EQ(p.At(11, 0), 0);
  EXPECT_EQ(p.At(12, 3), 0);
  EXPECT_EQ(gdi.PanelUpdates(), 1u);
  gdi.SelectObject(memory, old);
  EXPECT_TRUE(gdi.DeleteObject(section));
  EXPECT_TRUE(gdi.DeleteDC(memory));
  EXPECT_TRUE(gdi.ReleaseDC(0, screen));
  EXPECT_EQ(gdi.LiveDcs(), 0u);
  EXPECT_EQ(gdi.LiveBitmaps(), 0u);
}

TEST(OsInputScript, ParsesEventsAndNamesTheBadLine) {
  const char text[] =
      "# comment\n"
      "\n"
      "100ms keydown up\n"
      "  f3 keydown w repeat   # trailing comment\n"
      "f4 keyup 196\n"
      "5ms pendown -7 320\n"
      "f9 deactivate\n"
      "f10 capture after-walk_2\n";
  Os::InputScript s;
  std::string error;
  ASSERT_TRUE(s.Parse(text, sizeof text - 1, &error)) << error;
  const auto& e = s.Events();
  ASSERT_EQ(e.size(), 6u);
  EXPECT_FALSE(e[0].byFrame);
  EXPECT_EQ(e[0].when, 100u);
  EXPECT_EQ(e[0].key, 38);
  EXPECT_TRUE(e[1].byFrame);
  EXPECT_EQ(e[1].key, 'W');
  EXPECT_TRUE(e[1].repeat);
  EXPECT_EQ(e[2].kind, Os::ScriptEvent::KeyUp);
  EXPECT_EQ(e[2].key, 196);
  EXPECT_EQ(e[3].x, -7);
  EXPECT_EQ(e[3].y, 320);
  EXPECT_EQ(e[4].kind, Os::ScriptEvent::Deactivate);
  EXPECT_EQ(e[5].name, "after-walk_2");

  const struct {
    const char* line;
    const char* says;
  } bad[] = {
      {"keydown up", "first word"},         {"10 keydown up", "first word"},      {"f1 jump", "unknown event"},
      {"f1 keydown nokey", "unknown key"},  {"f1 keyup up repeat", "unexpected"}, {"f1 pendown 3", "x and y"},
      {"f1 capture ../x", "capture names"}, {"f1 paint now", "unexpected"},       {"f99999999999 paint", "first word"}};
  for (const auto& b : bad) {
    const std::string t = std::string("f0 paint\n") + b.line + "\n";
    EXPECT_FALSE(s.Parse(t.data(), t.size(), &error)) << b.line;
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_NE(error.find(b.says), std::string::npos) << b.line << ": " << error;
    EXPECT_TRUE(s.Events().empty());
  }
}
