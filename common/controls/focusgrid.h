// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QWidget>

#include <vector>

namespace common {

// Makes a group of controls, laid out row by row in a grid, one stop of the Tab key: the arrow
// keys move the focus within the grid (stopping at its edges), Home to the first control and End
// to the last. The control that had the focus last is the group's stop. Each control shows a
// focus ring.
class FocusGrid final : public QObject {
    Q_OBJECT

public:
    FocusGrid(std::vector<QWidget *> controls, int columns, QObject *parent = nullptr);

    // Makes a control the group's stop and gives it the focus.
    void focus(int index, Qt::FocusReason reason = Qt::OtherFocusReason);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void becomeStop(int index);
    int indexOf(const QObject *control) const;

    std::vector<QWidget *> m_controls;
    int m_columns;
    int m_current = 0;
};

} // namespace common
