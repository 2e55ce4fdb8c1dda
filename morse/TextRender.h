// RenderText: sends a text as Morse code into a sound file instead of the
// sound card, through the same sender, timing model, tone synthesis and
// sound-output component as the window (8000 samples per second, 16-bit mono,
// buffers of 4000 samples). The file holds exactly the samples the window
// would play, the silence that pads the last buffer included, encoded in the
// chosen format (see SoundFileWaveOut), with band noise or band conditions
// (File.Band, at the job's tone) when asked for. A WAV
// file without noise holds the samples unchanged after the canonical 44-byte
// header of 16-bit mono PCM.
//
// Nothing here touches a window: the window runs it on a thread of its own.
// The file is first written under a temporary name in the target folder and
// renamed at the end, so a failed or cancelled render leaves no partial file
// and an existing file of that name is replaced only by a whole new one.
// With Answers, the file holds each item with its spoken answer; an empty
// text, a voice that is missing or fails, throws before any file is kept.
// Progress is reported about every buffer as the share of the text sent so
// far (0 to 1); when the report returns false, the render stops and throws
// ERenderCancelled. Other failures throw with a message naming the file.
// Returns the number of samples written (at 8000 per second, before encoding).
#pragma once

#include "audio/SoundFileWaveOut.h"
#include "audio/ToneSynth.h"
#include "common/Errors.h"
#include "morse/TimingModel.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kalvo {

class ERenderCancelled : public EKalvoError {
public:
    using EKalvoError::EKalvoError;
};

// A practice file with spoken answers: for every item of the text (a word,
// a call, a group; one per line or separated by spaces) its Morse, a pause,
// a voice saying it (see SpokenForm), a pause, the Morse again at RepeatDb
// and a longer pause. Pauses in seconds, 0 to 60.
struct AnswerLayout {
    double AfterMorse = 1.0;
    double AfterVoice = 1.0;
    double AfterRepeat = 2.0;
    bool Repeat = true;
    double RepeatDb = -6.0;
    std::string Voice = "en";
    int VoiceWpm = 160;
};

struct RenderJob {
    std::string Text; // 8-bit, CR LF line breaks
    TimingModel Timing; // speeds, frequency and compression, already set
    std::array<double, ToneSynth::TableSize> Wavetable = StartupWavetable();
    RiseFallTime RiseFall;
    FileOptions File; // TonePower and TonePeak are filled in from the table
    std::optional<AnswerLayout> Answers; // a file with spoken answers

    static std::array<double, ToneSynth::TableSize> StartupWavetable();
};

// The keyed tone's mean square and peak, in sample units, as the sender plays
// a wavetable: what band noise and the other conditions are measured against.
struct ToneLevel {
    double Power = 0.0;
    double Peak = 0.0;
};
ToneLevel KeyedToneLevel(const std::array<double, ToneSynth::TableSize>& wavetable, double amplitude);

std::uint64_t RenderText(const RenderJob& job, const std::string& path,
                         const std::function<bool(double)>& progress = {});

} // namespace kalvo
