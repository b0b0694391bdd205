/* removedrive: takes a drive out of use so that it can be pulled out.
 *
 *   removedrive X: [-b]
 *
 * Waits for no program to run from the drive, locks and dismounts its
 * volume, then asks the system to eject it. Started from the drive itself,
 * it first runs a copy of itself from the temporary folder, so that it does
 * not keep the drive busy. -b: started by Kestro's batch file while Kestro
 * and the programs it closed are still ending: it waits up to 10 seconds for
 * them, and keeps a failure on screen for 10 seconds.
 *
 * Exit codes: 0 done, 1 bad arguments, 2 the drive is in use (the programs
 * still running from it are named), 3 the system refused a step.
 *
 * Plain Win32 without the C runtime: it is carried inside Kestro.exe. */
#include <windows.h>
#include <winioctl.h>
#include <psapi.h>

#define WAIT_STEPS 20   /* -b: 20 x 500 ms */
#define WAIT_STEP_MS 500
#define MAX_PROCESSES 4096

/* The compiler may emit calls to these for structure copies and zeroing. */
void* memset(void* d, int c, size_t n) {
  unsigned char* p = (unsigned char*)d;
  while (n--) *p++ = (unsigned char)c;
  return d;
}
void* memcpy(void* d, const void* s, size_t n) {
  unsigned char* p = (unsigned char*)d;
  const unsigned char* q = (const unsigned char*)s;
  while (n--) *p++ = *q++;
  return d;
}

static HANDLE out;
static BOOL outConsole;

static int Length(const wchar_t* s) {
  int n = 0;
  while (s[n]) ++n;
  return n;
}

static void Say(const wchar_t* s) {
  DWORD written;
  int n = Length(s);
  if (outConsole) {
    WriteConsoleW(out, s, (DWORD)n, &written, NULL);
  } else {
    char buf[1024];
    int m = WideCharToMultiByte(CP_UTF8, 0, s, n, buf, sizeof buf, NULL, NULL);
    WriteFile(out, buf, (DWORD)m, &written, NULL);
  }
}

static void SayNumber(DWORD v) {
  wchar_t buf[12];
  int i = 11;
  buf[i] = 0;
  do {
    buf[--i] = (wchar_t)(L'0' + v % 10);
    v /= 10;
  } while (v);
  Say(buf + i);
}

static wchar_t Upper(wchar_t c) { return c >= L'a' && c <= L'z' ? (wchar_t)(c - 32) : c; }

/* The programs (their executables) with a module on the drive, one line
 * each when `report` is set; how many there are. */
static int ProgramsOnDrive(wchar_t letter, BOOL report) {
  static DWORD ids[MAX_PROCESSES];
  static HMODULE modules[1024];
  static wchar_t name[MAX_PATH];
  DWORD bytes = 0, own = GetCurrentProcessId(), i, m;
  int found = 0;
  if (!K32EnumProcesses(ids, sizeof ids, &bytes)) return 0;
  for (i = 0; i < bytes / sizeof(DWORD); ++i) {
    HANDLE p;
    DWORD needed = 0;
    if (ids[i] == 0 || ids[i] == own) continue;
    p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ids[i]);
    if (!p) continue;
    if (K32EnumProcessModules(p, modules, sizeof modules, &needed)) {
      DWORD count = needed / sizeof(HMODULE);
      if (count > 1024) count = 1024;
      for (m = 0; m < count; ++m) {
        DWORD n = K32GetModuleFileNameExW(p, modules[m], name, MAX_PATH);
        if (n >= 2 && name[1] == L':' && Upper(name[0]) == letter) {
          ++found;
          if (report) {
            /* The program, by its executable. */
            if (m != 0) K32GetModuleFileNameExW(p, modules[0], name, MAX_PATH);
            Say(L"  ");
            Say(name);
            Say(L"\r\n");
          }
          break;
        }
      }
    }
    CloseHandle(p);
  }
  return found;
}

static int Fail(int code, BOOL batch) {
  if (batch) Sleep(10000);
  return code;
}

static int InUse(wchar_t letter, BOOL batch, const wchar_t* why, DWORD error) {
  wchar_t drive[3] = {letter, L':', 0};
  Say(drive);
  Say(L" cannot be removed: it is still in use");
  if (why) {
    Say(L" (");
    Say(why);
    Say(L", error ");
    SayNumber(error);
    Say(L")");
  }
  Say(L".\r\n");
  if (ProgramsOnDrive(letter, FALSE)) {
    Say(L"Programs still running from it:\r\n");
    ProgramsOnDrive(letter, TRUE);
  }
  return Fail(2, batch);
}

static int Refused(const wchar_t* step, DWORD error, BOOL batch) {
  Say(L"The system refused to ");
  Say(step);
  Say(L" (error ");
  SayNumber(error);
  Say(L").\r\n");
  return Fail(3, batch);
}

/* Runs a copy from the temporary folder when this program lies on the
 * drive; true when the copy took over. */
