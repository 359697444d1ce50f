#include "base/Files.h"

#include <windows.h>

#include <utility>

#include "base/TempFileNames.h"

// windows.h names its own DeleteFile; ours is kestrum::DeleteFile.
#undef DeleteFile

namespace kestrum {

const char16_t PathDelim = u'\\';

namespace {

std::wstring Wide(const String& text) {
  return std::wstring(text.begin(), text.end());
}

String FromWide(const wchar_t* text, size_t length) {
  return String(reinterpret_cast<const char16_t*>(text), length);
}

[[noreturn]] void Fail(const char16_t* verb, const String& path, DWORD error) {
  throw EFileError(String(verb) + u" \"" + path + u"\": " + SystemErrorMessage(static_cast<int>(error)));
}

bool IsSeparator(char16_t c) {
  return c == u'\\' || c == u'/';
}

// A NUL inside a name would silently cut it short and address another file.
bool ToNativePath(const String& path, std::wstring& native) {
  if (path.empty() || path.find(u'\0') != String::npos) return false;
  native = Wide(path);
  return true;
}

std::wstring NativeOrFail(const char16_t* verb, const String& path) {
  std::wstring native;
  if (!ToNativePath(path, native)) Fail(verb, path, ERROR_INVALID_NAME);
  return native;
}

DWORD Attributes(const String& path) {
  std::wstring native;
  return ToNativePath(path, native) ? GetFileAttributesW(native.c_str()) : INVALID_FILE_ATTRIBUTES;
}

// Closes the handle on every path; Release() hands the closing (and its error) to the caller.
class FileHandle final {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (Valid()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }
  HANDLE Release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

 private:
  HANDLE handle_;
};

HANDLE CreateNew(const std::wstring& path) {
  return CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Writes everything, flushes it to disk and closes the handle.
bool WriteFlushClose(FileHandle& file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file.Get(), bytes.data(), chunk, &written, nullptr)) return false;
    if (written == 0) {
      SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    bytes.remove_prefix(written);
  }
  return FlushFileBuffers(file.Get()) && CloseHandle(file.Release());
}

// Creates "<target>.tmp-XXXXXX" exclusively.
HANDLE CreateTempFile(const std::wstring& target, std::wstring& tempPath) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = target + Wide(kTempInfix + RandomTempSuffix());
    const HANDLE file = CreateNew(tempPath);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

size_t LastSeparator(const std::wstring& path) {
  return path.find_last_of(L"\\/");
}

// Temporary files of earlier writes to target that a crash or kill cut off. Only one copy of the
// program writes its files, so any such file is a leftover.
void RemoveStaleTempFiles(const std::wstring& target) {
  const size_t slash = LastSeparator(target);
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
  const size_t nameLength = target.size() - folder.size() + std::char_traits<char16_t>::length(kTempInfix);
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((target + Wide(kTempInfix) + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name.size() == nameLength + kTempSuffixLength &&
        (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      DeleteFileW((folder + name).c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

}  // namespace

String SystemErrorMessage(int error) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  String message = length > 0 ? TrimRight(FromWide(buffer, length)) : u"error " + IntToStr(error);
  LocalFree(buffer);
  return message;
}

// Windows refuses to replace a read-only file by itself; links are the system's business there.
String LinkTarget(const String& path) {
  return path;
}

bool FileExists(const String& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const String& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int64_t FileSize(const String& path) {
  std::wstring native;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!ToNativePath(path, native) || !GetFileAttributesExW(native.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return -1;
  return static_cast<int64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

std::string ReadFileBytes(const String& path) {
  const std::wstring native = NativeOrFail(u"Cannot read", path);
  FileHandle file(CreateFileW(native.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) Fail(u"Cannot read", path, GetLastError());
  std::string bytes;
  LARGE_INTEGER size;
  if (GetFileSizeEx(file.Get(), &size) && size.QuadPart > 0)
    bytes.reserve(static_cast<size_t>(size.QuadPart));
  char buffer[65536];
  for (;;) {
    DWORD count = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &count, nullptr))
      Fail(u"Cannot read", path, GetLastError());
    if (count == 0) break;
    bytes.append(buffer, count);
  }
  return bytes;
}

void WriteFileAtomic(const String& path, std::string_view bytes) {
  const std::wstring target = NativeOrFail(u"Cannot write", path);
  std::wstring tempPath;
  FileHandle file(CreateTempFile(target, tempPath));
  if (!file.Valid()) Fail(u"Cannot write", path, GetLastError());
  // MOVEFILE_WRITE_THROUGH returns only once the move is on disk.
  if (!WriteFlushClose(file, bytes) ||
      !MoveFileExW(tempPath.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = GetLastError();
    if (file.Valid()) CloseHandle(file.Release());
    DeleteFileW(tempPath.c_str());
    Fail(u"Cannot write", path, error);
  }
  RemoveStaleTempFiles(target);
}

bool WriteNewFile(const String& path, std::string_view bytes) {
  const std::wstring native = NativeOrFail(u"Cannot write", path);
  FileHandle file(CreateNew(native));
  if (!file.Valid()) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return false;
    Fail(u"Cannot write", path, error);
  }
  if (!WriteFlushClose(file, bytes)) {
    const DWORD error = GetLastError();
    if (file.Valid()) CloseHandle(file.Release());
    DeleteFileW(native.c_str());  // a file cut short by a full disk is no copy
    Fail(u"Cannot write", path, error);
  }
  return true;
}

bool DeleteFile(const String& path) {
  std::wstring native;
  return ToNativePath(path, native) && DeleteFileW(native.c_str());
}

bool RenameFile(const String& from, const String& to) {
  std::wstring nativeFrom, nativeTo;
  return ToNativePath(from, nativeFrom) && ToNativePath(to, nativeTo) &&
         MoveFileExW(nativeFrom.c_str(), nativeTo.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// Creates each folder on the way; a drive ("C:") or the root needs none.
bool ForceDirectories(const String& folder) {
  std::wstring native;
  if (!ToNativePath(folder, native)) return false;
  for (size_t i = 1; i <= native.size(); ++i) {
    if (i < native.size() && !IsSeparator(native[i])) continue;
    const std::wstring step = native.substr(0, i);
    if (step.back() != L':' && !IsSeparator(step.back())) CreateDirectoryW(step.c_str(), nullptr);
  }
  return DirectoryExists(folder);
}

// "C:\raid.dat" lies in "C:\", the root of its drive.
String ExtractFileDir(const String& path) {
  const size_t slash = path.find_last_of(u"\\/");
  if (slash == String::npos) return {};
  if (slash == 0 || path[slash - 1] == u':') return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

String ProgramFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      const String exe = FromWide(buffer.data(), length);
      return exe.substr(0, exe.find_last_of(u"\\/") + 1);
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace kestrum
