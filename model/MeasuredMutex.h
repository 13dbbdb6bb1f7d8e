#pragma once
// A mutex shared by a worker thread and its callers that remembers, for each side, the longest it
// waited for the lock and the longest it held it, so that a benchmark can show that neither side
// keeps the other waiting; a side that has better to do than wait can only try the lock. A hold is
// measured twice: on the wall clock, which counts the time the system took the thread off the
// processor while it held the lock (a busy machine does that), and on the thread's own processor
// clock, which counts only the work done under the lock. Measuring costs a few clock readings a
// lock.

#include <QtGlobal>

#include <array>
#include <atomic>
#include <chrono>
#include <mutex>

#ifdef Q_OS_UNIX
#include <time.h>
#endif

namespace platine {

class MeasuredMutex
{
public:
    enum class Side { Worker, Caller };

    // The longest waits and holds so far, in nanoseconds.
    struct Longest {
        qint64 workerWait = 0;
        qint64 workerHold = 0;
        qint64 workerHoldWork = 0; // on the thread's processor clock
        qint64 callerWait = 0;
        qint64 callerHold = 0;
        qint64 callerHoldWork = 0;
    };

    // Holds the lock for its lifetime, on behalf of one side; with `wait` false, only when it was
    // free.
    class Guard
    {
    public:
        Guard(MeasuredMutex &mutex, Side side, bool wait = true)
            : m_mutex(mutex),
              m_side(side),
              m_asked(now()),
              m_lock(wait ? std::unique_lock(mutex.m_mutex)
                          : std::unique_lock(mutex.m_mutex, std::try_to_lock)),
              m_taken(now()),
              m_takenWork(workNow())
        {
            if (wait)
                m_mutex.keep(m_side, kWait, m_taken - m_asked);
        }
        ~Guard() // before the lock is let go
        {
            if (!held())
                return;
            m_mutex.keep(m_side, kHoldWork, workNow() - m_takenWork);
            m_mutex.keep(m_side, kHold, now() - m_taken);
        }
        Guard(const Guard &) = delete;
        Guard &operator=(const Guard &) = delete;

        bool held() const { return m_lock.owns_lock(); }

    private:
        MeasuredMutex &m_mutex;
        const Side m_side;
        const qint64 m_asked;
        const std::unique_lock<std::mutex> m_lock;
        const qint64 m_taken;
        const qint64 m_takenWork;
    };

    Longest longest() const
    {
        const auto at = [this](Side side, int what) { return m_longest[index(side, what)].load(); };
        return {at(Side::Worker, kWait), at(Side::Worker, kHold), at(Side::Worker, kHoldWork),
                at(Side::Caller, kWait), at(Side::Caller, kHold), at(Side::Caller, kHoldWork)};
    }

private:
    static constexpr int kWait = 0;
    static constexpr int kHold = 1;
    static constexpr int kHoldWork = 2;

    static qint64 now()
    {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    // The calling thread's processor time (the wall clock where the system has none to read).
    static qint64 workNow()
    {
#ifdef Q_OS_UNIX
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
#else
        return now();
#endif
    }
    static std::size_t index(Side side, int what)
    {
        return std::size_t((side == Side::Caller) * 3 + what);
    }
    void keep(Side side, int what, qint64 ns)
    {
        std::atomic<qint64> &longest = m_longest[index(side, what)];
        qint64 seen = longest.load(std::memory_order_relaxed);
        while (ns > seen && !longest.compare_exchange_weak(seen, ns, std::memory_order_relaxed)) {}
    }

    std::mutex m_mutex;
    std::array<std::atomic<qint64>, 6> m_longest{};
};

} // namespace platine
