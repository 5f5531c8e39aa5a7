// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/supervisorsession.h"

#include "support/listclicks.h"
#include "support/testfiles.h"

#include <QDir>
#include <QTest>

QList<common::PictureRef> ninePictures(const QString &directory) {
    QList<common::PictureRef> pictures;
    for (int i = 1; i <= 9; ++i)
        pictures.append({QStringLiteral("bild%1.ico").arg(i), directory});
    return pictures;
}

QByteArray iniBytes(const QList<int> &numbers, const QList<common::PictureRef> &pictures) {
    QByteArray bytes;
    for (const int number : numbers)
        bytes += QByteArray::number(number) + "\r\n";
    for (const common::PictureRef &picture : pictures)
        bytes +=
            '"' + picture.fileName.toUtf8() + "\"\r\n\"" + picture.directory.toUtf8() + "\"\r\n";
    return bytes;
}

QStringList rows(const QListWidget &list) {
    QStringList texts;
    for (int row = 0; row < list.count(); ++row)
        texts << list.item(row)->text();
    return texts;
}

int rowOf(const QListWidget &list, const QString &text) {
    return int(rows(list).indexOf(text));
}

Session::Session()
    : m_folder(QDir(m_dir.path()).canonicalPath())
    , m_previous(QDir::currentPath()) {
    QDir::setCurrent(m_folder);
}

Session::~Session() {
    form.reset();
    QDir::setCurrent(m_previous);
}

QByteArray Session::ini() const {
    return readTestFile(path(iniName));
}

void Session::writeIni(const QByteArray &bytes) const {
    writeTestFile(path(iniName), bytes);
}

void Session::writeIcons(const QString &subfolder, const QStringList &names) const {
    QDir().mkpath(path(subfolder));
    int hue = 0;
    for (const QString &name : names) {
        writeTestIcon(path(subfolder) + u'/' + name, QColor::fromHsv(hue, 255, 255));
        hue = (hue + 37) % 360;
    }
}

QList<common::PictureRef> Session::writePictures(const QString &subfolder) const {
    const QList<common::PictureRef> pictures = ninePictures(path(subfolder));
    QStringList names;
    for (const common::PictureRef &picture : pictures)
        names << picture.fileName;
    writeIcons(subfolder, names);
    return pictures;
}

bool Session::start() {
    form = std::make_unique<supervisor::Form1>(recorded.services());
    return form->start() && QTest::qWaitForWindowExposed(form.get());
}

void Session::clickFile(const QString &name) {
    clickRow(*form->File1, rowOf(*form->File1, name));
}

void Session::doubleClickFile(const QString &name) {
    doubleClickRow(*form->File1, rowOf(*form->File1, name));
}

void Session::save() {
    QTest::mouseClick(form->Command3D2, Qt::LeftButton);
}
