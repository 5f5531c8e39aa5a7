#pragma once

#include <QString>

#include <stdexcept>

namespace common {

// An error the program does not handle itself: it reaches the error report and ends the program.
class Error : public std::runtime_error {
public:
    // item: the settings file's item that the error is about, 1 to 24, or 0 for none.
    explicit Error(const QString &message, int item = 0);

    QString message() const { return m_message; }
    int item() const { return m_item; }

private:
    QString m_message;
    int m_item = 0;
};

} // namespace common
