#include "core/config/Language.h"

#include "core/text/Text.h"

namespace kestro {

EnglishFileState WriteEnglishFileIfMissing(const std::string& programFolder, std::string_view embeddedEnglish,
                                           IFileSystem& files) {
  const std::string path = programFolder + std::string(kEnglishLanguageFileName);
  if (files.FileExists(path)) return EnglishFileState::Present;
  // An empty file would be kept for good and give "no caption" everywhere.
  if (embeddedEnglish.empty()) return EnglishFileState::NoResource;
  return files.WriteFileAtomic(path, std::string(embeddedEnglish)) ? EnglishFileState::Written
                                                                   : EnglishFileState::WriteFailed;
}

void FillFromLanguageFile(const IniFile& file, MessageTable& table, TrayMenuCaptions& tray) {
  const LanguageSection& t = lang::kTrayMenu;
  tray.view = file.Get(t.name, "traymenu_view.caption", t.fallback);
  tray.env = file.Get(t.name, "traymenu_env.caption", t.fallback);
  tray.exit = file.Get(t.name, "traymenu_exit.caption", t.fallback);
  const LanguageSection& m = lang::kMsgbox;
  for (int n = 0; n < kMessageCount; ++n) {
    const std::string key = MessageKey(n);
    table.Set(key, file.Get(m.name, "strMsgList" + key, m.fallback));
  }
}

LanguageChoice ChooseLanguage(const LanguageStart& start, MessageTable& table, IFileSystem& files, ITextCodec& codec) {
  LanguageChoice choice;
  choice.englishFile = WriteEnglishFileIfMissing(start.programFolder, start.embeddedEnglish, files);
  table.Clear();

  const std::string english = start.programFolder + std::string(kEnglishLanguageFileName);
  std::optional<IniFile> file;
  if (!start.language.empty() && start.language != kDefaultLanguage) {
    const std::string named = start.programFolder + start.language;
    if (files.FileExists(named)) file = IniFile::Read(named, files, codec);
    choice.languageFile = file ? named : english;
  } else if (start.systemLocale == kKoreanLocale) {
    table.FillKoreanDefaults();
    return choice;
  } else {
    choice.languageFile = english;
  }

  if (!file) file = IniFile::Read(choice.languageFile, files, codec);
  if (!file && choice.languageFile == english && !start.embeddedEnglish.empty()) {
    // The English file could not be written or read; its text is known, and
    // messages saying "no caption" would tell the user nothing.
    file = IniFile::Parse(DecodeProfileText(start.embeddedEnglish, codec));
    choice.messagesFromEmbeddedEnglish = true;
  }
  TrayMenuCaptions tray;
  FillFromLanguageFile(file ? *file : IniFile(), table, tray);
  choice.trayCaptions = tray;
  if (file && !choice.messagesFromEmbeddedEnglish) choice.readFile = std::move(file);
  return choice;
}

LanguageTexts LanguageTexts::FromFile(IniFile file) {
  LanguageTexts texts;
  texts.file_ = std::move(file);
  return texts;
}

LanguageTexts LanguageTexts::Open(const std::string& languageFile, IFileSystem& files, ITextCodec& codec) {
  LanguageTexts texts;
  if (languageFile.empty() || !files.FileExists(languageFile)) return texts;
  texts.file_ = IniFile::Read(languageFile, files, codec);
  return texts;
}

std::string LanguageTexts::Text(const LanguageSection& section, std::string_view key) const {
  return file_ ? file_->Get(section.name, key, section.fallback) : std::string(section.fallback);
}

std::string LanguageTexts::Caption(const LanguageSection& section, std::string_view key,
                                   std::string_view builtIn) const {
  return file_ ? file_->Get(section.name, key, section.fallback) : std::string(builtIn);
}

void SearchLngFile(const std::vector<std::string>& folderEntries, std::vector<std::string>& list) {
  for (const std::string& entry : folderEntries) {
    std::string_view name = FileNamePart(entry);
    if (name == "." || name == "..") continue;
    size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && name.substr(dot) == ".lng") list.emplace_back(name);
  }
}

}  // namespace kestro
