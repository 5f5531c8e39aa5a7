#pragma once

#include "clicktracker.h"
#include "colour.h"

#include <QWidget>

namespace common {

// A panel with a one-pixel raised bevel and a background colour; it groups other controls.
class Panel3D final : public QWidget {
    Q_OBJECT

public:
    explicit Panel3D(QWidget *parent = nullptr);

    void setBackground(ColourValue colour);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    ClickTracker m_click;
};

} // namespace common
