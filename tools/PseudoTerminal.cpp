#include "tools/PseudoTerminal.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace platine {

Status PseudoTerminal::open(speed_t speed)
{
    if (isOpen())
        return Done{};
    auto fail = [&](const char *step) -> Status {
        const QString reason = QStringLiteral("%1: %2").arg(
            QLatin1String(step), QString::fromLocal8Bit(std::strerror(errno)));
        close();
        return Failure{reason};
    };
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0)
        return fail("posix_openpt");
    if (::grantpt(m_master) != 0)
        return fail("grantpt");
    if (::unlockpt(m_master) != 0)
        return fail("unlockpt");
    char name[128] = {};
    if (::ptsname_r(m_master, name, sizeof name) != 0)
        return fail("ptsname");
    m_device = QString::fromLocal8Bit(name);

    // Bytes written with nobody holding the device would wait in the terminal and reach its next
    // holder late; after this open and close, peerConnected() tells whether anyone listens.
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave < 0)
        return fail("open");
    termios t{};
    if (::tcgetattr(slave, &t) == 0) {
        ::cfmakeraw(&t);
        if (speed != B0) {
            ::cfsetispeed(&t, speed);
            ::cfsetospeed(&t, speed);
        }
        ::tcsetattr(slave, TCSANOW, &t);
    }
    ::close(slave);
    return Done{};
}

void PseudoTerminal::close()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
    m_device.clear();
}

bool PseudoTerminal::peerConnected() const
{
    if (m_master < 0)
        return false;
    pollfd p{m_master, POLLIN, 0};
    if (::poll(&p, 1, 0) < 0)
        return false;
    return !(p.revents & (POLLHUP | POLLERR | POLLNVAL));
}

qint64 PseudoTerminal::write(const QByteArray &bytes)
{
    if (m_master < 0)
        return -1;
    qint64 done = 0;
    int stalls = 0;
    while (done < bytes.size() && stalls < 1000) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            stalls = 0;
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            break;
        } else {
            ++stalls;
            ::usleep(1000);
        }
    }
    return done;
}

QByteArray PseudoTerminal::readAvailable()
{
    QByteArray got;
    char buf[4096];
    // Stops at EAGAIN (all read) and at EIO (nobody holds the device).
    for (ssize_t n; m_master >= 0 && (n = ::read(m_master, buf, sizeof buf)) > 0;)
        got.append(buf, n);
    return got;
}

QByteArray PseudoTerminal::readAtLeast(qsizetype count, int msecs)
{
    QByteArray out;
    for (QDeadlineTimer deadline(msecs); out.size() < count && !deadline.hasExpired();) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        out += readAvailable();
        if (out.size() < count)
            QThread::msleep(1);
    }
    return out;
}

termios PseudoTerminal::settings() const
{
    termios t{};
    ::tcgetattr(m_master, &t);
    return t;
}

} // namespace platine
