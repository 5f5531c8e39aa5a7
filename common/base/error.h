// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <stdexcept>

namespace common {

// A failure with a message in Swedish for the person at the screen, naming what failed and why.
// Where the program can't go on (at start-up, or escaping an event handler) it reaches the error
// report, which shows it and ends the program; where the window can go on (a save that failed, a
// picture that can't be read), the window shows it in a message box and goes on.
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
