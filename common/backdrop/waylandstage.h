// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

class QFrame;
class QLabel;

namespace common {

// The backdrop and the window in one full-screen surface, for Wayland. A compositor there
// decides where a window goes and what comes in front of what, and some (weston) lower a
// full-screen window below the panel as soon as its own dialog is active. So the stage draws
// the black screen, centres the window on it and gives it a caption bar of its own, and the
// compositor only ever sees one full-screen window: the panel stays covered, nothing can come
// between, and the window is active whenever the program is. A dialog, such as a message box,
// shows on the stage too, over the window, under a caption of its own; the window waits for it.
class WaylandStage final : public QWidget {
    Q_OBJECT

public:
    WaylandStage();

    // Takes window in, centred, under a caption bar with its icon and title, minimise, maximise
    // and close. Maximised, the window fills the stage below the caption bar, its controls where
    // they were.
    void hold(QWidget &window);
    // Gives the window back as a top-level window of its own, hidden.
    void release();
    QWidget *front() const { return m_front; }
    // The height of the caption bar over the window: all the frame the stage gives it.
    int captionHeight() const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setMaximised(bool maximised);
    void placeFrame();
    void embedDialog(QWidget &dialog);
    void dialogShown(QWidget &dialog);
    void dialogHidden(QWidget &dialog);
    void placeDialog();
    void paintCaptionBar();
    void showTitleOf(const QWidget &window);
    void closeFront();

    QPointer<QWidget> m_front;
    QWidget *m_frame = nullptr;
    QWidget *m_captionBar = nullptr;
    QLabel *m_icon = nullptr;
    QLabel *m_caption = nullptr;
    class MaximiseButton;
    MaximiseButton *m_maximise = nullptr;
    QSize m_normalSize;
    bool m_maximised = false;
    QPointer<QWidget> m_dialog;
    QFrame *m_dialogFrame = nullptr;
    QLabel *m_dialogCaption = nullptr;
};

} // namespace common
