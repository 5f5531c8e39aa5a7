// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace common {

// The settings file on disk. Both throw common::Error with a Swedish message that names the
// file's full path and the cause. Loads and saves by any number of our programs at once take
// turns on an advisory lock, shared by loads and exclusive for a save, so a load reads one whole
// record and two saves never mix; either waits up to ten seconds for the other.

// The file's bytes, up to the first megabyte: the record is tiny.
QByteArray readSettingsBytes(const QString &path);

// Makes bytes the file's content. An existing file is rewritten in place, so it keeps its owner,
// group, permissions and inode: hard links stay one file, a symbolic link keeps pointing at it,
// the other users of a shared folder keep their rights, and a read-only folder is no obstacle.
// A save that fails puts the old bytes back. It reads of the old file only what a load reads,
// the first megabyte: an old file larger than that is cut to the new record like any other, and
// should the save fail after cutting it, the first megabyte is put back and the message says the
// rest is gone. A missing file is created whole or not at all, through a dangling symbolic link
// at the link's target. Bytes longer than a load reads are refused.
void saveSettingsBytes(const QString &path, const QByteArray &bytes);

} // namespace common
