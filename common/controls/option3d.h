// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRadioButton>

namespace common {

// An option button; the option buttons of one panel form a group in which one is selected, and
// the selected one is the group's single tab stop (the arrow keys move within the group). A
// caption font too large for the button is shrunk until the caption fits, so it stays readable.
// Space, Return and Enter select it; a focus ring shows the focus once the keyboard is in use.
class Option3D final : public QRadioButton {
    Q_OBJECT

public:
    explicit Option3D(const QString &caption, QWidget *parent = nullptr);

    QFont captionFont() const { return m_captionFont; }
    void setCaptionFont(const QFont &font);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void fitCaption();
    void becomeTabStop();

    QFont m_captionFont;
};

} // namespace common
