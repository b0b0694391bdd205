#pragma once
// "kestro_err.txt" beside the program: the one log the program keeps, of
// picture-list failures.
#include <string>

namespace kestro {

class IFileSystem;
struct EnvSet;

// Appends `message` and a line break. A drive that cannot be written loses
// the line and nothing else.
void WriteErrorLog(IFileSystem& files, const std::string& programFolder, const std::string& message);

// The application icon at start: with `iconmode` 1 the file `appicon`;
// otherwise "kestro.ico" beside the program when it exists, which then
// becomes `appicon`; else none and `appicon` is emptied. Returns the icon
// file to use, or empty for the built-in icon.
std::string ChooseApplicationIcon(EnvSet& env, const std::string& programFolder, IFileSystem& files);

}  // namespace kestro
