#include "core/host/ExeLinkEdit.h"

#include "core/config/Settings.h"
#include "core/host/Associations.h"
#include "core/text/Text.h"

namespace kestro {

std::vector<ExeLinkRow> RowsOf(const ExeLinkList& links) {
  std::vector<ExeLinkRow> rows;
  for (const auto& [ext, rec] : links) rows.push_back({rec.buselink, ext, rec.program});
  return rows;
}

size_t AddOrUpdateRow(std::vector<ExeLinkRow>& rows, const std::string& extension, const std::string& exeFile,
                      const std::string& parameters) {
  std::string program = exeFile + " " + parameters;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (!EqualsNoCase(rows[i].extension, extension)) continue;
    while (!program.empty() && program.back() == ' ') program.pop_back();
    rows[i].extension = extension;
    rows[i].program = program;
    return i;
  }
  rows.push_back({true, extension, program});
  return rows.size() - 1;
}

std::pair<std::string, std::string> SplitProgramText(const std::string& program) {
  size_t p = ToLowerAscii(program).find(".exe");
  if (p == std::string::npos) return {program, {}};
  std::string file = program.substr(0, p + 4);
  std::string rest = p + 5 <= program.size() ? program.substr(p + 5) : std::string();
  return {file, rest};
}

ExeLinkList ListOfRows(const std::vector<ExeLinkRow>& rows) {
  ExeLinkList list;
  for (const ExeLinkRow& r : rows) list.emplace_back(ToLowerAscii(r.extension), TEXELINK{r.checked, r.program});
  return list;
}

void ApplyExeLinkRows(AppState& state, HostChanges& host, const std::vector<ExeLinkRow>& rows) {
  ExeLinkList next = ListOfRows(rows);
  // Nothing may stay redirected that the new list no longer holds on.
  RestoreLeavingAssociations(host, state.exeLinks, next);
  state.exeLinks = std::move(next);
  if (state.exeLinks.empty()) {
    state.pv.associationsApplied = false;
    return;
  }
  WriteExeLinks(state.doc, state.exeLinks, state.pv.programDriveRoot);
  state.pv.associationsApplied = ApplyAssociations(host, state.exeLinks);
}

void UseUsbLinks(AppState& state, HostChanges& host) {
  state.pv.associationsApplied = ApplyAssociations(host, state.exeLinks);
}

void UsePcLinks(AppState& state, HostChanges& host) {
  RestoreAssociations(host, state.exeLinks);
  state.pv.associationsApplied = AnyAssociationApplied(host.Registry(), state.exeLinks);
}

}  // namespace kestro
