// The main window's creation step and the release of what it made.
#include <windows.h>

#include <commctrl.h>

#include "Draw.h"
#include "app/jobs/dry_run_estimate.h"
#include "app/jobs/job_ink.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_list_view.h"
#include "app/jobs/job_lock.h"
#include "app/resources/resource.h"
#include "app/shell/drawing_link.h"
#include "app/shell/environment_file.h"
#include "app/shell/main_window_parts_win32.h"
#include "app/shell/main_window_win32.h"
#include "app/shell/preview_buffer.h"
#include "app/shell/progress_hooks.h"

namespace vlx {
namespace {

constexpr char kDrawOpenFailed[] = "DRAW.DLL の初期化に失敗しました。";
constexpr char kToolbarArt[] = "VLXS_TOOLBAR";
constexpr char kPrinterArt[] = "PRINTER_ICON";
constexpr int kToolIcon = 16;
constexpr int kAnimationIcon = 32;
constexpr int kToolbarImages = 8;
constexpr int kAnimationFrames = 11;
constexpr COLORREF kToolbarMask = RGB(192, 192, 192);
constexpr COLORREF kAnimationMask = RGB(0, 0, 1);
// The status bar's own style bit that the window has always added.
constexpr DWORD kStatusExtraStyle = 0x10;
constexpr int kPreviewSize = 100;
constexpr COLORREF kPreviewFill = RGB(240, 240, 240);

struct ToolButton {
  int image;  // -1 = separator
  int command;
};

constexpr ToolButton kToolButtons[] = {
    {-1, 0},          {0, IDM_PRINT},  {1, IDM_PRINT_CANCEL}, {-1, 0}, {2, IDM_ENVIRONMENT},
    {-1, 0},          {3, IDM_DELETE}, {4, IDM_DELETE_ALL},   {-1, 0}, {5, IDM_PROPERTIES},
    {6, IDM_VERSION},
};

struct MenuIcon {
  int command;
  int image;
};

constexpr MenuIcon kMenuIcons[] = {
    {IDM_PRINT, 0},      {IDM_PRINT_CANCEL, 1}, {IDM_ENVIRONMENT, 2}, {IDM_DELETE, 3},
    {IDM_DELETE_ALL, 4}, {IDM_PROPERTIES, 5},   {IDM_VERSION, 6},     {IDM_PREVIEW, 7},
};

HINSTANCE instanceOf(HWND window) {
  return reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
}

HWND child(HWND parent, const char* className, DWORD style, int id, const char* text = "") {
  return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instanceOf(parent), nullptr);
}

// An image list from a bitmap resource; the bitmap itself is not kept.
HIMAGELIST maskedImages(HINSTANCE instance, const char* name, int size, int count, COLORREF mask) {
  HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR8 | ILC_MASK, count, 0);
  HBITMAP art = LoadBitmapA(instance, name);
  if (images && art) ImageList_AddMasked(images, art, mask);
  if (art) DeleteObject(art);
  return images;
}

void createToolbar(MainWindowParts* parts) {
  HWND bar = child(parts->window, TOOLBARCLASSNAMEA, CCS_TOP | TBSTYLE_TOOLTIPS | TBSTYLE_WRAPABLE, kToolbarId);
  parts->toolbar = bar;
  if (!bar) return;
  SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(kToolIcon, kToolIcon));
  SendMessageA(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(kToolIcon, kToolIcon));
  parts->toolbarImages = maskedImages(instanceOf(parts->window), kToolbarArt, kToolIcon, kToolbarImages, kToolbarMask);
  SendMessageA(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(parts->toolbarImages));
  TBBUTTON buttons[sizeof kToolButtons / sizeof kToolButtons[0]] = {};
  int i = 0;
  for (const ToolButton& tool : kToolButtons) {
    TBBUTTON& button = buttons[i++];
    button.iBitmap = tool.image < 0 ? 0 : tool.image;
    button.idCommand = tool.command;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = tool.image < 0 ? BTNS_SEP : BTNS_BUTTON;
  }
  SendMessageA(bar, TB_ADDBUTTONSA, i, reinterpret_cast<LPARAM>(buttons));
  SetWindowLongPtrA(bar, GWL_STYLE, GetWindowLongPtrA(bar, GWL_STYLE) | TBSTYLE_FLAT);
  SendMessageA(bar, TB_AUTOSIZE, 0, 0);
}

