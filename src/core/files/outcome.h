#pragma once

#include <QString>

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
