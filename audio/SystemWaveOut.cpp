#include "audio/SystemWaveOut.h"

#include "audio/PortAudioWaveOut.h"
#include "audio/PulseWaveOut.h"

#include <cstdlib>
#include <string_view>

namespace kalvo {

std::unique_ptr<WaveOutDevice> MakeSystemWaveOut()
{
    const char* chosen = std::getenv("KALVO_SOUND");
    if ((chosen == nullptr || std::string_view(chosen) != "portaudio") && PulseWaveOut::ServerAnswers())
        return std::make_unique<PulseWaveOut>();
    return std::make_unique<PortAudioWaveOut>();
}

} // namespace kalvo
