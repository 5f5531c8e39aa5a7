// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/filelistbox.h"

#include <QDir>
#include <QFileInfo>
#include <QScrollBar>

namespace common {

FileListBox::FileListBox(QWidget *parent)
    : RowList(parent) {
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FileListBox::follow);
}

void FileListBox::setPath(const QString &path) {
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_path = path;
    if (QFileInfo(m_path).isDir())
        m_watcher.addPath(m_path);
    refresh();
}

void FileListBox::setPattern(const QString &pattern) {
    m_pattern = pattern;
    refresh();
}

QString FileListBox::fileName() const {
    const int row = selectedRow();
    return row < 0 ? QString() : item(row)->text();
}

void FileListBox::refresh() {
    clear();
    if (m_path.isEmpty())
        return;
    const QDir dir(m_path);
    // Without QDir::CaseSensitive the name filter ignores letter case.
    addItems(dir.entryList(QStringList{m_pattern}, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

// The same directory listed again, scrolled and selected as it was.
void FileListBox::follow() {
    const QString selected = fileName();
    const int scrolled = verticalScrollBar()->value();
    refresh();
    const QList<QListWidgetItem *> found =
        selected.isEmpty() ? QList<QListWidgetItem *>() : findItems(selected, Qt::MatchExactly);
    if (!found.isEmpty())
        setCurrentItem(found.first(), QItemSelectionModel::ClearAndSelect);
    verticalScrollBar()->setValue(scrolled);
}

} // namespace common
