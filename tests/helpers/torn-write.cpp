// Test helper, loaded with LD_PRELOAD: a write whose bytes hold the marker
// "TEAR-HERE" writes only its first half, and the process is then killed,
// as an out-of-memory kill or a power cut can leave an append.
#include <csignal>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

extern "C" ssize_t write(int fd, const void* data, size_t count)
{
    using Write = ssize_t (*)(int, const void*, size_t);
    static const Write real = reinterpret_cast<Write>(dlsym(RTLD_NEXT, "write"));
    static const char Marker[] = "TEAR-HERE";
    if (count > sizeof Marker && memmem(data, count, Marker, sizeof Marker - 1) != nullptr) {
        real(fd, data, count / 2);
        kill(getpid(), SIGKILL);
    }
    return real(fd, data, count);
}
