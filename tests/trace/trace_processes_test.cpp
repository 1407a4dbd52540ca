// Trace files that processes crash, die, fork and share: writers are child processes
// whose threads trace numbered records and announce each one whose call returned.
#include "tests/trace/trace_support.h"

#include "tests/qel_test.h"
#include "tests/small_file_system.h"

#include <atomic>
#include <csignal>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr char kKey[] = "QELTPROC";
constexpr std::uint32_t kThreads = 3;

// Sanitizers catch the fatal signals themselves and end the process their own way.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kExactStatus = false;
#else
constexpr bool kExactStatus = true;
#endif

// What a writer's threads have traced: the records whose trace call returned, and how
// many had when the writer raised its signal.
struct Announced {
  std::atomic<std::uint32_t> returned[kThreads];
  std::atomic<std::uint32_t> atSignal[kThreads];
};

// Memory the writer and the test share.
Announced* sharedAnnouncements() {
  void* memory = mmap(nullptr, sizeof(Announced), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  return new (memory) Announced{};
}

struct Numbered {
  std::uint32_t thread, sequence;
};

void traceNumbered(std::uint32_t thread, std::uint32_t sequence) {
  const Numbered data{thread, sequence};
  qelTraceDump(QelEnTraceDetail::LOW, 1, QelEnTraceDataType::DATA, "writer", "numbered", &data, sizeof data);
}

// Until each thread announced a record (at most ten seconds).
void awaitFirstRecords(const Announced& announced) {
  for (int wait = 0; wait < 10000; ++wait) {
    bool all = true;
    for (const auto& returned : announced.returned) all = all && returned.load() != 0;
    if (all) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

// Threads that trace until the process ends.
void startTracing(Announced& announced) {
  for (std::uint32_t t = 0; t < kThreads; ++t) {
    std::thread([&announced, t] {
      for (std::uint32_t n = 0;; ++n) {
        traceNumbered(t, n);
        announced.returned[t].store(n + 1);
      }
    }).detach();
  }
}

// The numbered records of each process in a trace file, thread by thread, in file order.
struct Traced {
  bool whole = false;
  std::map<std::uint32_t, std::vector<std::vector<std::uint32_t>>> byProcess;
};

Traced readNumbered(const std::string& file) {
  Traced traced;
  for (const auto& record : parseRecords(readFile(file), &traced.whole)) {
    if (record.message != "numbered" || record.data.size() != sizeof(Numbered)) continue;
    Numbered data{};
    std::memcpy(&data, record.data.data(), sizeof data);
    auto& threads = traced.byProcess[record.processId];
    threads.resize(std::max<std::size_t>(threads.size(), data.thread + 1));
    threads[data.thread].push_back(data.sequence);
  }
  return traced;
}

// 0, 1, 2, ... once each and in order; at least `least` of them.
void expectCountedFromZero(const std::vector<std::uint32_t>& sequence, std::uint32_t least, const std::string& what) {
  for (std::size_t i = 0; i < sequence.size(); ++i) {
    if (sequence[i] != i) {
      ADD_FAILURE() << what << ": record " << i << " is number " << sequence[i];
      return;
    }
  }
  EXPECT_GE(sequence.size(), least) << what;
}

std::uint32_t randomBelow(std::uint32_t bound) {
  static std::mt19937 random(20261208);
  return std::uniform_int_distribution<std::uint32_t>(0, bound - 1)(random);
}

void removeRingFiles(const std::string& file) {
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(file + ".", 0) == 0) std::filesystem::remove(entry.path());
  }
}

void expectRingFilesGone(const std::string& file, const std::string& what) {
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    EXPECT_NE(entry.path().filename().string().rfind(file + ".", 0), 0u) << what << ": " << entry.path();
  }
}

