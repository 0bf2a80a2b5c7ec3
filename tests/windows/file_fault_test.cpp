// Faults of the worksheet file as Windows makes them: a folder or another program in the way, a
// missing folder, a file held by another writer, and a disk that fills part-way.
// Each failing run must leave the folder as it was and say which file and why; the next run after
// the fault is gone must append one whole sheet.
#include "generation/run.h"
#include "generation/sheet_file.h"
#include "generation/worksheet_error.h"
#include "support/recording_notice.h"
#include "support/temp_folder.h"
#include "support/worksheet_reader.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <windows.h>

namespace tallymere {
namespace {

namespace fs = std::filesystem;

const WorksheetSettings startValues{"10", "100", DifficultyMode::SingleStep};

// Makes the fault and gives back what ends it.
using Impose = std::function<std::function<void()>(const fs::path& folder)>;

struct Fault {
    const char* name;
    Impose impose;
    const char* reason;
};

void PrintTo(const Fault& fault, std::ostream* out)
{
    *out << fault.name;
}

// A file held open without write sharing, as Word holds a document it shows.
class OpenElsewhere {
public:
    explicit OpenElsewhere(const fs::path& file)
        : handle_(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr))
    {
        if (handle_ == INVALID_HANDLE_VALUE) {
            throw std::runtime_error("cannot open " + testing::pathText(file));
        }
    }
    OpenElsewhere(const OpenElsewhere&) = delete;
    OpenElsewhere& operator=(const OpenElsewhere&) = delete;
    ~OpenElsewhere() { CloseHandle(handle_); }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

const Fault faults[] = {
    {"folder_in_the_files_place",
     [](const fs::path& folder) {
         fs::remove(folder / u8"口算题.doc");
         fs::create_directory(folder / u8"口算题.doc");
         return [folder] { fs::remove(folder / u8"口算题.doc"); };
     },
     "同名的文件夹"},
    {"open_in_another_program",
     [](const fs::path& folder) {
         auto holder = std::make_shared<OpenElsewhere>(folder / u8"口算题.doc");
         return [holder]() mutable { holder.reset(); };
     },
     "正被其他程序使用"},
    {"folder_gone_since_the_last_run",
     [](const fs::path& folder) {
         fs::remove_all(folder);
         return [folder] { fs::create_directory(folder); };
     },
     "所在的文件夹不存在"},
};

class FileFaultTest : public ::testing::TestWithParam<Fault> {
protected:
    void SetUp() override { fs::create_directory(folder); }
    void run() { generateWorksheet(startValues, testing::pathText(folder), notice); }

