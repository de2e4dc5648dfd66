// Times the queue of a running vellox from outside, as a shop sees it: from
// a job file renamed into the hot folder, or from a command posted to the
// main window, to the first byte of a new print file in the file port's
// folder. The clock starts right after the rename or the post, in this
// process, so the start of a Wine process does not count.
//
//   latency-probe drop <staged job> <hot folder> <port folder> [time-out s]
//   latency-probe command <window class> <command id> <port folder> [time-out s]
//   latency-probe listed <staged job> <hot folder> <window class> <rows> [time-out s]
//   latency-probe rows <window class> <rows> [time-out s]
//
// drop and command print the milliseconds to the first byte; listed renames
// the job into the hot folder and prints the milliseconds until the first
// list of the window shows that many rows; rows waits
// until the window is there and its first list shows exactly that many rows
// (a job is listed, or the list is empty) and prints the milliseconds it
// waited. Exit status 0 when it happened
// within the time-out, 1 when not, 2 for a set-up that failed (said why).
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

namespace {

constexpr int kPollMilliseconds = 5;

std::set<std::string> filesIn(const std::string& folder) {
  std::set<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

// A file that was not there before and holds a byte at least.
bool newFileWithBytes(const std::string& folder, const std::set<std::string>& before) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool seen = false;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (before.count(found.cFileName)) continue;
    seen = found.nFileSizeLow > 0 || found.nFileSizeHigh > 0;
  } while (!seen && FindNextFileA(search, &found));
  FindClose(search);
  return seen;
}

double millisecondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int waitFirstByte(const std::string& port, const std::set<std::string>& before, const LARGE_INTEGER& start,
                  double timeoutMs) {
  while (millisecondsSince(start) < timeoutMs) {
    if (newFileWithBytes(port, before)) {
      std::printf("%.0f\n", millisecondsSince(start));
      return 0;
    }
    Sleep(kPollMilliseconds);
  }
  std::fprintf(stderr, "latency-probe: no print file in %s within %.0f s\n", port.c_str(), timeoutMs / 1000);
  return 1;
}

HWND firstList(const char* windowClass) {
  HWND window = FindWindowA(windowClass, nullptr);
  return window ? FindWindowExA(window, nullptr, WC_LISTVIEWA, nullptr) : nullptr;
}

double timeoutOf(int argc, char** argv, int at) {
  return 1000.0 * (argc > at ? std::atof(argv[at]) : 60.0);
}

int waitRows(const char* windowClass, int rows, const LARGE_INTEGER& start, double timeoutMs) {
  while (millisecondsSince(start) < timeoutMs) {
    HWND list = firstList(windowClass);
    if (list && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == rows) {
      std::printf("%.0f\n", millisecondsSince(start));
      return 0;
    }
    Sleep(kPollMilliseconds);
  }
  std::fprintf(stderr, "latency-probe: the list of %s never showed %d rows\n", windowClass, rows);
  return 1;
}

// Renames the staged job into the hot folder; false (said why) when it
// cannot.
bool dropInto(const std::string& staged, const std::string& hot) {
  const char* name = std::strrchr(staged.c_str(), '\\');
  const std::string target = hot + "\\" + (name ? name + 1 : staged.c_str());
  if (MoveFileA(staged.c_str(), target.c_str())) return true;
  std::fprintf(stderr, "latency-probe: cannot move %s to %s (error %lu)\n", staged.c_str(), target.c_str(),
               GetLastError());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  LARGE_INTEGER start;
  if (mode == "drop" && argc >= 5) {
    const std::set<std::string> before = filesIn(argv[4]);
    if (!dropInto(argv[2], argv[3])) return 2;
    QueryPerformanceCounter(&start);
    return waitFirstByte(argv[4], before, start, timeoutOf(argc, argv, 5));
  }
  if (mode == "listed" && argc >= 6) {
    if (!dropInto(argv[2], argv[3])) return 2;
    QueryPerformanceCounter(&start);
    return waitRows(argv[4], std::atoi(argv[5]), start, timeoutOf(argc, argv, 6));
  }
  if (mode == "command" && argc >= 5) {
    HWND window = FindWindowA(argv[2], nullptr);
    if (!window) {
      std::fprintf(stderr, "latency-probe: no window of class %s\n", argv[2]);
      return 2;
    }
    const std::set<std::string> before = filesIn(argv[4]);
    QueryPerformanceCounter(&start);
    if (!PostMessageA(window, WM_COMMAND, MAKEWPARAM(std::atoi(argv[3]), 0), 0)) {
      std::fprintf(stderr, "latency-probe: the command could not be posted (error %lu)\n", GetLastError());
      return 2;
    }
    return waitFirstByte(argv[4], before, start, timeoutOf(argc, argv, 5));
  }
  if (mode == "rows" && argc >= 4) {
    QueryPerformanceCounter(&start);
    return waitRows(argv[2], std::atoi(argv[3]), start, timeoutOf(argc, argv, 4));
  }
  std::fprintf(stderr,
               "usage: latency-probe drop <staged job> <hot folder> <port folder> [time-out s]\n"
               "       latency-probe command <window class> <command id> <port folder> [time-out s]\n"
               "       latency-probe listed <staged job> <hot folder> <window class> <rows> [time-out s]\n"
               "       latency-probe rows <window class> <rows> [time-out s]\n");
  return 2;
}
