// The soft proof window driven with real messages over a made-up stream:
// a page of cyan on the left and black on the right (and a second page of
// magenta). The window fits the page, zooms to one pixel per dot, pans by
// scroll bar and by dragging, shows one ink alone, steps through the pages,
// and a close while the dry run is under way cancels it. The stream's file
// lasts as long as the window.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/shell/soft_proof_window_win32.h"
#include "libs/escdecode/dot_pages.h"
#include "platform/scratch_folder.h"

namespace vlx {
namespace {

constexpr int kWidth = 400;  // dots
constexpr int kHeight = 300;

// One row: the left half large cyan dots, the right half large black ones.
std::vector<uint8_t> halvesPage() {
  std::vector<uint8_t> s;
  const uint8_t bytes = kWidth / 4, half = kWidth / 8;
  auto row = [&](uint8_t colour, uint8_t left, uint8_t right) {
    s.insert(s.end(), {0x1B, 'i', colour, 1, 2, bytes, 0, 1, 0});
    s.insert(s.end(), {static_cast<uint8_t>(257 - half), left, static_cast<uint8_t>(257 - half), right, 0x0D});
  };
  for (int line = 0; line < kHeight; ++line) {
    row(0x02, 0xFF, 0x00);  // cyan
    row(0x00, 0x00, 0xFF);  // black
    s.insert(s.end(), {0x1B, '(', 'v', 2, 0, 1, 0});
  }
  s.push_back(0x0C);
  return s;
}

// A second page, narrower and lower: large magenta dots all over.
std::vector<uint8_t> magentaPage(int width, int height) {
  std::vector<uint8_t> s;
  for (int line = 0; line < height; ++line) {
    s.insert(s.end(), {0x1B, 'i', 0x01, 1, 2, static_cast<uint8_t>(width / 4), 0, 1, 0});
    s.insert(s.end(), {static_cast<uint8_t>(257 - width / 4), 0xFF, 0x0D, 0x1B, '(', 'v', 2, 0, 1, 0});
  }
  s.push_back(0x0C);
  return s;
}

// How one ink at full coverage prints, as the proof shows all inks.
COLORREF printed(int plane) {
  double coverage[escp::kPlanes] = {};
  coverage[plane] = 1;
  uint8_t rgb[3];
  escp::inkColour(coverage, -1, rgb);
  return RGB(rgb[0], rgb[1], rgb[2]);
}
const COLORREF kCyan = printed(0), kMagenta = printed(1), kBlack = printed(3);

void pumpUntil(const std::function<bool()>& done) {
  const ULONGLONG end = GetTickCount64() + 20000;
  MSG message;
  while (!done() && GetTickCount64() < end) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(5);
  }
}

SoftProofFacts factsOf(HWND window) {
  SoftProofFacts facts;
  EXPECT_TRUE(softProofFacts(window, &facts));
  return facts;
}

class SoftProof : public ::testing::Test {
 protected:
  void open(ProofProducer producer) {
    window_ = openSoftProof(GetModuleHandleA(nullptr), "chart.vjx", std::move(producer), scratch_.path().c_str());
    ASSERT_NE(window_, nullptr);
  }
  void openHalves(const std::vector<uint8_t>& more = {}) {
    std::vector<uint8_t> stream = halvesPage();
    stream.insert(stream.end(), more.begin(), more.end());
    open([stream](const std::atomic<int>&, jPdevProofWrite write, jPdevProofPage, void* user) {
      return write(user, stream.data(), static_cast<int>(stream.size())) ? 1 : -1;
    });
    pumpUntil([&] { return !factsOf(window_).running; });
  }
  void TearDown() override {
    if (IsWindow(window_)) DestroyWindow(window_);
  }
  void command(int id) { SendMessageA(window_, WM_COMMAND, static_cast<WPARAM>(id), 0); }
  void setClient(int width, int height) {
    RECT r{0, 0, width, height};
    AdjustWindowRect(&r, static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE)), TRUE);
    SetWindowPos(window_, HWND_TOP, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE);
  }
  // The colour painted at a point of the client area, as 0xRRGGBB.
  COLORREF pixel(int x, int y) {
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(window_);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window_, dc);
    return c;
  }
  bool checked(int id) const { return GetMenuState(GetMenu(window_), id, MF_BYCOMMAND) & MF_CHECKED; }
  void mouse(UINT message, int x, int y) {
    SendMessageA(window_, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
  }

  size_t filesLeft() {
    size_t n = 0;
    platform::listFolder(scratch_.path().c_str(), [&](const platform::FolderEntry&) { return ++n, true; });
    return n;
  }

  testing_support::ScratchFolder scratch_;
  HWND window_ = nullptr;
};

TEST_F(SoftProof, OpensFittedAndMixesTheInksOrShowsOneAlone) {
  openHalves();
  const SoftProofFacts facts = factsOf(window_);
  EXPECT_FALSE(facts.failed);
  EXPECT_FALSE(facts.oneToOne);
  EXPECT_EQ(facts.dotWidth, kWidth);
  EXPECT_EQ(facts.dotHeight, kHeight);
  EXPECT_TRUE(checked(kProofFit));
  EXPECT_TRUE(checked(kProofInkAll));
  setClient(420, 360);
  // The fitted page fills the width within its margins, centred in height.
  EXPECT_EQ(pixel(100, 160), kCyan);
  EXPECT_EQ(pixel(320, 160), kBlack);
  command(kProofInkAll + 4);  // black alone
  EXPECT_EQ(factsOf(window_).ink, 3);
  EXPECT_TRUE(checked(kProofInkAll + 4));
  EXPECT_EQ(pixel(100, 160), RGB(255, 255, 255));
  EXPECT_EQ(pixel(320, 160), RGB(0, 0, 0));
  command(kProofInkAll + 3);  // yellow alone: blank paper
  EXPECT_EQ(pixel(320, 160), RGB(255, 255, 255));
}

