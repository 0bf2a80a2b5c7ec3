// Faults of the file system, made real in ways that root cannot bypass. Each failing run must leave
// the folder as it was, say which file and why, and the next run after the fault is gone must
// append one whole sheet.
#include "generation/run.h"
#include "generation/sheet_file.h"
#include "generation/worksheet_error.h"
#include "support/child_process.h"
#include "support/recording_notice.h"
#include "support/temp_folder.h"
#include "support/worksheet_reader.h"

#include <chrono>
#include <csignal>
#include <cstddef>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <stdexcept>
#include <string>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace tallymere {
namespace {

namespace fs = std::filesystem;

constexpr uid_t nobody = 65534;
constexpr int unsupported = 77;
const WorksheetSettings startValues{"10", "100", DifficultyMode::SingleStep};

void giveToNobody(const fs::path& path, fs::perms permissions)
{
    if (::geteuid() == 0 && ::chown(path.c_str(), nobody, nobody) != 0) {
        throw std::runtime_error("cannot give " + path.string() + " to nobody");
    }
    fs::permissions(path, permissions);
}

// Without root, the permissions already bind; as root, the child gives up root for good.
void dropRoot(const fs::path&)
{
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)) {
        throw std::runtime_error("cannot become nobody");
    }
}

// The folder turns read-only for this child alone, as on a write-protected disk.
void mountReadOnly(const fs::path& folder)
{
    if (::unshare(CLONE_NEWNS) != 0) {
        ::_exit(unsupported);
    }
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
        ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        throw std::runtime_error("cannot mount " + folder.string() + " read-only");
    }
}

// The file may grow by a few bytes only, so the write stops part-way as on a full disk.
void limitFileSize(const fs::path& folder)
{
    const auto limit = static_cast<rlim_t>(fs::file_size(folder / "口算题.doc") + 50);
    const rlimit fileSize{limit, limit};
    std::signal(SIGXFSZ, SIG_IGN);
    if (::setrlimit(RLIMIT_FSIZE, &fileSize) != 0) {
        throw std::runtime_error("cannot limit the file size");
    }
}

// Every flush to the disk fails in this child, as on a disk that reports a fault only then.
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
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
        ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) {
        ::_exit(unsupported);
    }
}

void nothing(const fs::path&) {}

struct Fault {
    const char* name;
    bool earlierSheet;
    void (*impose)(const fs::path& folder); // in the test process
    void (*enter)(const fs::path& folder);  // in the child that runs
    void (*lift)(const fs::path& folder);   // in the test process, afterwards
    std::vector<std::string> reasonParts;
};

const Fault faults[] = {
    {"folder_not_writable",
     false,
     [](const fs::path& folder) { giveToNobody(folder, fs::perms(0555)); },
     dropRoot,
     [](const fs::path& folder) { fs::permissions(folder, fs::perms(0755)); },
     {"没有写入权限"}},
    {"file_read_only",
     true,
     [](const fs::path& folder) { giveToNobody(folder / "口算题.doc", fs::perms(0444)); },
     dropRoot,
     [](const fs::path& folder) { fs::permissions(folder / "口算题.doc", fs::perms(0644)); },
     {"没有写入权限"}},
    {"read_only_disk", true, nothing, mountReadOnly, nothing, {"只能读取"}},
    {"folder_in_the_files_place",
     false,
     [](const fs::path& folder) { fs::create_directory(folder / "口算题.doc"); },
     nothing,
     [](const fs::path& folder) { fs::remove(folder / "口算题.doc"); },
     {"同名的文件夹"}},
    {"folder_gone_since_the_last_run",
     true,
     [](const fs::path& folder) { fs::remove_all(folder); },
     nothing,
     [](const fs::path& folder) { fs::create_directory(folder); },
     {"文件夹不存在"}},
    {"disk_full_part_way",
     true,
     nothing,
     limitFileSize,
     nothing,
     {"文件已达到允许的最大长度", "文件保持原样"}},
    {"flush_to_disk_fails", true, nothing, failFlushes, nothing, {"写入", "文件保持原样"}},
};

void PrintTo(const Fault& fault, std::ostream* out)
{
    *out << fault.name;
}

class FaultTest : public ::testing::TestWithParam<Fault> {
protected:
    void SetUp() override
    {
        // mkdtemp's folder is private to root; an unprivileged child must be able to reach in.
        fs::permissions(temp.path(), fs::perms(0755));
        fs::create_directory(folder);
    }

