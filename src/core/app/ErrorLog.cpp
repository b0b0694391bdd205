#include "core/app/ErrorLog.h"

#include "core/config/EnvSet.h"
#include "platform/FileSystem.h"

namespace kestro {

void WriteErrorLog(IFileSystem& files, const std::string& programFolder, const std::string& message) {
  const std::string path = programFolder + "kestro_err.txt";
  std::string text;
  if (files.FileExists(path) && !files.ReadFile(path, text)) return;  // never truncate what we cannot read
  text += message + "\r\n";
  files.WriteFile(path, text);
}

std::string ChooseApplicationIcon(EnvSet& env, const std::string& programFolder, IFileSystem& files) {
  if (env.iconmode == 1) return env.appicon;
  const std::string own = programFolder + "kestro.ico";
  env.appicon = files.FileExists(own) ? own : std::string();
  return env.appicon;
}

}  // namespace kestro
