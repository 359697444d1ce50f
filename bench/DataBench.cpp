// Costs of the data file's INI work, each set beside plain file I/O of the same bytes and beside
// GLib's GKeyFile doing the same job, so the results read as ratios: "x_read" is the time over
// reading the whole file, "x_write" over writing it whole and fsyncing it (the document's save is an
// atomic write that also syncs), "x_gkey" over GKeyFile's time for the same step. The plain and
// GKeyFile benchmarks run first and give those times.
//
// The hostile rows load data files shaped to be costly, of the largest size a load accepts, and
// report the time and the peak of extra memory as a multiple of the file's size ("x_size").
//
// The "Paired" rows run our step and GKeyFile's by turns in each iteration, for a ratio that the
// machine's drifting speed does not skew.
//
// "KestrumSaveWithoutSync" is TKestrum::Save with every fsync of this binary answered at once, so
// it shows the CPU a save costs besides waiting for the disk.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <glib.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "base/DateTime.h"
#include "base/Strings.h"
#include "data/Kestrum.h"
#include "data/shhlpr.h"
#include "ini/VoMemIniFile.h"
#include "tests/support/AllocationMeter.h"
#include "tests/support/HostileRosters.h"
#include "tests/support/ScratchFolder.h"

namespace kestrum::bench {
namespace {
// While set, fsync returns at once without syncing (see the fsync below).
bool gSkipSync = false;
}  // namespace
}  // namespace kestrum::bench

// Takes the place of the C library's fsync for every call in this binary, the program's own code
// included, so one benchmark can leave the disk out of what it measures.
extern "C" int fsync(int fd) {
  return kestrum::bench::gSkipSync ? 0 : static_cast<int>(syscall(SYS_fsync, fd));
}

namespace kestrum::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct RosterSize {
  const char* label;
  int charas;
  int raids;
};

// A typical roster and a large one (about 40,000 keys).
const RosterSize kSizes[] = {{"typical 20x30", 20, 30}, {"large 200x100", 200, 100}};

// The roster file as a save writes it, with timers and counts that differ from key to key.
std::string RosterText(const RosterSize& size) {
  std::string text = "[RAID]\r\n\r\nCOUNT=" + std::to_string(size.raids) + "\r\n";
  for (int k = 0; k < size.raids; ++k) text += std::to_string(k) + "=\"Raid " + std::to_string(k) + "\"\r\n";
  text += "\r\n[CHARA]\r\n\r\nCOUNT=" + std::to_string(size.charas) + "\r\n\r\n";
  for (int i = 0; i < size.charas; ++i) {
    text += "[CHARA" + std::to_string(i) + "]\r\n\r\nNAME=Chara" + std::to_string(i) + "\r\n";
    for (int k = 0; k < size.raids; ++k) {
      const int day = 1 + (i + k) % 28;
      text += "Raid " + std::to_string(k) + "=\"2024/03/" + (day < 10 ? "0" : "") + std::to_string(day) +
              " 07:45:30\"\r\nRaid " + std::to_string(k) + " COUNT=" + std::to_string(i * 7 + k) + "\r\n";
    }
    text += "\r\n";
  }
  return text;
}

std::string ReadWhole(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) throw std::runtime_error("cannot open " + path);
  std::string bytes(static_cast<size_t>(lseek(fd, 0, SEEK_END)), '\0');
  const bool ok = pread(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size());
  close(fd);
  if (!ok) throw std::runtime_error("cannot read " + path);
  return bytes;
}

void WriteWholeSynced(const std::string& path, const std::string& bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) throw std::runtime_error("cannot open " + path);
  const bool ok =
      write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) && fsync(fd) == 0;
  close(fd);
  if (!ok) throw std::runtime_error("cannot write " + path);
}

// One roster file in a private data folder (XDG_DATA_HOME points there, so TKestrum uses it too).
class Workspace {
 public:
  Workspace() {
    setenv("XDG_DATA_HOME", root_.Path().c_str(), 1);
    SetFormatSettings({u"yyyy/mm/dd", u"hh:nn:ss", u'/', u':'});
  }

  // Writes the roster file of the given size and returns its path.
  std::string Prepare(const RosterSize& size) {
    const String path = GetDataFileName();
    ForceFileDir(path);
    const std::string file = ToUtf8(path);
    WriteWholeSynced(file, RosterText(size));
    fs::remove(file + ".bak");
    return file;
  }
  std::string Scratch() const { return (root_.Path() / "plain.dat").string(); }

 private:
  test::TScratchFolder root_{"kestrum-bench-"};
};

Workspace& Space() {
  static Workspace space;
  return space;
}

// Per-iteration time of the plain whole-file read and write+fsync of each roster size, as the two
// plain benchmarks (registered first, so run first) measured it.
// The steps measured for both engines, each beside GKeyFile's time for it.
enum Step { kLoad, kLoadAndReadEveryKey, kReadEveryKey, kWriteEveryKey, kSave, kStepCount };

