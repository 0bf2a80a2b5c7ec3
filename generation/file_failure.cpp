#include "file_failure.h"

#include "worksheet_error.h"

namespace tallymere {

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

void failOpen(const std::string& path, std::string_view reason)
{
    throw WorksheetError("无法打开文件“" + path + "”：" + std::string(reason) + "。");
}

void failWrite(const std::string& path, std::string_view reason, bool restored)
{
    throw WorksheetError("写入文件“" + path + "”失败：" + std::string(reason) +
                         (restored ? "。文件保持原样。" : "，而且未能撤销写入了一半的内容。"));
}

} // namespace tallymere
