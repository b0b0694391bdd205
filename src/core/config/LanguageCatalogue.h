#pragma once
// Every section and key of a language file that the program reads, with the
// window that reads it: what a complete language file has to hold.
#include <string>
#include <string_view>
#include <vector>

#include "core/config/Language.h"

namespace kestro {

struct LanguageCatalogueEntry {
  LanguageSection section;
  std::string_view reader;
  std::vector<std::string> keys;
};

// In the order of the windows; "Button" and "button" appear once per reader.
const std::vector<LanguageCatalogueEntry>& LanguageCatalogue();

}  // namespace kestro
