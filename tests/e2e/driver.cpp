// The driver library: another program's windows, boxes, pixels, clipboard and
// resources, seen and handled from this one.
#include "driver.h"

#include <string.h>
#include <tlhelp32.h>

namespace {

const DWORD POLL_MS = 5;

// Wine offers this to map a Unix path to the DOS path that names it.
typedef WCHAR*(CDECL* WineGetDosFileName)(const char*);

std::string ZDrivePath(const std::string& path) {
  std::string out = "Z:";
  for (char c : path) out += (c == '/') ? '\\' : c;
  return out;
}

}  // namespace

std::string WindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  WineGetDosFileName convert =
      kernel ? (WineGetDosFileName)(void*)GetProcAddress(kernel, "wine_get_dos_file_name")
             : nullptr;
  if (convert != nullptr) {
    WCHAR* wide = convert(path.c_str());
    if (wide != nullptr) {
      char narrow[MAX_PATH * 4];
      int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
      HeapFree(GetProcessHeap(), 0, wide);
      if (n > 0) return narrow;
    }
  }
  // Wine maps Z: to the Unix root in every prefix it makes.
  return ZDrivePath(path);
}

bool StartProgram(const std::string& exe, const char* tail, Driven* driven) {
  std::string name = WindowsPath(exe);
  std::string commandLine = "\"" + name + "\"";
  if (tail != nullptr) commandLine += std::string(" ") + tail;
  std::vector<char> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(name.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    driven->process = driven->thread = nullptr;
    driven->processId = 0;
    return false;
  }
  driven->process = info.hProcess;
  driven->thread = info.hThread;
  driven->processId = info.dwProcessId;
  return true;
}

bool WaitExit(Driven* driven, DWORD timeoutMs, DWORD* exitCode) {
  if (WaitForSingleObject(driven->process, timeoutMs) != WAIT_OBJECT_0) return false;
  DWORD code = 0;
  GetExitCodeProcess(driven->process, &code);
  *exitCode = code;
  return true;
}

DWORD FindProcessNamed(const char* exeName, DWORD except) {
  // The wide entries: the ANSI ones would change type with UNICODE.
  WCHAR wanted[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, 0, exeName, -1, wanted, MAX_PATH) == 0) return 0;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  DWORD found = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && found == 0;
       more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID != except && lstrcmpiW(entry.szExeFile, wanted) == 0)
      found = entry.th32ProcessID;
  }
  CloseHandle(snapshot);
  return found;
}

void CloseDriven(Driven* driven) {
  if (driven->thread) CloseHandle(driven->thread);
  if (driven->process) CloseHandle(driven->process);
  driven->process = driven->thread = nullptr;
}

void KillProgram(Driven* driven) {
  if (driven->process == nullptr) return;
  if (WaitForSingleObject(driven->process, 0) != WAIT_OBJECT_0) {
    TerminateProcess(driven->process, 999);
    WaitForSingleObject(driven->process, 5000);
  }
  CloseDriven(driven);
}

namespace {

struct WindowSearch {
  DWORD processId;
  const char* className;  // nullptr: any
  const char* caption;    // nullptr: any
  HWND found;
  std::string foundCaption;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
  WindowSearch* search = (WindowSearch*)data;
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  char className[64] = "";
  GetClassNameA(window, className, sizeof className);
  if (search->className && strcmp(className, search->className) != 0) return TRUE;
  std::string caption = WindowText(window);
  if (search->caption && caption != search->caption) return TRUE;
  search->found = window;
  search->foundCaption = caption;
  return FALSE;
}

HWND Search(DWORD processId, const char* className, const char* caption, std::string* found) {
  WindowSearch search = {processId, className, caption, nullptr, ""};
  EnumWindows(MatchWindow, (LPARAM)&search);
  if (found && search.found) *found = search.foundCaption;
  return search.found;
}

bool Ended(Driven* driven) { return WaitForSingleObject(driven->process, 0) == WAIT_OBJECT_0; }

// Searches until a window is found, the process ends or the time runs out.
HWND WaitSearch(Driven* driven, const char* className, const char* caption, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND window = Search(driven->processId, className, caption, nullptr);
    if (window) return window;
    if (Ended(driven) || GetTickCount() - start > timeoutMs) return nullptr;
    Sleep(POLL_MS);
  }
}

}  // namespace

