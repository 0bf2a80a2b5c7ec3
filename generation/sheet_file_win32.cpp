#include "file_failure.h"
#include "patience.h"
#include "sheet_file.h"
#include "utf16.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <windows.h>

namespace tallymere {

namespace {

// ERROR_DISK_QUOTA_EXCEEDED, which mingw-w64's headers lack.
constexpr DWORD diskQuotaExceeded = 1295;

std::optional<FileFault> faultOf(DWORD error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED:
        return FileFault::NoPermission;
    case ERROR_WRITE_PROTECT:
        return FileFault::ReadOnlyDisk;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_BAD_NETPATH:
        return FileFault::FolderMissing;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return FileFault::DiskFull;
    case diskQuotaExceeded:
        return FileFault::QuotaUsed;
    case ERROR_FILE_TOO_LARGE:
        return FileFault::TooLarge;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return FileFault::InUse;
    default:
        return std::nullopt;
    }
}

// The system's own words, in the user's language, for errors without a plainer reason.
std::string systemText(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text != nullptr ? text : L"", length);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L'.' || message.back() == L'。')) {
        message.pop_back();
    }
    return message.empty() ? "错误代码 " + std::to_string(error) : utf8Text(message);
}

std::string reasonText(DWORD error)
{
    const auto fault = faultOf(error);
    return fault ? std::string(reasonText(*fault)) : systemText(error);
}

// Opening a folder as a file is refused as "access denied"; say what is really in the way.
std::string openReason(const std::wstring& path, DWORD error)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::string(reasonText(FileFault::FolderInTheWay));
    }
    return reasonText(error);
}

// Owns the handle, so that every way out of appendSheet closes it (and releases the lock).
class OpenFile {
public:
    explicit OpenFile(HANDLE handle) : handle_(handle) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile()
    {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    HANDLE get() const { return handle_; }
    // Returns 0 or the error of closing.
    DWORD close()
    {
        const BOOL closed = CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed ? 0 : GetLastError();
    }

private:
    HANDLE handle_;
};

bool isBusy(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// A virus scanner or an indexer often holds a file for a moment after it was written; another
// program that keeps it open (Word showing it) gets the "in use" message after this second.
constexpr std::chrono::milliseconds openPatience{1000};

// GENERIC_WRITE is the access that locking, flushing and cutting back are documented to need;
// append access writes the sheet. Sharing lets another Tallymere open the file and wait for the
// lock. Returns the handle, or INVALID_HANDLE_VALUE with the error.
std::pair<HANDLE, DWORD> openForAppending(const std::wstring& path)
{
    return retryWhileBusy(
        [&path] {
            const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE | FILE_APPEND_DATA,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            return std::pair(file, file == INVALID_HANDLE_VALUE ? GetLastError() : DWORD{0});
        },
        [](const std::pair<HANDLE, DWORD>& opened) { return isBusy(opened.second); }, openPatience);
}

// The whole file and anything appended to it: other writers wait, and readers too, until the
// sheet is complete. Returns 0, or ERROR_LOCK_VIOLATION when another program has held the lock for
// longer than a user would wait.
DWORD lockExclusive(HANDLE file)
{
    return retryWhileBusy(
        [file] {
            OVERLAPPED from{};
            return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                              MAXDWORD, MAXDWORD, &from)
                       ? DWORD{0}
                       : GetLastError();
        },
        isBusy, lockPatience);
}

// Writes at `offset` onwards, the end of the file as it was when locked, through to the disk.
// Returns 0 or the error that stopped the write.
DWORD writeToDisk(HANDLE file, std::uint64_t offset, std::string_view bytes)
{
    while (!bytes.empty()) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, &at)) {
            return GetLastError();
        }
        if (written == 0) {
            return ERROR_WRITE_FAULT;
        }
        bytes.remove_prefix(written);
        offset += written;
    }
    // Only bytes on the disk survive a power cut, and only those may be reported as written.
    return FlushFileBuffers(file) ? 0 : GetLastError();
}

bool cutBack(HANDLE file, LARGE_INTEGER length)
{
    return SetFilePointerEx(file, length, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

// The file as Windows users write paths, for the messages.
std::string shownPath(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

} // namespace

void appendSheet(const std::string& path, std::string_view bytes)
{
    const std::string shown = shownPath(path);
    const std::wstring widePath = wideText(path);
    const auto [handle, openError] = openForAppending(widePath);
    if (handle == INVALID_HANDLE_VALUE) {
        failOpen(shown, openReason(widePath, openError));
    }
    OpenFile file(handle);
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        failOpen(shown, reasonText(FileFault::NotAFile));
    }
    if (const DWORD error = lockExclusive(file.get()); error != 0) {
        failOpen(shown, reasonText(error));
    }
    LARGE_INTEGER before{};
    if (!GetFileSizeEx(file.get(), &before)) {
        failOpen(shown, reasonText(GetLastError()));
    }
    if (const DWORD error =
            writeToDisk(file.get(), static_cast<std::uint64_t>(before.QuadPart), bytes);
        error != 0) {
        failWrite(shown, reasonText(error), cutBack(file.get(), before));
    }
    if (const DWORD error = file.close(); error != 0) {
        failWrite(shown, reasonText(error), false);
    }
}

} // namespace tallymere
