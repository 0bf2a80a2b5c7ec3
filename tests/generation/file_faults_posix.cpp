#include "file_faults.h"
#include "fixtures.h"
#include "generate_command.h"
#include "run.h"
#include "sheet_oracle.h"

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
    return [folder] { fs::permissions(folder, fs::perms::owner_all); };
}

// Every flush to the disk in the calling thread waits for the listener returned, which then makes
// it fail, as on a disk that reports a fault only when asked to make the bytes last.
int holdFlushes()
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fsync, 1, 0),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fdatasync, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_USER_NOTIF),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    EXPECT_EQ(::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0), 0);
    return static_cast<int>(::syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER,
                                      SECCOMP_FILTER_FLAG_NEW_LISTENER, &program));
}

} // namespace

const std::vector<Fault>& fileFaults()
{
    static const std::vector<Fault> faults = {
        {"folder_in_the_files_place", "同名的文件夹占用了这个位置", folderInTheFilesPlace},
        {"device_in_the_files_place", "它不是普通文件", deviceInTheFilesPlace},
        {"read_only_folder", "没有写入权限", readOnlyFolder, nullptr, false, false, true},
        {"locked_by_another_program", "文件正被其他程序使用", lockTheFile, nullptr, true},
        {"disk_full_part_way", "磁盘已满。文件保持原样。", nullptr, nullptr, false, true},
        {"first_sheet_on_a_full_disk", "磁盘已满。没有留下文件。", noFile, nullptr, false, true},
    };
    return faults;
}

// While a run flushes its sheet, a program appends a line without the lock, or another Tallymere
// opens the file and waits for the lock; then the flush fails. The run takes back its own bytes
// only, never the other's line nor the file the other waits for, and says what the file holds.
TEST(Concurrency, AFailingRunTakesBackItsOwnBytesOnly)
{
    const WorksheetSettings startValues{"10", "100", DifficultyMode::SingleStep};
    for (const bool tallymere : {false, true}) {
        const TempFolder temp;
        EngineRandom random;
        if (!tallymere) { // the run's sheet stays, then the line
            generateWorksheet(startValues, temp.text(), random);
        }
        std::promise<int> flushes;
        std::string message; // what the window shows
        std::jthread run([&] {
            flushes.set_value(holdFlushes());
            message =
                form::generateCommand("10", "100", form::startOption, temp.text(), random).text;
        });
        const int listener = flushes.get_future().get();
        seccomp_notif flush{};
        ASSERT_EQ(::ioctl(listener, SECCOMP_IOCTL_NOTIF_RECV, &flush), 0);
        std::jthread other;
        if (tallymere) { // the run made the file, and removes it; the other makes it anew
            other = std::jthread([&] {
                EngineRandom own;
                generateWorksheet(startValues, temp.text(), own);
            });
            std::this_thread::sleep_for(std::chrono::milliseconds(100)); // to reach the lock
        } else {
            std::ofstream(temp.worksheet(), std::ios::app | std::ios::binary) << "another\r\n";
        }
        seccomp_notif_resp failed{flush.id, 0, -EIO, 0};
        ASSERT_EQ(::ioctl(listener, SECCOMP_IOCTL_NOTIF_SEND, &failed), 0);
        run.join();
        other = {};
        const std::string bytes = fileBytes(temp.worksheet());
        EXPECT_NE(message.find(tallymere ? "没有留下文件" : "未能撤销"), message.npos) << message;
        EXPECT_TRUE(tallymere ? worksheetFault(bytes, 1, {100, 10, startValues.mode}) == ""
                              : bytes.ends_with("another\r\n"))
            << message;
    }
}

} // namespace tallymere::testing
