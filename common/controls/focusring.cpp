// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/focusring.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPainter>

namespace common {

namespace {

// Watches the whole program's input for whether the keyboard or the mouse was used last.
class KeyboardUse final : public QObject {
    Q_OBJECT

public:
    static KeyboardUse &instance() {
        static KeyboardUse *use = [] {
            auto *created = new KeyboardUse;
            QCoreApplication::instance()->installEventFilter(created);
            return created;
        }();
        return *use;
    }

    bool inUse() const { return m_inUse; }

signals:
    void changed();

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            set(true);
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::TouchBegin:
            set(false);
            break;
        default:
            break;
        }
        return false;
    }

private:
    KeyboardUse()
        : QObject(QCoreApplication::instance()) {}

    void set(bool inUse) {
        if (inUse == m_inUse)
            return;
        m_inUse = inUse;
        emit changed();
    }

    bool m_inUse = false;
};

} // namespace

FocusRing::FocusRing(QWidget *control, QWidget *focusTaker)
    : QWidget(control)
    , m_focusTaker(focusTaker ? focusTaker : control) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    control->installEventFilter(this);
    if (m_focusTaker != control)
        m_focusTaker->installEventFilter(this);
    connect(&KeyboardUse::instance(), &KeyboardUse::changed, this, &FocusRing::follow);
}

bool FocusRing::keyboardInUse() {
    return KeyboardUse::instance().inUse();
}

bool FocusRing::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_focusTaker &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        // The focus moves before the key that moved it is through: the key has been seen.
        follow();
    } else if (watched == parentWidget() && event->type() == QEvent::Resize) {
        fitControl();
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::follow() {
    if (m_focusTaker->hasFocus() && keyboardInUse()) {
        fitControl();
        // Above the scroll bars, viewports and pictures the control has made since.
        raise();
        show();
    } else {
        hide();
    }
}

void FocusRing::fitControl() {
    const QRect all = parentWidget()->rect();
    setGeometry(all);
    // Only the ring itself covers the control.
    setMask(QRegion(all).subtracted(
        QRegion(all.adjusted(ringWidth, ringWidth, -ringWidth, -ringWidth))));
}

void FocusRing::paintEvent(QPaintEvent *) {
    QPainter(this).fillRect(rect(), QColor::fromRgb(colour));
}

bool isPlainEnter(const QKeyEvent &event) {
    return (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) &&
           (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace common

#include "focusring.moc"
