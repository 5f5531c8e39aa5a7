// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/filelistbox.h"

#include <QDir>
#include <QFileInfo>
#include <QScrollBar>
#include <QSet>

#include <algorithm>

namespace common {

namespace {

// Changes that come closer together than this are listed once, at the end of the pause: a folder
// of thousands of files where files come and go all the time would otherwise keep a core busy.
constexpr int relistPauseMs = 200;
// More changes at once than this and the list is made anew rather than edited row by row.
constexpr qsizetype mostEdits = 256;

} // namespace

FileListBox::FileListBox(QWidget *parent)
    : RowList(parent) {
    m_relist.setSingleShot(true);
    m_relist.setInterval(relistPauseMs);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        if (!m_relist.isActive())
            m_relist.start();
    });
    connect(&m_relist, &QTimer::timeout, this, &FileListBox::follow);
}

void FileListBox::setPath(const QString &path) {
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_relist.stop();
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

QStringList FileListBox::listing() const {
    if (m_path.isEmpty())
        return {};
    // Without QDir::CaseSensitive the name filter ignores letter case. Sorted here: QDir's own
    // sort ignoring case takes twice as long as the listing itself.
    QStringList names = QDir(m_path).entryList(QStringList{m_pattern}, QDir::Files, QDir::Unsorted);
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

void FileListBox::refresh() {
    clear();
    addItems(listing());
}

// The same directory listed again, scrolled and selected as it was: the rows of files that went
// are taken out and rows for new files put in, so the rest, the selected one among them, stay.
void FileListBox::follow() {
    const QStringList names = listing();
    const int scrolled = verticalScrollBar()->value();
    const QSet<QString> present(names.cbegin(), names.cend());
    const QString selected = fileName();
    // Taken out from under the selection, a row would hand it on to its neighbour.
    if (!selected.isEmpty() && !present.contains(selected)) {
        clearSelection();
        setCurrentRow(-1);
    }
    qsizetype edits = 0;
    for (int row = count() - 1; row >= 0 && edits <= mostEdits; --row) {
        if (!present.contains(item(row)->text())) {
            delete takeItem(row);
            ++edits;
        }
    }
    // What stays is in the order of the new listing, so the new names go in between.
    int row = 0;
    for (const QString &name : names) {
        if (edits > mostEdits)
            break;
        if (row < count() && item(row)->text() == name) {
            ++row;
            continue;
        }
        insertItem(row++, name);
        ++edits;
    }
    if (edits > mostEdits || count() != names.size() || row != count()) {
        clear();
        addItems(names);
        const QList<QListWidgetItem *> found =
            selected.isEmpty() ? QList<QListWidgetItem *>() : findItems(selected, Qt::MatchExactly);
        if (!found.isEmpty())
            setCurrentItem(found.first(), QItemSelectionModel::ClearAndSelect);
    }
    verticalScrollBar()->setValue(scrolled);
}

} // namespace common
