// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/focusgrid.h"

#include "controls/focusring.h"

#include <QKeyEvent>

#include <algorithm>

namespace common {

FocusGrid::FocusGrid(std::vector<QWidget *> controls, int columns, QObject *parent)
    : QObject(parent)
    , m_controls(std::move(controls))
    , m_columns(columns) {
    for (QWidget *control : m_controls) {
        control->installEventFilter(this);
        new FocusRing(control);
    }
    becomeStop(0);
}

void FocusGrid::focus(int index, Qt::FocusReason reason) {
    becomeStop(index);
    m_controls.at(std::size_t(index))->setFocus(reason);
}

void FocusGrid::becomeStop(int index) {
    m_current = index;
    // The others still take the focus when clicked, so the keys go on from there.
    for (std::size_t i = 0; i < m_controls.size(); ++i)
        m_controls[i]->setFocusPolicy(int(i) == index ? Qt::StrongFocus : Qt::ClickFocus);
}

int FocusGrid::indexOf(const QObject *control) const {
    const auto found = std::find(m_controls.begin(), m_controls.end(), control);
    return found == m_controls.end() ? -1 : int(found - m_controls.begin());
}

bool FocusGrid::eventFilter(QObject *watched, QEvent *event) {
    const int index = indexOf(watched);
    if (index < 0)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        if (index != m_current)
            becomeStop(index);
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    const int count = int(m_controls.size());
    const int row = index / m_columns;
    const int column = index % m_columns;
    int target = -1;
    switch (key->key()) {
    case Qt::Key_Left:
        target = column > 0 ? index - 1 : index;
        break;
    case Qt::Key_Right:
        target = column < m_columns - 1 && index + 1 < count ? index + 1 : index;
        break;
    case Qt::Key_Up:
        target = row > 0 ? index - m_columns : index;
        break;
    case Qt::Key_Down:
        target = index + m_columns < count ? index + m_columns : index;
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = count - 1;
        break;
    default:
        return false;
    }
    if (target != index)
        focus(target, Qt::OtherFocusReason);
    return true;
}

} // namespace common
