// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Synth {
namespace {

struct Note {
    double start = 0.0;  // seconds
    double length = 0.0; // seconds until release
    double frequency = 0.0;
    double gain = 1.0;
    double decay = 0.6; // seconds for the ring to fall to 1/e
};

struct Timbre {
    std::vector<double> harmonics{1.0};
    double attack = 0.01;
    double release = 0.06;
};

double noteFrequency(int midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

void addNote(std::vector<float> &out, const Note &note, const Timbre &timbre) {
    const auto first = static_cast<std::size_t>(note.start * sampleRate);
    const double total = note.length + timbre.release;
    const auto count = static_cast<std::size_t>(total * sampleRate);
    for (std::size_t i = 0; i < count && first + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        double envelope = std::exp(-t / note.decay);
        if (t < timbre.attack) {
            envelope *= t / timbre.attack;
        }
        if (t > note.length) {
            envelope *= 1.0 - (t - note.length) / timbre.release;
        }
        double value = 0.0;
        for (std::size_t h = 0; h < timbre.harmonics.size(); ++h) {
            const double f = note.frequency * static_cast<double>(h + 1);
            if (f < sampleRate / 2.0) {
                value += timbre.harmonics[h] * std::sin(2.0 * std::numbers::pi * f * t);
            }
        }
        out[first + i] += static_cast<float>(note.gain * envelope * value);
    }
}

// Scales to the wanted peak and ramps both ends so playback never starts or stops with a click.
void finish(std::vector<float> &samples, double peak) {
    const auto loudest = std::ranges::max(samples, {}, [](float s) { return std::fabs(s); });
    if (loudest != 0.0f) {
        const double scale = peak / std::fabs(loudest);
        for (float &s : samples) {
            s = static_cast<float>(s * scale);
        }
    }
    const auto ramp = [&samples](std::size_t length, auto &&indexOf) {
        length = std::min(length, samples.size());
        for (std::size_t i = 0; i < length; ++i) {
            samples[indexOf(i)] *= static_cast<float>(i) / static_cast<float>(length);
        }
    };
    ramp(static_cast<std::size_t>(0.008 * sampleRate), [](std::size_t i) { return i; });
    ramp(static_cast<std::size_t>(0.04 * sampleRate),
         [&samples](std::size_t i) { return samples.size() - 1 - i; });
}

std::vector<float> silence(double seconds) {
    return std::vector<float>(static_cast<std::size_t>(seconds * sampleRate), 0.0f);
}

// Roughly -6 dBFS: clear on laptop speakers, never loud for a child.
constexpr double normalPeak = 0.5;

std::vector<float> introTune() {
    std::vector<float> out = silence(3.0);
    const Timbre bell{{1.0, 0.3, 0.12, 0.05}, 0.008, 0.08};
    const Timbre soft{{1.0, 0.2}, 0.03, 0.1};
    // C major: up the triad, a little turn, home to the high C.
    const int melody[] = {72, 76, 79, 84, 81, 77, 74, 79};
    const double beat = 0.25;
    for (int i = 0; i < 8; ++i) {
        addNote(out, {i * beat, beat * 0.9, noteFrequency(melody[i]), 1.0, 0.5}, bell);
    }
    addNote(out, {8 * beat, 0.75, noteFrequency(84), 1.0, 0.7}, bell);
    addNote(out, {8 * beat, 0.75, noteFrequency(76), 0.5, 0.7}, bell);
    const struct {
        double start;
        double length;
        int note;
    } bass[] = {{0.0, 0.95, 48}, {1.0, 0.45, 53}, {1.5, 0.45, 55}, {2.0, 0.75, 48}};
    for (const auto &b : bass) {
        addNote(out, {b.start, b.length, noteFrequency(b.note), 0.45, 1.2}, soft);
    }
    finish(out, normalPeak);
    return out;
}

std::vector<float> praise() {
    std::vector<float> out = silence(1.0);
    const Timbre bell{{1.0, 0.25, 0.08}, 0.005, 0.1};
    const int arpeggio[] = {72, 76, 79, 84, 88, 91};
    for (int i = 0; i < 6; ++i) {
        const double start = i * 0.07;
        addNote(out, {start, 0.85 - start, noteFrequency(arpeggio[i]), 0.8, 0.35}, bell);
    }
    // Short high pings on top make it sparkle.
    const Timbre ping{{1.0}, 0.002, 0.03};
    const int sparkles[] = {96, 100, 103, 98, 108};
    for (int i = 0; i < 5; ++i) {
        addNote(out, {0.42 + i * 0.08, 0.12, noteFrequency(sparkles[i]), 0.3, 0.06}, ping);
    }
    finish(out, normalPeak);
    return out;
}

std::vector<float> tryAgain() {
    std::vector<float> out = silence(0.5);
    // Rounded tone: a few quiet overtones so small speakers still carry the low notes.
    const Timbre hum{{1.0, 0.45, 0.2, 0.08}, 0.03, 0.06};
    addNote(out, {0.0, 0.18, noteFrequency(55), 1.0, 0.8}, hum);
    addNote(out, {0.22, 0.2, noteFrequency(50), 1.0, 0.8}, hum);
    finish(out, 0.25); // quieter than the praise: no scolding
    return out;
}

} // namespace

std::vector<Sound> allSounds() {
    std::vector<Sound> sounds;
    sounds.push_back({"xmusic.wav", introTune()});
    sounds.push_back({"wow.wav", praise()});
    sounds.push_back({"horn.wav", tryAgain()});
    return sounds;
}

} // namespace Synth
