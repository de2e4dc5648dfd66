// The crash test of a saved file: a child process saves the file over and
// over, alternating between two contents, and is killed at a random moment;
// the file must then hold one of the two contents whole. Header only, for
// the test programs of every module that saves a file (native only: fork).
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace testing_support {

inline std::vector<unsigned char> fileBytes(const std::string& path) {
  std::vector<unsigned char> bytes;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(static_cast<unsigned char>(c));
    std::fclose(f);
  }
  return bytes;
}

// save(variant) writes content 0 or 1 to every one of paths; true when it
// reported success. A child saves them round after round and is killed at a
// random moment, `tries` times. Returns how many files were found neither
// content after a kill; -1 when the two contents of a file cannot be told
// apart or a child cannot be started.
inline int tornFilesAfterKills(const std::vector<std::string>& paths, const std::function<bool(int variant)>& save,
                               int tries = 200) {
  std::vector<std::vector<unsigned char>> first, second;
  if (!save(1)) return -1;
  for (const std::string& path : paths) second.push_back(fileBytes(path));
  struct timespec before, after;
  ::clock_gettime(CLOCK_MONOTONIC, &before);
  if (!save(0)) return -1;
  ::clock_gettime(CLOCK_MONOTONIC, &after);
  for (const std::string& path : paths) first.push_back(fileBytes(path));
  for (std::size_t f = 0; f < paths.size(); ++f)
    if (first[f] == second[f] || first[f].empty() || second[f].empty()) return -1;
  std::mt19937 random(20261208);
  // Kills spread over a whole round of saves (microseconds).
  const long round = (after.tv_sec - before.tv_sec) * 1000000L + (after.tv_nsec - before.tv_nsec) / 1000;
  std::uniform_int_distribution<long> moment(0, round > 100 ? round : 100);
  int torn = 0;
  for (int i = 0; i < tries; ++i) {
    int started[2];
    if (::pipe(started) != 0) return -1;
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
      const char ready = 1;
      if (::write(started[1], &ready, 1) != 1) ::_exit(2);
      for (int n = 0;; ++n) save(n % 2);
    }
    char ready = 0;
    const bool running = ::read(started[0], &ready, 1) == 1;
    ::close(started[0]);
    ::close(started[1]);
    if (!running) return -1;
    ::usleep(static_cast<useconds_t>(moment(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    for (std::size_t f = 0; f < paths.size(); ++f) {
      const std::vector<unsigned char> now = fileBytes(paths[f]);
      if (now != first[f] && now != second[f]) ++torn;
    }
  }
  return torn;
}

}  // namespace testing_support
