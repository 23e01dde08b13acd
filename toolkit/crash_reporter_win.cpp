#include "toolkit/crash_reporter_win.h"

#include <windows.h>

#include <dbghelp.h>

#include <cstdio>
#include <cwchar>

#include "base/format.h"
#include "base/wide_win.h"
#include "config/folders.h"

namespace {

CrashReporterConfig reporterConfig;
// The report without the fault's details, prepared at installation so that
// the filter allocates as little as possible.
std::u16string reportTemplate;
volatile LONG reporting = 0;

bool WriteWholeFile(const wchar_t* path, const void* bytes, DWORD size) {
  HANDLE file =
      CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes, size, &written, nullptr) && written == size;
  CloseHandle(file);
  return ok;
}

bool WriteMinidump(const wchar_t* path, EXCEPTION_POINTERS* pointers) {
  HANDLE file =
      CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  MINIDUMP_EXCEPTION_INFORMATION exception{GetCurrentThreadId(), pointers, FALSE};
  const BOOL ok =
      MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), file,
                        static_cast<MINIDUMP_TYPE>(MiniDumpWithDataSegs | MiniDumpWithThreadInfo),
                        &exception, nullptr, nullptr);
  CloseHandle(file);
  return ok != FALSE;
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* pointers) {
  if (InterlockedExchange(&reporting, 1) != 0) {
    return EXCEPTION_EXECUTE_HANDLER;  // a fault while reporting one
  }
  EnsureFolderExists(reporterConfig.reportFolder);

  SYSTEMTIME now;
  GetLocalTime(&now);
  wchar_t base[MAX_PATH * 2];
  std::swprintf(base, MAX_PATH * 2, L"%lscrash_%04u%02u%02u_%02u%02u%02u_%lu",
                AsWide(reporterConfig.reportFolder), now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond, GetCurrentProcessId());
  wchar_t dumpPath[MAX_PATH * 2 + 8];
  wchar_t reportPath[MAX_PATH * 2 + 8];
  std::swprintf(dumpPath, MAX_PATH * 2 + 8, L"%ls.dmp", base);
  std::swprintf(reportPath, MAX_PATH * 2 + 8, L"%ls.txt", base);

  const bool dumped = WriteMinidump(dumpPath, pointers);
  const EXCEPTION_RECORD* record = pointers ? pointers->ExceptionRecord : nullptr;
  wchar_t report[4096];
  const int length = std::swprintf(
      report, 4096, L"\xFEFF%ls\r\nException code: 0x%08lX\r\nAddress: 0x%p\r\nCrash dump: %ls\r\n",
      AsWide(reportTemplate), record ? record->ExceptionCode : 0UL,
      record ? record->ExceptionAddress : nullptr, dumped ? dumpPath : L"(could not be written)");
  if (length > 0) {
    WriteWholeFile(reportPath, report, static_cast<DWORD>(length) * sizeof(wchar_t));
  }
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void InstallCrashReporter(const CrashReporterConfig& config) {
  reporterConfig = config;
  reportTemplate = Format(
      u"%s %s ended because of an unexpected fault.\r\n"
      u"Please send this report and the crash dump beside it to %s, or see %s.\r\n"
      u"Support server: %s:%u\r\nReporter flags: %u",
      config.appName, config.version, config.supportEmail, config.supportPage,
      config.supportServerHost, config.supportServerPort, config.flags);
  SetUnhandledExceptionFilter(&OnUnhandledException);
}
