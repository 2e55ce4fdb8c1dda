// SpeechVoice: a voice rendered into samples by eSpeak NG through its library,
// synthesised into memory with the library's synchronous callback (nothing
// is played and no sound server is asked), and resampled with libsamplerate
// to the rate the caller plays at. eSpeak NG keeps one state per process, so
// every use takes one lock.
//
//  - Voices(): the installed voices (their file names, as SetVoiceByName
//    takes them, and languages); empty when eSpeak NG finds no voice data.
//  - SpeechVoice(voice, wpm): throws ESpeech with a message for the user when
//    eSpeak NG or its data is missing, the voice is not installed, or the
//    speed lies outside MinWpm to MaxWpm.
//  - Say(text, rate): the text spoken at `rate`, the silence the synthesiser
//    puts around it taken off; empty when the voice says nothing (a text it
//    cannot say).
#pragma once

#include "common/Errors.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kalvo {

class ESpeech : public EKalvoError {
public:
    using EKalvoError::EKalvoError;
};

class SpeechVoice {
public:
    struct Voice {
        std::string Name;
        std::string Language;
    };
    static std::vector<Voice> Voices();

    static constexpr int MinWpm = 80, MaxWpm = 450, DefaultWpm = 160;
    static constexpr const char* DefaultVoice = "en";

    explicit SpeechVoice(std::string voice = DefaultVoice, int wpm = DefaultWpm);

    std::vector<std::int16_t> Say(const std::string& text, int rate) const;
    const std::string& Name() const { return FVoice; }

private:
    std::string FVoice;
    int FWpm;
};

// What the voice is given for an item of a practice text: a word as the word
// ("name"); anything else spelled, letters as letters ("K M"), digits by
// their names ("five nine nine") and signs by theirs ("slash", "question
// mark"). A word is two letters or more with a vowel among them; a character
// without a spoken name is left out.
std::string SpokenForm(const std::string& item);

} // namespace kalvo