// A writer killed by a signal while its threads trace: every record whose trace call
// returned before the signal is in the file once, and the file reads to its end. A
// fatal signal finds the crash save; SIGKILL leaves a durable ring, which the next
// autosaving environment of the trace file appends, or qeltrace before it reads it.
TEST(TraceProcesses, RecordsSurviveTheWriterDying) {
  const struct {
    const char* name;
    int signal;
    bool durable;
    int runs;
  } cases[] = {{"abort", SIGABRT, false, 3}, {"SIGSEGV", SIGSEGV, false, 3}, {"SIGBUS, durable", SIGBUS, true, 2},
               {"SIGKILL, durable", SIGKILL, true, 20}};
  const std::string file = "processes_dying.trc";
  for (const auto& c : cases) {
    for (int run = 0; run < c.runs; ++run) {
      const std::string what = std::string(c.name) + ", run " + std::to_string(run);
      std::remove(file.c_str());
      removeRingFiles(file);
      KeyVariables variables(kKey, {{"ACTIVE", "on"}, {"AUTOSAVE", "on"}, {"BUFSIZE", "8"}, {"FILE", file},
                                    {"DURABLE", c.durable ? "on" : ""}});
      Announced* announced = sharedAnnouncements();
      const std::uint32_t moment = 2 + randomBelow(40);
      const pid_t writer = fork();
      ASSERT_GE(writer, 0);
      if (writer == 0) {
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        qelTraceCreateInstance(kKey, nullptr);
        startTracing(*announced);
        awaitFirstRecords(*announced);
        std::this_thread::sleep_for(std::chrono::milliseconds(moment));
        for (std::uint32_t t = 0; t < kThreads; ++t) announced->atSignal[t] = announced->returned[t].load();
        if (c.signal == SIGABRT) std::abort();
        if (c.signal != SIGKILL) raise(c.signal);
        pause();
        _exit(0);
      }
      if (c.signal == SIGKILL) {
        awaitFirstRecords(*announced);
        std::this_thread::sleep_for(std::chrono::milliseconds(moment));
        kill(writer, SIGKILL);
      }
      int status = 0;
      ASSERT_EQ(waitpid(writer, &status, 0), writer);
      if (kExactStatus || c.signal == SIGKILL) {
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << what << ": status " << status;
      }
      if (c.durable && run % 2 == 0) {
        KeyVariables next(kKey, {{"AUTOSAVE", "on"}, {"FILE", file}});
        QelClTraceEnvironment reader(kKey, nullptr, false);
      } else if (c.durable) {
        KeyVariables next(kKey, {{"FILE", file}});
        EXPECT_EQ(std::system((std::string(QELTRACE) + " -key " + kKey + " -display >/dev/null 2>&1").c_str()), 0);
      }
      const Traced traced = readNumbered(file);
      EXPECT_TRUE(traced.whole) << what;
      ASSERT_EQ(traced.byProcess.size(), 1u) << what;
      const auto& threads = traced.byProcess.begin()->second;
      for (std::size_t t = 0; t < kThreads; ++t) {
        const std::uint32_t returned =
            c.signal == SIGKILL ? announced->returned[t].load() : announced->atSignal[t].load();
        expectCountedFromZero(t < threads.size() ? threads[t] : std::vector<std::uint32_t>{}, returned,
                              what + ", thread " + std::to_string(t));
      }
      expectRingFilesGone(file, what);
      munmap(announced, sizeof(Announced));
    }
  }
  std::remove(file.c_str());
}

// Children forked while another thread traces: none hangs on the buffer's lock, none
// writes its parent's records, and each child's records carry its own process id.
TEST(TraceProcesses, ForkedChildrenNeitherHangNorRepeatTheirParent) {
  const std::string file = "processes_fork.trc";
  std::remove(file.c_str());
  KeyVariables variables(kKey, {{"ACTIVE", "on"}, {"AUTOSAVE", "on"}, {"BUFSIZE", "8"}, {"FILE", file}});
  qelTraceCreateInstance(kKey, nullptr);
  std::atomic<bool> stop{false};
  std::thread parentThread([&stop] {
    for (std::uint32_t n = 0; !stop.load(); ++n) traceNumbered(0, n);
  });
  std::set<std::uint32_t> children;
  for (std::uint32_t child = 0; child < 200; ++child) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      alarm(20);  // a child that hangs ends by SIGALRM
      for (std::uint32_t n = 0; n < 3; ++n) traceNumbered(1, n);
      qelTraceDeleteInstance();
      _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child " << child << ": status " << status;
    children.insert(static_cast<std::uint32_t>(pid));
  }
  stop = true;
  parentThread.join();
  qelTraceDeleteInstance();
  const Traced traced = readNumbered(file);
  EXPECT_TRUE(traced.whole);
  const auto parent = traced.byProcess.find(static_cast<std::uint32_t>(getpid()));
  ASSERT_NE(parent, traced.byProcess.end());
  EXPECT_EQ(parent->second.size(), 1u) << "the children's records carry the parent's process id";
  expectCountedFromZero(parent->second[0], 1, "the parent's thread");
  std::size_t childRecords = 0;
  for (const auto& process : traced.byProcess) {
    if (process.first == static_cast<std::uint32_t>(getpid())) continue;
    EXPECT_EQ(children.count(process.first), 1u) << process.first;
    ASSERT_EQ(process.second.size(), 2u);
    EXPECT_TRUE(process.second[0].empty()) << "a child wrote its parent's records";
    EXPECT_EQ(process.second[1], (std::vector<std::uint32_t>{0, 1, 2}));
    childRecords += process.second[1].size();
  }
  EXPECT_EQ(childRecords, 600u);
  std::remove(file.c_str());
}

