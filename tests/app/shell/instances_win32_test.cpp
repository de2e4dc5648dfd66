// The real program in real processes: start vellox.exe from beside this test
// program, each run in a folder of its own, and watch its windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/shell/main_window_win32.h"
#include "app/shell/program_paths.h"

namespace vlx {
namespace {

constexpr DWORD kStartTimeoutMs = 60000;
constexpr DWORD kExitTimeoutMs = 30000;

std::string testFolder() {
  char module[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, module, sizeof module);
  std::string path(module, n);
  return path.substr(0, path.find_last_of('\\'));
}

void removeTree(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        removeTree(path);
      } else {
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

bool isFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// One started vellox.exe.
class Vellox {
 public:
  Vellox(const std::string& home, const char* hostKeyword) {
    SetEnvironmentVariableA(kProgramFolderVariable, home.c_str());
    SetEnvironmentVariableA("VLX_OEM_TEXT", hostKeyword);
    std::string commandLine = "\"" + testFolder() + "\\vellox.exe\" /from-test";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    started_ = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &process_) != 0;
    SetEnvironmentVariableA(kProgramFolderVariable, nullptr);
    SetEnvironmentVariableA("VLX_OEM_TEXT", nullptr);
  }
  ~Vellox() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      if (HWND w = window(0)) PostMessageA(w, WM_CLOSE, 0, 0);
      if (WaitForSingleObject(process_.hProcess, kExitTimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process_.hProcess, 99);
      }
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  Vellox(const Vellox&) = delete;
  Vellox& operator=(const Vellox&) = delete;

  bool started() const { return started_; }

  // This process's top-level window of className (any class when null),
  // waiting up to timeoutMs for it to appear.
  HWND window(DWORD timeoutMs, const char* className = nullptr) const {
    const DWORD start = GetTickCount();
    for (;;) {
      Search search{process_.dwProcessId, className, nullptr};
      EnumWindows(findWindow, reinterpret_cast<LPARAM>(&search));
      if (search.found != nullptr || GetTickCount() - start >= timeoutMs) return search.found;
      if (WaitForSingleObject(process_.hProcess, 100) == WAIT_OBJECT_0) return nullptr;
    }
  }

  // Exit code, or -1 when it did not end in time.
  long exitCode(DWORD timeoutMs) const {
    if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
  }

 private:
  struct Search {
    DWORD processId;
    const char* className;
    HWND found;
  };
  static BOOL CALLBACK findWindow(HWND w, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner != search->processId || !IsWindowVisible(w)) return TRUE;
    char name[256] = "";
    GetClassNameA(w, name, sizeof name);
    if (search->className != nullptr && lstrcmpA(name, search->className) != 0) return TRUE;
    search->found = w;
    return FALSE;
  }

  bool started_ = false;
  PROCESS_INFORMATION process_{};
};

std::string windowText(HWND w) {
  char text[260] = "";
  GetWindowTextA(w, text, sizeof text);
  return text;
}

int handOverCount(HWND w) {
  return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(w, kHandOverCountProperty)));
}

class Instances : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = testFolder() + "\\shell-instances";
    removeTree(home_);
    ASSERT_TRUE(CreateDirectoryA(home_.c_str(), nullptr));
  }
  void TearDown() override { removeTree(home_); }
  std::string home_;
};

TEST_F(Instances, FirstStartCreatesItsWindowAndFoldersAndClosesCleanly) {
  Vellox first(home_, "Quaddle");
  ASSERT_TRUE(first.started());
  HWND w = first.window(kStartTimeoutMs, "VLXS3");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(windowText(w), "Vellox for Quaddle");
  EXPECT_TRUE(isFolder(home_ + "\\HotFolder"));
  EXPECT_TRUE(isFolder(home_ + "\\MoveFolder"));
  RECT rect{};
  GetWindowRect(w, &rect);
  EXPECT_EQ(rect.right - rect.left, kMainWindowWidth);
  EXPECT_EQ(rect.bottom - rect.top, kMainWindowHeight);
  EXPECT_NE(GetMenu(w), nullptr);

  PostMessageA(w, WM_CLOSE, 0, 0);
  EXPECT_EQ(first.exitCode(kExitTimeoutMs), 0);
}