    void run() { generateWorksheet(startValues, folder.string(), notice); }

    testing::TempFolder temp;
    fs::path folder = temp.path() / "sheets";
    testing::RecordingNotice notice;
};

// Runs once under the fault, in a child, and reports the message it failed with.
int failingRun(const Fault& fault, const fs::path& folder, std::string& report)
{
    fault.enter(folder);
    testing::RecordingNotice notice;
    try {
        generateWorksheet(startValues, folder.string(), notice);
        report = "the run succeeded";
        return 1;
    } catch (const WorksheetError& error) {
        report = error.what();
        return notice.messages.empty() ? 0 : 2;
    }
}

TEST_P(FaultTest, LeavesTheFolderAsItWasAndTheNextRunWorks)
{
    const Fault& fault = GetParam();
    if (fault.earlierSheet) {
        run();
    }
    fault.impose(folder);
    const auto before = testing::snapshot(temp.path());

    const auto outcome =
        testing::runInChild([&](std::string& report) { return failingRun(fault, folder, report); });
    if (outcome.status == unsupported) {
        GTEST_SKIP() << "this machine gives a test no mount namespace or system call filter";
    }
    EXPECT_EQ(outcome.status, 0) << outcome.report;
    EXPECT_NE(outcome.report.find("“" + worksheetPath(folder.string()) + "”"), std::string::npos)
        << outcome.report;
    for (const auto& part : fault.reasonParts) {
        EXPECT_NE(outcome.report.find(part), std::string::npos) << outcome.report;
    }
    EXPECT_EQ(testing::snapshot(temp.path()), before);

    fault.lift(folder);
    const std::string earlier = fault.earlierSheet && fs::exists(folder / "口算题.doc")
                                    ? testing::fileBytes(folder / "口算题.doc")
                                    : "";
    run();
    const std::string after = testing::fileBytes(folder / "口算题.doc");
    EXPECT_EQ(after.substr(0, earlier.size()), earlier);
    EXPECT_EQ(testing::readWorksheets(after.substr(earlier.size())).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultTest, ::testing::ValuesIn(faults),
                         [](const auto& info) { return std::string(info.param.name); });

// Cutting back after a failed write is only safe while no one else can append, so an append waits
// for whoever holds the file; but not so long that the window seems frozen. The parameter: whether
// the holder lets go soon.
class SheetLock : public ::testing::TestWithParam<bool> {};

TEST_P(SheetLock, AnAppendWaitsForTheFileAWhileOnly)
{
    const bool letGo = GetParam();
    testing::TempFolder temp;
    testing::RecordingNotice notice;
    generateWorksheet(startValues, temp.path().string(), notice);
    const std::string before = testing::fileBytes(temp.worksheet());
    const int holder = ::open(temp.worksheet().c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);

    const auto start = std::chrono::steady_clock::now();
    testing::ChildProcess writer([&](std::string& report) {
        ::close(holder); // a forked copy would share the parent's lock
        try {
            generateWorksheet(startValues, temp.path().string(), notice);
            return 0;
        } catch (const WorksheetError& error) {
            report = error.what();
            return 1;
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(writer.hasEnded());
    EXPECT_EQ(fs::file_size(temp.worksheet()), before.size());
    if (letGo) {
        ::close(holder);
    }
    // A writer that would wait for good is let go after ten seconds, to fail here, not hang.
    auto waited = std::chrono::steady_clock::now() - start;
    for (; !writer.hasEnded() && waited < std::chrono::seconds(10);
         waited = std::chrono::steady_clock::now() - start) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!letGo) {
        ::close(holder);
    }
    const testing::ChildOutcome outcome = writer.wait();

    const std::string after = testing::fileBytes(temp.worksheet());
    if (letGo) {
        EXPECT_EQ(outcome.status, 0) << outcome.report;
        EXPECT_EQ(after.substr(0, before.size()), before);
        EXPECT_EQ(testing::readWorksheets(after).size(), 2u);
    } else {
        EXPECT_GT(waited, std::chrono::seconds(4));
        EXPECT_LT(waited, std::chrono::seconds(8));
        EXPECT_EQ(outcome.status, 1);
        EXPECT_NE(outcome.report.find("正被其他程序使用"), std::string::npos) << outcome.report;
        EXPECT_EQ(after, before);
    }
}

INSTANTIATE_TEST_SUITE_P(Holders, SheetLock, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "lets_go_soon" : "holds_past_the_wait");
});

} // namespace
} // namespace tallymere
