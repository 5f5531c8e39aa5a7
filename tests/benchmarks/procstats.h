// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

// Figures of a running process, read from /proc.

// Peak resident set size (VmHWM) in KiB.
std::optional<long> peakResidentKiB(long pid);
// CPU time used so far, user and system together, over all threads, in milliseconds.
std::optional<double> cpuTimeMs(long pid);
// The same from the scheduler's nanosecond accounts, summed over the threads alive now.
std::optional<double> preciseCpuTimeMs(long pid);
