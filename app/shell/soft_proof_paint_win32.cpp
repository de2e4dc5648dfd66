// The soft-proof window's painting: the page's overview fitted into the
// window, or the dots in view at one pixel per dot, decoded from the stream
// only when the view moves.
#include <algorithm>
#include <string>

#include "app/shell/soft_proof_parts_win32.h"

namespace vlx {

void Dib::set(int width, int height, const std::vector<uint8_t>& rgb) {
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  bits.assign(stride * height, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint8_t* from = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      uint8_t* to = &bits[stride * y + static_cast<size_t>(x) * 3];
      to[0] = from[2];
      to[1] = from[1];
      to[2] = from[0];
    }
}

void SoftProofWindow::onPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window_, &ps);
  RECT view{0, 0, viewWidth(), viewHeight()};
  if (running_ || failed_ || picture_.dotWidth <= 0) {
    FillRect(dc, &view, GetSysColorBrush(COLOR_APPWORKSPACE));
  } else if (oneToOne_) {
    paintDots(dc, view);
  } else {
    paintFitted(dc, view);
  }
  EndPaint(window_, &ps);
}

void SoftProofWindow::paintFitted(HDC dc, const RECT& view) {
  if (overviewInk_ != ink_) {
    overviewDib_.set(picture_.overview.width, picture_.overview.height, escp::composite(picture_.overview, ink_));
    overviewInk_ = ink_;
  }
  const ProofRect fit = fitted();
  ExcludeClipRect(dc, fit.x, fit.y, fit.x + fit.width, fit.y + fit.height);
  FillRect(dc, &view, GetSysColorBrush(COLOR_APPWORKSPACE));
  SelectClipRgn(dc, nullptr);
  SetStretchBltMode(dc, HALFTONE);
  StretchDIBits(dc, fit.x, fit.y, fit.width, fit.height, 0, 0, picture_.overview.width, picture_.overview.height,
                overviewDib_.bits.data(), &overviewDib_.info, DIB_RGB_COLORS, SRCCOPY);
}

// Only the dots in view are decoded, from the stream file's nearest band
// start above them, each time the view changes.
void SoftProofWindow::paintDots(HDC dc, const RECT& view) {
  const int w = std::max(0, std::min(viewWidth(), picture_.dotWidth - scrollX_));
  const int h = std::max(0, std::min(viewHeight(), picture_.dotHeight - scrollY_));
  const bool same = band_.x0 == scrollX_ && band_.y0 == scrollY_ && band_.width == w && band_.height == h;
  if (!same && !proofDots(picture_, scrollX_, scrollY_, w, h, &band_)) {
    band_ = escp::DotBand{};
    FillRect(dc, &view, GetSysColorBrush(COLOR_APPWORKSPACE));
    return;
  }
  if (!same || bandInk_ != ink_) {
    bandDib_.set(w, h, escp::composite(band_, ink_));
    bandInk_ = ink_;
  }
  ExcludeClipRect(dc, 0, 0, w, h);
  FillRect(dc, &view, GetSysColorBrush(COLOR_APPWORKSPACE));
  SelectClipRgn(dc, nullptr);
  if (w > 0 && h > 0)
    SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0, static_cast<UINT>(h),
                      bandDib_.bits.data(), &bandDib_.info, DIB_RGB_COLORS);
}

ProofRect SoftProofWindow::fitted() const {
  // A margin round the paper, so that its edge shows.
  constexpr int kMargin = 8;
  ProofRect r = fitPage(picture_, viewWidth() - 2 * kMargin, viewHeight() - 2 * kMargin);
  r.x += kMargin;
  r.y += kMargin;
  return r;
}

int SoftProofWindow::viewWidth() const {
  RECT r{};
  GetClientRect(window_, &r);
  return r.right;
}

int SoftProofWindow::viewHeight() const {
  RECT r{}, s{};
  GetClientRect(window_, &r);
  if (status_) GetWindowRect(status_, &s);
  return std::max(0L, r.bottom - (s.bottom - s.top));
}

}  // namespace vlx