void createLists(MainWindowParts* parts) {
  AppState* state = parts->context->state;
  HINSTANCE instance = instanceOf(parts->window);
  parts->stateImages = createStateImageList(instance);
  const int ids[2] = {kUpperListId, kLowerListId};
  for (int index = 0; index < 2; ++index) {
    HWND list = createJobListControl(parts->window, ids[index], instance);
    parts->lists[index] = list;
    addJobColumns(list, index, state->columnWidths[index]);
    // Both lists show the one image list; the window destroys it at close.
    if (list) SetWindowLongPtrA(list, GWL_STYLE, GetWindowLongPtrA(list, GWL_STYLE) | LVS_SHAREIMAGELISTS);
    if (list && parts->stateImages) {
      SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(parts->stateImages));
    }
    parts->views[index].attach(list);
    state->listViews[index] = list;
    state->viewPorts[index] = &parts->views[index];
  }
}

void createStatusBar(MainWindowParts* parts) {
  HWND bar = child(parts->window, STATUSCLASSNAMEA, kStatusExtraStyle, kStatusBarId);
  parts->status = bar;
  parts->statusBar.attach(bar);
  if (!bar) return;
  setStatusParts(bar);
  parts->progress = child(bar, PROGRESS_CLASSA, PBS_SMOOTH, kProgressBarId);
  SendMessageA(parts->progress, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  SendMessageA(parts->progress, PBM_SETPOS, 0, 0);
}

// The preview's tooltip asks the window for its text each time it shows,
// so the estimate is the one made by then.
void createPreviewTip(MainWindowParts* parts) {
  parts->previewTip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parts->window,
                                      nullptr, instanceOf(parts->window), nullptr);
  if (!parts->previewTip || !parts->preview) return;
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = parts->window;
  tool.uId = reinterpret_cast<UINT_PTR>(parts->preview);
  tool.lpszText = LPSTR_TEXTCALLBACKA;
  SendMessageA(parts->previewTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  // Several lines, one per ink.
  SendMessageA(parts->previewTip, TTM_SETMAXTIPWIDTH, 0, 400);
  SendMessageA(parts->previewTip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
}

void createChildren(MainWindowParts* parts) {
  // The toolbar, list, status and progress classes exist only once the
  // common controls are initialised.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  HINSTANCE instance = instanceOf(parts->window);
  parts->animationImages = maskedImages(instance, kPrinterArt, kAnimationIcon, kAnimationFrames, kAnimationMask);
  createToolbar(parts);
  createLists(parts);
  parts->rightPanel = child(parts->window, "STATIC", 0, kRightPanelId);
  parts->splitter = child(parts->window, "STATIC", 0, kSplitterId);
  parts->preview = child(parts->window, "BUTTON", BS_OWNERDRAW, kPreviewPanelId);
  createPreviewTip(parts);
  createStatusBar(parts);
}

void setUpMenus(MainWindowParts* parts) {
  HMENU menu = GetMenu(parts->window);
  if (parts->context->variant && parts->context->variant->removesDeviceMenu && menu) {
    DeleteMenu(GetSubMenu(menu, 0), IDM_DEVICE_SETTINGS, MF_BYCOMMAND);
  }
  parts->menuStrip = LoadBitmapA(instanceOf(parts->window), kToolbarArt);
  parts->menus = jMenuInit(parts->window);
  for (const MenuIcon& icon : kMenuIcons) jMenuSetIcon(parts->menus, icon.command, parts->menuStrip, icon.image);
}

void createPreviewBitmap(MainWindowParts* parts) {
  HDC screen = GetDC(parts->window);
  parts->previewDc = CreateCompatibleDC(screen);
  parts->previewBitmap = CreateCompatibleBitmap(screen, kPreviewSize, kPreviewSize);
  ReleaseDC(parts->window, screen);
  if (!parts->previewDc || !parts->previewBitmap) return;
  parts->previewOldBitmap = static_cast<HBITMAP>(SelectObject(parts->previewDc, parts->previewBitmap));
  PatBlt(parts->previewDc, 0, 0, kPreviewSize, kPreviewSize, WHITENESS);
  jrRectangle(parts->previewDc, 0, 0, kPreviewSize, kPreviewSize, kPreviewFill, kPreviewFill, 0, 0);
}

void fillLists(MainWindowParts* parts) {
  refreshJobs(parts, true);
}

// The layout of the previous run, when one was saved.
void restoreSavedLayout(MainWindowParts* parts) {
  const AppState* state = parts->context->state;
  if (state->mainRect[1] == state->mainRect[3]) return;
  const int32_t* main = state->mainRect;
  // A rectangle saved on a monitor that is gone, or edited by hand, would
  // open the window where nobody can reach it.
  const RECT saved{main[0], main[1], main[2], main[3]};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  Rect placed{main[0], main[1], main[2], main[3]};
  if (GetMonitorInfoA(MonitorFromRect(&saved, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    placed = fitIntoArea(placed, {work.left, work.top, work.right, work.bottom});
  }
  MoveWindow(parts->window, placed.left, placed.top, widthOf(placed), heightOf(placed), FALSE);
  const int32_t* list = state->listRect;
  if (list[1] == list[3] || !parts->lists[kPrintList]) return;
  MoveWindow(parts->lists[kPrintList], list[0], list[1], list[2] - list[0], list[3] - list[1], FALSE);
  parts->split.upperList = {list[0], list[1], list[2], list[3]};
}

}  // namespace

LRESULT onCreate(MainWindowParts* parts) {
  ShellContext* context = parts->context;
  AppState* state = context->state;
  state->mainWindow = parts->window;
  // A missing or unreadable file leaves the defaults.
  readEnvironment(state->environmentPath, state);
  applyEnvironment(state);
  const DrawingLinkSetup link{context->paths.fontList, context->paths.fontFolder,
                              context->variant && context->variant->registersFileType};
  state->document = openDrawingLibrary(parts->window, link);
  if (state->document == 0) messageBox(parts, kDrawOpenFailed, MB_OK | MB_ICONWARNING);
  // The print list's ink estimates, made in the background by dry runs.
  if (state->document != 0) startJobInk(estimateByDryRun, context->paths.inkEstimates);
  // A list or buffer that cannot be made stays missing; nothing is reported.
  state->lists[kPrintList] = createJob();
  state->lists[kPrintedList] = createJob();
  createPreviewBuffer(state);
  createChildren(parts);
  parts->worker.attach(parts->window, parts->status, parts->progress, context->caption);
  useProgressDisplay(&parts->worker);
  setUpMenus(parts);
  createPreviewBitmap(parts);
  repaintAll(parts);
  fillLists(parts);
  SetTimer(parts->window, kRefreshTimer, kRefreshPeriod, nullptr);
  // A new file's first look as it appears, not at the next refresh.
  parts->hotFolderWatch = HotFolderWatch::start(parts->window, kHotFolderChangedMessage, state->hotFolder);
  refreshCommandStates(parts);
  refreshStatusPart(parts, kStatusActivity);
  refreshStatusPart(parts, kStatusMode);
  refreshStatusPart(parts, kStatusCounts);
  restoreSavedLayout(parts);
  // The children are laid out now, not only at the first size message: a
  // window created hidden may get none before it is shown.
  if (parts->split.state == kSplitterUnsized) onSize(parts);
  return 0;
}

void releaseWindowObjects(MainWindowParts* parts) {
  delete parts->hotFolderWatch;
  parts->hotFolderWatch = nullptr;
  for (HIMAGELIST* images : {&parts->animationImages, &parts->toolbarImages, &parts->stateImages}) {
    if (*images) ImageList_Destroy(*images);
    *images = nullptr;
  }
  if (parts->previewDc) {
    if (parts->previewOldBitmap) SelectObject(parts->previewDc, parts->previewOldBitmap);
    DeleteDC(parts->previewDc);
    parts->previewDc = nullptr;
  }
  if (parts->previewBitmap) DeleteObject(parts->previewBitmap);
  parts->previewBitmap = nullptr;
  // The menu gives its items back before the artwork they were cut from goes.
  if (parts->menus) jMenuEnd(parts->menus);
  parts->menus = nullptr;
  if (parts->menuStrip) DeleteObject(parts->menuStrip);
  parts->menuStrip = nullptr;
}

}  // namespace vlx
