#include "audio/SystemWaveOut.h"

#include "audio/PortAudioWaveOut.h"
#include "audio/PulseWaveOut.h"

#include <cstdlib>
#include <string_view>

namespace kalvo {

namespace {

bool ToServer()
{
    const char* chosen = std::getenv("KALVO_SOUND");
    return (chosen == nullptr || std::string_view(chosen) != "portaudio") && PulseWaveOut::ServerAnswers();
}

} // namespace

std::unique_ptr<WaveOutDevice> MakeSystemWaveOut()
{
    if (ToServer())
        return std::make_unique<PulseWaveOut>();
    return std::make_unique<PortAudioWaveOut>();
}

std::unique_ptr<SidetoneOutput> MakeSystemSidetone()
{
    return ToServer() ? MakePulseSidetone() : MakePortAudioSidetone();
}

} // namespace kalvo
