// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the picture reader as the file of an icon. It must either give a
// picture of the size asked for or throw common::Error, and never take more than an icon's worth
// of memory: the fuzzer's limit on one allocation catches a reader that believes a claimed size.
#include "base/error.h"
#include "toolkit/picturereader.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    // A file in memory, reached by a path as the programs reach theirs.
    const int fd = memfd_create("bild.ico", MFD_CLOEXEC);
    if (fd < 0)
        std::abort();
    for (std::size_t written = 0; written < size;) {
        const ssize_t n = ::write(fd, data + written, size - written);
        if (n <= 0)
            std::abort();
        written += std::size_t(n);
    }
    const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);
    try {
        common::PictureReader reader(path);
        if (reader.largestSide() > 256)
            std::abort();
        for (const int side : {32, 64}) {
            const QImage image = reader.read(side);
            if (image.width() != side || image.height() != side)
                std::abort();
        }
    } catch (const common::Error &) {
    }
    ::close(fd);
    return 0;
}
