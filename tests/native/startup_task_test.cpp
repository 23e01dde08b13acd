#include "startup_task/startup_task.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "base/text.h"
#include "fakes/fake_prompts.h"
#include "fakes/log_capture.h"
#include "fakes/temp_folder.h"
#include "startup_task/task_queue.h"

namespace {

const std::u16string kWindows = u"C:\\Windows\\";
// A user name outside ASCII shows the UTF-8 encoding of the batch files.
const std::u16string kTemp = u"C:\\Users\\Ana\u00EFs\\AppData\\Local\\Temp\\";
const std::u16string kProgram = u"C:\\Program Files\\Vantreloquin\\";
const std::u16string kBatchFolder = kTemp + u"Vantreloquin\\";
const std::u16string kDump = kBatchFolder + u"task.dump";
const std::u16string kCmd = u"C:\\Windows\\System32\\cmd.exe";
const std::u16string kSchtasks = u"C:\\Windows\\System32\\schtasks.exe";
const std::u16string kThis(kThisPlatformTaskName);
const std::u16string kOther(kOtherPlatformTaskName);

std::string U8(std::u16string_view text) {
  return Utf16ToUtf8(text);
}

// Files in memory, keyed by their full path.
class MemoryFiles : public TaskFiles {
 public:
  bool MakeFolder(std::u16string_view folder) override {
    madeFolders.emplace(folder);
    return true;
  }
  bool Write(std::u16string_view path, std::string_view bytes) override {
    if (writesFail) {
      return false;
    }
    written.emplace_back(path);
    content[std::u16string(path)] = std::string(bytes);
    return true;
  }
  bool Read(std::u16string_view path, std::string& bytes) override {
    const auto file = content.find(std::u16string(path));
    if (file == content.end()) {
      return false;
    }
    bytes = file->second;
    return true;
  }
  bool Exists(std::u16string_view path) override {
    return content.count(std::u16string(path)) != 0;
  }
  void Remove(std::u16string_view path) override {
    if (!undeletable.count(std::u16string(path))) {
      content.erase(std::u16string(path));
    }
  }

  std::map<std::u16string, std::string> content;
  std::set<std::u16string> madeFolders;
  std::vector<std::u16string> written;
  std::set<std::u16string> undeletable;
  bool writesFail = false;
};

// The percent handling of cmd.exe in a batch file: "%%" is one "%", "%x%"
// a variable (none is set here), a lone "%" vanishes.
std::string ExpandLikeCmd(const std::string& line) {
  std::string out;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '%') {
      out += line[i];
    } else if (i + 1 < line.size() && line[i + 1] == '%') {
      out += '%';
      ++i;
    } else {
      const std::size_t end = line.find('%', i + 1);
      if (end != std::string::npos) {
        i = end;
      }
    }
  }
  return out;
}

// cmd.exe with a Task Scheduler behind schtasks.exe: runs the batch files it
// is given as they are written, and keeps the tasks.
class FakeScheduler : public ProcessControl {
 public:
  explicit FakeScheduler(MemoryFiles& files) : files_(files) {}

  struct Start {
    std::u16string path;
    std::vector<std::u16string> arguments;
    std::uint32_t waitSeconds;
    bool noWindow;
  };

