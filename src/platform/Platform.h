#pragma once
#include "platform/Drives.h"
#include "platform/FileSystem.h"
#include "platform/HostSystem.h"
#include "platform/Icons.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/TextCodec.h"
#include "platform/UserInterface.h"

namespace kestro {

// Everything through which the core sees the host PC.
struct Platform {
  IFileSystem& files;
  IHostSystem& host;
  IDrives& drives;
  IRegistry& registry;
  IMessageBoxes& messages;
  ITextCodec& codec;
  IShell& shell;
  IIcons& icons;
};

}  // namespace kestro