TEST_F(SoftProof, ZoomsToOneDotPerPixelAndPansByScrollBarAndDrag) {
  openHalves();
  setClient(150, 150);
  command(kProofDots);
  SoftProofFacts facts = factsOf(window_);
  ASSERT_TRUE(facts.oneToOne);
  EXPECT_TRUE(checked(kProofDots));
  RECT client{};
  GetClientRect(window_, &client);
  const int viewWidth = client.right;
  // The dot at the view's centre stays under it: left of the middle, cyan.
  EXPECT_GT(facts.scrollX, 0);
  EXPECT_EQ(pixel(5, 5), kCyan);

  SendMessageA(window_, WM_HSCROLL, SB_TOP, 0);
  SendMessageA(window_, WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(factsOf(window_).scrollX, 0);
  SendMessageA(window_, WM_HSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(factsOf(window_).scrollX, viewWidth);
  SendMessageA(window_, WM_HSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(factsOf(window_).scrollX, kWidth - viewWidth) << "never past the page's edge";
  EXPECT_EQ(pixel(5, 5), kBlack);

  // Dragging the page right and down by (40, 20) shows what lies left and above.
  SendMessageA(window_, WM_VSCROLL, SB_PAGEDOWN, 0);
  facts = factsOf(window_);
  mouse(WM_LBUTTONDOWN, 50, 50);
  mouse(WM_MOUSEMOVE, 90, 70);
  mouse(WM_LBUTTONUP, 90, 70);
  EXPECT_EQ(factsOf(window_).scrollX, facts.scrollX - 40);
  EXPECT_EQ(factsOf(window_).scrollY, facts.scrollY - 20);
  EXPECT_NE(GetCapture(), window_);

  SendMessageA(window_, WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 10));
  EXPECT_FALSE(factsOf(window_).oneToOne) << "a double-click goes back to the whole page";
}

TEST_F(SoftProof, StepsThroughEveryPage) {
  openHalves(magentaPage(200, 100));
  setClient(420, 360);
  auto grayed = [&](int id) { return (GetMenuState(GetMenu(window_), id, MF_BYCOMMAND) & MF_GRAYED) != 0; };
  auto status = [&] {
    char text[128] = "";
    SendMessageA(GetDlgItem(window_, kSoftProofStatusId), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return std::string(text);
  };
  EXPECT_EQ(factsOf(window_).pages, 2);
  EXPECT_TRUE(grayed(kProofPreviousPage));
  EXPECT_FALSE(grayed(kProofNextPage));
  EXPECT_NE(status().find("ﾍﾟｰｼﾞ 1/2"), std::string::npos) << status();
  command(kProofNextPage);
  SoftProofFacts facts = factsOf(window_);
  EXPECT_EQ(facts.page, 1);
  EXPECT_EQ(facts.dotWidth, 200);
  EXPECT_EQ(facts.dotHeight, 100);
  EXPECT_FALSE(grayed(kProofPreviousPage));
  EXPECT_TRUE(grayed(kProofNextPage));
  EXPECT_NE(status().find("ﾍﾟｰｼﾞ 2/2"), std::string::npos) << status();
  EXPECT_EQ(pixel(210, 180), kMagenta) << "the fitted second page";
  command(kProofDots);
  EXPECT_EQ(pixel(5, 5), kMagenta) << "its dots";
  command(kProofPreviousPage);
  facts = factsOf(window_);
  EXPECT_EQ(facts.page, 0);
  EXPECT_EQ(facts.dotWidth, kWidth);
  EXPECT_EQ(facts.scrollX, 0);
  EXPECT_EQ(pixel(5, 5), kCyan) << "back on the first page's top left";
  EXPECT_EQ(filesLeft(), 1u) << "the stream waits in its file";
  DestroyWindow(window_);
  EXPECT_EQ(filesLeft(), 0u) << "and goes with the window";
}

TEST_F(SoftProof, ClosingWhileTheDryRunRunsCancelsIt) {
  std::atomic<int> sawCancel{0}, writes{0};
  open([&](const std::atomic<int>& cancel, jPdevProofWrite write, jPdevProofPage, void* user) {
    const uint8_t preamble[16] = {0x11, 0x11, 0x11, 0x11};
    for (int i = 0; i < 2000 && !cancel.load(); ++i) {
      if (!write(user, preamble, 4)) break;
      ++writes;
      Sleep(5);
    }
    sawCancel = cancel.load();
    return cancel.load() ? 0 : 1;
  });
  EXPECT_TRUE(factsOf(window_).running);
  EXPECT_TRUE(GetMenuState(GetMenu(window_), kProofDots, MF_BYCOMMAND) & MF_GRAYED);
  pumpUntil([&] { return writes.load() > 10; });
  SendMessageA(window_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window_));
  EXPECT_EQ(sawCancel.load(), 1);
  EXPECT_EQ(filesLeft(), 0u);
}

TEST_F(SoftProof, AStreamThatIsNoJobSaysSo) {
  open([](const std::atomic<int>&, jPdevProofWrite, jPdevProofPage, void*) { return -1; });
  pumpUntil([&] { return !factsOf(window_).running; });
  EXPECT_TRUE(factsOf(window_).failed);
  char text[128] = "";
  SendMessageA(GetDlgItem(window_, kSoftProofStatusId), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "ｿﾌﾄﾌﾟﾙｰﾌを作成できませんでした。");
  EXPECT_EQ(filesLeft(), 0u);
}

}  // namespace
}  // namespace vlx
