#pragma once

#include <QString>

#include <stdexcept>

namespace common {

// An error the program does not handle itself: it reaches the error report and ends the program.
class Error : public std::runtime_error {
public:
    explicit Error(const QString &message);

    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace common
