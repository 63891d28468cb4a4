#pragma once

#include <QString>

#include <optional>
#include <utility>

// How every operation of the core reports a failure: success, or one Swedish message that says
// what went wrong and what to do, for the window (or the command line) to show as it is.
class [[nodiscard]] Outcome {
public:
    Outcome() = default; // success
    static Outcome failure(QString message) {
        Q_ASSERT(!message.isEmpty());
        Outcome o;
        o.m_message = std::move(message);
        return o;
    }

    bool ok() const { return m_message.isEmpty(); }
    explicit operator bool() const { return ok(); }
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

// An operation that yields a value when it succeeds: the value, or the Outcome that says why
// there is none.
template <class T> class [[nodiscard]] Expected {
public:
    Expected(T value) : m_value(std::move(value)) {}
    Expected(Outcome failure) : m_outcome(std::move(failure)) { Q_ASSERT(!m_outcome.ok()); }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const Outcome &outcome() const { return m_outcome; }
    const QString &message() const { return m_outcome.message(); }

    const T &value() const & {
        Q_ASSERT(ok());
        return *m_value;
    }
    T &&value() && {
        Q_ASSERT(ok());
        return std::move(*m_value);
    }
    const T &operator*() const & { return value(); }
    const T *operator->() const { return &value(); }

private:
    std::optional<T> m_value;
    Outcome m_outcome;
};
