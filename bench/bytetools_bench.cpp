// The byte tools on large data, with their baselines in the same run:
// SHA-256 against sha256sum on the same warm file, CRC-32 against zlib's
// crc32 over memory, all seven sums against the slowest alone, the digests
// of OpenSSL against QCryptographicHash, copy-as and paste-hex of 16 MiB,
// and the memory of inserting a 1 GiB file. BM_Ratios, last, reports the
// ratios.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <QCryptographicHash>
#include <chrono>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "bytetools/checksums.h"
#include "bytetools/hex_text.h"
#include "bytetools/text_forms.h"
#include "editor/byte_editor.h"
#include "support/bench_support.h"

namespace {

using bm::bench::kMiB;
using Clock = std::chrono::steady_clock;

constexpr int64_t kGiB = 1024 * kMiB;
std::map<std::string, double> g_seconds;

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void Record(benchmark::State& state, const std::string& name, double seconds) {
  state.SetIterationTime(seconds);
  g_seconds[name] = seconds;
}

// An editor on the 1 GiB source file, loaded once.
bm::TByteEditor& Loaded() {
  static bm::bench::NullHost host;
  static bm::TByteEditor* ed = [] {
    auto* e = new bm::TByteEditor(&host);
    e->Loaded();
    e->WindowCreated();
    e->LoadFromFile(bm::bench::SourceFiles::Get().File(kGiB));
    return e;
  }();
  return *ed;
}

double PassSeconds() {
  bm::TByteEditor& ed = Loaded();
  bm::ChecksumPass pass(0, ed.DataSize(), [&ed](uint8_t* to, int64_t at, int64_t n) {
    return static_cast<int64_t>(ed.ReadBytes(to, static_cast<int32_t>(at), static_cast<int32_t>(n)));
  });
  const auto start = Clock::now();
  pass.Step(kGiB * 2);
  const double s = Since(start);
  benchmark::DoNotOptimize(pass.Results());
  return s;
}

double SetPassSeconds(const std::vector<bm::ChecksumKind>& kinds) {
  bm::TByteEditor& ed = Loaded();
  bm::ChecksumSet set(kinds);
  std::vector<uint8_t> block(4 * kMiB);
  const auto start = Clock::now();
  for (int64_t at = 0; at < ed.DataSize(); at += static_cast<int64_t>(block.size())) {
    const int32_t n = ed.ReadBytes(block.data(), static_cast<int32_t>(at), static_cast<int32_t>(block.size()));
    set.Update(block.data(), n);
  }
  benchmark::DoNotOptimize(set.Finish());
  return Since(start);
}

void BM_Sha256sum_1GiB(benchmark::State& state) {
  const std::string file = bm::bench::SourceFiles::Get().File(kGiB);
  Loaded();
  std::system(("cat '" + file + "' > /dev/null").c_str());  // warm
  for (auto _ : state) {
    const auto start = Clock::now();
    if (std::system(("sha256sum '" + file + "' > /dev/null").c_str()) != 0)
      return state.SkipWithError("sha256sum failed");
    Record(state, "sha256sum", Since(start));
  }
}

void BM_Sha256_1GiB(benchmark::State& state) {
  for (auto _ : state) Record(state, "sha256", SetPassSeconds({bm::ChecksumKind::Sha256}));
}

void BM_Crc32_zlib_memory_1GiB(benchmark::State& state) {
  std::vector<uint8_t> buffer(64 * kMiB, 0x5A);
  for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<uint8_t>(i * 2654435761u >> 24);
  for (auto _ : state) {
    const auto start = Clock::now();
    uLong crc = crc32_z(0, Z_NULL, 0);
    for (int i = 0; i < 16; ++i) crc = crc32_z(crc, buffer.data(), buffer.size());
    benchmark::DoNotOptimize(crc);
    Record(state, "zlib_crc32", Since(start));
  }
}

void BM_Crc32_1GiB(benchmark::State& state) {
  for (auto _ : state) Record(state, "crc32", SetPassSeconds({bm::ChecksumKind::Crc32}));
}

void BM_EachAlone_1GiB(benchmark::State& state) {
  const auto kind = static_cast<bm::ChecksumKind>(state.range(0));
  for (auto _ : state) Record(state, "alone" + std::to_string(state.range(0)), SetPassSeconds({kind}));
}

void BM_AllSeven_1GiB(benchmark::State& state) {
  for (auto _ : state) Record(state, "all", PassSeconds());
}

// The digests of each library over 256 MiB in memory.
void BM_Digest_Library_256MiB(benchmark::State& state) {
  const bool qt = state.range(1) != 0;
  const auto kind = static_cast<bm::ChecksumKind>(state.range(0));
  static const std::vector<uint8_t> data(256 * kMiB, 0x61);
  const QCryptographicHash::Algorithm qtAlgorithm[] = {
      QCryptographicHash::Md5, QCryptographicHash::Md5, QCryptographicHash::Md5,
      QCryptographicHash::Sha1, QCryptographicHash::Sha256, QCryptographicHash::Sha512,
      QCryptographicHash::Sha3_256};
  for (auto _ : state) {
    const auto start = Clock::now();
    if (qt) {
      QCryptographicHash hash(qtAlgorithm[state.range(0)]);
      for (size_t at = 0; at < data.size(); at += 4 * kMiB)
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(data.data() + at), 4 * kMiB));
      benchmark::DoNotOptimize(hash.result());
    } else {
      bm::ChecksumSet set({kind});
      for (size_t at = 0; at < data.size(); at += 4 * kMiB) set.Update(data.data() + at, 4 * kMiB);
      benchmark::DoNotOptimize(set.Finish());
    }
    Record(state, (qt ? "qt" : "evp") + std::to_string(state.range(0)), Since(start));
  }
}

