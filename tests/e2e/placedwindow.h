// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMargins>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QStringList>

#include <optional>

// What a program prints on its standard output, given ten seconds.
inline QString commandOutput(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The place and size of a window as `xwininfo -id` describes it.
inline QRect describedGeometry(const QString &info) {
    const auto value = [&info](const char *label) {
        return QRegularExpression(QString::fromLatin1(label) + QStringLiteral(":\\s+(-?\\d+)"))
            .match(info)
            .captured(1)
            .toInt();
    };
    return QRect(value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"),
                 value("Height"));
}

// A window on another desktop than the tests' own: where xdotool finds it by its title, its client
// area, and the frame the window manager put around it.
struct PlacedWindow {
    QRect client;
    QMargins frame;
};

// The window titled title on the X display DISPLAY names, once it is viewable with its frame told.
inline std::optional<PlacedWindow> placedWindow(const QString &title) {
    const QString id = commandOutput(QStringLiteral("xdotool"),
                                     {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                      QStringLiteral("--name"), u'^' + title + u'$'})
                           .section(u'\n', 0, 0);
    const QString info = commandOutput(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
    const QStringList extents =
        commandOutput(QStringLiteral("xprop"),
                      {QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS")})
            .section(u'=', 1)
            .split(u',');
    if (id.isEmpty() || extents.size() != 4 || !info.contains(QStringLiteral("IsViewable")))
        return std::nullopt;
    return PlacedWindow{describedGeometry(info), QMargins(extents[0].toInt(), extents[2].toInt(),
                                                          extents[1].toInt(), extents[3].toInt())};
}
