#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Exception.h"
#include "base/Strings.h"

namespace kestrum {

// A file operation failed; the message names the file and says what went wrong in plain words.
class EFileError : public Exception {
 public:
  using Exception::Exception;
};

// The path separator of this platform: '/' on Linux, '\\' on Windows.
extern const char16_t PathDelim;

bool FileExists(const String& path);       // a file (not a folder) exists at path
bool DirectoryExists(const String& path);  // a folder exists at path

// The whole file; throws EFileError when it cannot be opened or read.
std::string ReadFileBytes(const String& path);
// The size in bytes of the file at path; -1 when there is none (or it is a folder).
int64_t FileSize(const String& path);

// Replaces the file's content so that a crash at any moment leaves the old file or the new one:
// the bytes go to a temporary file in the same folder, are flushed to disk and renamed over path.
// A link is written through to the file it leads to (see LinkTarget) and stays a link. Throws
// EFileError (and leaves path and no temporary file behind) when any step fails, and refuses a
// file whose owner may not write it (its mode bits, so root too) and a link whose target's folder
// does not exist.
void WriteFileAtomic(const String& path, std::string_view bytes);

// Writes a new file, flushed to disk, never replacing anything: false when path exists already (a
// link or folder included). Throws EFileError, and leaves no file, when writing fails.
bool WriteNewFile(const String& path, std::string_view bytes);

// Best-effort operations whose outcome callers may ignore: true on success.
bool DeleteFile(const String& path);
bool RenameFile(const String& from, const String& to);         // replaces an existing target
bool CopyFileReplacing(const String& from, const String& to);  // atomic like WriteFileAtomic
bool ForceDirectories(const String& folder);                   // creates every missing folder on the way

// The names of the files (not folders) in folder that begin with prefix, in no particular order;
// none when the folder cannot be read.
std::vector<String> FileNamesStartingWith(const String& folder, std::u16string_view prefix);

// Where a write to path lands: the file its links lead to, followed one by one whether or not the
// last one exists; path itself when it is no link (always on Windows).
String LinkTarget(const String& path);

// The system's own wording of an error number (errno on Linux, GetLastError on Windows), in the
// user's language.
String SystemErrorMessage(int error);

// The text before the last path separator; empty when there is none.
String ExtractFileDir(const String& path);
// The folder of the running program's file, with a trailing separator.
String ProgramFolder();

}  // namespace kestrum
