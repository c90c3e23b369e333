// What a run repeats for every block or every password: key folding, a
// cipher call through the loaded library, the byte loop over the input, the
// progress update and the terminal bar behind it.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cipher/cipher_library.h"
#include "platform/linux/executable_directory.h"
#include "platform/posix/posix_system.h"
#include "protect/block_batch.h"
#include "protect/input_reader.h"
#include "protect/key_folding.h"
#include "protect/progress.h"
#include "ui/terminal/progress_bar.h"

namespace {

using ovalith::BlockType;

// The real system, for files and the cipher library.
ovalith::PosixSystem RealSystem() {
  return ovalith::PosixSystem({}, ovalith::LinuxExecutableDirectory());
}

// A view that shows nothing.
class NullView : public ovalith::View {
 public:
  void SetText(ovalith::Control, const std::string&) override {}
  std::string GetText(ovalith::Control) override { return ""; }
  void SetVisible(ovalith::Control, bool) override {}
  void SetMainEnabled(bool) override {}
  ovalith::MainEvent WaitForMainEvent() override {
    return ovalith::MainEvent::Close;
  }
  void UnloadWindows() override {}
  ovalith::Answer MessageBox(const std::string&, ovalith::Icon) override {
    return ovalith::Answer::No;
  }
  void ShowUsage(const std::string&, const std::string&) override {}
  void ProgressShow(const std::string&) override {}
  void ProgressSetMax(std::uint64_t) override {}
  void ProgressSetValue(std::uint64_t value) override {
    benchmark::DoNotOptimize(value);
  }
  void ProgressHide() override {}
  void ProcessPendingEvents() override {}
};

// A file of random-looking bytes, removed at exit.
class ScratchFile {
 public:
  explicit ScratchFile(std::size_t bytes) {
    char name[] = "/tmp/ovalith-bench-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0) std::abort();
    path_ = name;
    std::vector<unsigned char> data(bytes);
    for (std::size_t i = 0; i < bytes; ++i)
      data[i] = static_cast<unsigned char>(i * 2654435761u >> 24);
    if (::write(fd, data.data(), bytes) != static_cast<ssize_t>(bytes))
      std::abort();
    ::close(fd);
  }
  ~ScratchFile() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

void BM_FoldKey(benchmark::State& state) {
  const std::string password(static_cast<std::size_t>(state.range(0)), 'k');
  for (auto _ : state) benchmark::DoNotOptimize(ovalith::FoldKey(password));
}
BENCHMARK(BM_FoldKey)->Arg(8)->Arg(20);

// The header and trailer take this path: one block per call.
void BM_CipherOneBlock(benchmark::State& state) {
  ovalith::PosixSystem system = RealSystem();
  ovalith::CipherLibrary cipher(system);
  const BlockType key = ovalith::FoldKey("abcdefgh");
  BlockType in = BlockType::FromText("Ov2txt");
  BlockType out;
  for (auto _ : state) {
    cipher.Encrypt(in, out, key);
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(state.iterations() * 8);
}
BENCHMARK(BM_CipherOneBlock);

// The data blocks take this one, a batch at a time.
void BM_CipherBatch(benchmark::State& state) {
  ovalith::PosixSystem system = RealSystem();
  ovalith::CipherLibrary cipher(system);
  const BlockType key = ovalith::FoldKey("abcdefgh");
  const auto count = static_cast<std::size_t>(state.range(0));
  std::vector<std::uint8_t> blocks(count * BlockType::kSize, 0x5a);
  for (auto _ : state) {
    cipher.EncryptBlocks(blocks.data(), count, key);
    benchmark::DoNotOptimize(blocks.data());
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(blocks.size()));
}
BENCHMARK(BM_CipherBatch)->Arg(std::int64_t{64} * 1024)->UseRealTime();

// Reads a scratch file of state.range(0) bytes through an InputReader, once
// per iteration; read_all returns a sum of what it read so that the loop
// cannot be optimised away.
template <typename ReadAll>
void TimeReads(benchmark::State& state, ReadAll read_all) {
  ScratchFile file(static_cast<std::size_t>(state.range(0)));
  ovalith::PosixSystem system = RealSystem();
  for (auto _ : state) {
    ovalith::InputReader input(system, file.path());
    benchmark::DoNotOptimize(read_all(input));
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

// The encryption run's loop without the cipher and the output, taking the
// input one byte at a time and checking for its end after each...
void BM_ReadLoopByteByByte(benchmark::State& state) {
  TimeReads(state, [](ovalith::InputReader& input) {
    BlockType block;
    std::uint64_t sum = 0;
    while (!input.AtEnd()) {
      block = BlockType::FromText("");
      for (std::size_t i = 0; i < BlockType::kSize; ++i) {
        block.bytes[i] = input.ReadByte();
        if (input.AtEnd()) break;
      }
      sum += block.bytes[0];
    }
    return sum;
  });
}
BENCHMARK(BM_ReadLoopByteByByte)->Arg(16 << 20)->Unit(benchmark::kMillisecond);

// ...and as it runs: whole blocks while the end is not in them.
void BM_ReadLoopFillBlock(benchmark::State& state) {
  TimeReads(state, [](ovalith::InputReader& input) {
    BlockType block;
    std::uint64_t sum = 0;
    while (!input.AtEnd()) {
      block = BlockType::FromText("");
      if (input.FillBlock(block) < 9) break;
      sum += block.bytes[0];
    }
    return sum;
  });
}
BENCHMARK(BM_ReadLoopFillBlock)->Arg(16 << 20)->Unit(benchmark::kMillisecond);

// The decryption run's: whole blocks.
void BM_ReadBlocks(benchmark::State& state) {
  TimeReads(state, [](ovalith::InputReader& input) {
    std::uint64_t sum = 0;
    while (!input.AtEnd()) sum += input.ReadBlock().bytes[0];
    return sum;
  });
}
BENCHMARK(BM_ReadBlocks)->Arg(16 << 20)->Unit(benchmark::kMillisecond);

// Once per block.
void BM_ProgressUpdate(benchmark::State& state) {
  NullView view;
  ovalith::Progress progress(view);
  std::uint64_t position = 0;
  for (auto _ : state) {
    position += BlockType::kSize;
    progress.Update(position);
  }
}
BENCHMARK(BM_ProgressUpdate);

// A terminal on standard error that is /dev/null.
class NullTerminal : public ovalith::Console {
 public:
  explicit NullTerminal(int fd) : fd_(fd) {}
  bool InputIsTerminal() const override { return false; }
  std::optional<std::string> ReadLine() override { return std::nullopt; }
  void BeginKeys() override {}
  void EndKeys() override {}
  ovalith::Key ReadKey() override { return {ovalith::Key::kClosed}; }
  void WriteError(const std::string& text) override {
    if (::write(fd_, text.data(), text.size()) < 0) std::abort();
  }
  void WriteWindow(const std::string& text) override { WriteError(text); }
  bool WindowIsError() const override { return true; }
  std::size_t WindowWidth() override { return 80; }
  bool ErrorIsTerminal() const override { return true; }
  std::size_t ErrorWidth() override { return 80; }
  void WriteOutput(const std::string&) override {}

 private:
  int fd_;
};

// Once per report: the bar drawn to /dev/null at its usual pace.
void BM_ProgressBarSetValue(benchmark::State& state) {
  const int fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  {
    NullTerminal terminal(fd);
    ovalith::ProgressBar bar(terminal);
    bar.Show("Encrypting...");
    bar.SetMax(std::uint64_t{1} << 40);
    std::uint64_t value = 0;
    for (auto _ : state) {
      value += std::uint64_t{256} * 1024;
      bar.SetValue(value);
    }
  }
  ::close(fd);
}
BENCHMARK(BM_ProgressBarSetValue);

}  // namespace

BENCHMARK_MAIN();
