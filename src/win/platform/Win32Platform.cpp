#include "win/platform/Win32Platform.h"

#include <shellapi.h>
#include <shlobj.h>
#include <winioctl.h>

#include <vector>

#include "core/app/AppState.h"
#include "win/platform/ShellHelpers.h"
#include "win/platform/WinText.h"
#include "win/ui/Modal.h"

namespace kestro::win {

namespace {

std::string FromBuffer(const wchar_t* buf, UINT len) { return Narrow(std::wstring_view(buf, len)); }

HKEY RootKey(RegistryRoot r) {
  switch (r) {
    case RegistryRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
  }
  return HKEY_CURRENT_USER;
}

}  // namespace

// --- files -----------------------------------------------------------------

bool Win32FileSystem::FileExists(const std::string& path) {
  DWORD a = GetFileAttributesW(Widen(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::DirectoryExists(const std::string& path) {
  DWORD a = GetFileAttributesW(Widen(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::ReadFile(const std::string& path, std::string& bytes) {
  HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(h, &size) && size.QuadPart < (1LL << 31);
  if (ok) {
    bytes.assign(size_t(size.QuadPart), '\0');
    DWORD got = 0;
    ok = bytes.empty() || (::ReadFile(h, bytes.data(), DWORD(bytes.size()), &got, nullptr) && got == bytes.size());
  }
  CloseHandle(h);
  return ok;
}

namespace {
bool WriteAll(const std::wstring& path, const std::string& bytes, bool flush) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = bytes.empty() || (::WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                              written == bytes.size());
  if (ok && flush) ok = FlushFileBuffers(h);
  DWORD error = ok ? 0 : GetLastError();
  ok = CloseHandle(h) && ok;
  if (error) SetLastError(error);
  return ok;
}

// "<file>: <the system's text for the last error>".
std::string WriteError(const std::wstring& file) {
  DWORD code = GetLastError();
  wchar_t* text = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring why = n ? std::wstring(text, n) : L"error " + std::to_wstring(code);
  if (text) LocalFree(text);
  while (!why.empty() && (why.back() == L'\n' || why.back() == L'\r' || why.back() == L' ')) why.pop_back();
  return Narrow(file) + ": " + Narrow(why);
}
}  // namespace

WriteResult Win32FileSystem::WriteFileAtomic(const std::string& path, const std::string& bytes) {
  std::wstring target = Widen(path);
  std::wstring temp = target + L".tmp";
  // A temporary file left by a run that was killed goes, even when read-only.
  DWORD attributes = GetFileAttributesW(temp.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(temp.c_str());
  }
  if (!WriteAll(temp, bytes, true)) {
    WriteResult failed{false, WriteError(temp)};
    DeleteFileW(temp.c_str());
    return failed;
  }
  if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    WriteResult failed{false, WriteError(target)};
    DeleteFileW(temp.c_str());
    return failed;
  }
  return {true, {}};
}

bool Win32FileSystem::WriteFile(const std::string& path, const std::string& bytes) {
  return WriteAll(Widen(path), bytes, false);
}

bool Win32FileSystem::CreateFolder(const std::string& path) {
  std::wstring folder = Widen(path);
  if (CreateDirectoryW(folder.c_str(), nullptr)) return true;
  DWORD attributes = GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::RemoveFile(const std::string& path) {
  std::wstring name = Widen(path);
  return DeleteFileW(name.c_str()) || GetFileAttributesW(name.c_str()) == INVALID_FILE_ATTRIBUTES;
}

// --- host ------------------------------------------------------------------

std::string Win32HostSystem::WindowsFolder() {
  wchar_t buf[MAX_PATH];
  UINT n = GetWindowsDirectoryW(buf, MAX_PATH);
  return n && n < MAX_PATH ? FromBuffer(buf, n) : std::string();
}

std::string Win32HostSystem::SystemFolder() {
  wchar_t buf[MAX_PATH];
  UINT n = GetSystemDirectoryW(buf, MAX_PATH);
  return n && n < MAX_PATH ? FromBuffer(buf, n) : std::string();
}

std::string Win32HostSystem::TempFolder() {
  wchar_t buf[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, buf);
  return n && n <= MAX_PATH ? FromBuffer(buf, n) : std::string();
}

std::string Win32HostSystem::UserProfileFolder() {
  wchar_t buf[MAX_PATH];
  DWORD n = ExpandEnvironmentStringsW(L"%USERPROFILE%", buf, MAX_PATH);
  return n && n <= MAX_PATH ? Narrow(buf) : std::string();
}

std::string Win32HostSystem::DesktopFolder() {
  EnsureUiCom();
  PIDLIST_ABSOLUTE pidl = nullptr;
  std::string result;
  if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &pidl)) && pidl) {
    wchar_t buf[MAX_PATH];
    if (SHGetPathFromIDListW(pidl, buf)) result = Narrow(buf);
    CoTaskMemFree(pidl);
  }
  return result;
}

std::string LocalAppDataFolder() {
  wchar_t buf[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, buf)) &&
      buf[0])
    return Narrow(buf);
  return Win32HostSystem().TempFolder();
}

uint32_t Win32HostSystem::SystemDefaultLcid() { return GetSystemDefaultLCID(); }

namespace {
BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO mi{sizeof mi};
  if (!GetMonitorInfoW(monitor, &mi)) return TRUE;
  auto& areas = *reinterpret_cast<std::vector<MonitorArea>*>(list);
  MonitorArea a{mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom};
  if (mi.dwFlags & MONITORINFOF_PRIMARY)
    areas.insert(areas.begin(), a);
  else
    areas.push_back(a);
  return TRUE;
}
}  // namespace

