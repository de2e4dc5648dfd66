// The soft-proof window's moves: between the fitted page and one pixel per
// dot, and over the page at one pixel per dot by scroll bars, wheel and drag.
#include "app/shell/soft_proof_parts_win32.h"

namespace vlx {

// Switches between the fitted page and one pixel per dot, keeping the dot
// under `at` (client co-ordinates) where it was.
void SoftProofWindow::setZoom(bool oneToOne, POINT at) {
  if (failed_ || running_ || oneToOne == oneToOne_) return;
  if (oneToOne) {
    const ProofRect fit = fitted();
    if (fit.width > 0 && fit.height > 0) {
      const int dotX = static_cast<int>(int64_t{at.x - fit.x} * picture_.dotWidth / fit.width);
      const int dotY = static_cast<int>(int64_t{at.y - fit.y} * picture_.dotHeight / fit.height);
      scrollX_ = dotX - at.x;
      scrollY_ = dotY - at.y;
    }
  }
  oneToOne_ = oneToOne;
  updateScrollBars();
  refreshMenu();
  showStatus();
  InvalidateRect(window_, nullptr, TRUE);
}

void SoftProofWindow::scrollTo(int x, int y) {
  const int clampedX = clampScroll(x, picture_.dotWidth, viewWidth());
  const int clampedY = clampScroll(y, picture_.dotHeight, viewHeight());
  if (clampedX == scrollX_ && clampedY == scrollY_) return;
  scrollX_ = clampedX;
  scrollY_ = clampedY;
  updateScrollBars();
  InvalidateRect(window_, nullptr, FALSE);
}

void SoftProofWindow::onScroll(int bar, int code) {
  SCROLLINFO info{sizeof info, SIF_ALL};
  GetScrollInfo(window_, bar, &info);
  const bool horizontal = bar == SB_HORZ;
  int at = horizontal ? scrollX_ : scrollY_;
  const int page = horizontal ? viewWidth() : viewHeight();
  switch (code) {
    case SB_LINEUP:
      at -= kProofLineDots;
      break;
    case SB_LINEDOWN:
      at += kProofLineDots;
      break;
    case SB_PAGEUP:
      at -= page;
      break;
    case SB_PAGEDOWN:
      at += page;
      break;
    case SB_TOP:
      at = 0;
      break;
    case SB_BOTTOM:
      at = horizontal ? picture_.dotWidth : picture_.dotHeight;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      at = info.nTrackPos;
      break;
    default:
      return;
  }
  if (horizontal)
    scrollTo(at, scrollY_);
  else
    scrollTo(scrollX_, at);
}

void SoftProofWindow::updateScrollBars() {
  const bool show = oneToOne_ && !failed_ && !running_;
  scrollX_ = show ? clampScroll(scrollX_, picture_.dotWidth, viewWidth()) : 0;
  scrollY_ = show ? clampScroll(scrollY_, picture_.dotHeight, viewHeight()) : 0;
  // The fitted page needs no scroll bars; one pixel per dot shows both.
  ShowScrollBar(window_, SB_BOTH, show);
  if (!show) return;
  SCROLLINFO h{
      sizeof h, SIF_ALL | SIF_DISABLENOSCROLL, 0, picture_.dotWidth - 1, static_cast<UINT>(viewWidth()), scrollX_, 0};
  SCROLLINFO v{
      sizeof v, SIF_ALL | SIF_DISABLENOSCROLL, 0, picture_.dotHeight - 1, static_cast<UINT>(viewHeight()), scrollY_, 0};
  SetScrollInfo(window_, SB_HORZ, &h, TRUE);
  SetScrollInfo(window_, SB_VERT, &v, TRUE);
}

void SoftProofWindow::onButtonDown(POINT at) {
  if (!oneToOne_) return;
  dragging_ = true;
  dragFrom_ = at;
  dragScrollX_ = scrollX_;
  dragScrollY_ = scrollY_;
  SetCapture(window_);
}

void SoftProofWindow::onMouseMove(POINT at) {
  if (dragging_) scrollTo(dragScrollX_ - (at.x - dragFrom_.x), dragScrollY_ - (at.y - dragFrom_.y));
}

void SoftProofWindow::onButtonUp() {
  if (!dragging_) return;
  dragging_ = false;
  ReleaseCapture();
}

}  // namespace vlx
