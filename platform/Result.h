#pragma once
// The outcome of an operation that can fail: its value, or what went wrong.
//
// What went wrong is a value the caller can look at: a kind of its own (why a profile file could
// not be written, why a command did not leave) and the system's own words when the system gave
// some (QFile::errorString()). No sentence is made down here: the window that acted makes the one
// the user reads ("Impossible d'écrire « param.ini » : ..."), in French, from the kind.

#include <QString>

#include <utility>
#include <variant>

namespace platine {

// A failure with the system's words alone, for the tools and the tests' helpers.
struct Failure {
    QString reason;
};

// The value of an operation that gives nothing back but its success.
struct Done {
    friend bool operator==(Done, Done) = default;
};

// E holds what went wrong; it has a member `reason`, the system's words (may be empty).
template <typename T, typename E = Failure> class [[nodiscard]] Result
{
public:
    Result(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    Result(E error) : m_state(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    // Only when ok().
    const T &value() const { return std::get<0>(m_state); }
    T &value() { return std::get<0>(m_state); }
    const T &operator*() const { return value(); }
    T &operator*() { return value(); }
    const T *operator->() const { return &value(); }
    T *operator->() { return &value(); }

    // Only when !ok().
    const E &error() const { return std::get<1>(m_state); }
    // The system's words when it failed; empty when ok().
    QString reason() const { return ok() ? QString() : error().reason; }

private:
    std::variant<T, E> m_state;
};

using Status = Result<Done>;

} // namespace platine
