#include "system_calls_win32.h"

#include <algorithm>

namespace tallymere {

namespace {

// ERROR_DISK_QUOTA_EXCEEDED, which mingw-w64's headers lack.
constexpr DWORD diskQuotaExceeded = 1295;

SystemError lastError()
{
    return {GetLastError()};
}

HANDLE handleOf(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

// The path's UTF-8, as the core gives it, in Windows' UTF-16.
std::wstring widePath(const std::string& path)
{
    std::wstring wide(path.size(), L'\0'); // never more UTF-16 units than UTF-8 bytes
    const int size = static_cast<int>(path.size());
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, path.data(), size, wide.data(), size));
    return wide;
}

} // namespace

const SystemCalls& systemCalls()
{
    static const SystemCalls calls;
    return calls;
}

std::optional<FileFault> PlatformFile::faultOf(SystemError error) const
{
    using enum FileFault;
    constexpr std::pair<DWORD, FileFault> faults[] = {
        {ERROR_WRITE_PROTECT, ReadOnlyDisk},   {ERROR_PATH_NOT_FOUND, FolderMissing},
        {ERROR_FILE_NOT_FOUND, FolderMissing}, {ERROR_BAD_NETPATH, FolderMissing},
        {ERROR_DISK_FULL, DiskFull},           {ERROR_HANDLE_DISK_FULL, DiskFull},
        {diskQuotaExceeded, QuotaUsed},        {ERROR_FILE_TOO_LARGE, TooLarge},
        {ERROR_SHARING_VIOLATION, InUse},      {ERROR_LOCK_VIOLATION, InUse}};
    if (error.code == ERROR_ACCESS_DENIED) {
        // Windows refuses a folder and a file marked read-only as it refuses a user without the
        // right: what is at the path tells them apart.
        const DWORD attributes = calls_.getFileAttributes(widePath(path_).c_str());
        return attributes == INVALID_FILE_ATTRIBUTES          ? NoPermission
               : (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FolderInTheWay
               : (attributes & FILE_ATTRIBUTE_READONLY) != 0  ? ReadOnlyFile
                                                              : NoPermission;
    }
    const auto* found = std::ranges::find(faults, error.code, &std::pair<DWORD, FileFault>::first);
    return found != std::end(faults) ? std::optional(found->second) : std::nullopt;
}

std::string PlatformFile::systemWords(SystemError error) const
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error.code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text != nullptr ? text : L"", length);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L'.' || message.back() == L'。')) {
        message.pop_back();
    }
    std::string words(message.size() * 3, '\0'); // never more than three bytes a UTF-16 unit
    words.resize(WideCharToMultiByte(CP_UTF8, 0, message.data(), static_cast<int>(message.size()),
                                     words.data(), static_cast<int>(words.size()), nullptr,
                                     nullptr));
    return words.empty() ? "错误代码 " + std::to_string(error.code) : words;
}

PlatformFile::~PlatformFile()
{
    if (handle_ != -1) {
        calls_.closeHandle(handleOf(handle_));
    }
}

// GENERIC_WRITE is what locking, flushing and cutting back need; sharing lets another Tallymere
// open the file and wait for the lock. Delete access, on a file the run makes, lets a failed run
// remove it, and keeps every other program out of it meanwhile.
SystemError PlatformFile::open(const std::string& path)
{
    path_ = path;
    const std::wstring wide = widePath(path);
    constexpr DWORD access = GENERIC_READ | GENERIC_WRITE | FILE_APPEND_DATA;
    constexpr DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE file = calls_.createFile(wide.c_str(), access | DELETE, sharing, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    created_ = file != INVALID_HANDLE_VALUE;
    if (!created_) {
        file = calls_.createFile(wide.c_str(), access, sharing, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    return file == INVALID_HANDLE_VALUE ? lastError() : SystemError{};
}

bool PlatformFile::isDiskFile() const
{
    return calls_.getFileType(handleOf(handle_)) == FILE_TYPE_DISK;
}

// Over the whole file and anything appended to it, so that other writers and readers wait.
SystemError PlatformFile::tryLock()
{
    OVERLAPPED from{};
    return calls_.lockFile(handleOf(handle_), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY,
                           0, MAXDWORD, MAXDWORD, &from)
               ? SystemError{}
               : lastError();
}

// Every handle to the file shares no deletion, so the file cannot go while it is held.
bool PlatformFile::isNamed() const
{
    return true;
}

std::pair<std::uint64_t, SystemError> PlatformFile::size() const
{
    LARGE_INTEGER length{};
    if (!calls_.getFileSize(handleOf(handle_), &length)) {
        return {0, lastError()};
    }
    return {static_cast<std::uint64_t>(length.QuadPart), {}};
}

std::pair<std::size_t, SystemError> PlatformFile::readHead(std::span<char> head) const
{
    std::size_t read = 0;
    while (read < head.size()) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(read);
        DWORD some = 0;
        if (!calls_.readFile(handleOf(handle_), head.data() + read,
                             static_cast<DWORD>(head.size() - read), &some, &at)) {
            const DWORD error = GetLastError();
            return {read, error == ERROR_HANDLE_EOF ? SystemError{} : SystemError{error}};
        }
        if (some == 0) {
            break;
        }
        read += some;
    }
    return {read, {}};
}

std::pair<std::size_t, SystemError> PlatformFile::write(std::string_view bytes)
{
    // Both offsets at their highest write at the end of the file, whatever the file pointer.
    OVERLAPPED atTheEnd{};
    atTheEnd.Offset = MAXDWORD;
    atTheEnd.OffsetHigh = MAXDWORD;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!calls_.writeFile(handleOf(handle_), bytes.data(), chunk, &written, &atTheEnd)) {
        return {written, lastError()};
    }
    return {written, written == 0 ? SystemError{ERROR_WRITE_FAULT} : SystemError{}};
}

// The file's flush is all that NTFS needs, a new file's name included: NTFS journals the change
// to the folder, and Windows has no flush of a folder (SQLite, too, flushes only the file there).
SystemError PlatformFile::flush()
{
    return calls_.flushFileBuffers(handleOf(handle_)) ? SystemError{} : lastError();
}

bool PlatformFile::truncate(std::uint64_t length)
{
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(length);
    return calls_.setFileInformation(handleOf(handle_), FileEndOfFileInfo, &end, sizeof end);
}

// The file goes when the handle closes; only the handle that made it has the access to do this.
bool PlatformFile::remove()
{
    FILE_DISPOSITION_INFO gone{TRUE};
    return calls_.setFileInformation(handleOf(handle_), FileDispositionInfo, &gone, sizeof gone);
}

SystemError PlatformFile::close()
{
    const BOOL closed = calls_.closeHandle(handleOf(handle_));
    handle_ = -1;
    return closed ? SystemError{} : lastError();
}

} // namespace tallymere
