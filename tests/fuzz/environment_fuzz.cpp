// The environment file of vellox.
#include "app/shell/app_defaults.h"
#include "app/shell/environment_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::scratchFile("vellox.ENV");
  if (!fuzz::writeFile(path, data, size)) return 0;
  static vlx::AppState state;
  vlx::setDefaults(&state, vlx::variantRecord(vlx::kQuaddle));
  vlx::readEnvironment(path.c_str(), &state);
  return 0;
}
