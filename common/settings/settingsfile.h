// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace common {

// The settings file on disk. Both throw common::Error with a Swedish message that names the
// file's full path and the cause.

// The file's bytes, up to the first megabyte: the record is tiny.
QByteArray readSettingsBytes(const QString &path);

// Makes bytes the file's content. An existing file is rewritten in place, so it keeps its owner,
// group, permissions and inode: hard links stay one file, a symbolic link keeps pointing at it,
// the other users of a shared folder keep their rights, and a read-only folder is no obstacle.
// A save that fails puts the old bytes back. A missing file is created, through a dangling
// symbolic link at the link's target.
void saveSettingsBytes(const QString &path, const QByteArray &bytes);

} // namespace common