void BM_CopyAsHex_16MiB(benchmark::State& state) {
  bm::TByteEditor& ed = Loaded();
  constexpr int64_t kCount = 16 * kMiB;
  for (auto _ : state) {
    int64_t textSize = 0;
    double seconds = 0;
    const int64_t growth = bm::bench::PeakGrowthKiB([&] {
      const auto start = Clock::now();
      bm::TextFormWriter writer(bm::TextForm::HexSpaced, kCount);
      std::vector<uint8_t> block(kMiB);
      for (int64_t at = 0; at < kCount; at += kMiB) {
        ed.ReadBytes(block.data(), at, kMiB);
        writer.Append(block.data(), kMiB);
      }
      const std::string text = writer.Finish();
      textSize = static_cast<int64_t>(text.size());
      seconds = Since(start);
    });
    Record(state, "copy_as", seconds);
    state.counters["memory_per_text"] = static_cast<double>(growth) * 1024 / static_cast<double>(textSize);
  }
}

void BM_PasteHex_16MiB(benchmark::State& state) {
  std::vector<uint8_t> bytes(16 * kMiB);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 40503u >> 8);
  const std::string text = bm::BytesToText(bm::TextForm::HexSpaced, bytes.data(), 16 * kMiB);
  bm::bench::NullHost host;
  for (auto _ : state) {
    bm::TByteEditor ed(&host);
    ed.Loaded();
    ed.WindowCreated();
    const auto start = Clock::now();
    const bm::HexTextResult parsed = bm::ParseHexText(text);
    ed.PasteBuffer(parsed.bytes.data(), static_cast<int32_t>(parsed.bytes.size()));
    Record(state, "paste_hex", Since(start));
    if (ed.DataSize() != 16 * kMiB) return state.SkipWithError("paste failed");
  }
}

void BM_InsertFile_1GiB(benchmark::State& state) {
  const std::string file = bm::bench::SourceFiles::Get().File(kGiB);
  bm::bench::NullHost host;
  if (!bm::bench::ResetPeak()) state.counters["peak_reset_unavailable"] = 1;
  for (auto _ : state) {
    bm::TByteEditor ed(&host);
    ed.Loaded();
    ed.WindowCreated();
    const uint8_t seed[4] = {1, 2, 3, 4};
    ed.PasteBuffer(seed, 4);
    ed.ClearSelection(false);
    auto in = bm::SystemFileSystem().OpenForReading(file);
    double seconds = 0;
    const int64_t growth = bm::bench::PeakGrowthKiB([&] {
      const auto start = Clock::now();
      ed.PasteFrom(bm::ByteSource{nullptr, in.get(), 0}, static_cast<int32_t>(in->Size()));
      seconds = Since(start);
    });
    Record(state, "insert_file", seconds);
    state.counters["peak_growth_MiB"] = static_cast<double>(growth) / 1024;
    if (ed.DataSize() != kGiB + 4) return state.SkipWithError("insert failed");
  }
}

void BM_Ratios(benchmark::State& state) {
  for (auto _ : state) {
  }
  auto& s = g_seconds;
  state.counters["sha256_speed_vs_sha256sum"] = s["sha256sum"] / s["sha256"];
  state.counters["crc32_speed_vs_zlib_memory"] = s["zlib_crc32"] / s["crc32"];
  double slowest = 0;
  for (int k = 0; k < bm::kChecksumKinds; ++k) slowest = std::max(slowest, s["alone" + std::to_string(k)]);
  state.counters["all_seven_vs_slowest_alone"] = s["all"] / slowest;
  for (int k = 2; k < bm::kChecksumKinds; ++k)
    state.counters["qt_time_vs_evp_" + std::to_string(k)] =
        s["qt" + std::to_string(k)] / s["evp" + std::to_string(k)];
  state.counters["copy_as_16MiB_s"] = s["copy_as"];
  state.counters["paste_hex_16MiB_s"] = s["paste_hex"];
}

}  // namespace

BENCHMARK(BM_Sha256sum_1GiB)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sha256_1GiB)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Crc32_zlib_memory_1GiB)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Crc32_1GiB)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EachAlone_1GiB)->DenseRange(0, 6)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllSeven_1GiB)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Digest_Library_256MiB)
    ->ArgsProduct({{2, 3, 4, 5, 6}, {0, 1}})
    ->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyAsHex_16MiB)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteHex_16MiB)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertFile_1GiB)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ratios)->Iterations(1);

BENCHMARK_MAIN();
