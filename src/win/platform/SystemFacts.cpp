#include "win/platform/SystemFacts.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <winhttp.h>

#include <vector>

#include "win/platform/WinText.h"

namespace kestro::win {

namespace {

constexpr int kResolveMs = 2000, kConnectMs = 2000, kSendMs = 3000, kReceiveMs = 3000;
constexpr size_t kBodyLimit = 64 * 1024;  // an echo page is a few hundred bytes

// Closes a WinHTTP handle when it goes out of scope.
struct HttpHandle {
  HINTERNET h = nullptr;
  ~HttpHandle() {
    if (h) WinHttpCloseHandle(h);
  }
  explicit operator bool() const { return h != nullptr; }
};

std::string LocaleText(LCTYPE what, const char* fallback) {
  wchar_t buf[16] = {};
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, what, buf, 16) <= 0) return fallback;
  return Narrow(buf);
}

}  // namespace

DiskBytes Win32SystemFacts::DiskSpace(const std::string& root) {
  ULARGE_INTEGER available{}, total{}, free{};
  if (!GetDiskFreeSpaceExW(Widen(root).c_str(), &available, &total, &free)) return {};
  return {double(total.QuadPart), double(free.QuadPart)};
}

std::string Win32SystemFacts::FileSystemName(const std::string& root) {
  wchar_t name[MAX_PATH + 1] = {};
  if (!GetVolumeInformationW(Widen(root).c_str(), nullptr, 0, nullptr, nullptr, nullptr, name, MAX_PATH + 1))
    return {};
  return Narrow(name);
}

DriveType Win32SystemFacts::TypeOf(const std::string& root) {
  UINT t = GetDriveTypeW(Widen(root).c_str());
  return t <= 6 ? DriveType(t) : DriveType::Unknown;
}

std::optional<std::string> Win32SystemFacts::MachineText(std::string_view key, std::string_view value) {
  std::wstring k = Widen(key), v = Widen(value);
  DWORD size = 0;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, k.c_str(), v.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS)
    return std::nullopt;
  std::vector<wchar_t> buf(size / sizeof(wchar_t) + 1, L'\0');
  size = DWORD(buf.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_LOCAL_MACHINE, k.c_str(), v.c_str(), RRF_RT_REG_SZ, nullptr, buf.data(), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return Narrow(buf.data());
}

std::optional<uint32_t> Win32SystemFacts::MachineNumber(std::string_view key, std::string_view value) {
  DWORD number = 0, size = sizeof number;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, Widen(key).c_str(), Widen(value).c_str(), RRF_RT_REG_DWORD, nullptr, &number,
                   &size) != ERROR_SUCCESS)
    return std::nullopt;
  return uint32_t(number);
}

int Win32SystemFacts::ProcessorCount() {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  return int(info.dwNumberOfProcessors);
}

ScreenFacts Win32SystemFacts::Screen() {
  ScreenFacts s{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 0};
  HWND desktop = GetDesktopWindow();
  if (HDC dc = GetDC(desktop)) {
    s.bitsPerPixel = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(desktop, dc);
  }
  return s;
}

MemoryFacts Win32SystemFacts::Memory() {
  MEMORYSTATUSEX status{sizeof status};
  if (!GlobalMemoryStatusEx(&status)) return {};
  return {double(status.ullTotalPhys), double(status.ullAvailPhys)};
}

std::string Win32SystemFacts::LocalAddress() {
  WSADATA wsa;
  if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return {};
  std::string address;
  char host[256] = {};
  addrinfo hints{};
  hints.ai_family = AF_INET;
  addrinfo* found = nullptr;
  if (gethostname(host, sizeof host) == 0 && getaddrinfo(host, nullptr, &hints, &found) == 0 && found) {
    char text[INET_ADDRSTRLEN] = {};
    auto* in = reinterpret_cast<sockaddr_in*>(found->ai_addr);
    if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof text)) address = text;
    freeaddrinfo(found);
  }
  WSACleanup();
  return address;
}

NumberSeparators Win32SystemFacts::Separators() {
  return {LocaleText(LOCALE_SDECIMAL, "."), LocaleText(LOCALE_STHOUSAND, ",")};
}

std::optional<std::string> WinHttpClient::Get(const std::string& url) {
  std::wstring wide = Widen(url);
  wchar_t host[256] = {}, path[2048] = {};
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = host;
  parts.dwHostNameLength = DWORD(std::size(host));
  parts.lpszUrlPath = path;
  parts.dwUrlPathLength = DWORD(std::size(path));
  if (!WinHttpCrackUrl(wide.c_str(), 0, 0, &parts)) return std::nullopt;

  // The default proxy setting: the system's, or the http_proxy of the environment.
  HttpHandle session{WinHttpOpen(L"Kestro", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                 WINHTTP_NO_PROXY_BYPASS, 0)};
  if (!session) return std::nullopt;
  WinHttpSetTimeouts(session.h, kResolveMs, kConnectMs, kSendMs, kReceiveMs);
  HttpHandle connection{WinHttpConnect(session.h, host, parts.nPort, 0)};
  if (!connection) return std::nullopt;
  HttpHandle request{WinHttpOpenRequest(connection.h, L"GET", path[0] ? path : L"/", nullptr, WINHTTP_NO_REFERER,
                                        WINHTTP_DEFAULT_ACCEPT_TYPES,
                                        parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0)};
  if (!request) return std::nullopt;
  // The wait for the answer's headers has its own time-out (90 s by default).
  DWORD responseMs = kReceiveMs;
  WinHttpSetOption(request.h, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseMs, sizeof responseMs);
  if (!WinHttpSendRequest(request.h, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
      !WinHttpReceiveResponse(request.h, nullptr))
    return std::nullopt;
  DWORD status = 0, size = sizeof status;
  if (!WinHttpQueryHeaders(request.h, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX) ||
      status < 200 || status >= 300)
    return std::nullopt;
  std::string body;
  char buf[4096];
  for (;;) {
    DWORD got = 0;
    if (!WinHttpReadData(request.h, buf, sizeof buf, &got)) return std::nullopt;
    if (got == 0) break;
    body.append(buf, got);
    if (body.size() >= kBodyLimit) break;
  }
  return body;
}

}  // namespace kestro::win
