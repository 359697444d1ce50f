#include "data/shhlpr.h"

#include "base/Files.h"

namespace kestrum {

namespace {

String FileInAppFolder(const String& FileName) {
  String folder = GetAppDataFolder();
  if (folder.empty()) return ProgramFolder() + FileName;
  if (folder.back() != PathDelim) folder += PathDelim;
  return folder + u"Brasswick" + PathDelim + u"Kestrum" + PathDelim + FileName;
}

}  // namespace

String GetDataFileName() {
  return FileInAppFolder(u"raid.dat");
}

String GetConfigFileName() {
  return FileInAppFolder(u"cfg.ini");
}

void ForceFileDir(const String& FileName) {
  const String folder = ExtractFileDir(FileName);
  if (!folder.empty()) ForceDirectories(folder);
}

}  // namespace kestrum
