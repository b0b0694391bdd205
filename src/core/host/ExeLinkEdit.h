#pragma once
// The association manager dialog's rules, apart from its window: its rows,
// adding and selecting them, and what its OK does to the list, the document
// and the host.
#include <string>
#include <utility>
#include <vector>

#include "core/app/AppState.h"
#include "core/host/HostChanges.h"

namespace kestro {

struct ExeLinkRow {
  bool checked = true;  // the row's check box: the use flag
  std::string extension;
  std::string program;
  bool operator==(const ExeLinkRow&) const = default;
};

std::vector<ExeLinkRow> RowsOf(const ExeLinkList& links);

// "리스트에 추가": the row of that extension (letter case ignored) gets the
// program (the file, a blank and the parameters, trailing blanks removed);
// without one a ticked row is added (the program text as it comes). The
// index of the row.
size_t AddOrUpdateRow(std::vector<ExeLinkRow>& rows, const std::string& extension, const std::string& exeFile,
                      const std::string& parameters);

// A row's program text split for the two edit boxes: the text up to and
// including its first ".exe" (in any letter case), and what follows after
// the blank behind it. Without ".exe" the whole text is the file.
std::pair<std::string, std::string> SplitProgramText(const std::string& program);

// The list the rows make: extensions in lower case.
ExeLinkList ListOfRows(const std::vector<ExeLinkRow>& rows);

// The dialog's OK: the rows replace the list. An extension that leaves the
// list or whose box is cleared while it is redirected is restored at once.
// Without rows the list is emptied and nothing is written or applied;
// otherwise the list goes into the document (in memory) and is applied,
// and the PC / USB mark follows the result.
void ApplyExeLinkRows(AppState& state, HostChanges& host, const std::vector<ExeLinkRow>& rows);

// The menu's two entries: the mark follows what really happened.
void UseUsbLinks(AppState& state, HostChanges& host);
void UsePcLinks(AppState& state, HostChanges& host);

}  // namespace kestro
