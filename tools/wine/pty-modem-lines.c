// Loaded into Wine (LD_PRELOAD) by the Windows build's serial round trip: gives a pseudo-terminal
// the modem lines it lacks. Wine reads the modem lines each time it looks at a serial wait
// (WaitCommEvent) and ends the wait with no event when that read fails, as it always does on a
// pseudo-terminal. With the lines of a serial port (DSR, CTS and DCD on), the wait behaves as on
// a real port. Every other call, and TIOCMGET on any other device, goes to the C library as is.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdarg.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

// The slave sides of Unix 98 pseudo-terminals have majors 136 to 143.
static int isPseudoTerminal(int fd)
{
    struct stat st;
    return fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136
        && major(st.st_rdev) <= 143;
}

int ioctl(int fd, unsigned long request, ...)
{
    static int (*next)(int, unsigned long, ...);
    if (!next)
        next = (int (*)(int, unsigned long, ...))dlsym(RTLD_NEXT, "ioctl");
    va_list args;
    va_start(args, request);
    void *arg = va_arg(args, void *);
    va_end(args);
    const int saved = errno;
    const int result = next(fd, request, arg);
    if (result == -1 && request == TIOCMGET && arg && isPseudoTerminal(fd)) {
        *(int *)arg = TIOCM_DSR | TIOCM_CTS | TIOCM_CAR;
        errno = saved;
        return 0;
    }
    return result;
}
