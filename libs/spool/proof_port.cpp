// The table of open proof ports. Numbers are never reused within a process,
// so a channel that outlives its port finds nothing rather than another
// caller's function.
#include "libs/spool/proof_port.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/path.h"

namespace spool {
namespace {

constexpr int kProofSlots = 16;
constexpr const char* kProofPrefix = "PROOF:";

struct ProofSlot {
  int number = 0;  // 0: free
  jSplProofWrite write = nullptr;
  void* user = nullptr;
};

std::mutex g_proofLock;
ProofSlot g_proofs[kProofSlots];
int g_lastNumber = 0;

ProofSlot* slotOf(int number) {
  for (ProofSlot& slot : g_proofs)
    if (number > 0 && slot.number == number) return &slot;
  return nullptr;
}

}  // namespace

int proofNumberOf(const char* text) {
  const std::size_t prefix = std::strlen(kProofPrefix);
  if (!text || platform::compareNoCaseN(text, kProofPrefix, prefix) != 0) return 0;
  const char* digits = text + prefix;
  if (!*digits) return 0;
  long long value = 0;
  for (const char* d = digits; *d; ++d) {
    if (*d < '0' || *d > '9' || value > INT_MAX / 10) return 0;
    value = value * 10 + (*d - '0');
  }
  return value <= INT_MAX ? static_cast<int>(value) : 0;
}

bool proofIsOpen(int number) {
  std::lock_guard<std::mutex> hold(g_proofLock);
  return slotOf(number) != nullptr;
}

bool proofDropsBytes(int number) {
  std::lock_guard<std::mutex> hold(g_proofLock);
  const ProofSlot* slot = slotOf(number);
  return slot && !slot->write;
}

bool writeProof(int number, const void* data, std::size_t size) {
  jSplProofWrite write;
  void* user;
  {
    std::lock_guard<std::mutex> hold(g_proofLock);
    const ProofSlot* slot = slotOf(number);
    if (!slot) return false;
    write = slot->write;
    user = slot->user;
  }
  if (!write) return true;  // a port without a receiver drops the bytes
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (size > 0) {
    const int part = size > INT_MAX ? INT_MAX : static_cast<int>(size);
    if (write(user, bytes, part) != 1) return false;
    bytes += part;
    size -= static_cast<std::size_t>(part);
  }
  return true;
}

}  // namespace spool

JSPOOL_API int jSplProofOpen(jSplProofWrite write, void* user, char* port, int portSize) {
  if (!port || portSize < 32) return 0;
  std::lock_guard<std::mutex> hold(spool::g_proofLock);
  for (spool::ProofSlot& slot : spool::g_proofs) {
    if (slot.number != 0) continue;
    if (spool::g_lastNumber == INT_MAX) return 0;
    slot = spool::ProofSlot{++spool::g_lastNumber, write, user};
    std::snprintf(port, static_cast<std::size_t>(portSize), "%s%d", spool::kProofPrefix, slot.number);
    return 1;
  }
  return 0;
}

JSPOOL_API int jSplProofClose(const char* port) {
  std::lock_guard<std::mutex> hold(spool::g_proofLock);
  spool::ProofSlot* slot = spool::slotOf(spool::proofNumberOf(port));
  if (!slot) return 0;
  *slot = spool::ProofSlot{};
  return 1;
}
