#pragma once
// File extensions redirected to programs on the drive: for the extension e,
// the key "." + e names the file type "kestro." + e, whose open command and
// icon are the drive's program; the key's previous file type is kept in
// its value "kestro_bak" (and, with its type, in the journal).
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/config/EnvSet.h"
#include "core/host/HostChanges.h"

namespace kestro {

std::unique_ptr<IHostChangeKind> MakeAssociationChangeKind();

// Where the classes live: the machine's (written when the host lets us) and
// the current user's (written where the machine's are refused).
constexpr const char* kMachineClasses = "SOFTWARE\\Classes\\";
constexpr const char* kUserClasses = "Software\\Classes\\";
constexpr const char* kBackupValue = "kestro_bak";

// The file type of an extension: "kestro." + e.
std::string FileTypeOf(const std::string& extension);
// The open command: the program text, a blank and "%1" in quotation marks.
std::string OpenCommandOf(const std::string& program);

// An extension as the dialog takes it: one leading dot dropped, lower case;
// none for empty text or text with "\", "/" or blanks.
std::optional<std::string> NormalizeExtension(const std::string& text);

// Whether the extension is redirected now (its key, machine's or user's,
// names our file type).
bool IsAssociationApplied(IRegistry& registry, const std::string& extension);
// Whether any extension of the list with its use flag on is redirected now:
// the PC / USB mark of the menu.
bool AnyAssociationApplied(IRegistry& registry, const ExeLinkList& links);

// Every entry with its use flag on is redirected (the machine's classes,
// else the user's), every entry with it off is restored; entries already in
// the wanted state are not touched. Extensions that could not be redirected
// are reported once. Returns the new mark (AnyAssociationApplied).
bool ApplyAssociations(HostChanges& host, const ExeLinkList& links);

// Every entry of the list is restored where it is redirected; keys of
// extensions that were never redirected are neither created nor changed.
void RestoreAssociations(HostChanges& host, const ExeLinkList& links);

// One extension restored in both places.
void RestoreAssociation(HostChanges& host, const std::string& extension);

// The dialog's new list replaces `links`: extensions that leave the list,
// or whose use flag goes off, are restored at once.
void RestoreLeavingAssociations(HostChanges& host, const ExeLinkList& links, const ExeLinkList& next);

}  // namespace kestro
