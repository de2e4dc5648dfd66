#include "app/shell/proof_scratch.h"

#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/folders.h"

namespace vlx {

bool ProofScratch::create(const char* folder) {
  remove();
  if (!folder || !folder[0] || !platform::makeTempFile(folder, kProofScratchPrefix, path_, sizeof path_)) return false;
  file_ = std::fopen(path_, "w+b");
  if (!file_) remove();
  return file_ != nullptr;
}

bool ProofScratch::write(const void* data, size_t size) {
  if (!file_ || failed_) return false;
  failed_ = std::fwrite(data, 1, size, file_) != size;
  if (!failed_) size_ += size;
  return !failed_;
}

bool ProofScratch::flush() {
  if (!file_ || failed_) return false;
  failed_ = std::fflush(file_) != 0 || std::ferror(file_);
  return !failed_;
}

void ProofScratch::remove() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  if (path_[0]) platform::deleteFile(path_);
  path_[0] = '\0';
  size_ = 0;
  failed_ = false;
}

bool isProofScratchName(const char* name) {
  const size_t prefix = sizeof kProofScratchPrefix - 1;
  const size_t length = name ? std::strlen(name) : 0;
  if (length < prefix + 5 || length > prefix + 8) return false;
  for (size_t i = 0; i < prefix; ++i)
    if (std::toupper(static_cast<unsigned char>(name[i])) != kProofScratchPrefix[i]) return false;
  for (size_t i = prefix; i < length - 4; ++i)
    if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
  const char* extension = name + length - 4;
  return extension[0] == '.' && std::toupper(static_cast<unsigned char>(extension[1])) == 'T' &&
         std::toupper(static_cast<unsigned char>(extension[2])) == 'M' &&
         std::toupper(static_cast<unsigned char>(extension[3])) == 'P';
}

int sweepProofScratch(const char* folder) {
  if (!folder || !folder[0]) return 0;
  std::vector<std::string> stale;
  platform::listFolder(folder, [&](const platform::FolderEntry& e) {
    if (!e.isDirectory && isProofScratchName(e.name)) stale.push_back(e.name);
    return true;
  });
  int removed = 0;
  for (const std::string& name : stale) {
    char path[platform::kMaxPath];
    // Deleting a name never deletes what a link of that name leads to.
    if (platform::joinPath(path, sizeof path, folder, name.c_str()) && platform::deleteFile(path)) ++removed;
  }
  return removed;
}

}  // namespace vlx