  std::uint32_t ExecuteProcess(std::u16string_view path,
                               const std::vector<std::u16string>& arguments,
                               std::uint32_t waitSeconds, bool noWindow) override {
    starts.push_back({std::u16string(path), arguments, waitSeconds, noWindow});
    if (arguments.size() != 2) {
      return 87;
    }
    const std::u16string& batch = arguments[1];
    runs.push_back(batch.substr(batch.rfind(u'\\') + 1));
    if (onRun) {
      onRun();
    }
    std::string text;
    files_.Read(batch, text);
    text = ExpandLikeCmd(text);
    const std::string program =
        "@echo off\r\n\"" + std::regex_replace(U8(kSchtasks), std::regex(R"([\\.])"), R"(\$&)") +
        "\" ";
    std::smatch m;
    if (std::regex_match(text, m,
                         std::regex(program + "/query /tn \"([^\"]*)\" > \"([^\"]*)\" $"))) {
      const std::u16string name = Utf8ToUtf16(m[1].str());
      // Errors go to the error stream, which the batch file does not redirect.
      std::string output;
      if (queryOutput) {
        output = *queryOutput;
      } else if (tasks.count(name)) {
        output =
            "\r\nFolder: \\\r\nTaskName                                 Next Run Time  Status\r\n"
            "======================================== ============== =======\r\n" +
            m[1].str() + " N/A            Ready\r\n";
      }
      files_.content[Utf8ToUtf16(m[2].str())] = output;
    } else if (std::regex_match(text, m,
                                std::regex(program + "/create /tn \"([^\"]*)\" /tr \"'([^\"]*)'\" "
                                                     "/sc onlogon /RL HIGHEST$"))) {
      if (!refuseCreate) {
        tasks[Utf8ToUtf16(m[1].str())] = Utf8ToUtf16(m[2].str());
      }
    } else if (std::regex_match(text, m, std::regex(program + "/delete /tn \"([^\"]*)\" /f $"))) {
      const std::u16string name = Utf8ToUtf16(m[1].str());
      if (!refuseDelete.count(name)) {
        tasks.erase(name);
      }
    }
    return 0;
  }

  bool IsHelperAlive(std::uint32_t, std::uint32_t, std::u16string_view) override { return false; }
  std::vector<std::u16string> RunningProcessPaths() override { return {}; }

  // Task name to the program it starts.
  std::map<std::u16string, std::u16string> tasks;
  bool refuseCreate = false;
  std::set<std::u16string> refuseDelete;
  // What every query writes, whatever the tasks.
  std::optional<std::string> queryOutput;
  std::function<void()> onRun;

  std::vector<Start> starts;
  // The batch file names, in the order they ran.
  std::vector<std::u16string> runs;

 private:
  MemoryFiles& files_;
};

struct Rig {
  explicit Rig(std::u16string_view windows = kWindows, std::u16string_view temp = kTemp)
      : task(StartupTaskServices{scheduler,
                                 files,
                                 prompts,
                                 MakeStartupTaskPaths(windows, temp, kProgram),
                                 [this] { return userNameReadable; },
                                 {}}) {}

  // The runs since the last call.
  std::vector<std::u16string> NewRuns() {
    std::vector<std::u16string> fresh(scheduler.runs.begin() + runsRead, scheduler.runs.end());
    runsRead = scheduler.runs.size();
    return fresh;
  }

  LogCapture log;
  MemoryFiles files;
  FakeScheduler scheduler{files};
  FakePrompts prompts;
  bool userNameReadable = true;
  std::size_t runsRead = 0;
  StartupTask task;
};

const std::u16string kCheckThis = u"Check_" + kThis + u".bat";
const std::u16string kCheckOther = u"Check_" + kOther + u".bat";
const std::u16string kRemThis = u"Rem_" + kThis + u".bat";
const std::u16string kRemOther = u"Rem_" + kOther + u".bat";
const std::u16string kCreateThis = u"Create_" + kThis + u".bat";
const std::u16string kCreateFailed = u"ScheduleTask:: ERROR -- Failed to create scheduler task";

