// Without libFuzzer (the native build), each harness replays inputs: every
// file named on the command line, and every file of every folder named.
// The kept crash inputs of tests/fuzz/regressions run this way as tests.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<std::string> inputsOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  if (!S_ISDIR(info.st_mode)) return {path};
  std::vector<std::string> files;
  if (DIR* dir = ::opendir(path.c_str())) {
    while (const dirent* entry = ::readdir(dir))
      if (entry->d_name[0] != '.') files.push_back(path + "/" + entry->d_name);
    ::closedir(dir);
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  int replayed = 0;
  for (int i = 1; i < argc; ++i) {
    for (const std::string& file : inputsOf(argv[i])) {
      std::FILE* f = std::fopen(file.c_str(), "rb");
      if (!f) continue;
      std::vector<uint8_t> data;
      for (int c; (c = std::fgetc(f)) != EOF;) data.push_back(static_cast<uint8_t>(c));
      std::fclose(f);
      LLVMFuzzerTestOneInput(data.data(), data.size());
      ++replayed;
    }
  }
  std::printf("%d inputs replayed\n", replayed);
  return 0;
}