    testing::TempFolder temp;
    fs::path folder = temp.path() / "sheets";
    testing::RecordingNotice notice;
};

TEST_P(FileFaultTest, LeavesTheFolderAsItWasAndTheNextRunWorks)
{
    run();
    auto lift = GetParam().impose(folder);
    const auto before = testing::snapshot(temp.path());
    notice.messages.clear();

    try {
        run();
        ADD_FAILURE() << "the run succeeded";
    } catch (const WorksheetError& error) {
        const std::string message = error.what();
        // Named as Windows writes paths.
        EXPECT_NE(message.find("“" + testing::pathText(folder / u8"口算题.doc") + "”"),
                  std::string::npos)
            << message;
        EXPECT_NE(message.find(GetParam().reason), std::string::npos) << message;
    }
    EXPECT_TRUE(notice.messages.empty());
    EXPECT_EQ(testing::snapshot(temp.path()), before);

    lift();
    const fs::path file = folder / u8"口算题.doc";
    const std::string earlier = fs::is_regular_file(file) ? testing::fileBytes(file) : "";
    run();
    const std::string after = testing::fileBytes(file);
    EXPECT_EQ(after.substr(0, earlier.size()), earlier);
    EXPECT_EQ(testing::readWorksheets(after.substr(earlier.size())).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Faults, FileFaultTest, ::testing::ValuesIn(faults),
                         [](const auto& info) { return std::string(info.param.name); });

// Another program's hold on the file: a lock, or a handle that shares no writing (a virus scanner
// or an indexer for a moment, Word for good).
struct Hold {
    const char* name;
    bool lock;
    bool letGo; // after 300 ms
};

void PrintTo(const Hold& hold, std::ostream* out)
{
    *out << hold.name;
}

// Cutting back after a failed write is only safe while no one else can append, so an append waits
// for whoever holds the file; but not so long that the window seems frozen.
class SheetLock : public ::testing::TestWithParam<Hold> {};

TEST_P(SheetLock, AnAppendWaitsForTheFileAWhileOnly)
{
    const Hold& hold = GetParam();
    testing::TempFolder temp;
    testing::RecordingNotice notice;
    generateWorksheet(startValues, temp.text(), notice);
    const std::string before = testing::fileBytes(temp.worksheet());
    const DWORD sharing = hold.lock ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
    const HANDLE holder = CreateFileW(temp.worksheet().c_str(), GENERIC_READ, sharing, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    OVERLAPPED from{};
    ASSERT_TRUE(!hold.lock ||
                LockFileEx(holder, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &from));

    const auto start = std::chrono::steady_clock::now();
    std::atomic<bool> ended = false;
    std::string failure;
    std::thread writer([&] {
        try {
            generateWorksheet(startValues, temp.text(), notice);
        } catch (const WorksheetError& error) {
            failure = error.what();
        }
        ended = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(ended) << "the second run ended while the file was held";
    EXPECT_EQ(fs::file_size(temp.worksheet()), before.size());
    if (hold.letGo) {
        CloseHandle(holder);
    }
    // A writer that would wait for good is let go after ten seconds, to fail here, not hang.
    auto waited = std::chrono::steady_clock::now() - start;
    for (; !ended && waited < std::chrono::seconds(10);
         waited = std::chrono::steady_clock::now() - start) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!hold.letGo) {
        CloseHandle(holder);
    }
    writer.join();

    const std::string after = testing::fileBytes(temp.worksheet());
    if (hold.letGo) {
        EXPECT_EQ(failure, "");
        EXPECT_EQ(after.substr(0, before.size()), before);
        EXPECT_EQ(testing::readWorksheets(after).size(), 2u);
    } else {
        EXPECT_GT(waited, std::chrono::seconds(4));
        EXPECT_LT(waited, std::chrono::seconds(8));
        EXPECT_NE(failure.find("正被其他程序使用"), std::string::npos) << failure;
        EXPECT_EQ(after, before);
    }
}

INSTANTIATE_TEST_SUITE_P(Holds, SheetLock,
                         ::testing::Values(Hold{"locked_briefly", true, true},
                                           Hold{"locked_past_the_wait", true, false},
                                           Hold{"open_elsewhere_briefly", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Needs a file-size limit below a long sheet, which the test's runner sets (ulimit -f under Wine).
TEST(DiskFull, APartWrittenSheetIsCutBack)
{
    if (std::getenv("TALLYMERE_FILE_SIZE_LIMITED") == nullptr) {
        GTEST_SKIP() << "runs only under a file-size limit";
    }
    testing::TempFolder temp;
    testing::RecordingNotice notice;
    generateWorksheet({"10", "4", DifficultyMode::SingleStep}, temp.text(), notice);
    const auto before = testing::snapshot(temp.path());

    try {
        generateWorksheet({"100", "999", DifficultyMode::ChainedSteps}, temp.text(), notice);
        ADD_FAILURE() << "a sheet beyond the limit was written";
    } catch (const WorksheetError& error) {
        EXPECT_NE(std::string(error.what()).find("文件保持原样"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(testing::snapshot(temp.path()), before);
    EXPECT_EQ(notice.messages.size(), 1u);
}

} // namespace
} // namespace tallymere
