#include "file_faults.h"
#include "fixtures.h"
#include "run.h"
#include "sheet_file.h"
#include "sheet_oracle.h"

#include <atomic>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/file.h>
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
    fs::remove(file);
    fs::permissions(file.parent_path(), fs::perms::owner_write, fs::perm_options::remove);
    return [file] { fs::permissions(file.parent_path(), fs::perms::owner_all); };
}

// Every flush to the disk fails in the calling thread, as on a disk that reports a fault only then.
void failFlushes()
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fsync, 1, 0),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fdatasync, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EIO),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    ASSERT_EQ(::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0), 0);
    ASSERT_EQ(::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program), 0);
}

} // namespace

const std::vector<Fault>& fileFaults()
{
    static const std::vector<Fault> faults = {
        {"folder_in_the_files_place", "同名的文件夹占用了这个位置", folderInTheFilesPlace},
        {"device_in_the_files_place", "它不是普通文件", deviceInTheFilesPlace},
        {"read_only_folder", "没有写入权限", readOnlyFolder},
        {"locked_by_another_program", "文件正被其他程序使用", lockTheFile, nullptr, 5},
        {"disk_full_part_way", "磁盘已满。文件保持原样。", nullptr, nullptr, 0, true},
        {"flush_to_disk_fails", "Input/output error。文件保持原样。", nullptr, failFlushes},
    };
    return faults;
}

// Writers whose flush fails cut back their own sheet under the lock, never a sheet that another
// writer appended meanwhile: without the lock, such writers spoil a sheet in every run here.
TEST(Concurrency, AFailingWriterNeverCutsAnotherWritersSheet)
{
    const TempFolder temp;
    std::atomic<bool> stop = false;
    const auto writer = [&](bool failing, const char* count, int sheets) {
        return std::jthread([&, failing, count, sheets] {
            if (failing) {
                failFlushes();
            }
            EngineRandom random;
            for (int sheet = 0; sheet != sheets && !stop; ++sheet) {
                try {
                    generateWorksheet({"100", count, DifficultyMode::ChainedSteps}, temp.text(),
                                      random);
                } catch (const FileError&) {
                }
            }
        });
    };
    {
        const std::jthread failing[] = {writer(true, "999", -1), writer(true, "999", -1)};
        writer(false, "20", 20).join();
        stop = true;
    }
    EXPECT_EQ(
        worksheetFault(fileBytes(temp.worksheet()), 20, {20, 100, DifficultyMode::ChainedSteps}),
        "");
}

} // namespace tallymere::testing
