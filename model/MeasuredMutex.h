#pragma once
// A mutex shared by a worker thread and its callers that remembers, for each side, the longest it
// waited for the lock and the longest it held it, so that a benchmark can show that neither side
// keeps the other waiting. Measuring costs three clock readings a lock.

#include <QtGlobal>

#include <array>
#include <atomic>
#include <chrono>
#include <mutex>

namespace platine {

class MeasuredMutex
{
public:
    enum class Side { Worker, Caller };

    // The longest waits and holds so far, in nanoseconds.
    struct Longest {
        qint64 workerWait = 0;
        qint64 workerHold = 0;
        qint64 callerWait = 0;
        qint64 callerHold = 0;
    };

    // Holds the lock for its lifetime, on behalf of one side.
    class Guard
    {
    public:
        Guard(MeasuredMutex &mutex, Side side)
            : m_mutex(mutex), m_side(side), m_asked(now()), m_lock(mutex.m_mutex), m_taken(now())
        {
            m_mutex.keep(m_side, 0, m_taken - m_asked);
        }
        ~Guard() { m_mutex.keep(m_side, 1, now() - m_taken); } // before the lock is let go
        Guard(const Guard &) = delete;
        Guard &operator=(const Guard &) = delete;

    private:
        MeasuredMutex &m_mutex;
        const Side m_side;
        const qint64 m_asked;
        const std::lock_guard<std::mutex> m_lock;
        const qint64 m_taken;
    };

    Longest longest() const
    {
        return {m_longest[0].load(), m_longest[1].load(), m_longest[2].load(), m_longest[3].load()};
    }

private:
    static qint64 now()
    {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    // what: 0 a wait, 1 a hold.
    void keep(Side side, int what, qint64 ns)
    {
        std::atomic<qint64> &longest = m_longest[std::size_t((side == Side::Caller) * 2 + what)];
        qint64 seen = longest.load(std::memory_order_relaxed);
        while (ns > seen && !longest.compare_exchange_weak(seen, ns, std::memory_order_relaxed)) {}
    }

    std::mutex m_mutex;
    std::array<std::atomic<qint64>, 4> m_longest{};
};

} // namespace platine