struct Baseline {
  double read = 0;
  double write = 0;
  double gkey[kStepCount] = {};
};

Baseline& BaselineFor(int64_t sizeIndex) {
  static std::map<int64_t, Baseline> baselines;
  return baselines[sizeIndex];
}

// Runs body once per iteration; returns the wall time of one iteration in seconds.
template <typename F>
double TimeIterations(benchmark::State& state, F&& body) {
  state.SetLabel(kSizes[state.range(0)].label);
  const auto start = Clock::now();
  for (auto _ : state) body();
  return std::chrono::duration<double>(Clock::now() - start).count() /
         static_cast<double>(state.iterations());
}

// Runs body and reports its time as ratios to the plain baselines of the same roster size.
template <typename F>
void RunAgainstBaseline(benchmark::State& state, Step step, F&& body) {
  const double perIteration = TimeIterations(state, body);
  const Baseline& baseline = BaselineFor(state.range(0));
  if (baseline.read > 0) state.counters["x_read"] = perIteration / baseline.read;
  if (baseline.write > 0) state.counters["x_write"] = perIteration / baseline.write;
  if (baseline.gkey[step] > 0) state.counters["x_gkey"] = perIteration / baseline.gkey[step];
}

// Runs body as GKeyFile's way of doing step and records its time for our rows.
template <typename F>
void RunAsGKeyReference(benchmark::State& state, Step step, F&& body) {
  BaselineFor(state.range(0)).gkey[step] = TimeIterations(state, body);
}

// Every (section, key, value) of the document.
struct Entry {
  String section;
  String key;
  String value;
};

std::vector<Entry> Entries(const TVoMemIniFile& ini) {
  std::vector<Entry> entries;
  std::vector<String> sections;
  std::vector<String> keys;
  ini.ReadSections(sections);
  for (const String& section : sections) {
    ini.ReadSection(section, keys);
    for (const String& key : keys) entries.push_back({section, key, ini.ReadString(section, key, u"")});
  }
  return entries;
}

void BM_PlainRead(benchmark::State& state) {
  const std::string path = Space().Prepare(kSizes[state.range(0)]);
  BaselineFor(state.range(0)).read =
      TimeIterations(state, [&] { benchmark::DoNotOptimize(ReadWhole(path)); });
}

void BM_PlainWriteFsync(benchmark::State& state) {
  const std::string bytes = ReadWhole(Space().Prepare(kSizes[state.range(0)]));
  BaselineFor(state.range(0)).write =
      TimeIterations(state, [&] { WriteWholeSynced(Space().Scratch(), bytes); });
}

// A GKeyFile and every (group, key) it holds.
class GKeyDocument {
 public:
  explicit GKeyDocument(const std::string& bytes) : file_(g_key_file_new()) {
    if (!g_key_file_load_from_data(file_, bytes.data(), bytes.size(), G_KEY_FILE_KEEP_COMMENTS, nullptr))
      throw std::runtime_error("GKeyFile cannot load the roster");
  }
  ~GKeyDocument() { g_key_file_free(file_); }
  GKeyDocument(const GKeyDocument&) = delete;
  GKeyDocument& operator=(const GKeyDocument&) = delete;

  GKeyFile* Get() const { return file_; }

  std::vector<std::pair<std::string, std::string>> Keys() const {
    std::vector<std::pair<std::string, std::string>> keys;
    gchar** groups = g_key_file_get_groups(file_, nullptr);
    for (gchar** group = groups; *group != nullptr; ++group) {
      gchar** names = g_key_file_get_keys(file_, *group, nullptr, nullptr);
      for (gchar** name = names; *name != nullptr; ++name) keys.emplace_back(*group, *name);
      g_strfreev(names);
    }
    g_strfreev(groups);
    return keys;
  }

  void ReadEveryKey(const std::vector<std::pair<std::string, std::string>>& keys) const {
    for (const auto& [group, name] : keys) {
      gchar* value = g_key_file_get_value(file_, group.c_str(), name.c_str(), nullptr);
      benchmark::DoNotOptimize(value);
      g_free(value);
    }
  }

 private:
  GKeyFile* file_;
};

void BM_GKeyLoad(benchmark::State& state) {
  const std::string path = Space().Prepare(kSizes[state.range(0)]);
  RunAsGKeyReference(state, kLoad, [&] {
    GKeyDocument file(ReadWhole(path));
    benchmark::DoNotOptimize(file.Get());
  });
}

void BM_GKeyLoadAndReadEveryKey(benchmark::State& state) {
  const std::string path = Space().Prepare(kSizes[state.range(0)]);
  const auto keys = GKeyDocument(ReadWhole(path)).Keys();
  RunAsGKeyReference(state, kLoadAndReadEveryKey, [&] { GKeyDocument(ReadWhole(path)).ReadEveryKey(keys); });
}

