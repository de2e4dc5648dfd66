// Proof ports: a port that hands the printer stream to a function of the
// calling process instead of a file, printer or socket, so that a job can be
// printed through the real driver without a drop of ink. The port text
// "PROOF:<n>" names one; it is valid from jSplProofOpen to jSplProofClose,
// only in the process that opened it.
#pragma once

#include <cstddef>

#include "SPOOL.h"

// Receives the stream in the order it would reach the port; 1 to go on,
// anything else fails the channel as a dead port would.
typedef int (*jSplProofWrite)(void* user, const void* data, int length);

// Opens a proof port and writes its port text into port (at least 32 bytes);
// without a write function the port drops every byte (jSplDropsBytes). 0
// when no port is free or the port text has no room.
JSPOOL_API int jSplProofOpen(jSplProofWrite write, void* user, char* port, int portSize);
// Closes the port; channels opened on it afterwards fail to open. 1 when
// the port was open.
JSPOOL_API int jSplProofClose(const char* port);

namespace spool {

// The proof number of a port text "PROOF:<n>", or 0 when the text is not one.
int proofNumberOf(const char* text);
// Hands bytes to the proof port n; false when it is closed or refuses them.
bool writeProof(int number, const void* data, std::size_t size);
bool proofIsOpen(int number);
// True when the open proof port n has no receiver.
bool proofDropsBytes(int number);

}  // namespace spool
