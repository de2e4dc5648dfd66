// The soft-proof window's inner parts, shared by its files: the window's
// state (soft_proof_window_win32.cpp: messages and life), its menu
// (soft_proof_menu_win32.cpp), its painting (soft_proof_paint_win32.cpp) and
// its scrolling (soft_proof_scroll_win32.cpp).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/shell/soft_proof_run.h"
#include "app/shell/soft_proof_window_win32.h"

namespace vlx {

constexpr int kProofLineDots = 32;

// A 24-bit top-down DIB of an RGB picture: rows padded to four bytes, BGR.
struct Dib {
  BITMAPINFO info{};
  std::vector<uint8_t> bits;
  void set(int width, int height, const std::vector<uint8_t>& rgb);
};

HMENU makeSoftProofMenu();

class SoftProofWindow {
 public:
  SoftProofWindow(std::string title, ProofProducer producer, std::string scratchFolder)
      : title_(std::move(title)), producer_(std::move(producer)), scratchFolder_(std::move(scratchFolder)) {}

  LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  SoftProofFacts facts() const;

 private:
  // soft_proof_window_win32.cpp
  void onCreate();
  void onDestroy();
  void onDone();
  void onSize();
  void showPage(int page);
  // soft_proof_menu_win32.cpp
  void onCommand(int command);
  void refreshMenu();
  void showStatus();
  // soft_proof_scroll_win32.cpp
  void setZoom(bool oneToOne, POINT at);
  void scrollTo(int x, int y);
  void onScroll(int bar, int code);
  void updateScrollBars();
  void onButtonDown(POINT at);
  void onMouseMove(POINT at);
  void onButtonUp();
  // soft_proof_paint_win32.cpp
  void onPaint();
  void paintFitted(HDC dc, const RECT& view);
  void paintDots(HDC dc, const RECT& view);
  ProofRect fitted() const;
  int viewWidth() const;
  int viewHeight() const;

  HWND window_ = nullptr;
  HWND status_ = nullptr;
  std::string title_;
  ProofProducer producer_;  // handed to the run when the window is made
  std::string scratchFolder_;
  std::unique_ptr<ProofRun> run_;
  ProofPicture picture_;  // the run's, taken over when it is done

  bool running_ = false;
  bool failed_ = false;
  bool oneToOne_ = false;
  int ink_ = -1;
  int scrollX_ = 0, scrollY_ = 0;
  bool dragging_ = false;
  POINT dragFrom_{};
  int dragScrollX_ = 0, dragScrollY_ = 0;
  Dib overviewDib_;
  int overviewInk_ = -2;
  escp::DotBand band_;
  Dib bandDib_;
  int bandInk_ = -2;
};

}  // namespace vlx
