#include "patience.h"
#include "sheet_file.h"
#include "system_file.h"

#include <algorithm>

namespace tallymere {

namespace {

std::string_view reasonText(FileFault fault)
{
    switch (fault) {
    case FileFault::NoPermission:
        return "没有写入权限";
    case FileFault::ReadOnlyDisk:
        return "所在的磁盘只能读取";
    case FileFault::FolderMissing:
        return "所在的文件夹不存在";
    case FileFault::FolderInTheWay:
        return "同名的文件夹占用了这个位置";
    case FileFault::DiskFull:
        return "磁盘已满";
    case FileFault::QuotaUsed:
        return "磁盘配额已用完";
    case FileFault::TooLarge:
        return "文件已达到允许的最大长度";
    case FileFault::InUse:
        return "文件正被其他程序使用";
    case FileFault::NotAFile:
        return "它不是普通文件";
    }
    return "未知错误";
}

std::string reasonText(SystemError error)
{
    const auto fault = faultOf(error);
    return fault ? std::string(reasonText(*fault)) : systemWords(error);
}

bool isBusy(SystemError error)
{
    return faultOf(error) == FileFault::InUse;
}

// What a failed write left in the file.
enum class Undone { Restored, Removed, LeftEmpty, NotUndone };

std::string_view undoneText(Undone undone)
{
    switch (undone) {
    case Undone::Restored:
        return "。文件保持原样。";
    case Undone::Removed:
        return "。没有留下文件。";
    case Undone::LeftEmpty:
        return "，留下了一个空文件。";
    case Undone::NotUndone:
        break;
    }
    return "，而且未能撤销写入了一半的内容。";
}

std::string openFailure(const std::string& shown, std::string_view reason)
{
    return "无法打开文件“" + shown + "”：" + std::string(reason) + "。";
}

std::string writeFailure(const std::string& shown, std::string_view reason, Undone undone)
{
    return "写入文件“" + shown + "”失败：" + std::string(reason) + std::string(undoneText(undone));
}

// Opens the file and locks it, waiting until `deadline` while another program holds it; says why
// where it cannot.
std::optional<std::string> openLocked(SystemFile& file, const std::string& path,
                                      std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        if (const SystemError error =
                retryWhileBusy([&] { return file.open(path); }, isBusy, deadline)) {
            return reasonText(error);
        }
        // A device or a pipe would swallow the sheet; no need to wait for its lock to know.
        if (!file.isDiskFile()) {
            return std::string(reasonText(FileFault::NotAFile));
        }
        if (const SystemError error =
                retryWhileBusy([&file] { return file.tryLock(); }, isBusy, deadline)) {
            return reasonText(error);
        }
        if (file.isNamed()) {
            return std::nullopt;
        }
        // Its maker removed it after a failure; a sheet written to it now would be lost.
        file.close();
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::string(reasonText(FileFault::InUse));
        }
    }
}

SystemError writeAll(SystemFile& file, std::string_view bytes, std::uint64_t& written)
{
    while (written < bytes.size()) {
        const auto [some, error] = file.write(bytes.substr(written));
        written += some;
        if (error) {
            return error;
        }
    }
    // Only bytes on the disk survive a power cut, and only those may be reported as written.
    return file.flush();
}

// Takes back what this run wrote, and only that: a file that has grown beyond it holds lines of a
// program that appends without the lock, which cutting back would erase.
Undone undo(SystemFile& file, const std::string& path, std::uint64_t length, std::uint64_t written)
{
    const auto [size, error] = file.size();
    if (error || size != length + written) {
        return Undone::NotUndone;
    }
    const bool made = file.created() && length == 0;
    if (made && file.remove(path)) {
        return Undone::Removed;
    }
    if (!file.truncate(length)) {
        return Undone::NotUndone;
    }
    return made ? Undone::LeftEmpty : Undone::Restored;
}

// The path rule: where the file is (below), and how a message shows it, a Windows path (the only
// kind that does not start with "/") with "\" alone.
std::string shownPath(std::string path)
{
    if (!path.starts_with('/')) {
        std::replace(path.begin(), path.end(), '/', '\\');
    }
    return path;
}

} // namespace

std::string worksheetPath(std::string_view folder)
{
    const std::string_view separator = folder.starts_with("\\\\?\\") ? "\\" : "/";
    return std::string(folder) + std::string(separator) + std::string(worksheetFileName);
}

std::optional<std::string> appendSheet(std::string_view folder, std::string_view bytes)
{
    const std::string path = worksheetPath(folder);
    const std::string shown = shownPath(path);
    SystemFile file;
    if (const auto reason =
            openLocked(file, path, std::chrono::steady_clock::now() + busyPatience)) {
        return openFailure(shown, *reason);
    }
    // Taken under the lock: what the file holds before this sheet, and so what a failure leaves.
    const auto [length, sizeError] = file.size();
    if (sizeError) {
        return openFailure(shown, reasonText(sizeError));
    }
    std::uint64_t written = 0;
    if (const SystemError error = writeAll(file, bytes, written)) {
        // Undone before the message is put together, which may run out of memory.
        const Undone undone = undo(file, path, length, written);
        return writeFailure(shown, reasonText(error), undone);
    }
    // The whole sheet is on the disk: a close that fails now loses nothing of it.
    file.close();
    return std::nullopt;
}

} // namespace tallymere