void BM_GKeyReadEveryKey(benchmark::State& state) {
  const GKeyDocument file(ReadWhole(Space().Prepare(kSizes[state.range(0)])));
  const auto keys = file.Keys();
  RunAsGKeyReference(state, kReadEveryKey, [&] { file.ReadEveryKey(keys); });
}

void BM_GKeyWriteEveryKey(benchmark::State& state) {
  const GKeyDocument file(ReadWhole(Space().Prepare(kSizes[state.range(0)])));
  std::vector<std::pair<std::string, std::string>> keys = file.Keys();
  std::vector<std::string> values;
  for (const auto& [group, name] : keys) {
    gchar* value = g_key_file_get_value(file.Get(), group.c_str(), name.c_str(), nullptr);
    values.emplace_back(value);
    g_free(value);
  }
  RunAsGKeyReference(state, kWriteEveryKey, [&] {
    for (size_t i = 0; i < keys.size(); ++i)
      g_key_file_set_value(file.Get(), keys[i].first.c_str(), keys[i].second.c_str(), values[i].c_str());
  });
}

// GKeyFile's save: the text made, then written whole and synced.
void GKeySave(const GKeyDocument& file) {
  gsize length = 0;
  gchar* data = g_key_file_to_data(file.Get(), &length, nullptr);
  WriteWholeSynced(Space().Scratch(), std::string(data, length));
  g_free(data);
}

void BM_GKeySave(benchmark::State& state) {
  const GKeyDocument file(ReadWhole(Space().Prepare(kSizes[state.range(0)])));
  RunAsGKeyReference(state, kSave, [&] { GKeySave(file); });
}

void IniLoadAndReadEveryKey(const String& path, const std::vector<Entry>& entries) {
  const TVoMemIniFile ini(path);
  for (const Entry& e : entries) benchmark::DoNotOptimize(ini.ReadString(e.section, e.key, u""));
}

void BM_IniLoad(benchmark::State& state) {
  const String path = FromUtf8(Space().Prepare(kSizes[state.range(0)]));
  RunAgainstBaseline(state, kLoad, [&] {
    TVoMemIniFile ini(path);
    benchmark::DoNotOptimize(&ini);
  });
}

void BM_IniLoadAndReadEveryKey(benchmark::State& state) {
  const String path = FromUtf8(Space().Prepare(kSizes[state.range(0)]));
  const std::vector<Entry> entries = Entries(TVoMemIniFile(path));
  RunAgainstBaseline(state, kLoadAndReadEveryKey, [&] { IniLoadAndReadEveryKey(path, entries); });
}

void BM_IniReadEveryKey(benchmark::State& state) {
  const TVoMemIniFile ini(FromUtf8(Space().Prepare(kSizes[state.range(0)])));
  const std::vector<Entry> entries = Entries(ini);
  state.counters["keys"] = static_cast<double>(entries.size());
  RunAgainstBaseline(state, kReadEveryKey, [&] {
    for (const Entry& e : entries) benchmark::DoNotOptimize(ini.ReadString(e.section, e.key, u""));
  });
}

void BM_IniWriteEveryKey(benchmark::State& state) {
  TVoMemIniFile ini(FromUtf8(Space().Prepare(kSizes[state.range(0)])));
  const std::vector<Entry> entries = Entries(ini);
  RunAgainstBaseline(state, kWriteEveryKey, [&] {
    for (const Entry& e : entries) ini.WriteString(e.section, e.key, e.value);
  });
}

void BM_IniUpdateFile(benchmark::State& state) {
  TVoMemIniFile ini(FromUtf8(Space().Prepare(kSizes[state.range(0)])));
  RunAgainstBaseline(state, kSave, [&] { ini.UpdateFile(); });
}

void BM_KestrumSave(benchmark::State& state) {
  Space().Prepare(kSizes[state.range(0)]);
  TKestrum roster;
  roster.Load();
  RunAgainstBaseline(state, kSave, [&] { roster.Save(); });
}

// This thread's CPU time so far, in the program's own code and in the kernel, in seconds.
struct ThreadCpu {
  double user;
  double system;
};

ThreadCpu ThreadCpuNow() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return {seconds(usage.ru_utime), seconds(usage.ru_stime)};
}

// The CPU a save costs, split into the program's own work ("user_us") and the kernel's file work
// ("sys_us"), per save.
void BM_KestrumSaveWithoutSync(benchmark::State& state) {
  Space().Prepare(kSizes[state.range(0)]);
  TKestrum roster;
  roster.Load();
  gSkipSync = true;
  const ThreadCpu start = ThreadCpuNow();
  RunAgainstBaseline(state, kSave, [&] { roster.Save(); });
  const ThreadCpu end = ThreadCpuNow();
  gSkipSync = false;
  const auto saves = static_cast<double>(state.iterations());
  state.counters["user_us"] = (end.user - start.user) * 1e6 / saves;
  state.counters["sys_us"] = (end.system - start.system) * 1e6 / saves;
}