static BOOL RunFromTemp(wchar_t letter, const wchar_t* args) {
  static wchar_t self[MAX_PATH], copy[MAX_PATH + 32], line[MAX_PATH * 2 + 64];
  STARTUPINFOW si;
  PROCESS_INFORMATION pi;
  DWORD n = GetModuleFileNameW(NULL, self, MAX_PATH);
  DWORD t = GetTempPathW(MAX_PATH, copy);
  int i, j;
  if (n < 2 || Upper(self[0]) != letter || self[1] != L':') return FALSE;
  if (t == 0 || t >= MAX_PATH || Upper(copy[0]) == letter) return FALSE;
  for (i = 0; L"kestro-removedrive.exe"[i]; ++i) copy[t + i] = L"kestro-removedrive.exe"[i];
  copy[t + i] = 0;
  if (!CopyFileW(self, copy, FALSE)) return FALSE;
  j = 0;
  line[j++] = L'"';
  for (i = 0; copy[i]; ++i) line[j++] = copy[i];
  line[j++] = L'"';
  for (i = 0; args[i] && j < (int)(sizeof line / sizeof line[0]) - 1; ++i) line[j++] = args[i];
  line[j] = 0;
  copy[t] = 0;  /* the temporary folder: the copy's working folder */
  memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  if (!CreateProcessW(NULL, line, NULL, NULL, FALSE, 0, NULL, copy, &si, &pi)) return FALSE;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return TRUE;
}

/* The command line after the program's own name. */
static const wchar_t* Arguments(const wchar_t* s) {
  BOOL quoted = FALSE;
  for (; *s; ++s) {
    if (*s == L'"') quoted = !quoted;
    else if (!quoted && (*s == L' ' || *s == L'\t')) break;
  }
  return s;
}

static const wchar_t* NextWord(const wchar_t* s, wchar_t* word, int size) {
  int n = 0;
  while (*s == L' ' || *s == L'\t') ++s;
  while (*s && *s != L' ' && *s != L'\t') {
    if (n < size - 1) word[n++] = *s;
    ++s;
  }
  word[n] = 0;
  return s;
}

static int Run(void) {
  const wchar_t* args = Arguments(GetCommandLineW());
  const wchar_t* s = args;
  wchar_t word[16], letter, volume[8] = L"\\\\.\\X:";
  BOOL batch = FALSE;
  HANDLE h;
  DWORD bytes, error;
  int tries;
  PREVENT_MEDIA_REMOVAL allow;
  s = NextWord(s, word, 16);
  letter = Upper(word[0]);
  if (letter < L'A' || letter > L'Z' || (word[1] && (word[1] != L':' || (word[2] && word[2] != L'\\')))) {
    Say(L"usage: removedrive X: [-b]\r\n");
    return 1;
  }
  while (*s) {
    s = NextWord(s, word, 16);
    if ((word[0] == L'-' || word[0] == L'/') && Upper(word[1]) == L'B' && !word[2]) batch = TRUE;
  }
  if (RunFromTemp(letter, args)) return 0;
  /* Neither the working folder may keep the drive busy. */
  {
    static wchar_t temp[MAX_PATH];
    if (GetTempPathW(MAX_PATH, temp)) SetCurrentDirectoryW(temp);
  }
  /* Kestro and the programs it closed may still be ending. */
  for (tries = batch ? WAIT_STEPS : 1; tries > 0 && ProgramsOnDrive(letter, FALSE); --tries)
    if (tries > 1) Sleep(WAIT_STEP_MS);
  if (ProgramsOnDrive(letter, FALSE)) return InUse(letter, batch, NULL, 0);

  volume[4] = letter;
  h = CreateFileW(volume, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0,
                  NULL);
  if (h == INVALID_HANDLE_VALUE) return Refused(L"open the drive", GetLastError(), batch);
  for (tries = batch ? WAIT_STEPS : 1;; --tries) {
    if (DeviceIoControl(h, FSCTL_LOCK_VOLUME, NULL, 0, NULL, 0, &bytes, NULL)) break;
    error = GetLastError();
    if (tries <= 1) {
      CloseHandle(h);
      return InUse(letter, batch, L"a file on it is open", error);
    }
    Sleep(WAIT_STEP_MS);
  }
  if (!DeviceIoControl(h, FSCTL_DISMOUNT_VOLUME, NULL, 0, NULL, 0, &bytes, NULL)) {
    error = GetLastError();
    CloseHandle(h);
    return Refused(L"dismount the drive", error, batch);
  }
  allow.PreventMediaRemoval = FALSE;
  DeviceIoControl(h, IOCTL_STORAGE_MEDIA_REMOVAL, &allow, sizeof allow, NULL, 0, &bytes, NULL);
  if (!DeviceIoControl(h, IOCTL_STORAGE_EJECT_MEDIA, NULL, 0, NULL, 0, &bytes, NULL)) {
    error = GetLastError();
    CloseHandle(h);
    /* Dismounted and locked until now: nothing is written to it any more. */
    Say(L"The drive is dismounted but the system did not eject it (error ");
    SayNumber(error);
    Say(L"); it can be pulled out once its light is off.\r\n");
    return 0;
  }
  CloseHandle(h);
  Say(volume + 4);
  Say(L" can be removed safely now.\r\n");
  return 0;
}

void RemoveDriveMain(void) {
  DWORD mode;
  out = GetStdHandle(STD_OUTPUT_HANDLE);
  outConsole = GetConsoleMode(out, &mode);
  ExitProcess((UINT)Run());
}
