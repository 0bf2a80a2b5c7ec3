#include "messages.h"

#include "run.h"

#include <algorithm>

namespace tallymere::form {

namespace {

constexpr std::string_view copyTheProgram = "请把本程序复制到“桌面”或“文档”，从那里运行。";
constexpr std::string_view moveTheFile = "请把这个文件改名或移走，本程序会新建一个“口算题.doc”。";
constexpr std::string_view freeSomeSpace = "请删除一些不需要的文件，再按“生成Word”。";
constexpr std::string_view saveAsText =
    "请把这个文件改名或移走，本程序会新建一个“口算题.doc”；"
    "或者把它另存为纯文本：保存类型选“纯文本”，编码选“简体中文(GB2312)”，"
    "文件名连同英文引号输入\"口算题.doc\"，否则Word会存成“口算题.txt”。";

struct Words {
    std::string_view happened;
    std::string_view toDo;
};

Words wordsFor(FileFault fault)
{
    switch (fault) {
    case FileFault::NoPermission:
        return {"没有写入权限", copyTheProgram};
    case FileFault::ReadOnlyFile:
        return {
            "文件带有“只读”标记",
            "请把这个文件改名或移走，本程序会新建一个“口算题.doc”；或者在它的“属性”里去掉“只读”，"
            "再按“生成Word”。"};
    case FileFault::ReadOnlyDisk:
        return {"所在的磁盘只能读取", copyTheProgram};
    case FileFault::FolderMissing:
        return {"所在的文件夹不存在", "请把本程序放进一个文件夹，从那里运行。"};
    case FileFault::FolderInTheWay:
        return {"同名的文件夹占用了这个位置",
                "请把名叫“口算题.doc”的文件夹改名或移走，再按“生成Word”。"};
    case FileFault::DiskFull:
        return {"磁盘已满", freeSomeSpace};
    case FileFault::QuotaUsed:
        return {"磁盘配额已用完", freeSomeSpace};
    case FileFault::TooLarge:
        return {"文件已达到允许的最大长度", moveTheFile};
    case FileFault::InUse:
        return {"文件正被其他程序使用", "请在Word或WPS里关闭“口算题.doc”，再按“生成Word”。"};
    case FileFault::NotAFile:
        return {"它不是普通文件", moveTheFile};
    case FileFault::WordProcessorDocument:
        return {"它已被Word、WPS或LibreOffice另存为文档格式，加在后面的练习打开时看不到",
                saveAsText};
    case FileFault::UnicodeText:
        return {"它已被另存为Unicode文本，加在后面的练习打开时会是乱码", saveAsText};
    case FileFault::Other:
        break;
    }
    return {"", "请再按一次“生成Word”；如果还是不行，请把本程序复制到“桌面”或“文档”，从那里运行。"};
}

std::string_view holdsText(FileHolds holds)
{
    switch (holds) {
    case FileHolds::NothingOfTheSheet:
        return "这次没有写入任何内容。";
    case FileHolds::WhatItHeld:
        return "文件保持原样。";
    case FileHolds::NoFile:
        return "没有留下文件。";
    case FileHolds::AnEmptyFile:
        return "留下了一个空文件，可以把它删除。";
    case FileHolds::PartOfTheSheet:
        return "未能撤销写入了一半的内容：请打开文件，删掉末尾那张不完整的练习。";
    case FileHolds::TheWholeSheet:
        return "整张练习已写入文件，但未能确认它已保存到磁盘上：请打开文件看看最后一张练习。";
    }
    return "";
}

std::string_view opening(const FileFailure& failure)
{
    if (failure.fault == FileFault::WordProcessorDocument ||
        failure.fault == FileFault::UnicodeText) {
        return "无法使用文件“";
    }
    return failure.step == FileStep::Opening ? "无法打开文件“" : "写入文件“";
}

// Whether `folder` is `outer` or inside it; Windows names that differ in case alone are the same.
bool isInside(std::string_view folder, std::string_view outer)
{
    while (outer.ends_with('/') || outer.ends_with('\\')) {
        outer.remove_suffix(1);
    }
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return !outer.empty() && folder.size() >= outer.size() &&
           std::equal(outer.begin(), outer.end(), folder.begin(),
                      [&](char a, char b) { return lower(a) == lower(b); }) &&
           (folder.size() == outer.size() || folder[outer.size()] == '/' ||
            folder[outer.size()] == '\\');
}

} // namespace

std::string sheetsNote(std::string_view folder, std::string_view temporaryFolder)
{
    // Windows runs a program opened inside a .zip from there, and clears it later.
    if (isInside(folder, temporaryFolder)) {
        return "程序在临时文件夹里，练习会丢失，请先解压到桌面";
    }
    return "练习保存在：" + worksheetPath(folder);
}

std::string settingsMessage(SettingsFault fault)
{
    switch (fault) {
    case SettingsFault::NegativeRange:
        return "口算范围不能是负数。请输入0或更大的数。";
    case SettingsFault::RangeTooLarge:
        return "口算范围太大，请输入一个较小的数。";
    case SettingsFault::TooManyProblems:
        break;
    }
    const std::string most = std::to_string(maxProblemCount);
    return "题数太多：一次最多生成" + most + "道题。请输入" + most + "或更小的题数。";
}

std::string fileMessage(const FileFailure& failure)
{
    const Words words = wordsFor(failure.fault);
    const std::string_view happened =
        failure.fault == FileFault::Other ? failure.systemWords : words.happened;
    const std::string_view after = failure.step == FileStep::Writing ? "”失败：" : "”：";
    return std::string(opening(failure)) + failure.path + std::string(after) +
           std::string(happened) + "。" + std::string(holdsText(failure.holds)) +
           std::string(words.toDo);
}

} // namespace tallymere::form
