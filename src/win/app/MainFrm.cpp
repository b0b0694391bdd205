#include "win/app/MainFrm.h"

#include "core/app/ErrorLog.h"
#include "core/app/StartSequence.h"
#include "core/items/IconPlan.h"
#include "core/ui/TrayMenu.h"
#include "win/platform/IconLoader.h"
#include "win/platform/ShellHelpers.h"
#include "win/platform/WinText.h"
#include "win/ui/Modal.h"
#include "win/ui/Modeless.h"

namespace kestro::win {

namespace {
constexpr wchar_t kClassName[] = L"TmainFrm";
constexpr UINT kIconLoadedMessage = WM_APP + 1;
constexpr UINT kPicturesMessage = WM_APP + 2;

}  // namespace

HICON SmallAppIcon() {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON,
                                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
}

TmainFrm::TmainFrm(Win32Platform& platform, std::string exePath)
    : platform_(platform),
      exePath_(std::move(exePath)),
      hostChanges_(platform.files, platform.registry, platform.desktop, platform.messages,
                   JournalPathIn(LocalAppDataFolder())) {
  platform_.images.SetMacros(&macros_);
  hostChanges_.SetVolumes(&platform_.volumes);
}

TmainFrm::~TmainFrm() {
  UndoHostChanges();
  tray_.Remove();
  SetModalWindows(nullptr, nullptr);
  platform_.images.SetMacros(nullptr);
  if (appIcon_) DestroyIcon(appIcon_);
}

bool TmainFrm::Create() {
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
  if (!RegisterWindowClass(kClassName, icon, nullptr)) return false;
  // A tool window gets no taskbar button; it is never shown.
  return CreateWindowHandle(WS_EX_TOOLWINDOW, kClassName, Widen(kMainWindowCaption).c_str(), WS_POPUP, 0, 0, 0, 0,
                            nullptr, nullptr) != nullptr;
}

void TmainFrm::ApplicationIcon() {
  appIconFile_ = ChooseApplicationIcon(state_.env, state_.pv.programFolder, platform_.files);
  if (!appIconFile_.empty())
    appIcon_ = static_cast<HICON>(
        LoadImageW(nullptr, Widen(appIconFile_).c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
}

void TmainFrm::FormCreate() {
  // The trees are read with placeholder pictures: the shell is asked for
  // none of them before the panel is on screen.
  // Messages of the start belong to this (hidden) window until the panel exists.
  SetModalWindows(Handle(), nullptr);
  Win32Platform& p = platform_;
  Platform reading{p.files, p.host, p.drives, p.registry, p.messages, p.codec, p.shell, deferredPictures_};
  StartSequence sequence(state_, reading, ResourceBytes(L"EXEFILE", L"english"));
  sequence.picturesStep = [this] { ApplicationIcon(); };
  sequence.hostChanges = &hostChanges_;
  sequence.volumes = &platform_.volumes;
  if (sequence.Run(exePath_) == StartOutcome::CloseRequested) {
    PostMessageW(Handle(), WM_CLOSE, 0, 0);
    return;
  }
  // The system needs a moment after a drive moved to another letter.
  if (state_.pv.panelStartDelay) Sleep(1000);
  // The panel, placed where the settings say (after the clamping to the screen).
  const EnvSet& env = state_.env;
  panel_ = std::make_unique<TviewFrm>(state_, platform_);
  panel_->onTerminate = [this](ExitTrigger trigger) { PostMessageW(Handle(), WM_CLOSE, WPARAM(trigger), 0); };
  panel_->hostChanges = &hostChanges_;
  panel_->onSettings = [this] { OpenSettings(); };
  panel_->initialPlacement = true;
  // Posted before the panel exists, so that it comes before anything posted
  // to the panel (an exit chosen at once is then refused while the pictures
  // load); the panel shows before the loop runs.
  PostMessageW(Handle(), kPicturesMessage, 0, 0);
  if (!panel_->Create()) {
    panel_.reset();
    return;
  }
  SetModalWindows(Handle(), panel_->Handle());
  if (appIcon_) {
    SendMessageW(panel_->Handle(), WM_SETICON, ICON_BIG, LPARAM(appIcon_));
    SendMessageW(panel_->Handle(), WM_SETICON, ICON_SMALL, LPARAM(appIcon_));
  }
  panel_->SetBounds(env.left, env.top, env.width, env.height);
  panel_->initialPlacement = false;
  panel_->BuildPages();
  tray_.onSettings = [this] { OpenSettings(); };
  tray_.Add(Handle(), appIcon_ ? appIcon_ : SmallAppIcon(), TrayHint(state_.pv.programDrive, state_.messages));
  if (env.showonstartup) {
    panel_->ShowPanel();
    UpdateWindow(panel_->Handle());
  }
  StartShortcuts();
}

void TmainFrm::PicturesStep() {
  EnsureUiCom();
  // Every lookup runs on the worker, in the order the pictures are to be
  // appended; the panel takes input meanwhile.
  const std::string* appIcon = state_.env.iconmode == 1 ? &appIconFile_ : nullptr;
  deferredResults_.clear();
  loader_ = StartIconLoader(StartPictureJobs(deferredPictures_.Paths(), appIcon,
                                             PlanIconLoad(state_.panel, state_.env.tabindex), macros_),
                            Handle(), kIconLoadedMessage, state_.iconLoadBusy);
}

void TmainFrm::IconLoaded(LPARAM lParam) {
  auto* result = reinterpret_cast<IconResult*>(lParam);
  if (!result) {
    --state_.iconLoadBusy;
    return;
  }
  ImageLists& images = platform_.images;
  // Items showing the same picture share one index.
  auto add = [&] { return images.AddLookedUp(result->file, result->icons); };
  switch (result->kind) {
    case PictureJobKind::Fixed:
      images.AddFixedIcons(result->fixed,
                           [this](const std::string& m) { WriteErrorLog(platform_.files, state_.pv.programFolder, m); });
      break;
    case PictureJobKind::AppIcon:
      add();
      break;
    case PictureJobKind::Deferred:
      deferredResults_.push_back(add());
      break;
    case PictureJobKind::DeferredDone:
      // Everything asked for while reading is in: the trees get their
      // pictures and lists, and groups may look pictures up themselves.
      deferredPictures_.ResolveWith(deferredResults_, state_.panel);
      if (panel_) panel_->PicturesReady();
      break;
    case PictureJobKind::Node:
      if (NodeId placed = PlaceNodePicture(*result, images, state_.panel); placed != kNoNode && panel_)
        panel_->InvalidateNode(placed);
      break;
  }
  result->icons.Release();
  result->fixed.icons.Release();
  delete result;
}

LRESULT TmainFrm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (LRESULT r = 0; tray_.HandleMessage(msg, wParam, lParam, r)) return r;
  switch (msg) {
    case WM_CREATE:
      FormCreate();
      return 0;
    case WM_CLOSE:
      // Never destroy windows under a running menu, dialog or message box:
      // they are ended first and the close comes back afterwards.
      // A second request while the exit runs (its list is open) is not
      // a new exit.
      if (exiting_) return 0;
      // No end while the favorites are being copied, whichever way.
      if (state_.favoritesCopyState != 0 && RefusedWhileCopying(TriggerOfCloseRequest(wParam))) {
        ShowMessageBox(Widen(state_.messages.Message(msg::kBusyCannotExit)), L"Notice", MB_OK | MB_ICONWARNING);
        return 0;
      }
      if (!DeferCloseWhileModal(Handle(), wParam)) FormClose(TriggerOfCloseRequest(wParam));
      return 0;
    case WM_QUERYENDSESSION:
      return QueryEndSession(wParam, lParam);
    case WM_TIMER:
      if (wParam == kTimer1) Timer1();
      if (wParam == kTimer2) Timer2();
      if (wParam == kTimer3) Timer3();
      return 0;
    case WM_DEVICECHANGE:
      DeviceChange(wParam);
      return TRUE;
    case kIconLoadedMessage:
      IconLoaded(lParam);
      return 1;
    case kPicturesMessage:
      if (panel_) PicturesStep();
      return 0;
    case kShortcutNoticeMessage:
      ShortcutNotice();
      return 0;
    case WM_HOTKEY:
      SystemHotKey(wParam);
      return 0;
    case WM_DESTROY:
      FormDestroy();
      PostQuitMessage(0);
      return 0;
    default:
      return Window::HandleMessage(msg, wParam, lParam);
  }
}

}  // namespace kestro::win
