// The scan of which of the 26 axes answer: each letter is probed with the parameter read "#33",
// whose answer is the letter's character code.
#pragma once

#include "ui/Timer.h"

// The order in which both scans probe the letters.
inline constexpr char kProbeOrder[] = "XYZABCDEFGHIJKLMNOPQRSTUVW";

// The AxisMask bit of a letter ("A" is bit 0).
inline int AxisBit(char letter) {
    return 1 << (letter - 'A');
}

// Sends the probe twice, each followed by a wait of up to 10 ticks of `ticks` for a reply; the
// axis answers when the second reply is its character code exactly. Raises on a failed send.
bool ProbeAxis(char letter, ui::Timer& ticks);
