#include "app/shell/variant.h"

#include <cstring>

namespace vlx {
namespace {

// Lookup order is table order. Quaddle and Mervale share a class name on
// purpose: a Mervale start hands over to a running Quaddle instance and back.
constexpr Variant kVariants[kVariantCount] = {
    {"Quaddle", kQuaddle, 3, 1, "VLXS3", "IDI_APP", 0, false, false},
    {"Tagwright", kTagwright, 6, 5, "VELLOX_TGW", "IDI_APP_BNF", 1, false, false},
    {"Mervale", kMervale, 4, 2, "VLXS3", "IDI_APP", 0, false, true},
    {"Bannerforge", kBannerforge, 7, 8, "VELLOX_BNF", "IDI_APP_BNF", 1, true, false},
};

}  // namespace

int variantOf(const char* text) {
  if (text == nullptr) return kQuaddle;
  for (const Variant& v : kVariants) {
    if (std::strncmp(text, v.keyword, std::strlen(v.keyword)) == 0) return v.number;
  }
  return kQuaddle;
}

const Variant& variantRecord(int number) {
  if (number < 0 || number >= kVariantCount) return kVariants[kQuaddle];
  return kVariants[number];
}

}  // namespace vlx
