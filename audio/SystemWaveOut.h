// The program's sound output: the user's sound server through libpulse when
// one answers at start, else the default output device through PortAudio
// (plain ALSA, or no device at all, whose error PortAudio reports).
// KALVO_SOUND=portaudio in the environment takes PortAudio in any case, so
// that the two paths can be measured side by side.
#pragma once

#include "audio/SidetoneOutput.h"
#include "audio/WaveOut.h"

#include <memory>

namespace kalvo {

std::unique_ptr<WaveOutDevice> MakeSystemWaveOut();
// The sidetone's stream, on the same path as the program's sound output.
std::unique_ptr<SidetoneOutput> MakeSystemSidetone();

} // namespace kalvo
