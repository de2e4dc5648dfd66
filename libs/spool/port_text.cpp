#include "libs/spool/port_text.h"

#include <cstring>

#include "libs/spool/proof_port.h"
#include "platform/folders.h"
#include "platform/path.h"

namespace spool {
namespace {

constexpr const char* kFilePrefix = "FILE:";

// The TCP form: host (no separator, blank or further ':' outside brackets
// is not needed here) and a decimal port.
bool readTcp(const char* text, PortTarget* target) {
  const char* colon = std::strrchr(text, ':');
  if (!colon || colon == text) return false;
  const char* digits = colon + 1;
  const std::size_t count = std::strlen(digits);
  if (count == 0 || count > 5) return false;
  int port = 0;
  for (const char* d = digits; *d; ++d) {
    if (*d < '0' || *d > '9') return false;
    port = port * 10 + (*d - '0');
  }
  if (port < 1 || port > 65535) return false;
  const std::size_t hostLength = static_cast<std::size_t>(colon - text);
  if (hostLength >= sizeof target->host) return false;
  for (const char* c = text; c < colon; ++c) {
    const unsigned char byte = static_cast<unsigned char>(*c);
    if (byte <= ' ' || byte >= 0x80 || *c == '\\' || *c == '/' || *c == ':') return false;
  }
  std::memcpy(target->host, text, hostLength);
  target->host[hostLength] = '\0';
  target->port = port;
  target->kind = PortKind::kTcp;
  return true;
}

}  // namespace

PortTarget readPortText(const char* text) {
  PortTarget target;
  if (!text || !text[0]) return target;
  if (platform::compareNoCaseN(text, kFilePrefix, std::strlen(kFilePrefix)) == 0) {
    const char* folder = text + std::strlen(kFilePrefix);
    if (folder[0] && platform::copyString(target.folder, sizeof target.folder, folder)) target.kind = PortKind::kFolder;
    return target;
  }
  if (const int proof = proofNumberOf(text)) {
    target.proof = proof;
    target.kind = PortKind::kProof;
    return target;
  }
  if (readTcp(text, &target)) return target;
  if (platform::isFolder(text)) {
    if (platform::copyString(target.folder, sizeof target.folder, text)) target.kind = PortKind::kFolder;
    return target;
  }
  if (platform::copyString(target.printer, sizeof target.printer, text)) target.kind = PortKind::kPrinter;
  return target;
}

}  // namespace spool
