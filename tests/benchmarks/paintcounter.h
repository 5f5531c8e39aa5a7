// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// Counts the paint events a widget receives.
class PaintCounter final : public QObject {
    Q_OBJECT

public:
    explicit PaintCounter(QObject *watched);

    int count() const { return m_count; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int m_count = 0;
};