TEST_F(Instances, SecondStartRestoresTheFirstAndEndsWithoutAWindow) {
  Vellox first(home_, "Quaddle");
  HWND w = first.window(kStartTimeoutMs, "VLXS3");
  ASSERT_NE(w, nullptr);
  ShowWindow(w, SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(w));
  EXPECT_EQ(handOverCount(w), 0);

  Vellox second(home_, "Quaddle");
  ASSERT_TRUE(second.started());
  EXPECT_EQ(second.exitCode(kStartTimeoutMs), 0);
  EXPECT_FALSE(IsIconic(w));
  EXPECT_EQ(handOverCount(w), 1);
  EXPECT_EQ(second.window(0), nullptr);
  EXPECT_EQ(FindWindowExA(nullptr, w, "VLXS3", nullptr), nullptr) << "one window of the class";
}

TEST_F(Instances, ProgramFolderTooDeepForItsPathsStopsWithAMessageAndCreatesNothing) {
  // The program path itself fits, D\printer\DEVICE.rgs would not.
  const size_t programName = sizeof "\\vellox.exe" - 1;
  std::string deep = home_ + "\\";
  while (deep.size() + programName < kPathCapacity - 2) {
    deep += (deep.back() != '\\' && deep.size() % 40 == 0) ? '\\' : 'd';
  }
  if (deep.back() == '\\') deep.back() = 'd';
  ASSERT_LT(deep.size() + programName, kPathCapacity);
  ASSERT_GE(deep.size() + sizeof "\\printer\\DEVICE.rgs", kPathCapacity + 1);

  Vellox refused(deep, "Quaddle");
  HWND box = refused.window(kStartTimeoutMs, "#32770");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(windowText(box), "Vellox for Quaddle");
  char text[256] = "";
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  EXPECT_STREQ(text, "プログラムのフォルダのパスが長すぎるため、起動できません。");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(refused.exitCode(kExitTimeoutMs), 1);
  EXPECT_EQ(GetFileAttributesA(deep.c_str()), INVALID_FILE_ATTRIBUTES);
}

struct Pairing {
  const char* first;
  const char* second;
  bool handsOver;
  const char* secondClass;
  const char* secondCaption;
};

class VariantPairs : public Instances, public ::testing::WithParamInterface<Pairing> {};

TEST_P(VariantPairs, OnlySharedClassNamesHandOver) {
  const Pairing& p = GetParam();
  Vellox first(home_, p.first);
  HWND w = first.window(kStartTimeoutMs);
  ASSERT_NE(w, nullptr);

  Vellox second(home_, p.second);
  if (p.handsOver) {
    EXPECT_EQ(second.exitCode(kStartTimeoutMs), 0);
    EXPECT_EQ(handOverCount(w), 1);
  } else {
    HWND own = second.window(kStartTimeoutMs);
    ASSERT_NE(own, nullptr);
    char className[256] = "";
    GetClassNameA(own, className, sizeof className);
    EXPECT_STREQ(className, p.secondClass);
    EXPECT_EQ(windowText(own), p.secondCaption);
    EXPECT_EQ(handOverCount(w), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Shell, VariantPairs,
    ::testing::Values(Pairing{"Quaddle", "Tagwright", false, "VELLOX_TGW", "Vellox for Tagwright"},
                      Pairing{"Quaddle", "Bannerforge", false, "VELLOX_BNF", "Bannerforge ﾌﾟﾘﾝﾀｳｨﾝﾄﾞｳ"},
                      Pairing{"Tagwright", "Bannerforge", false, "VELLOX_BNF", "Bannerforge ﾌﾟﾘﾝﾀｳｨﾝﾄﾞｳ"},
                      Pairing{"Quaddle", "Mervale", true, nullptr, nullptr},
                      Pairing{"Mervale", "Quaddle", true, nullptr, nullptr},
                      Pairing{"Mervale", "SomethingElse", true, nullptr, nullptr}));

}  // namespace
}  // namespace vlx
