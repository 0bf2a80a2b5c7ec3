#include "file_faults.h"
#include "fixtures.h"
#include "generate_command.h"
#include "system_file.h"

#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <poll.h>
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

// What a first sheet's run flushes (fsync, fdatasync), in order, as a seccomp listener sees each
// call of the run's thread before letting it go on.
std::vector<fs::path> flushesOfAFirstSheet(const TempFolder& temp)
{
    std::promise<int> listening;
    std::jthread run([&] {
        sock_filter filter[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fsync, 1, 0),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fdatasync, 0, 1),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_USER_NOTIF),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        };
        const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
        ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0);
        listening.set_value(static_cast<int>(::syscall(
            SYS_seccomp, SECCOMP_SET_MODE_FILTER, SECCOMP_FILTER_FLAG_NEW_LISTENER, &program)));
        EngineRandom random;
        form::generateCommand("10", "100", form::startOption, temp.text(), random);
    });
    const int listener = listening.get_future().get();
    std::vector<fs::path> flushed;
    seccomp_notif flush{};
    for (pollfd ready{listener, POLLIN, 0};
         ::poll(&ready, 1, 2000) == 1 && ::ioctl(listener, SECCOMP_IOCTL_NOTIF_RECV, &flush) == 0;
         flush = {}) {
        flushed.push_back(fs::read_symlink("/proc/" + std::to_string(flush.pid) + "/fd/" +
                                           std::to_string(flush.data.args[0])));
        seccomp_notif_resp goOn{flush.id, 0, 0, SECCOMP_USER_NOTIF_FLAG_CONTINUE};
        ::ioctl(listener, SECCOMP_IOCTL_NOTIF_SEND, &goOn);
    }
    ::close(listener);
    return flushed;
}

} // namespace

const std::vector<Fault>& fileFaults()
{
    static const std::vector<Fault> faults = {
        {"device_in_the_files_place", "它不是普通文件。这次没有写入任何内容。请把这个文件改名",
         deviceInTheFilesPlace},
        {"read_only_folder", "没有写入权限。这次没有写入任何内容。请把本程序复制到“桌面”",
         readOnlyFolder, false, false, true},
        {"locked_by_another_program", "文件正被其他程序使用。这次没有写入任何内容。请在Word或WPS",
         lockTheFile, true},
    };
    return faults;
}

// A first sheet is on the disk, name and all: its file is flushed, then the folder that names it.
TEST(Flush, ANewFileThenItsFolder)
{
    const TempFolder temp;
    EXPECT_EQ(flushesOfAFirstSheet(temp), (std::vector{temp.worksheet(), temp.path}));
}

// A run that removes the file it made leaves another that opened it meanwhile the lock, and a file
// without a name, so that the other makes the file anew rather than lose its sheet in it.
TEST(Concurrency, AFileItsMakerRemovedHasNoName)
{
    const TempFolder temp;
    const std::string path = worksheetPath(temp.text());
    PlatformFile maker;
    PlatformFile waiting;
    ASSERT_FALSE(maker.open(path) || maker.tryLock() || waiting.open(path));
    EXPECT_EQ(waiting.faultOf(waiting.tryLock()), FileFault::InUse);
    EXPECT_TRUE(maker.created() && !waiting.created() && maker.remove());
    maker.close();
    EXPECT_FALSE(waiting.tryLock());
    EXPECT_FALSE(waiting.isNamed() || fs::exists(temp.worksheet()));
}

} // namespace tallymere::testing
