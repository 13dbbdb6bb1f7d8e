// The child process of the kill test: writes a file over and over with the program's own code
// until it is killed. "schedule <path>" alternates two schedules through saveScheduleFile (what
// "Enregistrer sous" and "Programmer" do); "port <path>" alternates two port numbers through
// writeProfileString (what "Port COM" does), starting with state <first> (0 or 1). It prints "ready"
// once it is about to start writing, then a dot after each completed write.

#include "WriterStates.h"
#include "platform/ProfileFile.h"
#include "schedule/ScheduleSettings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace platine;

int main(int argc, char **argv)
{
    if (argc != 4)
        return 2;
    const bool schedule = std::strcmp(argv[1], "schedule") == 0;
    const QString path = QString::fromLocal8Bit(argv[2]);
    std::puts("ready");
    std::fflush(stdout);
    for (int n = std::atoi(argv[3]) & 1;; n ^= 1) {
        const ProfileWriteResult r = schedule
            ? saveScheduleFile(path, test::writerSchedule(n))
            : writeProfileString(path, QStringLiteral("Port COM"), QStringLiteral("valeur"),
                                 test::writerPort(n));
        if (!r.ok) {
            std::fprintf(stderr, "%s\n", qPrintable(r.error));
            return 1;
        }
        std::fputc('.', stdout);
        std::fflush(stdout);
    }
}