TEST(StartupTaskTest, EachOperationWritesItsBatchFileAndRunsItHiddenThroughCmd) {
  const std::string schtasks = "\"C:\\Windows\\System32\\schtasks.exe\"";
  const std::string dump =
      "\"C:\\Users\\Ana\xC3\xAFs\\AppData\\Local\\Temp\\Vantreloquin\\task.dump\"";
  struct Case {
    const char* label;
    std::function<void(StartupTask&)> operation;
    std::u16string fileName;
    std::string bytes;
  };
  const Case cases[] = {
      {"query", [](StartupTask& t) { t.TaskExists(kThis); }, kCheckThis,
       "@echo off\r\n" + schtasks + " /query /tn \"" + U8(kThis) + "\" > " + dump + " "},
      {"query, blanks in the name", [](StartupTask& t) { t.TaskExists(u"My Task"); },
       u"Check_My_Task.bat",
       "@echo off\r\n" + schtasks + " /query /tn \"My Task\" > " + dump + " "},
      {"delete, blanks in the name", [](StartupTask& t) { t.DeleteTask(u"My Task"); },
       u"Rem_My_Task.bat", "@echo off\r\n" + schtasks + " /delete /tn \"My Task\" /f "},
      {"create", [](StartupTask& t) { t.ScheduleTask(); }, kCreateThis,
       "@echo off\r\n" + schtasks + " /create /tn \"" + U8(kThis) +
           "\" /tr \"'C:\\Program Files\\Vantreloquin\\Loader_x64.exe'\" /sc onlogon /RL HIGHEST"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Rig rig;
    c.operation(rig.task);
    const std::u16string path = kBatchFolder + c.fileName;
    EXPECT_EQ(rig.files.content[path], c.bytes);
    EXPECT_TRUE(rig.files.madeFolders.count(kBatchFolder));
    bool ran = false;
    for (const FakeScheduler::Start& start : rig.scheduler.starts) {
      if (start.arguments.size() == 2 && start.arguments[1] == path) {
        ran = true;
        EXPECT_EQ(start.path, kCmd);
        EXPECT_EQ(start.arguments[0], u"/c");
        EXPECT_EQ(start.waitSeconds, 0xFFFFFFFFu);
        EXPECT_TRUE(start.noWindow);
      }
    }
    EXPECT_TRUE(ran);
  }
}

TEST(StartupTaskTest, WorkFilesStayInTheUsersOwnTemporaryFolder) {
  Rig rig;
  rig.task.ScheduleTask();
  rig.task.UnscheduleTask();
  ASSERT_FALSE(rig.files.written.empty());
  for (const std::u16string& path : rig.files.written) {
    EXPECT_EQ(path.rfind(kBatchFolder, 0), 0u) << U8(path);
  }
  EXPECT_EQ(rig.files.madeFolders, std::set<std::u16string>{kBatchFolder});
}

TEST(StartupTaskTest, PercentSignsInPathsReachTheSchedulerUnchanged) {
  Rig rig(kWindows, u"C:\\Users\\50%off\\Temp");
  const std::u16string dump = u"C:\\Users\\50%off\\Temp\\Vantreloquin\\task.dump";
  rig.scheduler.tasks[kThis] = kProgram + u"Loader_x64.exe";
  EXPECT_TRUE(rig.task.TaskExists(kThis));
  EXPECT_TRUE(rig.files.content.count(dump));
}

TEST(StartupTaskTest, QueryOutputDecidesWhetherTheTaskExists) {
  const std::string listing = "\r\nTaskName    Status\r\n" + U8(kThis) + " Ready\r\n";
  const auto utf16 = [](std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
      bytes += static_cast<char>(unit & 0xFF);
      bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
  };
  const std::u16string unexpected = u"TaskExists:: Tokenize => Unexpected output length";
  const std::u16string error = u"TaskExists:: Output returned \"ERROR\"";
  struct Case {
    const char* label;
    std::string output;
    bool exists;
    std::vector<std::u16string> log;
  };
  const Case cases[] = {
      {"ANSI listing", listing, true, {}},
      {"UTF-16 listing", utf16(Utf8ToUtf16(listing)), true, {}},
      {"one line ended by a break", "Ready\r\n", true, {}},
      {"lines cut by CR alone", "TaskName\rReady", true, {}},
      {"empty", "", false, {}},
      {"one line without a break", U8(kThis) + " Ready", false, {unexpected}},
      {"UTF-16 line without a break", utf16(u"Ready"), false, {unexpected}},
      {"UTF-16 text that is only a mark", "\xFF\xFE", false, {}},
      {"lower-case error", "\r\nerror: access is denied.\r\n", false, {error}},
      {"mixed-case error in UTF-16", utf16(u"Status\r\nTerrOr\r\n"), false, {error}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Rig rig;
    rig.scheduler.queryOutput = c.output;
    EXPECT_EQ(rig.task.TaskExists(kThis), c.exists);
    EXPECT_EQ(rig.log.Texts(), c.log);
    // A found task leaves its output for the next query to remove.
    EXPECT_EQ(rig.files.content.count(kDump) != 0, c.exists);
  }
}

TEST(StartupTaskTest, QueryReportsFilesItCannotHandle) {
  {
    SCOPED_TRACE("an old output that cannot be removed");
    Rig rig;
    rig.scheduler.tasks[kThis] = u"x";
    rig.files.content[kDump] = "\r\nold listing\r\n";
    rig.files.undeletable.insert(kDump);
    EXPECT_FALSE(rig.task.TaskExists(kThis));
    EXPECT_EQ(rig.log.Texts(), std::vector<std::u16string>{
                                   u"TaskExists:: Failed to remove file \"" + kDump + u"\""});
    EXPECT_TRUE(rig.scheduler.starts.empty());
  }
  {
    SCOPED_TRACE("a batch file that cannot be written is not run");
    Rig rig;
    rig.scheduler.tasks[kThis] = u"x";
    rig.files.writesFail = true;
    // An earlier query's output must not answer for this one.
    rig.files.content[kDump] = "\r\nTaskName    Status\r\n" + U8(kThis) + " Ready\r\n";
    EXPECT_FALSE(rig.task.TaskExists(kThis));
    rig.task.DeleteTask(kThis);
    EXPECT_TRUE(rig.scheduler.starts.empty());
    EXPECT_TRUE(rig.scheduler.tasks.count(kThis));
    const std::u16string unread = u"TaskExists:: Failed to read file \"" + kDump + u"\"";
    EXPECT_EQ(rig.log.Texts(), (std::vector<std::u16string>{unread, unread}));
  }
}

TEST(StartupTaskTest, MissingFoldersRunNothing) {
  struct Case {
    const char* label;
    std::u16string windows;
    std::u16string temp;
    std::u16string firstLog;
  };
  const Case cases[] = {
      {"no temporary folder", kWindows, u"",
       u"TaskExists:: '' doesn't make sense (possible corruption) => sanity-check"},
      {"no Windows folder", u"", kTemp, u"TaskExists:: Failed to read file \"" + kDump + u"\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Rig rig(c.windows, c.temp);
    rig.scheduler.tasks[kThis] = u"x";
    EXPECT_FALSE(rig.task.TaskExists(kThis));
    EXPECT_FALSE(rig.task.ScheduleTask());
    EXPECT_TRUE(rig.scheduler.starts.empty());
    EXPECT_TRUE(rig.files.written.empty());
    const std::vector<std::u16string> texts = rig.log.Texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), c.firstLog);
  }
}

TEST(StartupTaskTest, ScheduledMeansThisPlatformsTaskWithoutTheOthers) {
  struct Case {
    bool thisExists;
    bool otherExists;
    bool scheduled;
    std::vector<std::u16string> runs;
  };
  const Case cases[] = {
      {false, false, false, {kCheckThis}},
      {false, true, false, {kCheckThis}},
      {true, false, true, {kCheckThis, kCheckOther}},
      {true, true, false, {kCheckThis, kCheckOther}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.thisExists << c.otherExists);
    Rig rig;
    if (c.thisExists) {
      rig.scheduler.tasks[kThis] = u"x";
    }
    if (c.otherExists) {
      rig.scheduler.tasks[kOther] = u"x";
    }
    EXPECT_EQ(rig.task.IsTaskScheduled(false), c.scheduled);
    EXPECT_EQ(rig.NewRuns(), c.runs);
  }
}

TEST(StartupTaskTest, ScheduledStateIsCachedUntilRefreshed) {
  Rig rig;
  rig.scheduler.tasks[kThis] = u"x";
  EXPECT_TRUE(rig.task.IsTaskScheduled(false));
  rig.NewRuns();

  rig.scheduler.tasks.clear();
  EXPECT_TRUE(rig.task.IsTaskScheduled(false));
  EXPECT_TRUE(rig.NewRuns().empty());
  EXPECT_FALSE(rig.task.IsTaskScheduled(true));
  EXPECT_EQ(rig.NewRuns(), std::vector<std::u16string>{kCheckThis});
}

TEST(StartupTaskTest, ScheduleReplacesBothEntriesByAFreshTask) {
  Rig rig;
  rig.scheduler.tasks[kThis] = u"C:\\Old\\Loader_x64.exe";
  rig.scheduler.tasks[kOther] = u"C:\\Old\\Loader_x86.exe";
  ASSERT_FALSE(rig.task.IsTaskScheduled(true));
  rig.NewRuns();

  EXPECT_TRUE(rig.task.ScheduleTask());
  EXPECT_EQ(rig.scheduler.tasks,
            (std::map<std::u16string, std::u16string>{{kThis, kProgram + u"Loader_x64.exe"}}));
  EXPECT_EQ(rig.NewRuns(),
            (std::vector<std::u16string>{kRemThis, kCheckThis, kRemOther, kCheckOther, kCreateThis,
                                         kCheckThis, kCheckOther}));
  EXPECT_TRUE(rig.prompts.shown.empty());
  EXPECT_TRUE(rig.log.Texts().empty());
  // Left fresh: the box's next refresh asks nobody.
  EXPECT_TRUE(rig.task.IsTaskScheduled(false));
  EXPECT_TRUE(rig.NewRuns().empty());
}

TEST(StartupTaskTest, ScheduleFailuresAreShownAndLeaveTheBoxCleared) {
  {
    SCOPED_TRACE("the scheduler refuses the create");
    Rig rig;
    rig.scheduler.refuseCreate = true;
    EXPECT_FALSE(rig.task.ScheduleTask());
    EXPECT_EQ(rig.prompts.shown, std::vector<std::u16string>{kCreateFailed});
    rig.NewRuns();
    EXPECT_FALSE(rig.task.IsTaskScheduled(false));
    EXPECT_TRUE(rig.NewRuns().empty());
  }
  {
    SCOPED_TRACE("the other platform's task cannot be removed");
    Rig rig;
    rig.scheduler.tasks[kOther] = u"x";
    rig.scheduler.refuseDelete.insert(kOther);
    EXPECT_FALSE(rig.task.ScheduleTask());
    EXPECT_EQ(rig.log.Texts(),
              std::vector<std::u16string>{u"ScheduleTask:: Encountered error clearing \"" + kOther +
                                          u"\""});
    EXPECT_TRUE(rig.scheduler.tasks.count(kThis));
    EXPECT_EQ(rig.prompts.shown, std::vector<std::u16string>{kCreateFailed});
  }
  {
    SCOPED_TRACE("no account user name");
    Rig rig;
    rig.userNameReadable = false;
    EXPECT_FALSE(rig.task.ScheduleTask());
    EXPECT_EQ(rig.prompts.shown, std::vector<std::u16string>{u"Failed to get Account UserName."});
    EXPECT_TRUE(rig.scheduler.starts.empty());
  }
}

TEST(StartupTaskTest, UnscheduleRemovesOnlyThisPlatformsTask) {
  struct Case {
    const char* label;
    std::set<std::u16string> tasks;
    bool refuseDelete;
    bool result;
    std::set<std::u16string> left;
  };
  const Case cases[] = {
      {"registered", {kThis}, false, true, {}},
      {"beside the other platform's", {kThis, kOther}, false, true, {kOther}},
      {"not there at all", {}, false, true, {}},
      {"the scheduler refuses", {kThis}, true, false, {kThis}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Rig rig;
    for (const std::u16string& name : c.tasks) {
      rig.scheduler.tasks[name] = u"x";
    }
    if (c.refuseDelete) {
      rig.scheduler.refuseDelete.insert(kThis);
    }
    EXPECT_EQ(rig.task.UnscheduleTask(), c.result);
    std::set<std::u16string> left;
    for (const auto& [name, program] : rig.scheduler.tasks) {
      left.insert(name);
    }
    EXPECT_EQ(left, c.left);
    EXPECT_EQ(rig.task.IsTaskScheduled(false), !c.result);
  }
}

// The controller's modal guard as the queue uses it.
struct FakeGuard {
  bool TryAcquire() {
    if (busy) {
      return false;
    }
    busy = true;
    ++acquired;
    return true;
  }
  void Release() { busy = false; }
  bool busy = false;
  int acquired = 0;
};

struct QueueRig : Rig {
  void Serve() {
    ServeTaskQueue(taskQueue, guard, task, [this] { ++refreshes; });
  }
  std::vector<std::uint8_t> taskQueue;
  FakeGuard guard;
  int refreshes = 0;
};

TEST(TaskQueueTest, RequestsRunInOrderWhileTheGuardIsHeld) {
  QueueRig rig;
  bool ranUnguarded = false;
  rig.scheduler.onRun = [&] { ranUnguarded |= !rig.guard.busy; };
  rig.taskQueue = {kCreateTaskRequest, kRemoveTaskRequest, kCreateTaskRequest};
  rig.Serve();

  EXPECT_TRUE(rig.taskQueue.empty());
  EXPECT_FALSE(ranUnguarded);
  EXPECT_FALSE(rig.guard.busy);
  EXPECT_EQ(rig.guard.acquired, 1);
  EXPECT_EQ(rig.refreshes, 0);
  std::vector<std::u16string> changes;
  for (const std::u16string& run : rig.NewRuns()) {
    if (run != kCheckThis && run != kCheckOther) {
      changes.push_back(run);
    }
  }
  EXPECT_EQ(changes, (std::vector<std::u16string>{kRemThis, kRemOther, kCreateThis, kRemThis,
                                                  kRemThis, kRemOther, kCreateThis}));
  EXPECT_TRUE(rig.scheduler.tasks.count(kThis));
}

TEST(TaskQueueTest, NothingHappensWithoutRequestsOrWhileTheGuardIsBusy) {
  QueueRig rig;
  rig.Serve();
  EXPECT_EQ(rig.guard.acquired, 0);

  rig.guard.busy = true;
  rig.taskQueue = {kCreateTaskRequest};
  rig.Serve();
  EXPECT_EQ(rig.taskQueue, std::vector<std::uint8_t>{kCreateTaskRequest});
  EXPECT_TRUE(rig.scheduler.starts.empty());

  // The next tick with a free guard serves it.
  rig.guard.busy = false;
  rig.Serve();
  EXPECT_TRUE(rig.taskQueue.empty());
  EXPECT_TRUE(rig.scheduler.tasks.count(kThis));
}

TEST(TaskQueueTest, FailedRequestsRefreshTheGeneralTab) {
  QueueRig rig;
  rig.scheduler.refuseCreate = true;
  rig.taskQueue = {kCreateTaskRequest, kRemoveTaskRequest};
  rig.Serve();
  EXPECT_EQ(rig.refreshes, 1);

  rig.scheduler.tasks[kThis] = u"x";
  rig.scheduler.refuseDelete.insert(kThis);
  rig.taskQueue = {kRemoveTaskRequest};
  rig.Serve();
  EXPECT_EQ(rig.refreshes, 2);
}

TEST(TaskQueueTest, AClickWhileAMessageIsShownWaitsForTheNextServing) {
  QueueRig rig;
  rig.scheduler.refuseCreate = true;
  rig.taskQueue = {kCreateTaskRequest};
  // The failure message pumps messages: the box is clicked again and the
  // controller's tick tries to serve the queue.
  rig.prompts.whileOpen = [&] {
    rig.taskQueue.push_back(kCreateTaskRequest);
    rig.Serve();
  };
  rig.Serve();
  EXPECT_EQ(rig.prompts.shown.size(), 1u);
  EXPECT_EQ(rig.taskQueue, std::vector<std::uint8_t>{kCreateTaskRequest});
  EXPECT_FALSE(rig.guard.busy);

  rig.prompts.whileOpen = nullptr;
  rig.scheduler.refuseCreate = false;
  rig.Serve();
  EXPECT_TRUE(rig.taskQueue.empty());
  EXPECT_TRUE(rig.scheduler.tasks.count(kThis));
}

TEST(DiskTaskFilesTest, WritesReadsAndRemovesRealFiles) {
  TempFolder temp;
  DiskTaskFiles files;
  const std::u16string folder = temp.Folder() + u"Vantreloquin/";
  const std::u16string path = folder + u"Check_x.bat";
  ASSERT_TRUE(files.MakeFolder(folder));
  ASSERT_TRUE(files.Write(path, "old"));
  ASSERT_TRUE(files.Write(path, "@echo off\r\n"));
  std::string bytes;
  ASSERT_TRUE(files.Read(path, bytes));
  EXPECT_EQ(bytes, "@echo off\r\n");
  EXPECT_TRUE(files.Exists(path));
  files.Remove(path);
  EXPECT_FALSE(files.Exists(path));
  EXPECT_FALSE(files.Read(path, bytes));
}

}  // namespace
