// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/rowlist.h"

#include <QFileSystemWatcher>
#include <QStringList>
#include <QTimer>

namespace common {

// The files of one directory whose names match a pattern, sorted by name. Letter case is ignored
// both in the match and in the order, so "KATT.ICO" is listed for "*.ico". A directory that is
// missing or can't be read lists nothing. Files that come into the directory or leave it appear
// or go by themselves, within a fifth of a second, however often the directory changes; the
// selected file stays selected while it is there.
class FileListBox final : public RowList {
    Q_OBJECT

public:
    explicit FileListBox(QWidget *parent = nullptr);

    QString path() const { return m_path; }
    void setPath(const QString &path);
    QString pattern() const { return m_pattern; }
    void setPattern(const QString &pattern);
    // The name of the selected file, without its directory; empty when none is selected.
    QString fileName() const;

private:
    QStringList listing() const;
    void refresh();
    void follow();

    QString m_path;
    QString m_pattern = QStringLiteral("*");
    QFileSystemWatcher m_watcher;
    QTimer m_relist; // the pause that gathers the changes of a directory into one listing
};

} // namespace common
