// The proof ports' table inside the spool library (the exports are declared
// in SPOOL.h): the channel finds its port's receiver here.
#pragma once

#include <cstddef>

#include "SPOOL.h"

namespace spool {

// The proof number of a port text "PROOF:<n>", or 0 when the text is not one.
int proofNumberOf(const char* text);
// Hands bytes to the proof port n; false when it is closed or refuses them.
bool writeProof(int number, const void* data, std::size_t size);
bool proofIsOpen(int number);
// True when the open proof port n has no receiver.
bool proofDropsBytes(int number);

}  // namespace spool
