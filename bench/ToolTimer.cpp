// Stands in for a TeX tool in the build comparison of run-bench.sh: put on
// PATH under the tool's name (platex, pbibtex, mendex, dvipdfmx), it runs
// the real tool found along KESTRO_BENCH_REAL_PATH, waits for it, appends
// "name start-ns end-ns status" to the file KESTRO_BENCH_LOG and exits as
// the tool did. The span runs from this program's own start to its exit, so
// what the stand-in adds is counted as tool time, not as the driver's; built
// static, it starts without loading any library. Every build driver goes through the same stand-ins, so the
// compiler runs they make and the time their tools take are counted alike.
#include <fcntl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

long long nowNanoseconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

}  // namespace

int main(int argc, char** argv) {
    (void)argc;
    const long long start = nowNanoseconds();
    const char* slash = std::strrchr(argv[0], '/');
    const std::string name = slash ? slash + 1 : argv[0];
    const char* realPath = std::getenv("KESTRO_BENCH_REAL_PATH");
    const char* logPath = std::getenv("KESTRO_BENCH_LOG");
    if (realPath == nullptr || logPath == nullptr) {
        std::fprintf(stderr, "%s: KESTRO_BENCH_REAL_PATH and KESTRO_BENCH_LOG must be set\n", name.c_str());
        return 127;
    }

    const pid_t pid = fork();
    if (pid < 0) return 127;
    if (pid == 0) {
        // The tool itself sees the PATH without the stand-ins.
        setenv("PATH", realPath, 1);
        argv[0] = const_cast<char*>(name.c_str());
        execvp(name.c_str(), argv);
        _exit(127);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    const long long end = nowNanoseconds();

    char line[512];
    const int length = std::snprintf(line, sizeof line, "%s %lld %lld %d\n", name.c_str(), start, end, code);
    const int fd = open(logPath, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) {
        if (write(fd, line, static_cast<size_t>(length)) != length) {
            // The record is lost, the build goes on.
        }
        close(fd);
    }
    return code;
}