HWND FindProcessWindow(DWORD processId, const char* className) {
  return Search(processId, className, nullptr, nullptr);
}

HWND WaitProcessWindow(Driven* driven, const char* className, DWORD timeoutMs) {
  return WaitSearch(driven, className, nullptr, timeoutMs);
}

HWND FindDialog(DWORD processId, const char* caption) {
  return Search(processId, "#32770", caption, nullptr);
}

HWND FindAnyDialog(DWORD processId, std::string* caption) {
  return Search(processId, "#32770", nullptr, caption);
}

HWND WaitDialog(Driven* driven, const char* caption, DWORD timeoutMs) {
  return WaitSearch(driven, "#32770", caption, timeoutMs);
}

std::string WindowText(HWND window) {
  char text[4096] = "";
  LRESULT n = SendMessageA(window, WM_GETTEXT, sizeof text, (LPARAM)text);
  if (n < 0) n = 0;
  return std::string(text, (size_t)n);
}

std::string MessageBoxText(HWND box) {
  HWND text = GetDlgItem(box, 0xFFFF);
  return text ? WindowText(text) : std::string();
}

bool PressOk(HWND box, DWORD timeoutMs) { return PressButton(box, IDOK, timeoutMs); }

bool PressButton(HWND box, int id, DWORD timeoutMs) {
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(box, id));
  DWORD start = GetTickCount();
  while (IsWindow(box)) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(POLL_MS);
  }
  return true;
}

bool WaitPainted(HWND window, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  // The program paints when its queue is empty; a sent WM_NULL returns
  // once it is back in its message loop.
  DWORD_PTR ignored;
  for (;;) {
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored);
    if (!GetUpdateRect(window, nullptr, FALSE)) break;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(POLL_MS);
  }
  // The painted pixels reach the display a moment later: wait until two
  // captures in a row agree.
  Capture previous, current;
  if (!CaptureClient(window, &previous)) return false;
  for (;;) {
    Sleep(20);
    if (!CaptureClient(window, &current)) return false;
    if (current.width == previous.width && current.height == previous.height &&
        current.pixels == previous.pixels)
      return true;
    if (GetTickCount() - start > timeoutMs) return false;
    previous = current;
  }
}

