#include "proof_job.h"

#include <cstring>

#include "Draw.h"
#include "EscDecode.h"

namespace proof {
namespace {

int keep(void* user, const void* data, int length) {
  auto* stream = static_cast<std::vector<uint8_t>*>(user);
  const auto* bytes = static_cast<const uint8_t*>(data);
  stream->insert(stream->end(), bytes, bytes + length);
  return 1;
}

}  // namespace

bool proofJob(const char* path, int scale, ProofResult* out, std::string* error) {
  jPdevProofRun run{};
  run.write = keep;
  run.writeUser = &out->stream;
  out->stream.clear();
  if (jPdevProofFile(path, &run) != 1) {
    *error = "the job cannot be printed (not a job file, or no driver for its machine)";
    return false;
  }
  std::memcpy(out->ink.account, run.account, sizeof out->ink.account);
  std::memcpy(out->ink.picolitres, run.inkPicolitres, sizeof out->ink.picolitres);
  escp::Stream stream;
  escp::decodeStream(out->stream.data(), out->stream.size(), &stream);
  return escp::buildPages(stream, scale, &out->pages, error);
}

}  // namespace proof
