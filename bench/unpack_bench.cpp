// Unpacking speed and memory, measured against plain programs in the same
// run.
//
// Speed: a paper whose page group holds one file of SPEED_MIB (64 marked
// blocks of pseudo-random text) is unpacked by `qzt extract`, and by two
// single-threaded loops that read each block, inflate it in one call (zlib,
// then libdeflate) and write it; that libdeflate loop split between two
// threads shows what two threads can gain on this machine. Medians of RUNS
// runs, and qzt's ratio to each. Memory: a file of MEMORY_MIB in one block,
// then in 256 blocks, is unpacked by `qzt extract`, whose peak resident
// memory is printed and must stay under 64 MiB. Many files: FILES small
// files in two blocks each against one block each. Every output is
// compared with the content written (the many files only through qzt's
// exit status).
//   unpack_bench [RUNS] [SPEED_MIB] [MEMORY_MIB] [FILES]   (default 5 256 1024 5000)
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "author/paper_writer.h"
#include "paper/format.h"
#include "util/bytes.h"

namespace fs = std::filesystem;
using namespace qzt;
using writer::GroupEntry;
using writer::PackForm;

extern char** environ;

namespace {

constexpr std::size_t kMiB = 1 << 20;
constexpr long kMemoryBoundKb = 64 * 1024;
constexpr char kFileName[] = "video.bin";

// Text from a vocabulary of made-up words with numbers between: about 2:1
// under zlib, like prose, never a repeated pattern.
std::string pseudoText(std::size_t n, std::uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<std::string> words(4000);
  for (auto& w : words) {
    const std::size_t len = 2 + rng() % 9;
    for (std::size_t i = 0; i < len; ++i) w += static_cast<char>('a' + rng() % 26);
  }
  std::string out;
  out.reserve(n + 16);
  while (out.size() < n) {
    const auto r = static_cast<std::uint32_t>(rng());
    out += r % 20 == 0 ? std::to_string(r % 100000) : words[r % words.size()];
    out += r % 13 == 0 ? '\n' : ' ';
  }
  out.resize(n);
  return out;
}

// A paper whose page group is that one file in `blocks` blocks (marked
// when more than one).
void writeFilePaper(const fs::path& path, const std::string& content, int blocks) {
  writer::PaperSpec spec;
  spec.title = "Unpack benchmark";
  const PackForm form = blocks > 1 ? PackForm::MarkedRun : PackForm::SingleBlock;
  spec.page = {GroupEntry::file(kFileName, content, form, blocks)};
  if (!writer::writePaper(path, spec).ok()) {
    std::fprintf(stderr, "unpack_bench: cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

std::string readAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::string out(fs::file_size(p), '\0');
  in.read(out.data(), static_cast<std::streamsize>(out.size()));
  return out;
}

// Where the blocks of the paper's one marked run lie: their bytes after the
// marker and size, U first.
struct Block {
  std::int64_t pos;
  std::int64_t size;
};

std::vector<Block> findBlocks(const std::string& paper) {
  const std::string marker(format::kBlockMarker.begin(), format::kBlockMarker.end());
  std::vector<Block> blocks;
  for (std::size_t at = paper.find(marker);
       at != std::string::npos && at + 12 <= paper.size() && paper.compare(at, 8, marker) == 0;) {
    const auto size = decodeInt32(reinterpret_cast<const unsigned char*>(paper.data() + at + 8));
    blocks.push_back({static_cast<std::int64_t>(at + 12), size});
    at += 12 + static_cast<std::size_t>(size);
  }
  return blocks;
}

using InflateCall = std::function<bool(const unsigned char*, std::size_t, unsigned char*, std::size_t)>;

// The plain program: read a block, inflate it in one call, write it.
bool inflateAndWrite(const fs::path& paper, const std::vector<Block>& blocks, const fs::path& out,
                     const InflateCall& inflate) {
  std::FILE* in = std::fopen(paper.c_str(), "rb");
  std::FILE* o = std::fopen(out.c_str(), "wb");
  std::vector<unsigned char> packed, plain;
  bool ok = in && o;
  for (const Block& b : blocks) {
    if (!ok) break;
    packed.resize(static_cast<std::size_t>(b.size));
    ok = std::fseek(in, b.pos, SEEK_SET) == 0 && std::fread(packed.data(), 1, packed.size(), in) == packed.size();
    if (!ok) break;
    plain.resize(decodeFixed32(packed.data()));
    ok = inflate(packed.data() + 4, packed.size() - 4, plain.data(), plain.size()) &&
         std::fwrite(plain.data(), 1, plain.size(), o) == plain.size();
  }
  if (in) std::fclose(in);
  if (o && std::fclose(o) != 0) ok = false;
  return ok;
}

bool zlibOneCall(const unsigned char* in, std::size_t n, unsigned char* out, std::size_t want) {
  uLongf got = want;
  return uncompress(out, &got, in, n) == Z_OK && got == want;
}

bool libdeflateOneCall(const unsigned char* in, std::size_t n, unsigned char* out, std::size_t want) {
  static libdeflate_decompressor* d = libdeflate_alloc_decompressor();
  return libdeflate_zlib_decompress(d, in, n, out, want, nullptr) == LIBDEFLATE_SUCCESS;
}

// The same loop split between two threads, each with its own decompressor,
// reading and writing its half of the blocks at their places: what two
// threads on this machine cost against one, whoever runs them.
bool inflateInTwoThreads(const fs::path& paper, const std::vector<Block>& blocks, const fs::path& out) {
  const int in = ::open(paper.c_str(), O_RDONLY | O_CLOEXEC);
  const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  std::vector<std::int64_t> at(blocks.size() + 1, 0);  // where each block's plain bytes go
  bool ok = in >= 0 && o >= 0;
  for (std::size_t i = 0; ok && i < blocks.size(); ++i) {
    unsigned char size[4];
    ok = ::pread(in, size, 4, blocks[i].pos) == 4;
    at[i + 1] = at[i] + decodeFixed32(size);
  }
  const auto half = [&](std::size_t from, std::size_t to, bool* done) {
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    std::vector<unsigned char> packed, plain;
    bool good = d != nullptr;
    for (std::size_t i = from; good && i < to; ++i) {
      packed.resize(static_cast<std::size_t>(blocks[i].size));
      plain.resize(static_cast<std::size_t>(at[i + 1] - at[i]));
      good = ::pread(in, packed.data(), packed.size(), blocks[i].pos) == static_cast<ssize_t>(packed.size()) &&
             libdeflate_zlib_decompress(d, packed.data() + 4, packed.size() - 4, plain.data(), plain.size(),
                                        nullptr) == LIBDEFLATE_SUCCESS &&
             ::pwrite(o, plain.data(), plain.size(), at[i]) == static_cast<ssize_t>(plain.size());
    }
    libdeflate_free_decompressor(d);
    *done = good;
  };
  bool first = false, second = false;
  if (ok) {
    std::thread other(half, blocks.size() / 2, blocks.size(), &second);
    half(0, blocks.size() / 2, &first);
    other.join();
  }
  if (in >= 0) ::close(in);
  if (o >= 0 && ::close(o) != 0) ok = false;
  return ok && first && second;
}

// One unpacking: wall and CPU seconds, peak RSS for a process of its own.
struct Run {
  double seconds = 0;
  double cpuSeconds = 0;
  long peakKb = 0;
  bool ok = false;
};

double cpuSeconds(const rusage& u) {
  auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return s(u.ru_utime) + s(u.ru_stime);
}

// Starts `qzt extract PAPER DIR` and reports its wall time and peak RSS.
// A process keeps the peak of what it was before it started the program,
// and a spawned one starts as a view of its parent: so qzt is started by a
// launcher forked while the benchmark is still small, never by the
// benchmark holding its papers in memory.
class Launcher {
 public:
  Launcher() {
    int toChild[2], fromChild[2];
    if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0) std::exit(1);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(toChild[1]);
      ::close(fromChild[0]);
      serve(fdopen(toChild[0], "r"), fdopen(fromChild[1], "w"));
      ::_exit(0);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    requests_ = fdopen(toChild[1], "w");
    replies_ = fdopen(fromChild[0], "r");
  }
  ~Launcher() {
    std::fclose(requests_);
    std::fclose(replies_);
    ::waitpid(pid_, nullptr, 0);
  }

  Run extract(const fs::path& paper, const fs::path& dir) {
    std::fprintf(requests_, "%s\n%s\n", paper.c_str(), dir.c_str());
    std::fflush(requests_);
    Run run;
    int ok = 0;
    if (std::fscanf(replies_, "%lf %lf %ld %d", &run.seconds, &run.cpuSeconds, &run.peakKb, &ok) != 4) {
      std::exit(1);
    }
    run.ok = ok != 0;
    return run;
  }

 private:
  static void serve(std::FILE* in, std::FILE* out) {
    char paper[4096], dir[4096];
    while (std::fgets(paper, sizeof paper, in) && std::fgets(dir, sizeof dir, in)) {
      paper[std::strcspn(paper, "\n")] = '\0';
      dir[std::strcspn(dir, "\n")] = '\0';
      const Run run = spawn(paper, dir);
      std::fprintf(out, "%.6f %.6f %ld %d\n", run.seconds, run.cpuSeconds, run.peakKb, run.ok ? 1 : 0);
      std::fflush(out);
    }
  }

  static Run spawn(char* paper, char* dir) {
    char program[] = QZT_PROGRAM, command[] = "extract";
    char* argv[] = {program, command, paper, dir, nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, program, &actions, nullptr, argv, environ) == 0) {
      int status = 0;
      rusage usage{};
      ::wait4(pid, &status, 0, &usage);
      run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      run.cpuSeconds = cpuSeconds(usage);
      run.peakKb = usage.ru_maxrss;
      run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    posix_spawn_file_actions_destroy(&actions);
    return run;
  }

  pid_t pid_ = 0;
  std::FILE* requests_ = nullptr;
  std::FILE* replies_ = nullptr;
};

// A baseline, in this process.
Run timed(const std::function<bool()>& work) {
  rusage before{}, after{};
  getrusage(RUSAGE_SELF, &before);
  const auto start = std::chrono::steady_clock::now();
  Run run;
  run.ok = work();
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  getrusage(RUSAGE_SELF, &after);
  run.cpuSeconds = cpuSeconds(after) - cpuSeconds(before);
  return run;
}

// Medians of the runs of one contender.
struct Runs {
  std::vector<double> wall, cpu;
  long peakKb = 0;
  void add(const Run& r) {
    wall.push_back(r.seconds);
    cpu.push_back(r.cpuSeconds);
    peakKb = std::max(peakKb, r.peakKb);
  }
};

double inMiB(long kb) { return static_cast<double>(kb) / 1024; }

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void fail(const char* what) {
  std::fprintf(stderr, "unpack_bench: %s\n", what);
  std::exit(1);
}

// An output is checked against the content, a piece at a time.
void expectContent(const fs::path& file, const std::string& content, const char* who) {
  std::ifstream in(file, std::ios::binary);
  std::string piece(kMiB, '\0');
  bool same = fs::file_size(file) == content.size();
  for (std::size_t at = 0; same && at < content.size(); at += kMiB) {
    const std::size_t n = std::min(kMiB, content.size() - at);
    in.read(piece.data(), static_cast<std::streamsize>(n));
    same = in && content.compare(at, n, piece, 0, n) == 0;
  }
  if (!same) {
    std::fprintf(stderr, "unpack_bench: %s unpacked other bytes\n", who);
    std::exit(1);
  }
}

void speed(Launcher& launcher, const fs::path& scratch, int runs, std::size_t mib) {
  constexpr int kBlocks = 64;
  const std::string content = pseudoText(mib * kMiB, 1);
  const fs::path paper = scratch / "speed.qzt";
  writeFilePaper(paper, content, kBlocks);
  const std::vector<Block> blocks = findBlocks(readAll(paper));
  if (blocks.size() != kBlocks) fail("the paper's blocks were not found");

  const fs::path dir = scratch / "out", plain = scratch / "plain.bin";
  const auto zlibLoop = [&] { return inflateAndWrite(paper, blocks, plain, zlibOneCall); };
  const auto deflateLoop = [&] { return inflateAndWrite(paper, blocks, plain, libdeflateOneCall); };
  const auto twoThreads = [&] { return inflateInTwoThreads(paper, blocks, plain); };
  // A baseline's run, on a removed output with nothing left to write back;
  // the first run's output is checked.
  const auto baseline = [&](const std::function<bool()>& loop, const char* name, int run, Runs& into) {
    ::sync();
    const Run r = timed(loop);
    if (!r.ok) fail((std::string(name) + " failed").c_str());
    if (run == 0) expectContent(plain, content, name);
    into.add(r);
    fs::remove(plain);
  };
  Runs qzt, zlib, deflate, deflateTwo;
  for (int i = 0; i < runs; ++i) {
    fs::remove_all(dir);
    ::sync();
    const Run q = launcher.extract(paper, dir);
    if (!q.ok) fail("qzt extract failed");
    if (i == 0) expectContent(dir / kFileName, content, "qzt");
    qzt.add(q);
    fs::remove_all(dir);
    baseline(zlibLoop, "zlib baseline", i, zlib);
    baseline(deflateLoop, "libdeflate baseline", i, deflate);
    baseline(twoThreads, "two-thread libdeflate baseline", i, deflateTwo);
  }
  fs::remove(paper);
  const double q = median(qzt.wall), qc = median(qzt.cpu);
  std::printf("unpack %zu MiB in %d blocks, paper %.0f MiB, median of %d runs (%u cores), wall (CPU)\n", mib,
              kBlocks, static_cast<double>(blocks.back().pos + blocks.back().size) / kMiB, runs,
              std::max(1u, std::thread::hardware_concurrency()));
  std::printf("  %-32s %6.3f s (%6.3f s)  peak RSS %.1f MiB\n", "qzt extract", q, qc, inMiB(qzt.peakKb));
  const auto ratio = [&](const char* name, const Runs& r, const char* goal) {
    std::printf("  %-32s %6.3f s (%6.3f s)  qzt %.2fx (CPU %.2fx)%s\n", name, median(r.wall), median(r.cpu),
                q / median(r.wall), qc / median(r.cpu), goal);
  };
  ratio("zlib one call, one thread", zlib, ", goal 0.40x");
  ratio("libdeflate one call, one thread", deflate, ", goal wall 0.60x, CPU 1.15x");
  // Two threads of that loop against one: the most two threads can gain on
  // this machine (its cores may share one physical core or its memory).
  std::printf("  %-32s %6.3f s (%6.3f s)  %.2fx (CPU %.2fx) of one thread: this machine's floor\n",
              "libdeflate one call, two threads", median(deflateTwo.wall), median(deflateTwo.cpu),
              median(deflateTwo.wall) / median(deflate.wall), median(deflateTwo.cpu) / median(deflate.cpu));
}

// A page of many small files, in two blocks each and in one: the second
// costs nothing like a thread start per file when the run shares its pool.
void manyFiles(Launcher& launcher, const fs::path& scratch, int runs, int files) {
  std::printf("unpack %d files of 8 KiB, median of %d runs, wall (CPU)\n", files, runs);
  double oneBlock = 0;
  for (const int blocks : {1, 2}) {
    writer::PaperSpec spec;
    spec.title = "Unpack benchmark";
    const PackForm form = blocks > 1 ? PackForm::MarkedRun : PackForm::SingleBlock;
    for (int i = 0; i < files; ++i) {
      spec.page.push_back(GroupEntry::file("f" + std::to_string(i) + ".txt", pseudoText(8192, 10 + i), form, blocks));
    }
    const fs::path paper = scratch / "many.qzt", dir = scratch / "out";
    if (!writer::writePaper(paper, spec).ok()) fail("cannot write the paper of many files");
    Runs r;
    for (int i = 0; i < runs; ++i) {
      fs::remove_all(dir);
      const Run q = launcher.extract(paper, dir);
      if (!q.ok) fail("qzt extract failed");
      r.add(q);
    }
    fs::remove_all(dir);
    fs::remove(paper);
    const double wall = median(r.wall);
    if (blocks == 1) {
      oneBlock = wall;
      std::printf("  %-32s %6.3f s (%6.3f s)\n", "one block each", wall, median(r.cpu));
    } else {
      std::printf("  %-32s %6.3f s (%6.3f s)  %.2fx of one block each\n", "two blocks each", wall, median(r.cpu),
                  wall / oneBlock);
    }
  }
}

// A file with a period shorter than deflate's window: quick to pack, and
// the unpacking's memory is what is measured.
bool memory(Launcher& launcher, const fs::path& scratch, std::size_t mib) {
  std::string content = pseudoText(16 * 1024, 2);
  while (content.size() < mib * kMiB) content += content;
  content.resize(mib * kMiB);
  bool ok = true;
  std::printf("peak RSS of qzt extract for one %zu MiB file (bound %ld MiB)\n", mib, kMemoryBoundKb / 1024);
  for (int blocks : {1, 256}) {
    const fs::path paper = scratch / "memory.qzt", dir = scratch / "out";
    writeFilePaper(paper, content, blocks);
    const Run q = launcher.extract(paper, dir);
    if (!q.ok) fail("qzt extract failed");
    expectContent(dir / kFileName, content, "qzt");
    fs::remove_all(dir);
    fs::remove(paper);
    const bool under = q.peakKb < kMemoryBoundKb;
    ok = ok && under;
    const std::string what = std::to_string(blocks) + (blocks > 1 ? " blocks" : " block");
    std::printf("  %-34s %8.1f MiB  %s  (%.3f s)\n", what.c_str(), inMiB(q.peakKb), under ? "under" : "OVER",
                q.seconds);
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const std::size_t speedMib = argc > 2 ? static_cast<std::size_t>(std::atol(argv[2])) : 256;
  const std::size_t memoryMib = argc > 3 ? static_cast<std::size_t>(std::atol(argv[3])) : 1024;
  const int files = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5000;
  Launcher launcher;
  const fs::path scratch = fs::temp_directory_path() / ("qzt-unpack-bench-" + std::to_string(::getpid()));
  fs::create_directories(scratch);
  speed(launcher, scratch, runs, speedMib);
  manyFiles(launcher, scratch, runs, files);
  const bool bounded = memory(launcher, scratch, memoryMib);
  fs::remove_all(scratch);
  return bounded ? 0 : 1;
}
