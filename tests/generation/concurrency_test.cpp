// Many processes appending to one worksheet file at once, as when a teacher double-clicks the
// program twice or a class's machines share a folder.
#include "generation/run.h"
#include "generation/worksheet_error.h"
#include "support/child_process.h"
#include "support/recording_notice.h"
#include "support/temp_folder.h"
#include "support/worksheet_reader.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace tallymere {
namespace {

constexpr int writerCount = 8;
constexpr int runsPerWriter = 25;

// Each writer has its own count, so every sheet tells whose it is. Above 4096 bytes a sheet is
// more than one pipe-sized write, which makes interleaving possible if the lock fails.
int countOf(int writer)
{
    return 400 + writer;
}

DifficultyMode modeOf(int writer)
{
    return writer % 2 == 0 ? DifficultyMode::SingleStep : DifficultyMode::ChainedSteps;
}

// Runs a writer's sheets and returns how many it was told were written.
int appendSheets(int writer, const std::string& folder, testing::StartLine& start)
{
    const WorksheetSettings settings{"100", std::to_string(countOf(writer)), modeOf(writer)};
    testing::RecordingNotice notice;
    start.await();
    for (int run = 0; run < runsPerWriter; ++run) {
        try {
            generateWorksheet(settings, folder, notice);
        } catch (const WorksheetError&) {
            // Only the writer with a file-size limit fails; its cut-backs must spare the others.
        }
    }
    return static_cast<int>(notice.messages.size());
}

// The first writer cannot grow the file past 100 KB, less than its own sheets need, so its runs
// fail, and one may stop part-way and be cut back while the others keep appending.
void limitFileSize()
{
    const rlim_t limit = 100 << 10;
    const rlimit fileSize{limit, limit};
    std::signal(SIGXFSZ, SIG_IGN);
    if (::setrlimit(RLIMIT_FSIZE, &fileSize) != 0) {
        throw std::runtime_error("cannot limit the file size");
    }
}

TEST(Concurrency, EightProcessesAppendWholeSheetsToOneFile)
{
    testing::TempFolder temp;
    testing::StartLine start;
    std::vector<std::unique_ptr<testing::ChildProcess>> writers;
    for (int writer = 0; writer < writerCount; ++writer) {
        writers.push_back(std::make_unique<testing::ChildProcess>([&, writer](std::string&) {
            if (writer == 0) {
                limitFileSize();
            }
            return appendSheets(writer, temp.path().string(), start);
        }));
    }
    start.open();
    std::map<int, int> reported; // count -> sheets the writer was told were written
    for (int writer = 0; writer < writerCount; ++writer) {
        reported[countOf(writer)] = writers[writer]->wait().status;
    }

    const auto sheets = testing::readWorksheets(testing::fileBytes(temp.worksheet()));
    std::map<int, int> found;
    for (const auto& [count, sheetsReported] : reported) {
        found[count] = 0;
    }
    for (const auto& sheet : sheets) {
        const int count = static_cast<int>(4 * (sheet.rows.size() - 1) + sheet.rows.back().size());
        const int writer = count - countOf(0);
        ASSERT_TRUE(writer >= 0 && writer < writerCount) << "a sheet of " << count << " problems";
        EXPECT_EQ(testing::layoutFault(sheet, count, modeOf(writer)), "");
        EXPECT_EQ(testing::rangeFault(sheet, 100, modeOf(writer)), "");
        ++found[count];
    }
    EXPECT_EQ(found, reported);
    EXPECT_LT(reported[countOf(0)], runsPerWriter) << "the limited writer never failed";
    for (int writer = 1; writer < writerCount; ++writer) {
        EXPECT_EQ(reported[countOf(writer)], runsPerWriter);
    }
}

} // namespace
} // namespace tallymere
