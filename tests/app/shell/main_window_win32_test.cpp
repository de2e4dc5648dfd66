// The main window created in this process: what its creation step acquires
// and that closing it releases all of it.
#include "app/shell/main_window_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "Base.h"
#include "app/jobs/job_lock.h"
#include "app/shell/app_defaults.h"
#include "test_main_window_win32.h"

namespace vlx {
namespace {

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    setDefaults(&state_, variantRecord(kQuaddle));
    blocksBefore_ = jMemCheck();
    initJobListLock();
    window_ = createTestMainWindow(&state_, &context_, kQuaddle, "VLXS3_INPROCESS_TEST");
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    if (IsWindow(window_)) SendMessageA(window_, WM_CLOSE, 0, 0);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    deleteJobListLock();
  }

  AppState state_;
  ShellContext context_;
  HWND window_ = nullptr;
  int blocksBefore_ = 0;
};

TEST_F(MainWindow, CreationOpensTheDrawingLibraryAndMakesListsAndPreview) {
  EXPECT_EQ(state_.mainWindow, window_);
  EXPECT_NE(state_.document, 0);
  EXPECT_NE(state_.lists[kPrintList], nullptr);
  EXPECT_NE(state_.lists[kPrintedList], nullptr);
  ASSERT_NE(state_.previewBuffer, nullptr);
  for (int i = 0; i < kPreviewPixels; ++i) ASSERT_EQ(state_.previewBuffer[i], 0xF0F0F0u) << i;
  RECT rect{};
  GetWindowRect(window_, &rect);
  EXPECT_EQ(rect.right - rect.left, kMainWindowWidth);
  EXPECT_EQ(rect.bottom - rect.top, kMainWindowHeight);
  char title[64] = "";
  GetWindowTextA(window_, title, sizeof title);
  EXPECT_STREQ(title, "Vellox for Quaddle");
}

TEST_F(MainWindow, HandOverAnswersOneAndCountsEachRescan) {
  char commandLine[] = "vellox.exe /x";
  COPYDATASTRUCT data{0, sizeof commandLine, commandLine};
  EXPECT_EQ(SendMessageA(window_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), 1);
  EXPECT_EQ(SendMessageA(window_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), 1);
  EXPECT_EQ(context_.handOverRescans, 2);
  EXPECT_EQ(reinterpret_cast<INT_PTR>(GetPropA(window_, kHandOverCountProperty)), 2);
}

TEST_F(MainWindow, CloseReleasesEverythingStoresTheRectangleAndQuitsWithZero) {
  RECT rect{};
  GetWindowRect(window_, &rect);
  SendMessageA(window_, WM_CLOSE, 0, 0);

  EXPECT_FALSE(IsWindow(window_));
  EXPECT_EQ(state_.lists[kPrintList], nullptr);
  EXPECT_EQ(state_.lists[kPrintedList], nullptr);
  EXPECT_EQ(state_.previewBuffer, nullptr);
  EXPECT_EQ(state_.document, 0);
  EXPECT_EQ(jMemCheck(), blocksBefore_) << "every block of the window's life is freed";
  EXPECT_EQ(state_.mainRect[0], rect.left);
  EXPECT_EQ(state_.mainRect[1], rect.top);
  EXPECT_EQ(state_.mainRect[2], rect.right);
  EXPECT_EQ(state_.mainRect[3], rect.bottom);

  MSG message{};
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 0u);
}

TEST_F(MainWindow, CloseWhileMinimisedKeepsThePreviousRectangle) {
  const int32_t saved[4] = {10, 20, 610, 420};
  std::memcpy(state_.mainRect, saved, sizeof saved);
  ShowWindow(window_, SW_MINIMIZE);
  SendMessageA(window_, WM_CLOSE, 0, 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(state_.mainRect[i], saved[i]) << i;
}

}  // namespace
}  // namespace vlx
