// A do-nothing stand-in for the three Zorlane tools, for timing the front end around them.
// It acts by the name it was started under:
//   Rastermill  writes a few bytes to standard output;
//   Inkforge    copies standard input to standard output;
//   Spoolgate   reads standard input to its end and drops it.
// With --version it prints a version line and ends. Otherwise, when BENCH_REQUEST_TIMES names
// a file, it appends one line to it as it ends:
//   <name> TAB <monotonic ns at main> TAB <monotonic ns at the end> TAB <last argument>
// Built statically and with nothing but system calls, so its own start costs as little as a
// process can.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

namespace {

long long nowNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

bool writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

// Reads standard input to its end, passing it on when asked to.
void drain(bool passOn)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(0, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        if (passOn && !writeAll(1, buffer, size_t(n)))
            passOn = false; // keep reading, so the one before us is not cut off
    }
}

} // namespace

int main(int argc, char **argv)
{
    const long long start = nowNs();
    const char *slash = strrchr(argv[0], '/');
    const char *name = slash ? slash + 1 : argv[0];

    if (argc == 2 && strcmp(argv[1], "--version") == 0) {
        static const char version[] = "1, 0, 0, 0\n";
        writeAll(1, version, sizeof version - 1);
        return 0;
    }

    if (strcmp(name, "Rastermill") == 0) {
        static const char raster[] = "raster data of a benchmark request\n";
        writeAll(1, raster, sizeof raster - 1);
    } else if (strcmp(name, "Inkforge") == 0) {
        drain(true);
    } else {
        drain(false);
    }
    const long long end = nowNs();

    const char *times = getenv("BENCH_REQUEST_TIMES");
    if (times && *times) {
        char line[4352];
        const int n = snprintf(line, sizeof line, "%s\t%lld\t%lld\t%s\n", name, start, end,
                               argc > 1 ? argv[argc - 1] : "");
        const int fd = open(times, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
        if (fd >= 0 && n > 0) {
            // One write with O_APPEND: the three tools' lines never interleave.
            writeAll(fd, line, size_t(n < int(sizeof line) ? n : int(sizeof line) - 1));
            close(fd);
        }
    }
    return 0;
}