// Processes autosaving into one file at once: each append is whole records in one
// write, so the file reads to its end and holds every record of every process in order.
TEST(TraceProcesses, ProcessesSharingAFileInterleaveWholeRecords) {
  constexpr std::uint32_t kRecords = 300000;
  const std::string file = "processes_shared.trc";
  for (int processes : {2, 4}) {
    std::remove(file.c_str());
    KeyVariables variables(kKey, {{"ACTIVE", "on"}, {"AUTOSAVE", "on"}, {"BUFSIZE", "8"}, {"FILE", file}});
    std::vector<pid_t> writers;
    for (int p = 0; p < processes; ++p) {
      const pid_t pid = fork();
      ASSERT_GE(pid, 0);
      if (pid == 0) {
        qelTraceCreateInstance(kKey, nullptr);
        for (std::uint32_t n = 0; n < kRecords; ++n) traceNumbered(0, n);
        qelTraceDeleteInstance();
        _exit(0);
      }
      writers.push_back(pid);
    }
    for (pid_t pid : writers) {
      int status = 0;
      ASSERT_EQ(waitpid(pid, &status, 0), pid);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const Traced traced = readNumbered(file);
    EXPECT_TRUE(traced.whole) << processes << " processes";
    EXPECT_EQ(traced.byProcess.size(), static_cast<std::size_t>(processes));
    for (const auto& process : traced.byProcess) {
      ASSERT_EQ(process.second.size(), 1u);
      EXPECT_EQ(process.second[0].size(), kRecords);
      expectCountedFromZero(process.second[0], kRecords, "process " + std::to_string(process.first));
    }
  }
  std::remove(file.c_str());
}

// A full file system: the appends that don't fit are cut back, so the file ends at a
// record boundary, the program reads how many records were lost and why, and a later
// run's records follow readably. The test mounts a small file system of its own,
// which needs root.
TEST(TraceProcesses, AFullDiskCostsRecordsNotTheFile) {
  const SmallFileSystem small("processes_tmpfs", "64k");
  if (!small.isMounted()) GTEST_SKIP() << "no small file system could be mounted here (needs root)";
  const std::string file = small / "full.trc", filler = small / "filler";
  std::ofstream(filler) << std::string(32 * 1024, 'x');
  {
    KeyVariables variables(kKey, {{"AUTOSAVE", "on"}, {"BUFSIZE", "8"}, {"FILE", file}});
    QelClTraceEnvironment environment(kKey, nullptr, false);
    const std::string data(200, 'f');
    for (int i = 0; i < 1000; ++i) {
      environment.add(QelClTraceEntry(environment, QelEnTraceDetail::LOW, 1, QelEnTraceDataType::DATA, "fn", "full",
                                      data.data(), static_cast<unsigned int>(data.size())));
    }
    environment.flush();
    EXPECT_GT(environment.getLostRecordCount(), 0u);
    EXPECT_EQ(std::string(QelClHostErrorText(environment.getHostError()).getText()), "No space left on device");
    bool whole = false;
    const auto kept = parseRecords(readFile(file), &whole);
    EXPECT_TRUE(whole);
    EXPECT_EQ(kept.size() + environment.getLostRecordCount(), 1000u);
  }
  // Room again: the next run's records go in behind the full file's.
  std::filesystem::remove(filler);
  bool whole = false;
  const std::size_t before = parseRecords(readFile(file), &whole).size();
  {
    KeyVariables variables(kKey, {{"AUTOSAVE", "on"}, {"FILE", file}});
    QelClTraceEnvironment environment(kKey, nullptr, false);
    for (std::uint32_t n = 0; n < 5; ++n) {
      const Numbered data{0, n};
      environment.add(QelClTraceEntry(environment, QelEnTraceDetail::LOW, 1, QelEnTraceDataType::DATA, "fn",
                                      "numbered", &data, sizeof data));
    }
  }
  const auto records = parseRecords(readFile(file), &whole);
  ASSERT_GE(records.size(), 5u);
  EXPECT_EQ(records.back().message, "numbered");
  EXPECT_TRUE(whole);
  EXPECT_EQ(records.size(), 5u + before);
}

}  // namespace
