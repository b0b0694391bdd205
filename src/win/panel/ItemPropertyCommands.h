#pragma once
// The tree frame's entries that open the property dialogs: "항목 편집" and F2
// for the focused item, and "그룹추가". Each applies a confirmed dialog to
// the tree and saves Kestro.xml at once.
#include "core/items/ItemProperties.h"
#include "core/items/ItemTree.h"
#include "win/panel/FrameHost.h"

namespace kestro::win {

// The dialog that fits `node`; true when it was confirmed (the record
// changed and the document was saved).
bool popMenu_AttributeClick(IFrameHost& host, ItemNode& node);

// The group dialog for a new group, which goes where a new node goes for
// `focused` (null: none); the new node, or null after Cancel. The caller
// shows it: its parent, a group, is to be expanded.
ItemNode* popMenu_AddGroupClick(IFrameHost& host, ItemTree& tree, ItemNode* focused);

// The picture of an edited or new node: a fixed one at once; the icon of a
// file now, or once the start's pictures are in (AddWaitingPictures), the
// fixed one meanwhile.
void SetItemPicture(IFrameHost& host, ItemNode& node, const PictureSource& picture);

// Pictures of edited and added items wait while the start's pictures are
// not all in the lists (nothing else may append then, or the indexes the
// start handed out would shift); the panel calls this once they are in.
void AddWaitingPictures(AppState& state, ImageLists& images);

}  // namespace kestro::win
