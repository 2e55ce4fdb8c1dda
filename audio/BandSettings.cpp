#include "audio/BandSettings.h"

#include "common/Convert.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace kalvo {

namespace {

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string OutOfRange(const char* what, double value, double low, double high, const char* unit)
{
    return std::string(what) + " " + Number(value) + unit + " is out of range: it must lie from " + Number(low) + " to "
        + Number(high) + unit + ".";
}

bool Within(double value, double low, double high)
{
    return std::isfinite(value) && value >= low && value <= high;
}

bool OnOff(const std::string& key, const std::string& value)
{
    if (value == "on")
        return true;
    if (value == "off")
        return false;
    throw EBandSettings("'" + key + "=" + value + "' is not a valid band condition: use on or off.");
}

double Decimal(const std::string& key, const std::string& value)
{
    try {
        return StrToFloat(value);
    } catch (const EKalvoError&) {
        throw EBandSettings("'" + key + "=" + value + "' is not a valid band condition: the value is not a number.");
    }
}

} // namespace

const char* FadingName(BandSettings::Fading fading)
{
    switch (fading) {
    case BandSettings::Fading::Slow:
        return "slow";
    case BandSettings::Fading::Fast:
        return "fast";
    case BandSettings::Fading::Off:
        break;
    }
    return "off";
}

std::optional<BandSettings::Fading> FadingFromName(const std::string& name)
{
    for (auto fading : {BandSettings::Fading::Off, BandSettings::Fading::Slow, BandSettings::Fading::Fast})
        if (name == FadingName(fading))
            return fading;
    return std::nullopt;
}

double BandSettings::FadesPerSecond() const
{
    return Qsb == Fading::Slow ? SlowFadesPerSecond : Qsb == Fading::Fast ? FastFadesPerSecond : 0.0;
}

std::optional<std::string> BandSettings::Invalid() const
{
    if (!Within(SnrDb, MinSnrDb, MaxSnrDb))
        return OutOfRange("The signal-to-noise ratio", SnrDb, MinSnrDb, MaxSnrDb, " dB");
    if (std::find(Filters.begin(), Filters.end(), FilterHz) == Filters.end())
        return "The receiver filter " + std::to_string(FilterHz)
            + " Hz is not offered: choose 250, 500, 1000 or 2700 Hz.";
    if (!Within(QsbDepthDb, MinDepthDb, MaxDepthDb))
        return OutOfRange("The fading depth", QsbDepthDb, MinDepthDb, MaxDepthDb, " dB");
    if (!Within(std::abs(QrmOffsetHz), MinOffsetHz, MaxOffsetHz))
        return "The second station's offset " + Number(QrmOffsetHz) + " Hz is out of range: it must lie from "
            + Number(MinOffsetHz) + " to " + Number(MaxOffsetHz) + " Hz above or below the tone.";
    if (!Within(QrmLevelDb, MinLevelDb, MaxLevelDb))
        return OutOfRange("The second station's level", QrmLevelDb, MinLevelDb, MaxLevelDb, " dB");
    if (!Within(QrnPerMinute, MinCrashes, MaxCrashes))
        return OutOfRange("The static's rate", QrnPerMinute, MinCrashes, MaxCrashes, " crashes a minute");
    if (Seed > MaxSeed)
        return "The seed " + std::to_string(Seed) + " is out of range: it must lie from 0 to 2147483647.";
    return std::nullopt;
}

std::string BandSettings::ToLine() const
{
    auto onOff = [](bool on) { return on ? "on" : "off"; };
    return std::string("noise=") + onOff(Noise) + " snr=" + Number(SnrDb) + " filter=" + std::to_string(FilterHz)
        + " qsb=" + FadingName(Qsb) + " depth=" + Number(QsbDepthDb) + " qrm=" + onOff(Qrm)
        + " offset=" + Number(QrmOffsetHz) + " level=" + Number(QrmLevelDb) + " qrn=" + onOff(Qrn)
        + " rate=" + Number(QrnPerMinute) + " seed=" + std::to_string(Seed);
}

BandSettings BandSettings::FromLine(const std::string& line)
{
    BandSettings s;
    std::istringstream words(line);
    std::string word;
    while (words >> word) {
        const auto equals = word.find('=');
        const std::string key = word.substr(0, equals);
        const std::string value = equals == std::string::npos ? std::string() : word.substr(equals + 1);
        if (key == "noise") {
            s.Noise = OnOff(key, value);
        } else if (key == "snr") {
            s.SnrDb = Decimal(key, value);
        } else if (key == "filter") {
            const double hz = Decimal(key, value);
            s.FilterHz = std::find(Filters.begin(), Filters.end(), hz) != Filters.end() ? static_cast<int>(hz) : 0;
            if (s.FilterHz == 0)
                throw EBandSettings("The receiver filter " + value
                                    + " Hz is not offered: choose 250, 500, 1000 or 2700 Hz.");
        } else if (key == "qsb") {
            const auto fading = FadingFromName(value);
            if (!fading)
                throw EBandSettings("'" + word + "' is not a valid band condition: use off, slow or fast.");
            s.Qsb = *fading;
        } else if (key == "depth") {
            s.QsbDepthDb = Decimal(key, value);
        } else if (key == "qrm") {
            s.Qrm = OnOff(key, value);
        } else if (key == "offset") {
            s.QrmOffsetHz = Decimal(key, value);
        } else if (key == "level") {
            s.QrmLevelDb = Decimal(key, value);
        } else if (key == "qrn") {
            s.Qrn = OnOff(key, value);
        } else if (key == "rate") {
            s.QrnPerMinute = Decimal(key, value);
        } else if (key == "seed") {
            const double seed = Decimal(key, value);
            if (!Within(seed, 0, MaxSeed) || seed != std::floor(seed))
                throw EBandSettings("The seed " + value
                                    + " is out of range: it must be a whole number from 0 to "
                                      "2147483647.");
            s.Seed = static_cast<std::uint32_t>(seed);
        } else {
            throw EBandSettings("'" + word + "' is not a band condition.");
        }
    }
    if (const auto message = s.Invalid())
        throw EBandSettings(*message);
    return s;
}

} // namespace kalvo
