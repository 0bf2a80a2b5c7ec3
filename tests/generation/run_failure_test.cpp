#include "generation/run.h"
#include "generation/worksheet_error.h"
#include "support/recording_notice.h"
#include "support/temp_folder.h"
#include "support/worksheet_reader.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace tallymere {
namespace {

namespace fs = std::filesystem;

struct Failure {
    const char* name;
    std::function<std::string(const testing::TempFolder&)> prepare; // gives the run's folder
    WorksheetSettings settings;
    std::vector<std::string> messageParts;
};

class RunFailureTest : public ::testing::TestWithParam<Failure> {};

TEST_P(RunFailureTest, LeavesEveryFileAsItWasAndGivesNoCompletion)
{
    testing::TempFolder folder;
    testing::RecordingNotice notice;
    generateWorksheet({"10", "8", DifficultyMode::SingleStep}, folder.text(), notice);
    const std::string directory = GetParam().prepare(folder);
    const auto before = testing::snapshot(folder.path());
    notice.messages.clear();

    try {
        generateWorksheet(GetParam().settings, directory, notice);
        ADD_FAILURE() << "the run succeeded";
    } catch (const WorksheetError& error) {
        for (const auto& part : GetParam().messageParts) {
            EXPECT_NE(std::string(error.what()).find(part), std::string::npos)
                << "\"" << error.what() << "\" lacks \"" << part << "\"";
        }
    }
    EXPECT_EQ(testing::snapshot(folder.path()), before);
    EXPECT_TRUE(notice.messages.empty());
}

std::string sameFolder(const testing::TempFolder& folder)
{
    return folder.text();
}

#ifndef _WIN32
std::string pipeInTheFilesPlace(const testing::TempFolder& folder)
{
    fs::create_directory(folder.path() / "inner");
    if (::mkfifo((folder.path() / "inner" / "口算题.doc").c_str(), 0666) != 0) {
        throw std::runtime_error("mkfifo failed");
    }
    return (folder.path() / "inner").string();
}
#endif

const std::string hugeNumber(400, '9');
constexpr auto single = DifficultyMode::SingleStep;

const Failure failures[] = {
#ifndef _WIN32
    {"pipe_in_the_files_place",
     pipeInTheFilesPlace,
     {"10", "100", single},
     {"口算题.doc", "不是普通文件"}},
#endif
    {"count_above_limit", sameFolder, {"10", "1000", single}, {"999"}},
    {"count_far_above_limit", sameFolder, {"10", "99999999999", single}, {"999"}},
    {"count_beyond_double", sameFolder, {"10", hugeNumber, single}, {"999"}},
    {"range_beyond_double", sameFolder, {hugeNumber, "100", single}, {"口算范围"}},
    {"negative_range_beyond_double", sameFolder, {"-" + hugeNumber, "0", single}, {"口算范围"}},
};

INSTANTIATE_TEST_SUITE_P(Failures, RunFailureTest, ::testing::ValuesIn(failures),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tallymere
