// Speed of Investor.LoadFile on a file with 100,000 sections: before the
// investor's own (empty sections, as an odd or damaged file may have) and
// after them. Sections are found through an index, so the load is linear.
// Goal: well under a second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "orlendo/model.h"

namespace {

constexpr int kSections = 100000;

std::string manySectionsFile(bool extraFirst) {
  std::string extra;
  for (int i = 0; i < kSections; ++i) extra += "[Extra " + std::to_string(i) + "]\r\nCount=1\r\n";
  const std::string data =
      "[General]\r\nName=Ann\r\nStart Date=12/31/1983\r\n[Quorvex]\r\nCount=1\r\n1 Date=06/01/1984\r\n"
      "1 Shares=10\r\n1 Cost=500\r\n";
  const std::string path = (std::filesystem::temp_directory_path() /
                            (extraFirst ? "tvx_bench_sections_first.qvx" : "tvx_bench_sections_last.qvx"))
                               .string();
  std::ofstream(path, std::ios::binary) << (extraFirst ? extra + data : data + extra);
  return path;
}

void BM_Load_ManySections(benchmark::State& state) {
  const std::string path = manySectionsFile(state.range(0) != 0);
  for (auto _ : state) {
    auto investor = orlendo::Investor::create();
    investor->LoadFile(path);
    benchmark::DoNotOptimize(investor);
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_Load_ManySections)->Arg(0)->Arg(1)->ArgName("extraFirst")->Unit(benchmark::kMillisecond);

}  // namespace
