#include "generation/run.h"
#include "generation/worksheet_error.h"
#include "support/recording_notice.h"
#include "support/temp_folder.h"
#include "support/worksheet_reader.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tallymere {
namespace {

namespace fs = std::filesystem;

// Every entry below a folder with the bytes of its regular files, to tell "nothing changed".
std::map<std::string, std::string> snapshot(const fs::path& folder)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        entries[entry.path().string()] =
            entry.is_regular_file() ? testing::fileBytes(entry.path()) : "(not a file)";
    }
    return entries;
}

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
    generateWorksheet({"10", "8", DifficultyMode::SingleStep}, folder.path().string(), notice);
    const std::string directory = GetParam().prepare(folder);
    const auto before = snapshot(folder.path());
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
    EXPECT_EQ(snapshot(folder.path()), before);
    EXPECT_TRUE(notice.messages.empty());
}

std::string sameFolder(const testing::TempFolder& folder)
{
    return folder.path().string();
}

std::string folderInTheFilesPlace(const testing::TempFolder& folder)
{
    fs::create_directory(folder.path() / "inner");
    fs::create_directory(folder.path() / "inner" / "口算题.doc");
    return (folder.path() / "inner").string();
}

std::string missingFolder(const testing::TempFolder& folder)
{
    return (folder.path() / "gone").string();
}

std::string pipeInTheFilesPlace(const testing::TempFolder& folder)
{
    fs::create_directory(folder.path() / "inner");
    if (::mkfifo((folder.path() / "inner" / "口算题.doc").c_str(), 0666) != 0) {
        throw std::runtime_error("mkfifo failed");
    }
    return (folder.path() / "inner").string();
}

const std::string hugeNumber(400, '9');
constexpr auto single = DifficultyMode::SingleStep;

const Failure failures[] = {
    {"folder_in_the_files_place",
     folderInTheFilesPlace,
     {"10", "100", single},
     {"口算题.doc", "文件夹"}},
    {"missing_folder", missingFolder, {"10", "100", single}, {"gone/口算题.doc", "不存在"}},
    {"pipe_in_the_files_place",
     pipeInTheFilesPlace,
     {"10", "100", single},
     {"口算题.doc", "不是普通文件"}},
    {"count_above_limit", sameFolder, {"10", "1000", single}, {"999"}},
    {"count_far_above_limit", sameFolder, {"10", "99999999999", single}, {"999"}},
    {"count_beyond_double", sameFolder, {"10", hugeNumber, single}, {"999"}},
    {"range_beyond_double", sameFolder, {hugeNumber, "100", single}, {"口算范围"}},
    {"negative_range_beyond_double", sameFolder, {"-" + hugeNumber, "0", single}, {"口算范围"}},
};

INSTANTIATE_TEST_SUITE_P(Failures, RunFailureTest, ::testing::ValuesIn(failures),
                         [](const auto& info) { return std::string(info.param.name); });

// Runs in a child process: the file-size limit stops the write part-way, as a full disk does, and
// root cannot bypass it. Prints the failure for the parent to check.
void appendBeyondFileSizeLimit(const std::string& directory, rlim_t limit)
{
    const rlimit fileSize{limit, limit};
    std::signal(SIGXFSZ, SIG_IGN);
    if (::setrlimit(RLIMIT_FSIZE, &fileSize) != 0) {
        std::exit(2);
    }
    testing::RecordingNotice notice;
    try {
        generateWorksheet({"10", "100", single}, directory, notice);
    } catch (const WorksheetError& error) {
        std::cerr << error.what();
        std::exit(notice.messages.empty() ? 0 : 3);
    }
    std::exit(1);
}

TEST(RunFailure, CutsAPartWrittenSheetBackWhenTheDiskFills)
{
    testing::TempFolder folder;
    testing::RecordingNotice notice;
    generateWorksheet({"10", "20", single}, folder.path().string(), notice);
    const std::string before = testing::fileBytes(folder.worksheet());

    EXPECT_EXIT(appendBeyondFileSizeLimit(folder.path().string(), before.size() + 50),
                ::testing::ExitedWithCode(0), "口算题.doc.*最大长度.*文件保持原样");
    EXPECT_EQ(testing::fileBytes(folder.worksheet()), before);
}

} // namespace
} // namespace tallymere
