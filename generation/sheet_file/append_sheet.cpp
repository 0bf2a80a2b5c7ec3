#include "patience.h"
#include "sheet_file.h"
#include "system_file.h"

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

[[noreturn]] void failOpen(const std::string& shown, std::string_view reason)
{
    throw FileError("无法打开文件“" + shown + "”：" + std::string(reason) + "。");
}

[[noreturn]] void failWrite(const std::string& shown, std::string_view reason, bool restored)
{
    throw FileError("写入文件“" + shown + "”失败：" + std::string(reason) +
                    (restored ? "。文件保持原样。" : "，而且未能撤销写入了一半的内容。"));
}

SystemError writeAll(SystemFile& file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const auto [written, error] = file.write(bytes);
        if (error) {
            return error;
        }
        bytes.remove_prefix(written);
    }
    // Only bytes on the disk survive a power cut, and only those may be reported as written.
    return file.flush();
}

} // namespace

void appendSheet(const std::string& path, std::string_view bytes)
{
    const std::string shown = shownPath(path);
    SystemFile file;
    if (const SystemError error =
            retryWhileBusy([&] { return file.open(path); }, isBusy, openPatience)) {
        failOpen(shown, reasonText(error));
    }
    // A device or a pipe would swallow the sheet; no need to wait for its lock to know.
    if (!file.isDiskFile()) {
        failOpen(shown, reasonText(FileFault::NotAFile));
    }
    if (const SystemError error =
            retryWhileBusy([&file] { return file.tryLock(); }, isBusy, lockPatience)) {
        failOpen(shown, reasonText(error));
    }
    // Taken under the lock: what the file holds before this sheet, and so what a failure leaves.
    const auto [length, sizeError] = file.size();
    if (sizeError) {
        failOpen(shown, reasonText(sizeError));
    }
    if (const SystemError error = writeAll(file, bytes)) {
        failWrite(shown, reasonText(error), file.truncate(length));
    }
    // The lock has gone with the file, so cutting back now could cut another writer's sheet.
    if (const SystemError error = file.close()) {
        failWrite(shown, reasonText(error), false);
    }
}

} // namespace tallymere