std::vector<MonitorArea> Win32HostSystem::MonitorWorkAreas() {
  std::vector<MonitorArea> areas;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&areas));
  if (areas.empty()) {
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    areas.push_back({r.left, r.top, r.right, r.bottom});
  }
  return areas;
}

// --- drives ----------------------------------------------------------------

DriveType Win32Drives::TypeOf(const std::string& root) {
  UINT t = GetDriveTypeW(Widen(root).c_str());
  return t <= 6 ? DriveType(t) : DriveType::Unknown;
}

BusTypeAnswer Win32Drives::BusTypeOf(char letter) {
  BusTypeAnswer answer;
  std::wstring device = L"\\\\.\\";
  device += wchar_t(letter);
  device += L':';
  // No access rights are needed for the property query, and asking for read
  // and write would fail for every user without administrator rights.
  HANDLE h = CreateFileW(device.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return answer;
  answer.opened = true;
  STORAGE_PROPERTY_QUERY query{};
  query.PropertyId = StorageAdapterProperty;
  query.QueryType = PropertyStandardQuery;
  BYTE out[512] = {};
  DWORD got = 0;
  if (DeviceIoControl(h, IOCTL_STORAGE_QUERY_PROPERTY, &query, 12, out, sizeof out, &got, nullptr) && got > 24)
    answer.busType = out[24];  // STORAGE_ADAPTER_DESCRIPTOR.BusType
  CloseHandle(h);
  return answer;
}

// --- registry --------------------------------------------------------------

std::optional<std::string> Win32Registry::ReadString(RegistryRoot root, const std::string& key,
                                                     const std::string& value) {
  std::optional<RegistryValue> v = ReadValue(root, key, value);
  if (!v) return std::nullopt;
  return std::move(v->data);
}

std::optional<RegistryValue> Win32Registry::ReadValue(RegistryRoot root, const std::string& key,
                                                     const std::string& value) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(RootKey(root), Widen(key).c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return std::nullopt;
  std::wstring name = Widen(value);
  DWORD type = 0, size = 0;
  std::optional<RegistryValue> result;
  if (RegQueryValueExW(h, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    std::vector<wchar_t> buf(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = DWORD(buf.size() * sizeof(wchar_t));
    if (RegQueryValueExW(h, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &bytes) ==
        ERROR_SUCCESS)
      result = RegistryValue{Narrow(buf.data()), type == REG_EXPAND_SZ ? RegistryType::ExpandString
                                                                       : RegistryType::String};
  }
  RegCloseKey(h);
  return result;
}

std::optional<RegistryKeyContents> Win32Registry::KeyContents(RegistryRoot root, const std::string& key) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(RootKey(root), Widen(key).c_str(), 0, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, &h) !=
      ERROR_SUCCESS)
    return std::nullopt;
  RegistryKeyContents contents;
  wchar_t name[16384];
  for (DWORD i = 0;; ++i) {
    DWORD len = 16384;
    if (RegEnumValueW(h, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    contents.values.push_back(Narrow(std::wstring_view(name, len)));
  }
  for (DWORD i = 0;; ++i) {
    DWORD len = 256;
    if (RegEnumKeyExW(h, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    contents.subkeys.push_back(Narrow(std::wstring_view(name, len)));
  }
  RegCloseKey(h);
  return contents;
}

bool Win32Registry::WriteValue(RegistryRoot root, const std::string& key, const std::string& value,
                               const RegistryValue& data) {
  HKEY h = nullptr;
  if (RegCreateKeyExW(RootKey(root), Widen(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) !=
      ERROR_SUCCESS)
    return false;
  std::wstring text = Widen(data.data);
  LSTATUS r = RegSetValueExW(h, Widen(value).c_str(), 0, data.type == RegistryType::ExpandString ? REG_EXPAND_SZ : REG_SZ,
                             reinterpret_cast<const BYTE*>(text.c_str()), DWORD((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(h);
  return r == ERROR_SUCCESS;
}

bool Win32Registry::DeleteValue(RegistryRoot root, const std::string& key, const std::string& value) {
  HKEY h = nullptr;
  LSTATUS r = RegOpenKeyExW(RootKey(root), Widen(key).c_str(), 0, KEY_SET_VALUE, &h);
  if (r == ERROR_FILE_NOT_FOUND) return true;
  if (r != ERROR_SUCCESS) return false;
  r = RegDeleteValueW(h, Widen(value).c_str());
  RegCloseKey(h);
  return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
}

bool Win32Registry::DeleteKeyTree(RegistryRoot root, const std::string& key) {
  std::wstring name = Widen(key);
  if (name.empty()) return false;  // never the root itself
  LSTATUS r = RegDeleteTreeW(RootKey(root), name.c_str());
  if (r == ERROR_SUCCESS) RegDeleteKeyW(RootKey(root), name.c_str());
  HKEY h = nullptr;
  if (RegOpenKeyExW(RootKey(root), name.c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return true;
  RegCloseKey(h);
  return false;
}

// --- messages --------------------------------------------------------------

void Win32MessageBoxes::Show(const std::string& text, const std::string& caption, MessageIcon icon) {
  UINT flags = MB_OK;
  switch (icon) {
    case MessageIcon::None: break;
    case MessageIcon::Information: flags |= MB_ICONINFORMATION; break;
    case MessageIcon::Warning: flags |= MB_ICONWARNING; break;
    case MessageIcon::Error: flags |= MB_ICONERROR; break;
    case MessageIcon::Question: flags |= MB_ICONQUESTION; break;
  }
  ShowMessageBox(Widen(text), Widen(caption), flags);
}

bool Win32MessageBoxes::Ask(const std::string& text, const std::string& caption) {
  return ShowMessageBox(Widen(text), Widen(caption), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// --- shell -------------------------------------------------------------------

int Win32Shell::Open(const std::string& file, const std::string& params, const std::string& workFolder,
                     int showCommand) {
  EnsureUiCom();
  std::wstring f = Widen(file), p = Widen(params), w = Widen(workFolder);
  HINSTANCE r = ShellExecuteW(nullptr, L"open", f.c_str(), p.empty() ? nullptr : p.c_str(),
                              w.empty() ? nullptr : w.c_str(), showCommand);
  return int(reinterpret_cast<INT_PTR>(r));
}

// --- text ------------------------------------------------------------------

std::string Win32TextCodec::AnsiToUtf8(std::string_view bytes) {
  if (bytes.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), nullptr, 0);
  std::wstring w(size_t(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), w.data(), n);
  return Narrow(w);
}

std::optional<std::string> Win32TextCodec::Utf8ToAnsi(std::string_view utf8) {
  if (utf8.empty()) return std::string();
  if (GetACP() == CP_UTF8) return std::string(utf8);  // no default-character check for it
  std::wstring w = Widen(utf8);
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), int(w.size()), nullptr, 0, nullptr,
                              &usedDefault);
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string out(size_t(n), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), int(w.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// --- process entry ---------------------------------------------------------

Win32EntryHost::~Win32EntryHost() {
  if (mutex_) CloseHandle(mutex_);
}

void Win32EntryHost::PostCloseToWindow(const std::string& caption) {
  if (HWND w = FindWindowW(nullptr, Widen(caption).c_str())) PostMessageW(w, WM_CLOSE, 0, 0);
}

bool Win32EntryHost::MutexExists(const std::string& name) {
  HANDLE h = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, Widen(name).c_str());
  if (!h) return false;
  CloseHandle(h);
  return true;
}

void Win32EntryHost::HoldMutex(const std::string& name) {
  mutex_ = CreateMutexW(nullptr, FALSE, Widen(name).c_str());
}

void Win32EntryHost::ShowPlainMessage(const std::string& text) {
  MessageBoxW(nullptr, Widen(text).c_str(), Widen(kPlainCaption).c_str(), MB_OK);
}

std::string_view ResourceBytes(const wchar_t* type, const wchar_t* name) {
  HRSRC res = FindResourceW(nullptr, name, type);
  if (!res) return {};
  HGLOBAL data = LoadResource(nullptr, res);
  const void* bytes = data ? LockResource(data) : nullptr;
  return bytes ? std::string_view(static_cast<const char*>(bytes), SizeofResource(nullptr, res)) : std::string_view();
}

std::string ExecutablePath() {
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), DWORD(buf.size()));
    if (n < buf.size()) return Narrow(std::wstring_view(buf.data(), n));
    buf.resize(buf.size() * 2);
  }
}

}  // namespace kestro::win
