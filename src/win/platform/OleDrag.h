#pragma once
// The OLE side of drag and drop: a data object holding one format, the
// shell's file list, a drop source following the mouse buttons, and a drop
// target that hands its calls to functions.
#include <windows.h>
#include <ole2.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kestro::win {

// A data object offering `data` (a global memory block it takes over) in
// `format`, with one reference for the caller.
IDataObject* NewDataObject(CLIPFORMAT format, HGLOBAL data);

// The shell's file-drop block (CF_HDROP) for these full names.
HGLOBAL FileListData(const std::vector<std::string>& files);
// The names of a file drop, in their order; nothing when `data` carries none.
std::optional<std::vector<std::string>> DroppedFiles(IDataObject* data);

// A node of one of our trees being dragged: the data names it by its id, and
// only a drop in this process reads it.
CLIPFORMAT NodeDragFormat();
HGLOBAL NodeDragData(uint64_t nodeId);
std::optional<uint64_t> DraggedNode(IDataObject* data);

// Drops when the buttons are released, cancels on Esc; one reference for the caller.
IDropSource* NewDropSource();

// A drop target whose calls go to these functions (screen coordinates, the
// MK_ key state); the effects they return are cut to what the source allows.
struct DropHandlers {
  std::function<DWORD(IDataObject* data, DWORD keys, POINT screen)> enter;
  std::function<DWORD(DWORD keys, POINT screen)> over;
  std::function<void()> leave;
  std::function<DWORD(IDataObject* data, DWORD keys, POINT screen)> drop;
};
// Registers a target on `window` (OLE must be running on this thread);
// RevokeDragDrop ends it.
bool RegisterDropTarget(HWND window, DropHandlers handlers);

}  // namespace kestro::win