void PostKey(HWND window, UINT virtualKey) {
  UINT scan = MapVirtualKeyA(virtualKey, 0);
  PostMessageA(window, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  PostMessageA(window, WM_KEYUP, virtualKey, 1 | (scan << 16) | (1u << 30) | (1u << 31));
}

void PostCommand(HWND window, WORD command) {
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void SendScroll(HWND window, int bar, WORD code, WORD thumb) {
  SendMessageA(window, bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(code, thumb), 0);
}

RECT ClientRect(HWND window) {
  RECT rect = {0, 0, 0, 0};
  GetClientRect(window, &rect);
  return rect;
}

bool ResizeClient(HWND window, int width, int height) {
  // The frame, menu bar and scroll bars take what the two rectangles
  // differ by; the menu bar may wrap, so adjust until it fits.
  for (int attempt = 0; attempt < 4; ++attempt) {
    RECT outer, inner = ClientRect(window);
    GetWindowRect(window, &outer);
    int w = (outer.right - outer.left) + (width - inner.right);
    int h = (outer.bottom - outer.top) + (height - inner.bottom);
    SetWindowPos(window, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    inner = ClientRect(window);
    if (inner.right == width && inner.bottom == height) return true;
  }
  return false;
}

BITMAPINFO TopDown32BitInfo(int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows from the top down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

HBITMAP CreateTopDown32BitSection(HDC dc, int width, int height, void** bits) {
  BITMAPINFO info = TopDown32BitInfo(width, height);
  void* ignored = nullptr;
  return CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits ? bits : &ignored, nullptr, 0);
}

bool CaptureClient(HWND window, Capture* capture) {
  RECT rect = ClientRect(window);
  int width = rect.right, height = rect.bottom;
  capture->width = width;
  capture->height = height;
  capture->pixels.assign((size_t)width * (size_t)height, 0);
  if (width <= 0 || height <= 0) return true;
  HDC windowDC = GetDC(window);
  if (windowDC == nullptr) return false;
  HDC memoryDC = CreateCompatibleDC(windowDC);
  void* bits = nullptr;
  HBITMAP section = CreateTopDown32BitSection(memoryDC, width, height, &bits);
  bool ok = section != nullptr;
  if (ok) {
    HGDIOBJ old = SelectObject(memoryDC, section);
    ok = BitBlt(memoryDC, 0, 0, width, height, windowDC, 0, 0, SRCCOPY) != 0;
    GdiFlush();
    if (ok) {
      const unsigned int* source = (const unsigned int*)bits;
      for (size_t i = 0; i < capture->pixels.size(); ++i) capture->pixels[i] = source[i] & 0xFFFFFF;
    }
    SelectObject(memoryDC, old);
    DeleteObject(section);
  }
  DeleteDC(memoryDC);
  ReleaseDC(window, windowDC);
  return ok;
}

unsigned int PixelAt(const Capture& capture, int x, int y) {
  return capture.pixels[(size_t)y * (size_t)capture.width + (size_t)x];
}

bool BitmapPixels(HBITMAP bitmap, Capture* pixels) {
  BITMAP size = {};
  if (bitmap == nullptr || GetObjectA(bitmap, sizeof size, &size) == 0) return false;
  pixels->width = size.bmWidth;
  pixels->height = size.bmHeight;
  pixels->pixels.assign((size_t)size.bmWidth * (size_t)size.bmHeight, 0);
  BITMAPINFO info = TopDown32BitInfo(size.bmWidth, size.bmHeight);
  HDC screen = GetDC(nullptr);
  bool ok = GetDIBits(screen, bitmap, 0, (UINT)size.bmHeight, pixels->pixels.data(), &info,
                      DIB_RGB_COLORS) == size.bmHeight;
  ReleaseDC(nullptr, screen);
  for (unsigned int& pixel : pixels->pixels) pixel &= 0xFFFFFF;
  return ok;
}

bool ClipboardBitmap(Capture* bitmap) {
  if (!OpenClipboard(nullptr)) return false;
  bool ok = BitmapPixels((HBITMAP)GetClipboardData(CF_BITMAP), bitmap);
  CloseClipboard();
  return ok;
}

bool PutClipboardText(const char* text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  size_t size = strlen(text) + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  bool ok = memory != nullptr;
  if (ok) {
    memcpy(GlobalLock(memory), text, size);
    GlobalUnlock(memory);
    ok = SetClipboardData(CF_TEXT, memory) != nullptr;
  }
  CloseClipboard();
  return ok;
}

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  HANDLE memory = GetClipboardData(CF_TEXT);
  if (memory != nullptr) {
    const char* chars = (const char*)GlobalLock(memory);
    if (chars) text = chars;
    GlobalUnlock(memory);
  }
  CloseClipboard();
  return text;
}

namespace {

// An exe loaded as data: its resources only, no code run.
struct DataModule {
  HMODULE module;
  explicit DataModule(const std::string& exe)
      : module(LoadLibraryExA(WindowsPath(exe).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~DataModule() {
    if (module) FreeLibrary(module);
  }
};

}  // namespace

bool ReadMenu(const std::string& exe, const char* name, std::vector<MenuItem>* items) {
  DataModule data(exe);
  if (!data.module) return false;
  HMENU menu = LoadMenuA(data.module, name);
  if (!menu) return false;
  items->clear();
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MenuItem item;
    char text[256] = "";
    GetMenuStringA(menu, (UINT)i, text, sizeof text, MF_BYPOSITION);
    item.text = text;
    item.popup = GetSubMenu(menu, i) != nullptr;
    item.id = item.popup ? 0 : GetMenuItemID(menu, i);
    item.state = GetMenuState(menu, (UINT)i, MF_BYPOSITION);
    items->push_back(item);
  }
  DestroyMenu(menu);
  return true;
}

bool ReadAccelerators(const std::string& exe, const char* name, std::vector<ACCEL>* table) {
  DataModule data(exe);
  if (!data.module) return false;
  HACCEL accelerators = LoadAcceleratorsA(data.module, name);
  if (!accelerators) return false;
  int count = CopyAcceleratorTableA(accelerators, nullptr, 0);
  table->assign((size_t)count, ACCEL());
  if (count > 0) CopyAcceleratorTableA(accelerators, table->data(), count);
  DestroyAcceleratorTable(accelerators);
  return true;
}

namespace {

#pragma pack(push, 2)
// The directory of an icon group as a resource holds it.
struct GroupIconEntry {
  BYTE width, height, colorCount, reserved;
  WORD planes, bitCount;
  DWORD bytesInRes;
  WORD id;
};
struct GroupIconHeader {
  WORD reserved, type, count;
};
#pragma pack(pop)

const void* ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type, DWORD* size) {
  HRSRC found = FindResourceA(module, name, type);
  if (!found) return nullptr;
  HGLOBAL loaded = LoadResource(module, found);
  if (!loaded) return nullptr;
  *size = SizeofResource(module, found);
  return LockResource(loaded);
}

}  // namespace

bool ReadIcon(const std::string& exe, const char* name, std::vector<IconImage>* images) {
  DataModule data(exe);
  if (!data.module) return false;
  DWORD size = 0;
  // RT_GROUP_ICON and RT_ICON spelt out: with UNICODE defined they are wide.
  const BYTE* group = (const BYTE*)ResourceBytes(data.module, name, MAKEINTRESOURCEA(14), &size);
  if (!group || size < sizeof(GroupIconHeader)) return false;
  const GroupIconHeader* header = (const GroupIconHeader*)group;
  images->clear();
  for (WORD i = 0; i < header->count; ++i) {
    const GroupIconEntry* entry =
        (const GroupIconEntry*)(group + sizeof(GroupIconHeader) + i * sizeof(GroupIconEntry));
    DWORD imageSize = 0;
    const BYTE* image = (const BYTE*)ResourceBytes(data.module, MAKEINTRESOURCEA(entry->id),
                                                   MAKEINTRESOURCEA(3), &imageSize);
    if (!image || imageSize < sizeof(BITMAPINFOHEADER)) return false;
    const BITMAPINFOHEADER* bitmap = (const BITMAPINFOHEADER*)image;
    IconImage out;
    out.width = bitmap->biWidth;
    out.height = bitmap->biHeight / 2;  // colour bits and mask stacked
    out.bitCount = bitmap->biBitCount;
    out.colorCount = entry->colorCount;
    int colours = bitmap->biBitCount <= 8
                      ? (bitmap->biClrUsed ? (int)bitmap->biClrUsed : 1 << bitmap->biBitCount)
                      : 0;
    DWORD xorRow = ((out.width * out.bitCount + 31) / 32) * 4;
    DWORD andRow = ((out.width + 31) / 32) * 4;
    DWORD expected = bitmap->biSize + colours * 4 + (xorRow + andRow) * out.height;
    out.hasMask = bitmap->biHeight == 2 * out.height && imageSize >= expected;
    out.bits.assign(image, image + imageSize);
    images->push_back(out);
  }
  return true;
}
