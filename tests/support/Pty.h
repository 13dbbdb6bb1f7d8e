#pragma once
// A pseudo-terminal standing in for a serial device: the test holds the master side and gives the
// slave's device path to the code under test. Closing the master makes the device vanish.

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QString>
#include <QThread>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <limits>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace platine::test {

class Pty
{
public:
    Pty() : m_master(::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
        char name[128] = {};
        termios t{};
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0
            || ::ptsname_r(m_master, name, sizeof name) != 0 || ::tcgetattr(m_master, &t) != 0) {
            close();
            return;
        }
        ::cfmakeraw(&t);
        ::tcsetattr(m_master, TCSANOW, &t);
        m_device = QString::fromLocal8Bit(name);
    }
    ~Pty() { close(); }
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;

    bool isValid() const { return m_master >= 0; }
    QString devicePath() const { return m_device; }
    // The device vanishes: the other side sees the end of the line.
    void close()
    {
        if (const int fd = std::exchange(m_master, -1); fd >= 0)
            ::close(fd);
    }

    // The lines of param.ini that make a port number designate this device.
    QByteArray paramIniSection(int portNumber) const
    {
        return "[Ports]\r\nCOM" + QByteArray::number(portNumber) + '=' + m_device.toLocal8Bit()
            + "\r\n";
    }

    // Sends bytes to the program, as the board would, waiting while the line is full.
    qint64 write(const QByteArray &bytes)
    {
        qint64 done = 0;
        for (QDeadlineTimer deadline(2000); m_master >= 0 && done < bytes.size();) {
            const ssize_t n = ::write(m_master, bytes.constData() + done,
                                      size_t(bytes.size() - done));
            if (n > 0)
                done += n;
            else if ((n < 0 && errno != EAGAIN && errno != EINTR) || deadline.hasExpired())
                break;
            else
                QThread::msleep(1);
        }
        return done;
    }

    // Reads until at least `count` bytes have come or `msecs` have passed, running the event loop
    // meanwhile so that the program under test can write.
    QByteArray readAtLeast(qsizetype count, int msecs)
    {
        QByteArray out;
        char buf[4096];
        for (QDeadlineTimer deadline(msecs); out.size() < count && !deadline.hasExpired();) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            for (ssize_t n; m_master >= 0 && (n = ::read(m_master, buf, sizeof buf)) > 0;)
                out.append(buf, n);
            if (out.size() < count)
                QThread::msleep(1);
        }
        return out;
    }
    // Everything that arrives during `msecs`.
    QByteArray readFor(int msecs)
    {
        return readAtLeast(std::numeric_limits<qsizetype>::max(), msecs);
    }

    // The terminal settings the program left on the line.
    termios settings() const
    {
        termios t{};
        ::tcgetattr(m_master, &t);
        return t;
    }

private:
    int m_master;
    QString m_device;
};

} // namespace platine::test
