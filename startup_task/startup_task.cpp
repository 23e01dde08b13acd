#include "startup_task/startup_task.h"

#include <cstdint>
#include <vector>

#include "app/log.h"
#include "base/format.h"
#include "base/text.h"
#include "config/folders.h"

namespace {

// cmd.exe waits for the batch file without a practical limit.
constexpr std::uint32_t kWaitForever = 0xFFFFFFFFu;

// A value as cmd.exe reads it back from a batch file: "%" starts a variable.
std::u16string BatchValue(std::u16string_view value) {
  return ReplaceAll(value, u"%", u"%%");
}

std::u16string WithUnderscores(std::u16string_view taskName) {
  return ReplaceAll(taskName, u" ", u"_");
}

}  // namespace

StartupTaskPaths MakeStartupTaskPaths(std::u16string_view windowsFolder,
                                      std::u16string_view userTempFolder,
                                      std::u16string_view programFolder) {
  const std::u16string windows = NormalizeFolder(windowsFolder);
  const std::u16string temp = NormalizeFolder(userTempFolder);
  const std::u16string program = NormalizeFolder(programFolder);
  StartupTaskPaths paths;
  // Relative paths would run whatever lies in the current folder.
  if (!windows.empty()) {
    paths.schtasks = windows + u"System32\\schtasks.exe";
    paths.cmd = windows + u"System32\\cmd.exe";
  }
  if (!temp.empty()) {
    paths.batchFolder = temp + u"Vantreloquin\\";
    paths.queryOutput = paths.batchFolder + u"task.dump";
  }
  if (!program.empty()) {
    paths.launcher = program + std::u16string(kLauncherFileName);
  }
  return paths;
}

std::u16string QueryBatchFileName(std::u16string_view taskName) {
  return u"Check_" + WithUnderscores(taskName) + u".bat";
}

std::u16string CreateBatchFileName(std::u16string_view taskName) {
  return u"Create_" + std::u16string(taskName) + u".bat";
}

std::u16string DeleteBatchFileName(std::u16string_view taskName) {
  return u"Rem_" + WithUnderscores(taskName) + u".bat";
}

std::u16string QueryBatchText(const StartupTaskPaths& paths, std::u16string_view taskName) {
  return Format(u"@echo off\r\n\"%s\" /query /tn \"%s\" > \"%s\" ", BatchValue(paths.schtasks),
                BatchValue(taskName), BatchValue(paths.queryOutput));
}

std::u16string CreateBatchText(const StartupTaskPaths& paths, std::u16string_view taskName) {
  return Format(u"@echo off\r\n\"%s\" /create /tn \"%s\" /tr \"'%s'\" /sc onlogon /RL HIGHEST",
                BatchValue(paths.schtasks), BatchValue(taskName), BatchValue(paths.launcher));
}

std::u16string DeleteBatchText(const StartupTaskPaths& paths, std::u16string_view taskName) {
  return Format(u"@echo off\r\n\"%s\" /delete /tn \"%s\" /f ", BatchValue(paths.schtasks),
                BatchValue(taskName));
}

std::u16string DecodeQueryOutput(
    std::string_view bytes, const std::function<std::u16string(std::string_view)>& decodeAnsi) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    std::u16string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                           (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    return text;
  }
  if (decodeAnsi) {
    return decodeAnsi(bytes);
  }
  std::u16string text;
  for (const char byte : bytes) {
    text.push_back(static_cast<unsigned char>(byte));
  }
  return text;
}

void StartupTask::RunBatch(std::u16string_view fileName, std::u16string_view text) {
  const StartupTaskPaths& paths = s_.paths;
  if (paths.batchFolder.empty() || paths.cmd.empty() || paths.schtasks.empty()) {
    return;
  }
  const std::u16string batchPath = paths.batchFolder + std::u16string(fileName);
  // UTF-8 without a byte-order mark, which cmd.exe would take for a command.
  if (!s_.files.MakeFolder(paths.batchFolder) || !s_.files.Write(batchPath, Utf16ToUtf8(text))) {
    return;
  }
  s_.processes.ExecuteProcess(paths.cmd, {u"/c", batchPath}, kWaitForever, true);
}

bool StartupTask::TaskExists(std::u16string_view taskName) {
  CriticalSectionLock whole(existsLock_);
  const std::u16string& output = s_.paths.queryOutput;
  if (output.empty()) {
    LogFormat(u"TaskExists:: '%s' doesn't make sense (possible corruption) => sanity-check",
              output);
    return false;
  }
  const auto fail = [&] {
    if (s_.files.Exists(output)) {
      s_.files.Remove(output);
    }
    return false;
  };

  // An old output would answer for this query.
  if (s_.files.Exists(output)) {
    s_.files.Remove(output);
    if (s_.files.Exists(output)) {
      LogFormat(u"TaskExists:: Failed to remove file \"%s\"", output);
      return fail();
    }
  }
  {
    CriticalSectionLock query(queryLock_);
    RunBatch(QueryBatchFileName(taskName), QueryBatchText(s_.paths, taskName));
  }

  std::string bytes;
  if (!s_.files.Read(output, bytes)) {
    LogFormat(u"TaskExists:: Failed to read file \"%s\"", output);
    return fail();
  }
  const std::u16string text = NormalizeLineBreaks(DecodeQueryOutput(bytes, s_.decodeAnsi));
  // schtasks writes its errors to the error stream, which is not redirected.
  if (text.empty()) {
    return fail();
  }
  if (Split(text, u"\n").size() < 2) {
    Log(u"TaskExists:: Tokenize => Unexpected output length");
    return fail();
  }
  if (ToUpperAscii(text).find(u"ERROR") != std::u16string::npos) {
    Log(u"TaskExists:: Output returned \"ERROR\"");
    return fail();
  }
  // The output stays for the next query to remove.
  return true;
}

bool StartupTask::DeleteTask(std::u16string_view taskName) {
  {
    CriticalSectionLock lock(deleteLock_);
    RunBatch(DeleteBatchFileName(taskName), DeleteBatchText(s_.paths, taskName));
  }
  return !TaskExists(taskName);
}

bool StartupTask::MeasureRegistered() {
  stale_ = false;
  registered_ = TaskExists(kThisPlatformTaskName) && !TaskExists(kOtherPlatformTaskName);
  return registered_;
}

bool StartupTask::IsTaskScheduled(bool refresh) {
  if (!stale_ && !refresh) {
    return registered_;
  }
  return MeasureRegistered();
}

bool StartupTask::ScheduleTask() {
  if (s_.userNameReadable && !s_.userNameReadable()) {
    s_.prompts.ShowMessage(u"Failed to get Account UserName.");
    return false;
  }
  for (const std::u16string_view name : {kThisPlatformTaskName, kOtherPlatformTaskName}) {
    if (!DeleteTask(name)) {
      LogFormat(u"ScheduleTask:: Encountered error clearing \"%s\" ", name);
    }
  }
  {
    CriticalSectionLock lock(createLock_);
    RunBatch(CreateBatchFileName(kThisPlatformTaskName),
             CreateBatchText(s_.paths, kThisPlatformTaskName));
  }
  if (!MeasureRegistered()) {
    s_.prompts.ShowMessage(u"ScheduleTask:: ERROR -- Failed to create scheduler task");
    return false;
  }
  return true;
}

bool StartupTask::UnscheduleTask() {
  // The other platform's task is left alone.
  DeleteTask(kThisPlatformTaskName);
  return !MeasureRegistered();
}
