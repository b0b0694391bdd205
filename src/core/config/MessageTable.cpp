#include "core/config/MessageTable.h"

#include <array>

namespace kestro {

namespace {

const std::array<const char*, kMessageCount> kKoreanDefaults = {
    "USB저장장치에서만 실행가능합니다!",
    "실행중인 프로그램 리스트",
    "지금은 작업중이므로 종료할수없습니다!",
    "변경하고자하는 @1는 현재사용중입니다!#13따라서 현재 드라이브인 @2으로 유지됩니다!",
    "현재탭을 삭제하시면.. 포함된 항목들이 모두 삭제됩니다.#13삭제하시겠습니까?",
    "PC->USB 작업완료!",
    "USB->PC 작업완료!",
    "사용중",
    "포터블 연결프로그램이 등록되어있지 않습니다!#13기본 연결프로그램으로 실행합니다.",
    "현재탭을 삭제하시면.. 포함된 항목들이 모두 삭제됩니다.",
    "그룹아이콘입니다. 하위항목을 모두 삭제하시겠습니까?",
    "지원되지않는 포멧입니다!",
    "확장자 연결 설정이 변경되었습니다. 변경사항을 적용하시겠습니까?",
    "2자 이상 입력하세요!",
    nullptr,
    "이름을 넣어주세요",
    "그룹명을 넣어주세요",
    "언어설정은 프로그램 재실행시 적용됩니다!",
    "실행창 보기",
    "폴더의 설정",
    "파일의 설정",
    "그룹의 설정",
    "Kestro.exe 프로그램실행",
};

const std::string kEmpty;

}  // namespace

std::string MessageKey(int n) {
  std::string key = "00";
  key[0] = char('0' + (n / 10) % 10);
  key[1] = char('0' + n % 10);
  return key;
}

const char* KoreanDefaultMessage(int n) { return (n >= 0 && n < kMessageCount) ? kKoreanDefaults[size_t(n)] : nullptr; }

std::string FormatMessageText(std::string_view text, std::initializer_list<std::string_view> values) {
  const std::string_view* v = values.begin();
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    std::string_view rest = text.substr(i);
    if (rest.starts_with("@1") && values.size() >= 1) {
      out += v[0];
      i += 2;
    } else if (rest.starts_with("@2") && values.size() >= 2) {
      out += v[1];
      i += 2;
    } else if (rest.starts_with("#13")) {
      out += "\r\n";
      i += 3;
    } else {
      out += text[i++];
    }
  }
  return out;
}

void MessageTable::Set(std::string_view key, std::string text) {
  auto it = entries_.find(key);
  if (it == entries_.end())
    entries_.emplace(std::string(key), std::move(text));
  else
    it->second = std::move(text);
}

const std::string& MessageTable::Text(std::string_view key) const {
  auto it = entries_.find(key);
  return it == entries_.end() ? kEmpty : it->second;
}

void MessageTable::FillKoreanDefaults() {
  entries_.clear();
  for (int n = 0; n < kMessageCount; ++n)
    if (const char* text = KoreanDefaultMessage(n)) Set(MessageKey(n), text);
}

}  // namespace kestro
