#include "Terminal.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

namespace kestro::cli {
namespace {

class DeviceTerminal : public Terminal {
public:
    explicit DeviceTerminal(int fd) : fd_(fd) {}
    ~DeviceTerminal() override { ::close(fd_); }
    DeviceTerminal(const DeviceTerminal&) = delete;
    DeviceTerminal& operator=(const DeviceTerminal&) = delete;

    std::optional<std::string> ask(const std::string& prompt) override {
        writeAll(prompt);
        std::string line;
        for (;;) {
            char c = 0;
            const ssize_t got = ::read(fd_, &c, 1);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {
                if (line.empty()) return std::nullopt;
                break;
            }
            if (c == '\n') break;
            line.push_back(c);
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return line;
    }

private:
    void writeAll(const std::string& text) {
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t wrote = ::write(fd_, text.data() + done, text.size() - done);
            if (wrote < 0 && errno == EINTR) continue;
            if (wrote <= 0) return;
            done += static_cast<std::size_t>(wrote);
        }
    }

    int fd_;
};

}  // namespace

std::unique_ptr<Terminal> openControllingTerminal() {
    const int fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return nullptr;
    return std::make_unique<DeviceTerminal>(fd);
}

}  // namespace kestro::cli
