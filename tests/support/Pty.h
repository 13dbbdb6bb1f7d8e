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
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace platine::test {

class Pty
{
public:
    Pty()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_master < 0)
            return;
        if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
            close();
            return;
        }
        termios t{};
        if (::tcgetattr(m_master, &t) == 0) {
            ::cfmakeraw(&t);
            ::tcsetattr(m_master, TCSANOW, &t);
        }
        char name[128] = {};
        if (::ptsname_r(m_master, name, sizeof name) != 0) {
            close();
            return;
        }
        m_device = QString::fromLocal8Bit(name);
    }
    ~Pty() { close(); }
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;

    bool isValid() const { return m_master >= 0; }
    QString devicePath() const { return m_device; }
    int masterFd() const { return m_master; }

    // The device vanishes: the other side sees the end of the line.
    void close()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    // The lines of param.ini that make a port number designate this device.
    QByteArray paramIniSection(int portNumber) const
    {
        return "[Ports]\r\nCOM" + QByteArray::number(portNumber) + '=' + m_device.toLocal8Bit()
            + "\r\n";
    }

    // Sends bytes to the program, as the board would.
    qint64 write(const QByteArray &bytes)
    {
        qint64 done = 0;
        QDeadlineTimer deadline(2000);
        while (m_master >= 0 && done < bytes.size() && !deadline.hasExpired()) {
            const ssize_t n = ::write(m_master, bytes.constData() + done,
                                      size_t(bytes.size() - done));
            if (n > 0)
                done += n;
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                break;
            else
                QThread::msleep(1);
        }
        return done;
    }

    // Whatever the program has sent and is waiting now, without waiting.
    QByteArray readAvailable()
    {
        QByteArray out;
        char buf[4096];
        while (m_master >= 0) {
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n <= 0)
                break;
            out.append(buf, n);
        }
        return out;
    }

    // Reads until at least `count` bytes have come or `msecs` have passed, running the event loop
    // meanwhile so that the program under test can write.
    QByteArray readAtLeast(qsizetype count, int msecs)
    {
        QByteArray out;
        QDeadlineTimer deadline(msecs);
        while (out.size() < count && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            out += readAvailable();
            if (out.size() < count)
                QThread::msleep(1);
        }
        return out;
    }

    // Everything that arrives during `msecs`, running the event loop meanwhile.
    QByteArray readFor(int msecs)
    {
        return readAtLeast(std::numeric_limits<qsizetype>::max(), msecs);
    }

    // The terminal settings the program left on the line.
    termios settings() const
    {
        termios t{};
        if (m_master >= 0)
            ::tcgetattr(m_master, &t);
        return t;
    }

private:
    int m_master = -1;
    QString m_device;
};

} // namespace platine::test
