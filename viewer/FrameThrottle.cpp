#include "viewer/FrameThrottle.h"

namespace platine {

FrameThrottle::FrameThrottle(std::function<void()> work, QObject *parent)
    : QObject(parent), m_work(std::move(work))
{
    m_frame.setSingleShot(true);
    m_frame.setInterval(kFrameMs);
    connect(&m_frame, &QTimer::timeout, this, [this] {
        if (m_asked)
            ask();
    });
}

void FrameThrottle::ask()
{
    if (m_frame.isActive()) {
        m_asked = true;
        return;
    }
    m_asked = false;
    m_work();
    m_frame.start();
}

} // namespace platine
