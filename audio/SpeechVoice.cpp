#include "audio/SpeechVoice.h"

#include <espeak-ng/speak_lib.h>
#include <samplerate.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <mutex>

namespace kalvo {

namespace {

std::mutex& Lock()
{
    static std::mutex lock;
    return lock;
}

// The synthesiser's own rate once it is set up, or 0 when it cannot be.
int NativeRate()
{
    static const int rate = [] {
        const int r = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
        return r > 0 ? r : 0;
    }();
    return rate;
}

int Collect(short* samples, int count, espeak_EVENT* events)
{
    if (samples != nullptr && count > 0 && events != nullptr && events->user_data != nullptr)
        static_cast<std::vector<short>*>(events->user_data)
            ->insert(static_cast<std::vector<short>*>(events->user_data)->end(), samples, samples + count);
    return 0; // go on
}

const char* const DigitNames[] = {"zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine"};

const char* SignName(char c)
{
    switch (c) {
    case '/':
        return "slash";
    case '?':
        return "question mark";
    case '.':
        return "full stop";
    case ',':
        return "comma";
    case '=':
        return "equals";
    case '+':
        return "plus";
    case '-':
        return "hyphen";
    case '(':
        return "bracket";
    case ')':
        return "close bracket";
    case ':':
        return "colon";
    case '\'':
        return "apostrophe";
    case '"':
        return "quote";
    case '@':
        return "at";
    case '!':
        return "exclamation mark";
    case ';':
        return "semicolon";
    case '&':
        return "and";
    default:
        return nullptr;
    }
}

} // namespace

std::vector<SpeechVoice::Voice> SpeechVoice::Voices()
{
    std::lock_guard guard(Lock());
    std::vector<Voice> voices;
    if (NativeRate() == 0)
        return voices;
    const espeak_VOICE** list = espeak_ListVoices(nullptr);
    for (; list != nullptr && *list != nullptr; ++list) {
        const espeak_VOICE& v = **list;
        // languages: a priority byte, then the name, for each language.
        const std::string language = v.languages != nullptr && v.languages[0] ? v.languages + 1 : "";
        voices.push_back({v.identifier ? v.identifier : "", language});
    }
    return voices;
}

SpeechVoice::SpeechVoice(std::string voice, int wpm) : FVoice(std::move(voice)), FWpm(wpm)
{
    if (wpm < MinWpm || wpm > MaxWpm)
        throw ESpeech("The speech rate " + std::to_string(wpm) + " words a minute is out of range: it must lie from "
                      + std::to_string(MinWpm) + " to " + std::to_string(MaxWpm) + ".");
    std::lock_guard guard(Lock());
    if (NativeRate() == 0)
        throw ESpeech("No voice can speak: eSpeak NG found no voice data (install espeak-ng-data).");
    if (espeak_SetVoiceByName(FVoice.c_str()) != EE_OK)
        throw ESpeech("The voice \"" + FVoice + "\" is not installed.");
}

std::vector<std::int16_t> SpeechVoice::Say(const std::string& text, int rate) const
{
    std::vector<short> native;
    int nativeRate = 0;
    {
        std::lock_guard guard(Lock());
        nativeRate = NativeRate();
        if (nativeRate == 0 || espeak_SetVoiceByName(FVoice.c_str()) != EE_OK)
            throw ESpeech("The voice \"" + FVoice + "\" failed: eSpeak NG could not load it.");
        espeak_SetSynthCallback(Collect);
        espeak_SetParameter(espeakRATE, FWpm, 0);
        if (espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_AUTO, nullptr, &native)
            != EE_OK)
            throw ESpeech("The voice \"" + FVoice + "\" failed to speak \"" + text + "\".");
        espeak_Synchronize();
    }
    // The synthesiser's silence before and after the words.
    constexpr short Quiet = 64;
    const auto loud = [](short v) { return std::abs(int(v)) >= Quiet; };
    const auto first = std::find_if(native.begin(), native.end(), loud);
    const auto last = std::find_if(native.rbegin(), native.rend(), loud).base();
    if (first >= last)
        return {};
    std::vector<float> in(first, last);
    for (float& v : in)
        v /= 32768.0f;
    const double ratio = double(rate) / nativeRate;
    std::vector<float> out(static_cast<std::size_t>(std::ceil(double(in.size()) * ratio)) + 16);
    SRC_DATA data{};
    data.data_in = in.data();
    data.input_frames = static_cast<long>(in.size());
    data.data_out = out.data();
    data.output_frames = static_cast<long>(out.size());
    data.src_ratio = ratio;
    if (const int error = src_simple(&data, SRC_SINC_FASTEST, 1); error != 0)
        throw ESpeech(std::string("The voice could not be resampled: ") + src_strerror(error) + ".");
    std::vector<std::int16_t> samples(static_cast<std::size_t>(data.output_frames_gen));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(std::clamp(std::lround(out[i] * 32768.0f), -32768L, 32767L));
    return samples;
}

std::string SpokenForm(const std::string& item)
{
    const bool letters = std::all_of(item.begin(), item.end(), [](unsigned char c) { return std::isalpha(c); });
    const bool vowel = item.find_first_of("aeiouyAEIOUY") != std::string::npos;
    if (letters && item.size() >= 2 && vowel) {
        std::string word;
        for (unsigned char c : item)
            word += static_cast<char>(std::tolower(c));
        return word;
    }
    std::string spoken;
    for (unsigned char c : item) {
        std::string part;
        if (std::isalpha(c))
            part = std::string(1, static_cast<char>(std::toupper(c)));
        else if (std::isdigit(c))
            part = DigitNames[c - '0'];
        else if (const char* name = SignName(static_cast<char>(c)))
            part = name;
        if (part.empty())
            continue;
        spoken += (spoken.empty() ? "" : " ") + part;
    }
    return spoken;
}

} // namespace kalvo
