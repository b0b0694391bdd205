#pragma once
// The start sequence of the main window and the save at exit.
#include <string>

#include "core/app/AppState.h"
#include "core/config/Settings.h"
#include "platform/Platform.h"

namespace kestro {

enum class StartOutcome {
  Running,         // the sequence ran to its end
  CloseRequested,  // refused (internal disk): the main window closes at once
};

class StartSequence {
 public:
  // `embeddedEnglish` is the English language file carried in Kestro.exe.
  StartSequence(AppState& state, Platform& platform, std::string_view embeddedEnglish = {})
      : s_(state), p_(platform), embeddedEnglish_(embeddedEnglish) {}

  // Runs every step in its order. `exePath` is the full path of Kestro.exe.
  StartOutcome Run(const std::string& exePath);

  // The steps, in order; public so that each can be tested on its own.
  void PutStartValues();
  void ComputeProgramValues(const std::string& exePath);
  bool CheckEditionAndBus(const std::string& exePath);  // false: refused
  void ReadHostValues();
  bool LoadDocument();  // false: there was no Kestro.xml
  void ChooseLanguage();

 private:
  void KeepDamagedCopy(const std::string& path, const std::string& bytes, const std::string& reason);
  AppState& s_;
  Platform& p_;
  std::string_view embeddedEnglish_;
};

// Keeps the stored panel inside the screen.
void ClampPanelBounds(EnvSet& env, int screenWidth, int workAreaHeight);

// The panel bounds as the window section stores them, from the settings
// (used while no panel window exists).
PanelWindowState WindowStateFromSettings(const EnvSet& env);

// The save point at the end of the run: the window section, then the file.
// Nothing is written after a forced removal of the drive, before the start
// sequence completed, or when the file on disk could not be read.
bool SaveAtExit(AppState& state, Platform& platform, const PanelWindowState& panel);

}  // namespace kestro
