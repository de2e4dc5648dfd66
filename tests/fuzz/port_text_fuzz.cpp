// A port text as the spool channel reads it.
#include <cstring>

#include "fuzz_support.h"
#include "libs/spool/port_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::text(data, size, 600);
  const spool::PortTarget target = spool::readPortText(text.c_str());
  FUZZ_CHECK(std::memchr(target.folder, '\0', sizeof target.folder) &&
             std::memchr(target.host, '\0', sizeof target.host) &&
             std::memchr(target.printer, '\0', sizeof target.printer));
  if (target.kind == spool::PortKind::kTcp) FUZZ_CHECK(target.port >= 1 && target.port <= 65535);
  return 0;
}