void BM_KestrumLoad(benchmark::State& state) {
  Space().Prepare(kSizes[state.range(0)]);
  TKestrum roster;
  RunAgainstBaseline(state, kLoad, [&] { roster.Load(); });
}

// Runs ours and theirs by turns in every iteration and reports the time of ours over theirs as
// "x_gkey": on a machine whose speed drifts, both see the same moments, unlike rows run one after
// the other.
template <typename Ours, typename Theirs>
void RunPaired(benchmark::State& state, Ours&& ours, Theirs&& theirs) {
  state.SetLabel(kSizes[state.range(0)].label);
  Clock::duration oursTotal{};
  Clock::duration theirsTotal{};
  for (auto _ : state) {
    const auto start = Clock::now();
    ours();
    const auto middle = Clock::now();
    theirs();
    oursTotal += middle - start;
    theirsTotal += Clock::now() - middle;
  }
  state.counters["x_gkey"] =
      std::chrono::duration<double>(oursTotal) / std::chrono::duration<double>(theirsTotal);
}

void BM_PairedLoadAndReadEveryKey(benchmark::State& state) {
  const std::string file = Space().Prepare(kSizes[state.range(0)]);
  const String path = FromUtf8(file);
  const std::vector<Entry> entries = Entries(TVoMemIniFile(path));
  const auto keys = GKeyDocument(ReadWhole(file)).Keys();
  RunPaired(
      state, [&] { IniLoadAndReadEveryKey(path, entries); },
      [&] { GKeyDocument(ReadWhole(file)).ReadEveryKey(keys); });
}

void BM_PairedSave(benchmark::State& state) {
  const std::string file = Space().Prepare(kSizes[state.range(0)]);
  TVoMemIniFile ini(FromUtf8(file));
  const GKeyDocument gkey(ReadWhole(file));
  RunPaired(
      state, [&] { ini.UpdateFile(); }, [&] { GKeySave(gkey); });
}

// The largest data file a load accepts, in each hostile shape.
void BM_HostileLoad(benchmark::State& state) {
  const test::THostileShape shape = test::kHostileShapes[state.range(0)];
  const std::string bytes = test::HostileRoster(shape, kMaxDataFileBytes);
  Space();
  const String path = GetDataFileName();
  ForceFileDir(path);
  WriteWholeSynced(ToUtf8(path), bytes);
  state.SetLabel(test::HostileShapeName(shape));
  size_t peak = 0;
  for (auto _ : state) {
    const test::AllocationMeter meter;
    TKestrum roster;
    roster.Load();
    peak = std::max(peak, meter.PeakExtraBytes());
    // Each load keeps what it could not read beside the file; those copies are not what is measured.
    state.PauseTiming();
    for (const auto& entry : fs::directory_iterator(fs::path(ToUtf8(path)).parent_path()))
      if (entry.path().filename().string().find(".unread-") != std::string::npos) fs::remove(entry.path());
    state.ResumeTiming();
  }
  state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
  state.counters["x_size"] = static_cast<double>(peak) / static_cast<double>(bytes.size());
}

#define KESTRUM_BENCH(fn) BENCHMARK(fn)->DenseRange(0, 1)->Unit(benchmark::kMicrosecond)
KESTRUM_BENCH(BM_PlainRead);
KESTRUM_BENCH(BM_PlainWriteFsync);
KESTRUM_BENCH(BM_GKeyLoad);
KESTRUM_BENCH(BM_GKeyLoadAndReadEveryKey);
KESTRUM_BENCH(BM_GKeyReadEveryKey);
KESTRUM_BENCH(BM_GKeyWriteEveryKey);
KESTRUM_BENCH(BM_GKeySave);
KESTRUM_BENCH(BM_IniLoad);
KESTRUM_BENCH(BM_IniLoadAndReadEveryKey);
KESTRUM_BENCH(BM_IniReadEveryKey);
KESTRUM_BENCH(BM_IniWriteEveryKey);
KESTRUM_BENCH(BM_IniUpdateFile);
KESTRUM_BENCH(BM_KestrumLoad);
KESTRUM_BENCH(BM_KestrumSave);
KESTRUM_BENCH(BM_KestrumSaveWithoutSync);
KESTRUM_BENCH(BM_PairedLoadAndReadEveryKey);
KESTRUM_BENCH(BM_PairedSave);
BENCHMARK(BM_HostileLoad)
    ->DenseRange(0, std::size(test::kHostileShapes) - 1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

}  // namespace
}  // namespace kestrum::bench

BENCHMARK_MAIN();
