// Speed of the worksheet core, and of a whole run against the floor: a plain append of the same
// bytes to a file in the same folder.
#include "problem.h"
#include "run.h"
#include "worksheet.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace tallymere {
namespace {

namespace fs = std::filesystem;

constexpr auto single = DifficultyMode::SingleStep;
constexpr auto chained = DifficultyMode::ChainedSteps;

// A folder beside the other temporary files, emptied before each benchmark so files stay small.
class BenchFolder {
public:
    BenchFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "tallymere-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a folder from " + pattern);
        }
        path_ = pattern;
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;
    ~BenchFolder() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// Empties the worksheet file now and then, outside the timing, so that the benchmark does not
// fill the disk and every append meets a file of about the same size.
void keepFileSmall(benchmark::State& state, const std::string& path)
{
    if (state.iterations() % 256 == 255) {
        state.PauseTiming();
        ::truncate(path.c_str(), 0);
        state.ResumeTiming();
    }
}

DifficultyMode modeOf(const benchmark::State& state)
{
    return state.range(0) == 0 ? single : chained;
}

void BM_drawProblem(benchmark::State& state)
{
    const DifficultyMode mode = modeOf(state);
    EngineRandom random;
    for (auto _ : state) {
        benchmark::DoNotOptimize(drawProblem(mode, 100, random));
    }
}
BENCHMARK(BM_drawProblem)->ArgName("chained")->Arg(0)->Arg(1);

// Every run starts the engine afresh from the clock and the random device.
void BM_reseed(benchmark::State& state)
{
    EngineRandom random;
    for (auto _ : state) {
        random.reseed();
    }
}
BENCHMARK(BM_reseed);

void BM_formatCell(benchmark::State& state)
{
    const Problem problem{37, 45, 12, '+', '-'};
    const DifficultyMode mode = modeOf(state);
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatCell(123, problem, mode));
    }
}
BENCHMARK(BM_formatCell)->ArgName("chained")->Arg(0)->Arg(1);

void BM_composeSheet(benchmark::State& state)
{
    const DifficultyMode mode = modeOf(state);
    EngineRandom random;
    for (auto _ : state) {
        benchmark::DoNotOptimize(composeSheet(100, maxProblemCount, mode, random));
    }
    state.SetItemsProcessed(state.iterations() * maxProblemCount);
}
BENCHMARK(BM_composeSheet)->ArgName("chained")->Arg(0)->Arg(1);

// The settings of a run: the window's start values, and the largest sheet there is.
WorksheetSettings settingsOf(const benchmark::State& state)
{
    return state.range(0) == 0 ? WorksheetSettings{"10", "100", single}
                               : WorksheetSettings{"100", "999", chained};
}

void BM_wholeRun(benchmark::State& state)
{
    const WorksheetSettings settings = settingsOf(state);
    BenchFolder folder;
    const std::string path = worksheetPath(folder.path().string());
    EngineRandom random;
    for (auto _ : state) {
        generateWorksheet(settings, folder.path().string(), random);
        keepFileSmall(state, path);
    }
}
BENCHMARK(BM_wholeRun)->ArgName("largest")->Arg(0)->Arg(1);

// The least a program can do to append a sheet: open, one write, close; with `flushed`, also wait
// until the bytes are on the disk before closing, as a run does before it reports success.
void BM_plainAppend(benchmark::State& state)
{
    const WorksheetSettings settings = settingsOf(state);
    const bool flushed = state.range(1) != 0;
    EngineRandom random;
    const std::string sheet = composeSheet(std::stod(settings.rangeText),
                                           std::stoi(settings.countText), settings.mode, random);
    BenchFolder folder;
    const std::string path = worksheetPath(folder.path().string());
    for (auto _ : state) {
        const int file = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
        if (file < 0 || ::write(file, sheet.data(), sheet.size()) != ssize_t(sheet.size()) ||
            (flushed && ::fsync(file) != 0)) {
            state.SkipWithError("cannot append");
        }
        ::close(file);
        keepFileSmall(state, path);
    }
}
BENCHMARK(BM_plainAppend)->ArgNames({"largest", "flushed"})->ArgsProduct({{0, 1}, {0, 1}});

} // namespace
} // namespace tallymere

BENCHMARK_MAIN();
