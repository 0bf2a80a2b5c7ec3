#include "generation/run.h"
#include "generation/worksheet_error.h"
#include "support/recording_notice.h"
#include "support/temp_folder.h"
#include "support/worksheet_reader.h"

#include <csignal>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

// The file-size limit makes the write stop part-way, as a full disk does; root cannot bypass it.
TEST(RunFailure, CutsAPartWrittenSheetBackWhenTheDiskFills)
{
    testing::TempFolder folder;
    testing::RecordingNotice notice;
    generateWorksheet({"10", "20", single}, folder.path().string(), notice);
    const std::string before = testing::fileBytes(folder.worksheet());
    notice.messages.clear();

    int messagePipe[2];
    ASSERT_EQ(::pipe(messagePipe), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(messagePipe[0]);
        const rlim_t limit = before.size() + 50;
        const rlimit fileSize{limit, limit};
        std::signal(SIGXFSZ, SIG_IGN);
        int status = 3;
        if (::setrlimit(RLIMIT_FSIZE, &fileSize) == 0) {
            try {
                generateWorksheet({"10", "100", single}, folder.path().string(), notice);
                status = 1;
            } catch (const WorksheetError& error) {
                const std::string message = error.what();
                status = ::write(messagePipe[1], message.data(), message.size()) < 0 ? 2 : 0;
            }
        }
        ::_exit(notice.messages.empty() ? status : 4);
    }
    ::close(messagePipe[1]);
    std::string message;
    char buffer[256];
    for (ssize_t n; (n = ::read(messagePipe[0], buffer, sizeof buffer)) > 0;) {
        message.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(messagePipe[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: succeeded, 2: no message, 3: no limit, 4: notice";
    EXPECT_NE(message.find(folder.worksheet().string()), std::string::npos) << message;
    EXPECT_NE(message.find("最大长度"), std::string::npos) << message;
    EXPECT_NE(message.find("文件保持原样"), std::string::npos) << message;
    EXPECT_EQ(testing::fileBytes(folder.worksheet()), before);
}

} // namespace
} // namespace tallymere
