#include "file_faults.h"
#include "fixtures.h"
#include "run.h"
#include "sheet_oracle.h"
#include "worksheet_error.h"

#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace tallymere::testing {

namespace {

// Another program's lock on the file.
Lift lockTheFile(const fs::path& file)
{
    const int holder = ::open(file.c_str(), O_RDONLY);
    ::flock(holder, LOCK_EX);
    return [holder] { ::close(holder); };
}

Lift deviceInTheFilesPlace(const fs::path& file)
{
    fs::remove(file);
    fs::create_symlink("/dev/null", file);
    return [file] { fs::remove(file); };
}

// A folder the user may not write to, with no sheet in it yet.
Lift readOnlyFolder(const fs::path& file)
{
    const fs::path folder = file.parent_path();
    fs::remove(file);
    fs::permissions(folder, fs::perms::owner_write, fs::perm_options::remove);
    if (::access(folder.c_str(), W_OK) == 0) {
        skipWithThePowerToWrite();
    }
    return [folder] { fs::permissions(folder, fs::perms::owner_all); };
}

// Every flush to the disk in the calling thread fails, as on a disk that reports a fault only when
// asked to make the bytes last; the call `intercepted`, if any, waits for the listener returned.
int failFlushes(long intercepted)
{
    const auto call = static_cast<std::uint32_t>(intercepted);
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, call, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_USER_NOTIF),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fsync, 1, 0),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fdatasync, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EIO),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    const unsigned listen = intercepted >= 0 ? SECCOMP_FILTER_FLAG_NEW_LISTENER : 0;
    EXPECT_EQ(::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0), 0);
    return static_cast<int>(::syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, listen, &program));
}

void failFlushes()
{
    EXPECT_EQ(failFlushes(-1), 0);
}

} // namespace

const std::vector<Fault>& fileFaults()
{
    static const std::vector<Fault> faults = {
        {"folder_in_the_files_place", "同名的文件夹占用了这个位置", folderInTheFilesPlace},
        {"device_in_the_files_place", "它不是普通文件", deviceInTheFilesPlace},
        {"read_only_folder", "没有写入权限", readOnlyFolder},
        {"locked_by_another_program", "文件正被其他程序使用", lockTheFile, nullptr, true},
        {"disk_full_part_way", "磁盘已满。文件保持原样。", nullptr, nullptr, false, true},
        {"first_sheet_on_a_full_disk", "磁盘已满。没有留下文件。", noFile, nullptr, false, true},
        {"flush_to_disk_fails", "Input/output error。文件保持原样。", nullptr, failFlushes},
    };
    return faults;
}

// Writers whose flush fails take back their own sheet only, never one that another Tallymere
// appended meanwhile, nor one that waited for a file they made and then removed: each sheet of the
// writer that succeeds is moved aside, so that the failing writers, quick with one problem each,
// keep making the file anew while its long sheets are drawn.
TEST(Concurrency, AFailingWriterNeverCutsAnotherWritersSheet)
{
    const TempFolder temp;
    const WorksheetSettings sheet{"100", "999", DifficultyMode::ChainedSteps};
    const auto failingWriter = [&] {
        return std::jthread([&](const std::stop_token& stop) {
            failFlushes();
            for (EngineRandom random; !stop.stop_requested();) {
                try {
                    generateWorksheet({"100", "1", sheet.mode}, temp.text(), random);
                } catch (const FileError&) {
                }
            }
        });
    };
    constexpr int sheets = 200;
    {
        const std::jthread failing[] = {failingWriter(), failingWriter()};
        EngineRandom random;
        for (int moved = 0; moved != sheets; ++moved) {
            generateWorksheet(sheet, temp.text(), random);
            fs::rename(temp.worksheet(), temp.path / std::to_string(moved));
        }
    }
    for (int moved = 0; moved != sheets; ++moved) {
        const std::string bytes = fileBytes(temp.path / std::to_string(moved));
        EXPECT_EQ(worksheetFault(bytes, 1, {999, 100, sheet.mode}), "") << "sheet " << moved;
    }
}

// A program that appends a line without the lock, at the moment a run makes a call, before the
// run's flush fails: the run cuts back nothing of that line, and what it says is true.
TEST(Concurrency, AFailingRunNeverCutsWhatAnotherProgramAppended)
{
    const WorksheetSettings startValues{"10", "100", DifficultyMode::SingleStep};
    struct Moment {
        long call;
        bool sheetBefore;
        std::string_view words;
    };
    const Moment moments[] = {
        {__NR_fsync, true, "未能撤销"},      // the sheet stays, the line after it
        {__NR_flock, false, "文件保持原样"}, // the file the run made stays, the line alone
    };
    for (const Moment& moment : moments) {
        const TempFolder temp;
        EngineRandom random;
        if (moment.sheetBefore) {
            generateWorksheet(startValues, temp.text(), random);
        }
        std::promise<int> calls;
        std::string message = "no error";
        std::jthread run([&] {
            calls.set_value(failFlushes(moment.call));
            try {
                generateWorksheet(startValues, temp.text(), random);
            } catch (const FileError& error) {
                message = error.what();
            }
        });
        const int listener = calls.get_future().get();
        seccomp_notif call{};
        ASSERT_EQ(::ioctl(listener, SECCOMP_IOCTL_NOTIF_RECV, &call), 0);
        std::ofstream(temp.worksheet(), std::ios::app | std::ios::binary) << "another program\r\n";
        // The flush fails; the lock goes ahead.
        constexpr std::uint32_t goAhead = SECCOMP_USER_NOTIF_FLAG_CONTINUE;
        const bool flush = moment.call == __NR_fsync;
        seccomp_notif_resp answer{call.id, 0, flush ? -EIO : 0, flush ? 0 : goAhead};
        ASSERT_EQ(::ioctl(listener, SECCOMP_IOCTL_NOTIF_SEND, &answer), 0);
        run.join();
        EXPECT_NE(message.find(moment.words), message.npos) << message;
        EXPECT_TRUE(fileBytes(temp.worksheet()).ends_with("another program\r\n")) << message;
    }
}

} // namespace tallymere::testing
