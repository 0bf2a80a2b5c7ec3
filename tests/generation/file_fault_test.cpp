// Faults of the worksheet file, made real where root cannot bypass them: a failing run names the
// file and leaves the folder byte-identical, and the next run appends one whole sheet.
#include "generation/worksheet_error.h"
#include "support/fixtures.h"
#include "support/sheet_oracle.h"

#include <csignal>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <thread>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tallymere {
namespace {

namespace fs = std::filesystem;
using Lift = std::function<void()>;

// Another program's hold on the file: a lock, or (on Windows) a handle that shares no writing, as
// Word holds a document it shows.
Lift hold(const fs::path& file, [[maybe_unused]] bool lock)
{
#ifdef _WIN32
    const DWORD sharing = lock ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
    const HANDLE holder =
        CreateFileW(file.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
    OVERLAPPED from{};
    if (lock) {
        LockFileEx(holder, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &from);
    }
    return [holder] { CloseHandle(holder); };
#else
    const int holder = ::open(file.c_str(), O_RDONLY);
    ::flock(holder, LOCK_EX);
    return [holder] { ::close(holder); };
#endif
}

Lift putInTheFilesPlace(const fs::path& file, bool device)
{
    fs::remove(file);
    if (device) {
        fs::create_symlink("/dev/null", file);
    } else {
        fs::create_directory(file);
    }
    return [file] { fs::remove(file); };
}

#ifndef _WIN32
// Every flush to the disk fails, as on a disk that reports a fault only then.
void failFlushes(const fs::path&)
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fsync, 1, 0),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fdatasync, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EIO),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) ||
        ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program)) {
        ::_exit(3); // no system call filter here
    }
}

// Files may grow to 8 KiB, so the longest sheet stops part-way, as on a full disk.
void limitFileSize(const fs::path&)
{
    const rlimit fileSize{8 << 10, 8 << 10};
    std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &fileSize);
}
#endif

struct Fault {
    const char* name;
    Lift (*impose)(const fs::path& file) = nullptr; // in the test process
    void (*enter)(const fs::path& file) = nullptr;  // in the child that runs, on Linux
    bool held = false;                              // let go again within the wait
    bool longest = false;                           // the run fills the disk
};

const Fault faults[] = {
    {"folder_in_the_files_place", [](const fs::path& f) { return putInTheFilesPlace(f, false); }},
    {"locked_by_another_program", [](const fs::path& f) { return hold(f, true); }, nullptr, true},
#ifdef _WIN32
    {"open_in_another_program", [](const fs::path& f) { return hold(f, false); }, nullptr, true},
    {"disk_full_part_way", nullptr, nullptr, false, true}, // ctest runs this under ulimit -f
#else
    {"disk_full_part_way", nullptr, limitFileSize, false, true},
    {"flush_to_disk_fails", nullptr, failFlushes},
    {"device_in_the_files_place", [](const fs::path& f) { return putInTheFilesPlace(f, true); }},
#endif
};

class FileFaultTest : public ::testing::TestWithParam<Fault> {};

TEST_P(FileFaultTest, LeavesTheFolderAsItWasAndTheNextRunWorks)
{
    const Fault& fault = GetParam();
    const testing::TempFolder temp;
    testing::RecordingNotice notice;
    const WorksheetSettings startValues{"10", "100", DifficultyMode::SingleStep};
    generateWorksheet(startValues, temp.text(), notice);
    const Lift lift = fault.impose != nullptr ? fault.impose(temp.worksheet()) : [] {};
    const auto before = testing::snapshot(temp.path);
    // 0 when a run fails under the fault and says which file.
    const auto failingRun = [&] {
        try {
            const WorksheetSettings longest{"100", "999", DifficultyMode::ChainedSteps};
            generateWorksheet(fault.longest ? longest : startValues, temp.text(), notice);
            return 1;
        } catch (const WorksheetError& error) {
            std::fprintf(stderr, "%s: %s\n", fault.name, error.what());
            const std::string named = "“" + testing::pathText(temp.worksheet()) + "”";
            return std::string(error.what()).find(named) == std::string::npos ? 2 : 0;
        }
    };
#ifdef _WIN32
    EXPECT_EQ(failingRun(), 0);
#else
    if (const pid_t child = ::fork(); child == 0) {
        ::alarm(20); // a run that hangs fails
        if (fault.enter != nullptr) {
            fault.enter(temp.worksheet());
        }
        ::_exit(failingRun());
    } else {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_EQ(status, 0);
    }
#endif
    EXPECT_EQ(testing::snapshot(temp.path), before);

    // A holder lets go while the next run waits for it; any other fault is lifted before.
    std::jthread letGo([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(fault.held ? 300 : 0));
        lift();
    });
    if (!fault.held) {
        letGo.join();
    }
    const int sheets = fs::is_regular_file(temp.worksheet()) ? 2 : 1;
    generateWorksheet(startValues, temp.text(), notice);
    EXPECT_EQ(testing::worksheetFault(testing::fileBytes(temp.worksheet()), sheets,
                                      {100, 10, DifficultyMode::SingleStep}),
              "");
}

INSTANTIATE_TEST_SUITE_P(Faults, FileFaultTest, ::testing::ValuesIn(faults),
                         [](const auto& info) { return std::string(info.param.name); });

// Writers appending at once, as a class's machines in a shared folder; short sheets, for Windows.
TEST(Concurrency, WritersAppendWholeSheets)
{
    const testing::TempFolder temp;
    std::vector<std::thread> writers;
    for (int writer = 0; writer < 4; ++writer) {
        writers.emplace_back([&temp] {
            EngineRandom random; // the process-wide source is the GUI thread's alone
            testing::RecordingNotice notice;
            for (int run = 0; run < 4; ++run) {
                generateWorksheet({"100", "20", DifficultyMode::ChainedSteps}, temp.text(), notice,
                                  random);
            }
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    EXPECT_EQ(testing::worksheetFault(testing::fileBytes(temp.worksheet()), 16,
                                      {20, 100, DifficultyMode::ChainedSteps}),
              "");
}

} // namespace
} // namespace tallymere
