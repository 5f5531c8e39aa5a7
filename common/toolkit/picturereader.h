// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QImage>
#include <QString>

#include <vector>

namespace common {

// Reads a picture file for a square box. An icon file holds several images; the reader takes the
// one that suits the box, as the desktop the icons are drawn for does: the image of exactly the
// box's size, else the nearest larger one, else the nearest smaller one, the most colours first.
// Any other image file is its one image. What it returns is fitted to the box: scaled smoothly
// where needed, keeping its proportions, centred on transparency. No image larger than an icon can
// be (256 x 256) is decoded at its full size: an icon's entry that claims more is passed over,
// and any other picture file is decoded straight to that size where its format allows, or refused
// when larger than 1024 x 1024.
class PictureReader final {
public:
    // Throws common::Error naming the path and the cause when the file can't be read or holds
    // no picture.
    explicit PictureReader(const QString &path);

    // Throws common::Error when no image of the file can be shown.
    QImage read(int side);
    // The width or height of the largest image in the file, whichever is greater.
    int largestSide() const;

private:
    struct Entry {
        int index = 0;
        int width = 0;
        int height = 0;
        int bitCount = 0;
        qint64 bytes = 0;
        qint64 offset = 0;
    };

    void open();
    void readDirectory();
    std::vector<Entry> byPreference(int side) const;
    QImage decode(const Entry &entry);
    bool readOpaque(QImage &image, qint64 offset);
    void applyMask(QImage &image, qint64 offset);
    [[noreturn]] void unreadable(const QString &cause) const;
    [[noreturn]] void noPicture() const;

    QString m_path;
    QString m_shown; // the path as messages quote it
    QFile m_file;
    bool m_isIcon = false;
    std::vector<Entry> m_entries;
    QImage m_single; // the image of a file that is no icon file
    // The entry decoded last: a file with one large image serves both sizes from one decode.
    int m_decodedIndex = -1;
    QImage m_decoded;
};

} // namespace common
