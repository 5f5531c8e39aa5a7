// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QListWidget>

namespace common {

// Browses directories the classic way: the folders of the path from the root down, the current
// one open, then its subfolders, each level indented. Opening an entry, by a double click or by
// Enter, makes it the path. A folder that can't be read shows no subfolders; browsing never fails.
// Hidden folders are left out, except those on the way to the folder the list started in (such as
// ~/.local on the way to ~/.local/share/tavrin), so that it can always be reached again.
// However deep the path, every entry shows its name: deep levels are indented less, and a name
// too long for the list is shortened in the middle (its tooltip holds the whole path). A ring
// shows when the list has the focus.
class DirListBox final : public QListWidget {
    Q_OBJECT

public:
    // Starts at the process's current directory.
    explicit DirListBox(QWidget *parent = nullptr);

    QString path() const { return m_path; }
    // Shows path (made absolute and clean); emits pathChanged() when it differs from the old one.
    void setPath(const QString &path);
    // The folder an entry stands for.
    QString entryPath(int row) const;

signals:
    void pathChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void open(const QModelIndex &index);
    void refresh();
    void fitIndent();

    QString m_startPath;
    QString m_path;
    int m_deepest = 0;
    int m_indentStep = 0;
};

} // namespace common
