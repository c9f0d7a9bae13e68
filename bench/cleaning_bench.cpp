// Speed and memory figures of whole cleaning runs over synthetic cookie
// folders, printed as "name: value" lines.
//
//   cleaning_bench WORK QUILLFEN_HOST [RUNS [PARTS]]
//   cleaning_bench --folder PATH FILES [untouched | --plan PLAN]
//
// The folders are made in WORK/cleaning-bench, which is emptied first and
// removed at the end. PARTS picks some of folder,syscalls,memory,bigfile (all
// by default). The second form only writes a folder into PATH, mixed or of
// untouched files only, for the Wine benchmark, and with --plan the answers
// of the mixed one for the minimal Win32 cleaner (floor_plan.h). A third form,
// --peak-rss, is the benchmark's own launcher for measuring memory.
//
// Every timed run starts on a fresh copy of its folder. Times are medians;
// ratios are medians of the ratios of runs made one after the other.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "batch_run.h"
#include "floor_cleaner.h"
#include "floor_plan.h"
#include "folder_files.h"
#include "report.h"
#include "stopwatch.h"
#include "synthetic_folder.h"
#include "syscall_count.h"

namespace {

constexpr int kFolderFiles = 20000;
constexpr int kLargeFolderFiles = 200000;
constexpr int kUntouchedFiles = 5000;
constexpr int kRecordBytes = 200;
constexpr int kRssRuns = 3;

struct Bench {
  std::string Self;
  std::string Work;
  std::string HostExe;
  int Runs;
};

struct Timings {
  std::vector<double> Wall;
  std::vector<double> Cpu;

