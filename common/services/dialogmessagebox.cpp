// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/dialogmessagebox.h"

#include <QApplication>
#include <QMessageBox>

namespace common {

namespace {

void show(QMessageBox::Icon icon, const QString &text) {
    QMessageBox box(icon, QString(), text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

} // namespace

void DialogMessageBox::warning(const QString &text) {
    show(QMessageBox::Warning, text);
}

void DialogMessageBox::information(const QString &text) {
    show(QMessageBox::Information, text);
}

} // namespace common
