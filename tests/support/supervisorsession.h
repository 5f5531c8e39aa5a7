// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/exercisesettings.h"
#include "supervisor/form1.h"
#include "support/recordingservices.h"

#include <QListWidget>
#include <QTemporaryDir>

#include <memory>

inline const QString iniName = QStringLiteral("tavrin.ini");

QList<common::PictureRef> ninePictures(const QString &directory);

// The bytes of a settings file as the writer lays them out.
QByteArray iniBytes(const QList<int> &numbers, const QList<common::PictureRef> &pictures);

QStringList rows(const QListWidget &list);
int rowOf(const QListWidget &list, const QString &text);

// One run of the program in a folder of its own, which is the current directory meanwhile.
class Session final {
public:
    Session();
    ~Session();

    QString folder() const { return m_folder; }
    QString path(const QString &name) const { return m_folder + u'/' + name; }
    QByteArray ini() const;
    void writeIni(const QByteArray &bytes) const;
    // Writes real icons, each in a colour of its own.
    void writeIcons(const QString &subfolder, const QStringList &names) const;

    // Nine real pictures bild1.ico to bild9.ico in subfolder.
    QList<common::PictureRef> writePictures(const QString &subfolder) const;

    // Starts the window as the program does; returns false when the start failed.
    bool start();

    void openFolder(const QString &path) { form->Dir1->setPath(path); }
    void clickFile(const QString &name);
    void doubleClickFile(const QString &name);
    void save();

    RecordingServices recorded;
    std::unique_ptr<supervisor::Form1> form;

private:
    QTemporaryDir m_dir;
    QString m_folder;
    QString m_previous;
};
