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
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace tallymere::testing {

namespace {

const WorksheetSettings startValues{"10", "100", DifficultyMode::SingleStep};

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

// Every flush to the disk in the calling thread waits for the listener returned, which answers it.
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

// The listener of a run that holdFlushes holds. Closed before the run's thread is joined, so that
// a test that fails lets a held flush go (it then fails).
struct Flushes {
    explicit Flushes(std::promise<int>& listener) : fd(listener.get_future().get()) {}
    ~Flushes() { ::close(fd); }

    // The next flush, held until answered; the path of what it flushes.
    fs::path next()
    {
        pollfd ready{fd, POLLIN, 0};
        EXPECT_EQ(::poll(&ready, 1, 5000), 1) << "no flush within 5 s";
        held = {};
        EXPECT_EQ(::ioctl(fd, SECCOMP_IOCTL_NOTIF_RECV, &held), 0);
        return fs::read_symlink("/proc/" + std::to_string(held.pid) + "/fd/" +
                                std::to_string(held.data.args[0]));
    }
    // Fails the flush held with `error`, or lets it run.
    void answer(int error)
    {
        const auto flags =
            static_cast<std::uint32_t>(error == 0 ? SECCOMP_USER_NOTIF_FLAG_CONTINUE : 0);
        seccomp_notif_resp answer{held.id, 0, -error, flags};
        EXPECT_EQ(::ioctl(fd, SECCOMP_IOCTL_NOTIF_SEND, &answer), 0);
    }

    const int fd;
    seccomp_notif held{};
};

} // namespace

const std::vector<Fault>& fileFaults()
{
    static const std::vector<Fault> faults = {
        {"folder_in_the_files_place", "同名的文件夹占用了这个位置。这次没有写入任何内容。请把名叫",
         folderInTheFilesPlace},
        {"device_in_the_files_place", "它不是普通文件。这次没有写入任何内容。请把这个文件改名",
         deviceInTheFilesPlace},
        {"read_only_folder", "没有写入权限。这次没有写入任何内容。请把本程序复制到“桌面”",
         readOnlyFolder, nullptr, false, false, true},
        {"locked_by_another_program",
         "文件正被其他程序使用。这次没有写入任何内容。请在Word或WPS里关闭", lockTheFile, nullptr,
         true},
        {"disk_full_part_way", "磁盘已满。文件保持原样。请删除一些不需要的文件", nullptr, nullptr,
         false, true},
        {"first_sheet_on_a_full_disk", "磁盘已满。没有留下文件。", noFile, nullptr, false, true},
    };
    return faults;
}

// While a run flushes its sheet, a program appends a line without the lock, or another Tallymere
// opens the file and waits for the lock; then the flush fails. The run takes back its own bytes
// only, never the other's line nor the file the other waits for, and says what the file holds.
TEST(Concurrency, AFailingRunTakesBackItsOwnBytesOnly)
{
    for (const bool tallymere : {false, true}) {
        const TempFolder temp;
        EngineRandom random;
        if (!tallymere) { // the run's sheet stays, then the line
            generateWorksheet(startValues, temp.text(), random);
        }
        std::promise<int> listener;
        std::string message; // what the window shows
        std::jthread run([&] {
            listener.set_value(holdFlushes());
            message =
                form::generateCommand("10", "100", form::startOption, temp.text(), random).text;
        });
        Flushes flushes(listener);
        EXPECT_EQ(flushes.next(), temp.worksheet());
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
        flushes.answer(EIO);
        run.join();
        other = {};
        const std::string bytes = fileBytes(temp.worksheet());
        EXPECT_NE(message.find(tallymere ? "没有留下文件" : "整张练习已写入文件"), message.npos)
            << message;
        EXPECT_TRUE(tallymere ? worksheetFault(bytes, 1, {100, 10, startValues.mode}) == ""
                              : bytes.ends_with("another\r\n"))
            << message;
    }
}

// A first sheet is on the disk, name and all: its file is flushed, then the folder that names it.
TEST(Concurrency, ANewFileIsFlushedThenItsFolder)
{
    const TempFolder temp;
    std::promise<int> listener;
    std::jthread run([&] {
        listener.set_value(holdFlushes());
        EngineRandom random;
        form::generateCommand("10", "100", form::startOption, temp.text(), random);
    });
    Flushes flushes(listener);
    for (const fs::path& flushed : {temp.worksheet(), temp.path}) {
        EXPECT_EQ(flushes.next(), flushed);
        flushes.answer(0);
    }
}

} // namespace tallymere::testing
