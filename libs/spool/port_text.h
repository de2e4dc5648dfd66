// What a port text names: a folder of job files, a raw TCP printer, or
// (Windows) an installed printer.
#pragma once

#include <cstddef>

namespace spool {

enum class PortKind {
  kNone,     // nothing usable
  kFolder,   // "FILE:<folder>" or an existing folder
  kTcp,      // "<host>:<port>"
  kPrinter,  // anything else: an installed printer's name
  kProof,    // "PROOF:<n>": a proof port of this process (proof_port.h)
};

struct PortTarget {
  PortKind kind = PortKind::kNone;
  char folder[260] = {};   // kFolder: the folder, as written (may be relative)
  char host[256] = {};     // kTcp
  int port = 0;            // kTcp: 1..65535
  char printer[260] = {};  // kPrinter: the printer's name
  int proof = 0;           // kProof: the port's number
};

// Reads a port text. "FILE:" followed by a folder is a file port; a text
// whose last ':' is followed by 1 to 5 digits (1..65535) and preceded by a
// host without separators or blanks is a TCP port; an existing folder is a
// file port; "PROOF:<n>" is a proof port; anything else is a printer name. kNone for an empty text, an
// empty "FILE:" and fields that do not fit.
PortTarget readPortText(const char* text);

}  // namespace spool
