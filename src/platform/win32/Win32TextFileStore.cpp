#include "Win32TextFileStore.h"

#include <atomic>
#include <string_view>

#include "Win32Api.h"

namespace kestro {

namespace {

class Handle {
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    Handle(Handle&& other) noexcept : handle_(other.handle_) { other.handle_ = INVALID_HANDLE_VALUE; }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle& operator=(Handle&&) = delete;
    ~Handle() { close(); }
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle == INVALID_HANDLE_VALUE || CloseHandle(handle) != 0;
    }

private:
    HANDLE handle_;
};

enum class ReadResult { Ok, Absent, Failed };

ReadResult readWhole(const std::string& path, std::string& data) {
    Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? ReadResult::Absent : ReadResult::Failed;
    }
    data.clear();
    char buffer[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) return ReadResult::Failed;
        if (read == 0) return ReadResult::Ok;
        data.append(buffer, read);
    }
}

bool writeWhole(HANDLE file, std::string_view data) {
    while (!data.empty()) {
        const DWORD chunk = data.size() > 1u << 20 ? 1u << 20 : static_cast<DWORD>(data.size());
        DWORD written = 0;
        if (!WriteFile(file, data.data(), chunk, &written, nullptr) || written == 0) return false;
        data.remove_prefix(written);
    }
    return true;
}

// A fresh name beside the target, created exclusively.
Handle createTemporary(const std::string& target, std::string& name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + "." + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(counter.fetch_add(1)) + ".tmp";
        Handle file(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.valid()) return file;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    name.clear();
    return Handle();
}

// Holds an exclusive lock on "<file>.lock" while it lives.
class WriterLock {
public:
    explicit WriterLock(const std::string& target)
        : file_(CreateFileA((target + ".lock").c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {
        if (!file_.valid()) return;
        overlapped_ = OVERLAPPED{};
        locked_ = LockFileEx(file_.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &overlapped_) != 0;
    }
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;
    ~WriterLock() {
        if (locked_) UnlockFileEx(file_.get(), 0, 1, 0, &overlapped_);
    }
    bool locked() const { return locked_; }

private:
    Handle file_;
    OVERLAPPED overlapped_{};
    bool locked_ = false;
};

}  // namespace

std::optional<std::string> Win32TextFileStore::read(const std::string& path) {
    if (path.empty()) return std::nullopt;
    std::string data;
    if (readWhole(path, data) != ReadResult::Ok) return std::nullopt;
    return data;
}

bool Win32TextFileStore::update(
    const std::string& path,
    const std::function<std::optional<std::string>(const std::optional<std::string>&)>& edit) {
    if (path.empty()) return false;
    WriterLock lock(path);
    if (!lock.locked()) return false;

    std::string current;
    std::optional<std::string> before;
    switch (readWhole(path, current)) {
        case ReadResult::Ok: before = std::move(current); break;
        case ReadResult::Absent: break;
        case ReadResult::Failed: return false;
    }
    const std::optional<std::string> after = edit(before);
    if (!after) return true;

    std::string temporary;
    Handle file = createTemporary(path, temporary);
    if (!file.valid()) return false;
    const bool written = writeWhole(file.get(), *after) && FlushFileBuffers(file.get()) != 0;
    if (!file.close() || !written ||
        !MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace kestro
