// Shortcut codes as Kestro.xml stores them: the modifier code, the key code
// and the hotkey flag as texts (one per line), read the way the settings and
// the items read them, then translated for the system and shown.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "core/config/ShortcutCodes.h"
#include "core/items/ItemRecord.h"
#include "core/text/Text.h"
#include "core/ui/ItemTexts.h"

using namespace kestro;

namespace {

void CheckCodes(int32_t modifier, int32_t key) {
  FUZZ_CHECK(FsModifiersOf(modifier).has_value() == IsModifierCode(modifier));
  std::optional<uint32_t> vk = VirtualKeyOf(key);
  FUZZ_CHECK(vk.has_value() == IsKeyCode(key));
  if (vk) FUZZ_CHECK((*vk >= 'A' && *vk <= 'Z') || (*vk >= '0' && *vk <= '9'));
  std::string keyText = KeyText(key);
  FUZZ_CHECK(keyText.size() == (IsKeyCode(key) ? 1u : 0u));
  bool valid = IsModifierCode(modifier) && IsKeyCode(key);
  for (const std::string& text :
       {ShortcutDisplayText(modifier, key), ShortcutSettingsText(modifier, key), ShortKeyString(modifier, key)}) {
    FUZZ_CHECK(text.empty() != valid);
    if (valid) FUZZ_CHECK(EndsWith(text, keyText));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view fields[3];
  size_t n = fuzz::SplitFields(std::string_view(reinterpret_cast<const char*>(data), size), fields);

  TMyRec rec;
  rec.hotkeymodifier = ParseInt32(fields[0]).value_or(0);
  rec.hotkeycode = n > 1 ? ParseInt32(fields[1]).value_or(0) : 0;
  rec.hotkey = n > 2 && ParseBool(fields[2]).value_or(false);
  // A number read writes back as the same number.
  for (size_t i = 0; i < n; ++i)
    if (std::optional<int32_t> v = ParseInt32(fields[i])) FUZZ_CHECK(ParseInt32(std::to_string(*v)) == v);

  CheckCodes(rec.hotkeymodifier, rec.hotkeycode);
  std::string shown = ItemShortcutText(rec);
  FUZZ_CHECK(shown.empty() || (rec.hotkey && shown == ShortcutDisplayText(rec.hotkeymodifier, rec.hotkeycode)));
  HintText(rec, true);
  return 0;
}
