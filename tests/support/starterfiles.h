// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// What a new folder starts with, from assets/starter: the palette's nine pictures in palette
// order, then the intro, the praise and the horn.
inline const QStringList starterPictures{
    QStringLiteral("hjarta.ico"), QStringLiteral("appel.ico"),     QStringLiteral("flagga.ico"),
    QStringLiteral("cykel.ico"),  QStringLiteral("jordglob.ico"),  QStringLiteral("klocka.ico"),
    QStringLiteral("nyckel.ico"), QStringLiteral("snoflinga.ico"), QStringLiteral("flygplan.ico")};
inline const QStringList starterSounds{QStringLiteral("xmusic.wav"), QStringLiteral("wow.wav"),
                                       QStringLiteral("horn.wav")};
