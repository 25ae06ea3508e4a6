// lorvane-version-info: prints the version resource of each file named, as
// Windows' file properties read it (GetFileVersionInfoA, VerQueryValueA):
//
//   file PATH
//   fixed FILEVERSION PRODUCTVERSION     (the numbers, a.b.c.d)
//   NAME=VALUE                           (the strings of the first language)
//
// Exits 1 when a file has no version resource.
#include <stdio.h>
#include <windows.h>

#include <vector>

namespace {

const char* const Names[] = {"CompanyName",    "FileDescription",  "FileVersion", "InternalName",
                             "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion"};

bool PrintVersionInfo(const char* path) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  if (size == 0) return false;
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(path, 0, size, data.data())) return false;

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data.data(), "\\", (void**)&fixed, &length) || length < sizeof *fixed)
    return false;
  printf("file %s\nfixed %lu.%lu.%lu.%lu %lu.%lu.%lu.%lu\n", path, fixed->dwFileVersionMS >> 16,
         fixed->dwFileVersionMS & 0xFFFF, fixed->dwFileVersionLS >> 16,
         fixed->dwFileVersionLS & 0xFFFF, fixed->dwProductVersionMS >> 16,
         fixed->dwProductVersionMS & 0xFFFF, fixed->dwProductVersionLS >> 16,
         fixed->dwProductVersionLS & 0xFFFF);

  // The strings live under the language and code page that the translation
  // table names first.
  WORD* translation = nullptr;
  if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", (void**)&translation, &length) ||
      length < 2 * sizeof(WORD))
    return false;
  for (const char* name : Names) {
    char query[96];
    snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1],
             name);
    char* value = nullptr;
    if (VerQueryValueA(data.data(), query, (void**)&value, &length) && length > 0)
      printf("%s=%s\n", name, value);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    if (!PrintVersionInfo(argv[i])) {
      printf("file %s\nno version resource\n", argv[i]);
      status = 1;
    }
  }
  return status;
}
