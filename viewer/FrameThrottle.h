#pragma once
// Work asked for faster than the screen shows it (a text under the mouse, the figures of the rows
// shown while a key is held down), done at most once a frame: at once when it was not done during
// the last frame, else once that frame ends, for the last ask only.

#include <QObject>
#include <QTimer>

#include <functional>

namespace platine {

class FrameThrottle : public QObject
{
public:
    static constexpr int kFrameMs = 16;

    FrameThrottle(std::function<void()> work, QObject *parent);
    void ask();
    // An ask not done yet is not done.
    void forget() { m_asked = false; }

private:
    std::function<void()> m_work;
    QTimer m_frame;
    bool m_asked = false; // during the frame
};

} // namespace platine
