#include "process_support.h"

#include "platform/module.h"
#include "platform/path.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace testing_support {

std::string siblingProgram(const char* name) {
  char self[platform::kMaxPath];
  char folder[platform::kMaxPath];
  char out[platform::kMaxPath];
  std::string file = name;
#if defined(_WIN32)
  file += ".exe";
#endif
  if (!platform::moduleFileName(nullptr, self, sizeof self) || !platform::folderPart(self, folder, sizeof folder) ||
      !platform::joinPath(out, sizeof out, folder, file.c_str()))
    return file;
  return out;
}

#if defined(_WIN32)
std::vector<int> runTogether(const std::vector<std::vector<std::string>>& commands) {
  std::vector<PROCESS_INFORMATION> started;
  std::vector<int> codes(commands.size(), -1);
  std::vector<std::size_t> which;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    std::string line;
    for (const std::string& arg : commands[i]) line += "\"" + arg + "\" ";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      started.push_back(pi);
      which.push_back(i);
    }
  }
  for (std::size_t k = 0; k < started.size(); ++k) {
    WaitForSingleObject(started[k].hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(started[k].hProcess, &code);
    codes[which[k]] = static_cast<int>(code);
    CloseHandle(started[k].hProcess);
    CloseHandle(started[k].hThread);
  }
  return codes;
}
#else
std::vector<int> runTogether(const std::vector<std::vector<std::string>>& commands) {
  std::vector<int> codes(commands.size(), -1);
  std::vector<pid_t> pids(commands.size(), -1);
  for (std::size_t i = 0; i < commands.size(); ++i) {
    std::vector<char*> argv;
    for (const std::string& arg : commands[i]) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    if (posix_spawn(&pids[i], argv[0], nullptr, nullptr, argv.data(), environ) != 0) pids[i] = -1;
  }
  for (std::size_t i = 0; i < commands.size(); ++i) {
    int status = 0;
    if (pids[i] > 0 && waitpid(pids[i], &status, 0) == pids[i] && WIFEXITED(status)) codes[i] = WEXITSTATUS(status);
  }
  return codes;
}
#endif

}  // namespace testing_support
