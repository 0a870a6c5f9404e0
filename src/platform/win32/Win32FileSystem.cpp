#include "Win32FileSystem.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <vector>

#include "Win32Api.h"
#include "text/CodePage.h"

namespace kestro {

namespace {

bool hasWildcard(const std::string& path) {
    // '*' and '?' are ASCII and never the second byte of a CP932 character.
    return path.find_first_of("*?") != std::string::npos;
}

std::optional<WIN32_FIND_DATAA> findEntry(const std::string& path) {
    if (path.empty() || hasWildcard(path)) return std::nullopt;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return std::nullopt;
    FindClose(find);
    return data;
}

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

[[noreturn]] void throwFor(DWORD error, const std::string& path) {
    if (error == ERROR_NOT_ENOUGH_MEMORY || error == ERROR_OUTOFMEMORY) throw MemoryError();
    throw FileError(fileErrorCauseFor(error), path);
}

}  // namespace

FileErrorCause fileErrorCauseFor(std::uint32_t win32Error) {
    switch (win32Error) {
        case ERROR_FILE_NOT_FOUND:
            return FileErrorCause::NotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_DIRECTORY:
        case ERROR_BAD_NETPATH:
            return FileErrorCause::InvalidPath;
        case ERROR_TOO_MANY_OPEN_FILES:
            return FileErrorCause::TooManyOpenFiles;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return FileErrorCause::AccessDenied;
        case ERROR_INVALID_HANDLE:
            return FileErrorCause::InvalidHandle;
        case ERROR_CRC:
        case ERROR_SEEK:
        case ERROR_SECTOR_NOT_FOUND:
        case ERROR_WRITE_FAULT:
        case ERROR_READ_FAULT:
        case ERROR_GEN_FAILURE:
        case ERROR_NOT_READY:
        case ERROR_IO_DEVICE:
            return FileErrorCause::HardwareIo;
        case ERROR_SHARING_VIOLATION:
            return FileErrorCause::SharingViolation;
        case ERROR_LOCK_VIOLATION:
            return FileErrorCause::LockViolation;
        default:
            return FileErrorCause::Other;
    }
}

FileTime fileTimeFromWin32(std::uint32_t low, std::uint32_t high) {
    // 100 ns ticks from 1601 to 1970; nanoseconds since 1601 would not fit
    // in 64 bits after the year 2193, nanoseconds since 1970 do until 2262.
    constexpr std::int64_t kTicksTo1970 = 116444736000000000LL;
    const auto ticks = static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
    return (ticks - kTicksTo1970) * 100;
}

bool Win32FileSystem::exists(const std::string& path) { return findEntry(path).has_value(); }

std::optional<FileTime> Win32FileSystem::modificationTime(const std::string& path) {
    const std::optional<WIN32_FIND_DATAA> entry = findEntry(path);
    if (!entry) return std::nullopt;
    return fileTimeFromWin32(entry->ftLastWriteTime.dwLowDateTime, entry->ftLastWriteTime.dwHighDateTime);
}

std::string Win32FileSystem::readWholeFile(const std::string& path) {
    Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) throwFor(GetLastError(), path);
    // Only a disk file has a length to read: a device (NUL, CON) or a pipe
    // may never end or wait for input.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) throw FileError(FileErrorCause::Other, path);
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size)) throwFor(GetLastError(), path);
    std::string content;
    try {
        // The length at open: a file that keeps growing cannot fill the memory.
        content.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        throw MemoryError();
    } catch (const std::length_error&) {
        throw MemoryError();
    }
    std::size_t used = 0;
    while (used < content.size()) {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(content.size() - used, 1u << 30));
        DWORD read = 0;
        if (!ReadFile(file.get(), content.data() + used, wanted, &read, nullptr)) throwFor(GetLastError(), path);
        if (read == 0) break;  // the file shrank meanwhile
        used += read;
    }
    content.resize(used);
    return content;
}

std::vector<std::string> Win32FileSystem::subdirectories(const std::string& directory) {
    std::vector<std::string> names;
    if (directory.empty() || hasWildcard(directory)) return names;
    std::string pattern = directory;
    // The final separator must not be taken from a trail byte such as the
    // second byte of 表.
    const char last = pattern.back();
    const bool endsInSeparator =
        last == '/' || (last == '\\' && findLastOf(CodePage::Cp932, pattern, "\\") == pattern.size() - 1);
    if (!endsInSeparator) pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = data.cFileName;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && name != "." && name != "..") {
            names.push_back(name);
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

std::optional<std::string> Win32FileSystem::currentDirectory() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0) return std::nullopt;
        // Up to the zero byte: the returned length may count characters.
        if (length < buffer.size()) return std::string(buffer.data());
        buffer.resize(length);  // the size needed, terminating zero included
    }
}

bool Win32FileSystem::setCurrentDirectory(const std::string& path) {
    if (path.empty()) return false;
    return SetCurrentDirectoryA(path.c_str()) != 0;
}

}  // namespace kestro
