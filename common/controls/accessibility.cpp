// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/accessibility.h"

#include "controls/clickablewidget.h"
#include "controls/gauge.h"
#include "controls/vscrollbar.h"

#include <QAccessibleWidget>
#include <QScrollBar>

#include <algorithm>

namespace common {

namespace {

class AccessibleClickable final : public QAccessibleWidget {
public:
    explicit AccessibleClickable(ClickableWidget *control)
        : QAccessibleWidget(control, control->accessibleRole()) {}

    QAccessible::Role role() const override { return control()->accessibleRole(); }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        const QAccessible::Role kind = role();
        if (kind == QAccessible::RadioButton || kind == QAccessible::CheckBox) {
            state.checkable = true;
            state.checked = control()->isChecked();
        }
        return state;
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (pressable())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString &actionName) override {
        if (actionName == pressAction() && pressable())
            control()->click();
        else
            QAccessibleWidget::doAction(actionName);
    }

private:
    ClickableWidget *control() const { return static_cast<ClickableWidget *>(widget()); }
    // Only the controls the keyboard can reach are meant to be pressed; the others are pictures
    // and panels that merely pass a click on.
    bool pressable() const {
        return control()->focusPolicy() != Qt::NoFocus && control()->isEnabled();
    }
};

class AccessibleGauge final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleGauge(Gauge *gauge)
        : QAccessibleWidget(gauge, QAccessible::ProgressBar) {}

    void *interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return QStringLiteral("%1 av %2").arg(gauge()->value()).arg(gauge()->maximum());
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return int(gauge()->value()); }
    void setCurrentValue(const QVariant &) override {} // the gauge only shows
    QVariant maximumValue() const override { return int(gauge()->maximum()); }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    Gauge *gauge() const { return static_cast<Gauge *>(widget()); }
};

// The bar inside a value bar, which has the focus: it runs mirrored, so its own value is not the
// number shown. It is named by the value bar around it.
class AccessibleValueBar final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    AccessibleValueBar(QScrollBar *bar, VScrollBar *valueBar)
        : QAccessibleWidget(bar, QAccessible::Slider)
        , m_valueBar(valueBar) {}

    void *interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return m_valueBar->accessibleName();
        case QAccessible::Description:
            return m_valueBar->accessibleDescription();
        case QAccessible::Value:
            return QString::number(m_valueBar->value());
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QVariant currentValue() const override { return int(m_valueBar->value()); }
    void setCurrentValue(const QVariant &value) override {
        const int wanted =
            std::clamp(value.toInt(), int(m_valueBar->minimum()), int(m_valueBar->maximum()));
        m_valueBar->setValue(Int16(wanted));
    }
    QVariant maximumValue() const override { return int(m_valueBar->maximum()); }
    QVariant minimumValue() const override { return int(m_valueBar->minimum()); }
    QVariant minimumStepSize() const override { return bar()->singleStep(); }

    QStringList actionNames() const override {
        return QStringList{increaseAction(), decreaseAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &actionName) override {
        // The bar's minimum is at the top, where the shown number is largest.
        if (actionName == increaseAction())
            bar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        else if (actionName == decreaseAction())
            bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        else
            QAccessibleWidget::doAction(actionName);
    }

private:
    QScrollBar *bar() const { return static_cast<QScrollBar *>(widget()); }

    VScrollBar *m_valueBar;
};

// A main window is a plain widget of its own class; left alone, a screen reader takes it for a
// pane.
class AccessibleWindow final : public QAccessibleWidget {
public:
    explicit AccessibleWindow(QWidget *window)
        : QAccessibleWidget(window, QAccessible::Window) {}
};

QAccessibleInterface *makeInterface(const QString &, QObject *object) {
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    if (auto *clickable = qobject_cast<ClickableWidget *>(widget))
        return new AccessibleClickable(clickable);
    if (auto *gauge = qobject_cast<Gauge *>(widget))
        return new AccessibleGauge(gauge);
    if (auto *bar = qobject_cast<QScrollBar *>(widget))
        if (auto *valueBar = qobject_cast<VScrollBar *>(bar->parentWidget()))
            return new AccessibleValueBar(bar, valueBar);
    if (widget->isWindow() && widget->metaObject()->superClass() == &QWidget::staticMetaObject)
        return new AccessibleWindow(widget);
    return nullptr;
}

} // namespace

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(makeInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace common
