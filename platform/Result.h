#pragma once
// The outcome of an operation that can fail: its value, or why it failed.
//
// The reason is the system's own words (QFile::errorString()) or a short plain statement of what
// is wrong ("le fichier n'existe pas"). The sentence the user reads ("Impossible d'écrire
// « param.ini » : ...") is made by the window that tells it, not down here.

#include <QString>

#include <utility>
#include <variant>

namespace platine {

struct Failure {
    QString reason;
};

// The value of an operation that gives nothing back but its success.
struct Done {
    friend bool operator==(Done, Done) = default;
};

template <typename T> class [[nodiscard]] Result
{
public:
    Result(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    Result(Failure failure) : m_state(std::in_place_index<1>, std::move(failure)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    // Only when ok().
    const T &value() const { return std::get<0>(m_state); }
    T &value() { return std::get<0>(m_state); }
    const T &operator*() const { return value(); }
    T &operator*() { return value(); }
    const T *operator->() const { return &value(); }
    T *operator->() { return &value(); }

    // Why it failed; empty when ok().
    QString reason() const { return ok() ? QString() : std::get<1>(m_state).reason; }

private:
    std::variant<T, Failure> m_state;
};

using Status = Result<Done>;

} // namespace platine
