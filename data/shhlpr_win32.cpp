#include "data/shhlpr.h"

#include <windows.h>

#include <shlobj.h>

namespace kestrum {

// The roaming application-data folder (special folder 26), asked of the shell as an item list.
String GetAppDataFolder() {
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator))) return String();
  String folder;
  PIDLIST_ABSOLUTE items = nullptr;
  if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_APPDATA, &items))) {
    wchar_t path[MAX_PATH + 1] = {};
    if (SHGetPathFromIDListW(items, path)) folder = reinterpret_cast<const char16_t*>(path);
    allocator->Free(items);
  }
  allocator->Release();
  return folder;
}

}  // namespace kestrum
