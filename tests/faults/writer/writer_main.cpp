// The kill test's child: writes a file with the program's own code as "Enregistrer sous" and
// "Programmer" ("schedule") or "Port COM" ("port") do, alternating two states from <first>, a dot
// after each write, until it is killed; with a fourth argument, state <first> once, silently.
#include "platform/ProfileFile.h"
#include "schedule/ScheduleSettings.h"
#include <cstdio>
#include <cstring>
using namespace platine;
int main(int argc, char **argv)
{
    if (argc < 4)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[2]);
    if (argc == 4) {
        std::puts("ready");
        std::fflush(stdout);
    }
    for (int n = QByteArray(argv[3]).toInt() & 1;; n ^= 1) {
        ScheduleValues schedule{{}, 9 * n};
        for (QString &box : schedule.boxes)
            box = n ? QStringLiteral("08:30:00") : QStringLiteral("17:45:00");
        const FileStatus written = std::strcmp(argv[1], "schedule") == 0
            ? saveScheduleFile(path, schedule)
            : writeProfileString(path, QStringLiteral("Port COM"), QStringLiteral("valeur"),
                                 QString::number(n ? 33 : 3));
        if (!written) {
            std::fprintf(stderr, "%d %s\n", int(written.error().kind),
                         qPrintable(written.reason()));
            return 1;
        }
        if (argc > 4)
            return 0;
        std::fputc('.', stdout);
        std::fflush(stdout);
    }
}
