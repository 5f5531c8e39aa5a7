// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/recordingservices.h"

#include <QMessageBox>

void RecordingMessageBox::warning(const QString &text) {
    warnings << text;
    block(QMessageBox::Warning, text);
}

void RecordingMessageBox::information(const QString &text) {
    notices << text;
    block(QMessageBox::Information, text);
}

void RecordingMessageBox::block(int icon, const QString &text) {
    if (!modal)
        return;
    QMessageBox box(QMessageBox::Icon(icon), QString(), text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    // Posted behind what is queued already.
    QMetaObject::invokeMethod(&box, &QDialog::accept, Qt::QueuedConnection);
    box.exec();
}

common::Services RecordingServices::services() {
    return common::Services{sound, random, messages, end, errors};
}