  void Add(const Timing& timing) {
    Wall.push_back(timing.Wall);
    Cpu.push_back(timing.Cpu);
  }
};

FileTime Now() { return NativePlatform.NowAsFileTime(); }

std::string FreshCopy(const Bench& bench, const std::string& master) {
  const std::string copy = bench.Work + "/run";
  RemoveTree(copy);
  CopyFolder(master, copy);
  return copy;
}

Timing TimeFloor(const std::string& folder, const SyntheticFolder& plan, FloorListing listing) {
  const Stopwatch stopwatch;
  CleanLikeTheFloor(folder, plan, listing);
  return stopwatch.Elapsed();
}

// What runs over a fresh copy of the folder in each round.
enum Contender { kRun, kFloor, kListedFloor, kContenders };

Timing TimeContender(int contender, const Bench& bench, const std::string& copy,
                     const SyntheticFolder& plan) {
  if (contender == kFloor) return TimeFloor(copy, plan, FloorListing::None);
  if (contender == kListedFloor) return TimeFloor(copy, plan, FloorListing::WithSizes);
  const Timing run = TimeBatchRun(copy, bench.Work + "/run.log");
  CheckCounts(plan.Expected, "the folder");
  return run;
}

// The contenders take turns at going first, so that none gains from the
// others' warm caches.
void BenchFolder(const Bench& bench, const std::string& master, const SyntheticFolder& plan) {
  Timings times[kContenders], floorRatios, listedRatios;
  for (int i = 0; i < bench.Runs; ++i) {
    Timing round[kContenders];
    for (int turn = 0; turn < kContenders; ++turn) {
      const int contender = (i + turn) % kContenders;
      round[contender] = TimeContender(contender, bench, FreshCopy(bench, master), plan);
      times[contender].Add(round[contender]);
    }
    floorRatios.Add({round[kRun].Wall / round[kFloor].Wall, round[kRun].Cpu / round[kFloor].Cpu});
    listedRatios.Add(
        {round[kRun].Wall / round[kListedFloor].Wall, round[kRun].Cpu / round[kListedFloor].Cpu});
  }
  Report("files", static_cast<long>(kFolderFiles));
  Report("run_s", Median(times[kRun].Wall), 3);
  Report("run_cpu_s", Median(times[kRun].Cpu), 3);
  Report("files_per_s", kFolderFiles / Median(times[kRun].Wall), 0);
  Report("floor_s", Median(times[kFloor].Wall), 3);
  Report("floor_cpu_s", Median(times[kFloor].Cpu), 3);
  Report("floor_ratio", Median(floorRatios.Cpu), 2);
  Report("floor_ratio_wall", Median(floorRatios.Wall), 2);
  Report("listed_floor_cpu_s", Median(times[kListedFloor].Cpu), 3);
  Report("listed_floor_ratio", Median(listedRatios.Cpu), 2);
}

// The folder listing's calls: reading the folder, and on the host one stat per
// name for the size that the Windows directory search hands over with it.
bool IsListingCall(const std::string& name) {
  return name == "getdents64" || name == "getdents" || name == "newfstatat" ||
         name == "fstatat64" || name == "statx";
}

// The calls of start-up, the log file and the empty second folder are the
// same with and without files, so the difference is what the files cost.
void BenchSyscalls(const Bench& bench) {
  const std::string untouched = bench.Work + "/untouched";
  const std::string empty = bench.Work + "/empty";
  MakeFolder(untouched);
  MakeFolder(empty);
  WriteSyntheticFolder(untouched, kUntouchedFiles, FolderMix::UntouchedOnly, Now());
  auto full = CountSyscalls(bench.HostExe, untouched, bench.Work + "/untouched");
  auto base = CountSyscalls(bench.HostExe, empty, bench.Work + "/empty");
  double cleaning = 0;
  double listing = 0;
  for (const auto& [name, calls] : full) {
    const double perFile = static_cast<double>(calls - base[name]) / kUntouchedFiles;
    if (perFile == 0) continue;
    (IsListingCall(name) ? listing : cleaning) += perFile;
    Report("syscalls_per_untouched_file_" + name, perFile, 3);
  }
  Report("syscalls_per_untouched_file", cleaning, 2);
  Report("syscalls_per_untouched_file_listing", listing, 2);
}

long PeakRss(const Bench& bench, const std::string& master) {
  std::vector<double> peaks;
  for (int i = 0; i < kRssRuns; ++i) {
    const std::string copy = FreshCopy(bench, master);
    peaks.push_back(PeakRssKib(bench.Self, {bench.HostExe, "a", bench.Work + "/rss.log"}, copy,
                               bench.Work + "/rss.out"));
  }
  return static_cast<long>(Median(peaks));
}

void BenchMemory(const Bench& bench, const std::string& master) {
  const long small = PeakRss(bench, master);
  const std::string large = bench.Work + "/large";
  MakeFolder(large);
  WriteSyntheticFolder(large, kLargeFolderFiles, FolderMix::Mixed, Now());
  const long big = PeakRss(bench, large);
  RemoveTree(large);
  Report("peak_rss_kib_20000_files", small);
  Report("peak_rss_kib_200000_files", big);
  Report("peak_rss_growth_kib", big - small);
}

struct BigFile {
  std::string Master;
  ExpectedCounts Expected;
  Timings Runs;
};

BigFile MakeBigFile(const Bench& bench, const std::string& name, int records) {
  BigFile big{bench.Work + "/" + name, {}, {}};
  MakeFolder(big.Master);
  big.Expected =
      WriteBigCookieFile(big.Master + "/bench@big.test[1].txt", records, kRecordBytes, Now());
  return big;
}

long BigFilePeakRss(const Bench& bench, const BigFile& big) {
  return PeakRssKib(bench.Self, {bench.HostExe, "a", bench.Work + "/big.log"},
                    FreshCopy(bench, big.Master), bench.Work + "/rss.out");
}

// The two sizes take turns, and their ratio is taken run by run, so that a
// change in the machine's load between them does not pass for growth.
void BenchBigFile(const Bench& bench) {
  BigFile sizes[] = {MakeBigFile(bench, "big20", 100000), MakeBigFile(bench, "big40", 200000)};
  const std::string log = bench.Work + "/big.log";
  std::vector<double> ratios;
  for (int i = 0; i < bench.Runs; ++i) {
    for (int turn = 0; turn < 2; ++turn) {
      BigFile& big = sizes[(i + turn) % 2];
      big.Runs.Add(RunChild({bench.HostExe, "a", log}, FreshCopy(bench, big.Master)));
      CheckLog(log, 1, big.Expected);
    }
    ratios.push_back(sizes[1].Runs.Cpu.back() / sizes[0].Runs.Cpu.back());
  }
  Report("big_file_s_20mb", Median(sizes[0].Runs.Wall), 3);
  Report("big_file_s", Median(sizes[1].Runs.Wall), 3);
  Report("big_file_cpu_s_20mb", Median(sizes[0].Runs.Cpu), 3);
  Report("big_file_cpu_s", Median(sizes[1].Runs.Cpu), 3);
  Report("big_file_ratio_40mb_to_20mb", Median(ratios), 2);
  Report("big_file_peak_rss_kib_20mb", BigFilePeakRss(bench, sizes[0]));
  Report("big_file_peak_rss_kib", BigFilePeakRss(bench, sizes[1]));
  for (const BigFile& big : sizes) RemoveTree(big.Master);
}

int WriteFolderOnly(const std::string& path, int files, FolderMix mix, const char* plan) {
  MakeFolder(path);
  const SyntheticFolder folder = WriteSyntheticFolder(path, files, mix, Now());
  if (plan != nullptr) WriteFloorPlan(plan, folder);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::string(argv[1]) == "--peak-rss") return PeakRssLauncherMain(argv + 2);
  if (argc >= 4 && argc <= 6 && std::string(argv[1]) == "--folder") {
    const bool untouched = argc == 5 && std::string(argv[4]) == "untouched";
    const bool planned = argc == 6 && std::string(argv[4]) == "--plan";
    return WriteFolderOnly(argv[2], std::atoi(argv[3]),
                           untouched ? FolderMix::UntouchedOnly : FolderMix::Mixed,
                           planned ? argv[5] : nullptr);
  }
  if (argc < 3) {
    std::fputs(
        "usage: cleaning_bench WORK QUILLFEN_HOST [RUNS [PARTS]]\n"
        "       cleaning_bench --folder PATH FILES [untouched | --plan PLAN]\n",
        stderr);
    return 2;
  }
  MakeFolder(argv[1]);
  const Bench bench{"/proc/self/exe", std::string(argv[1]) + "/cleaning-bench", argv[2],
                    argc > 3 ? std::atoi(argv[3]) : 9};
  const std::string parts = argc > 4 ? argv[4] : "folder,syscalls,memory,bigfile";
  auto wanted = [&parts](const char* part) { return parts.find(part) != std::string::npos; };
  RemoveTree(bench.Work);
  MakeFolder(bench.Work);
  const std::string master = bench.Work + "/folder";
  MakeFolder(master);
  const SyntheticFolder plan = WriteSyntheticFolder(master, kFolderFiles, FolderMix::Mixed, Now());
  if (wanted("folder")) BenchFolder(bench, master, plan);
  if (wanted("syscalls")) BenchSyscalls(bench);
  if (wanted("memory")) BenchMemory(bench, master);
  if (wanted("bigfile")) BenchBigFile(bench);
  RemoveTree(bench.Work);
  return 0;
}
