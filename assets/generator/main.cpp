// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Regenerates the committed starter pictures and sounds: assetgen OUTDIR

#include "icondrawing.h"
#include "synth.h"
#include "wavwriter.h"

#include <QDir>
#include <QGuiApplication>
#include <QImageWriter>

#include <cstdio>

namespace {

bool makeFolder(const QDir &out, const QString &folder) {
    if (out.mkpath(folder)) {
        return true;
    }
    std::fprintf(stderr, "assetgen: cannot create %s\n", qPrintable(out.filePath(folder)));
    return false;
}

bool writeImages(const QDir &out, const QList<IconDrawing::IconFile> &icons, const char *format) {
    for (const IconDrawing::IconFile &icon : icons) {
        if (!makeFolder(out, icon.folder)) {
            return false;
        }
        const QString path = out.filePath(icon.folder + '/' + icon.fileName);
        QImageWriter writer(path, format);
        if (!writer.write(icon.image)) {
            std::fprintf(stderr, "assetgen: %s: %s\n", qPrintable(path),
                         qPrintable(writer.errorString()));
            return false;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: assetgen OUTDIR\n");
        return 2;
    }
    const QDir out(args.at(1));

    if (!writeImages(out, IconDrawing::allIcons(), "ico") ||
        !writeImages(out, IconDrawing::applicationIcons(), "png")) {
        return 1;
    }

    if (!makeFolder(out, "starter")) {
        return 1;
    }
    for (const Synth::Sound &sound : Synth::allSounds()) {
        const QString path = out.filePath("starter/" + sound.fileName);
        const QString error = WavWriter::write(path, sound.samples, Synth::sampleRate);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "assetgen: %s: %s\n", qPrintable(path), qPrintable(error));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}
