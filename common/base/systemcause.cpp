// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/systemcause.h"

#include <cerrno>

namespace common {

QString systemCause(int error) {
    switch (error) {
    case ENOENT:
        return QStringLiteral("den finns inte");
    case EACCES:
    case EPERM:
        return QStringLiteral("behörighet saknas");
    case EISDIR:
        return QStringLiteral("där finns en mapp med det namnet");
    case ENOTDIR:
        return QStringLiteral("en del av sökvägen är ingen mapp");
    case ENOSPC:
        return QStringLiteral("disken är full");
    case EDQUOT:
        return QStringLiteral("diskkvoten är slut");
    case EFBIG:
        return QStringLiteral("gränsen för hur stora filer som får skrivas är nådd");
    case EIO:
        return QStringLiteral("disken kunde inte läsas eller skrivas (in- och utmatningsfel)");
    case EROFS:
        return QStringLiteral("filsystemet är skrivskyddat");
    case ELOOP:
        return QStringLiteral("för många symboliska länkar i rad");
    case ENAMETOOLONG:
        return QStringLiteral("sökvägen är för lång");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("för många filer är öppna");
    case ENOMEM:
        return QStringLiteral("minnet räcker inte");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("filen används av något annat");
    case ESTALE:
        return QStringLiteral("filen på nätverksdisken finns inte längre");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("enheten finns inte");
    case EAGAIN:
        return QStringLiteral("filen är låst av ett annat program");
    default:
        return QStringLiteral("oväntat systemfel nummer %1").arg(error);
    }
}

} // namespace common
