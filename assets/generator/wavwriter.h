// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <vector>

namespace WavWriter {

// Writes mono 16-bit PCM RIFF/WAVE. Returns an empty string on success, else the reason.
QString write(const QString &path, const std::vector<float> &samples, int sampleRate);

} // namespace WavWriter
