#include "audio/BandConditions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace kalvo {

namespace {

constexpr double Pi = std::numbers::pi;
constexpr double SnrBandwidthHz = 2500.0;
// Each part's own stream of numbers from the one seed.
std::uint64_t PartSeed(std::uint32_t seed, std::uint64_t part)
{
    return (static_cast<std::uint64_t>(seed) << 3 | part) * 0x9E3779B97F4A7C15ULL;
}

double Db(double db)
{
    return std::pow(10.0, db / 20.0);
}

const char* const Prefixes[] = {"DL", "DK", "G",  "M",  "F",  "I",  "EA", "OH", "SM", "LA", "OZ", "OK",
                                "SP", "HA", "YU", "S5", "PA", "ON", "OE", "HB", "UA", "UR", "LY", "ES",
                                "W",  "K",  "N",  "AA", "VE", "JA", "VK", "ZL", "PY", "LU", "ZS", "EA8"};
const char* const Names[] = {"JOHN", "PETER", "ANNA", "HANS", "MIKE", "JOSE", "OLE", "MARIA", "TOM", "IVAN"};
const char* const Places[] = {"BERLIN", "OSLO", "ROMA", "PARIS", "LYON", "MADRID", "TOKYO", "OHIO", "RIGA"};

} // namespace

// A second station near the signal's pitch, working its own contacts.
class SecondStation {
public:
    SecondStation(double rate, double hz, double amplitude, std::uint64_t seed,
                  const BandConditions::PatternOf& patterns)
        : Rate(rate), Amplitude(amplitude), Random(seed), Turn(std::polar(1.0, 2 * Pi * hz / rate)),
          RampStep(1.0 / (0.005 * rate))
    {
        for (int c = 0; c < 128; ++c)
            if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' || c == '?')
                Codes[static_cast<std::size_t>(c)] = patterns(static_cast<char>(c));
        Text.reserve(256);
        Events.reserve(4096);
        PlanOver();
    }

    double Next()
    {
        while (Left == 0) {
            if (Index == Events.size())
                PlanOver();
            Keyed = Events[Index].Keyed;
            Left = Events[Index++].Samples;
        }
        --Left;
        Envelope = Keyed ? std::min(1.0, Envelope + RampStep) : std::max(0.0, Envelope - RampStep);
        Phase *= Turn;
        if (++Turns == 4096) {
            Phase /= std::abs(Phase); // rounding must not let the level drift
            Turns = 0;
        }
        return Amplitude * Envelope * Phase.imag();
    }

private:
    struct Event {
        bool Keyed;
        int Samples;
    };

    std::size_t Pick(std::size_t count)
    {
        return std::min(count - 1, static_cast<std::size_t>(Random.Uniform() * double(count)));
    }
    template <std::size_t N>
    const char* Any(const char* const (&list)[N])
    {
        return list[Pick(N)];
    }

    void Call(std::string& into)
    {
        into += Any(Prefixes);
        into += static_cast<char>('0' + Pick(10));
        for (std::size_t n = 1 + Pick(3); n > 0; --n)
            into += static_cast<char>('A' + Pick(26));
    }

    void PlanOver()
    {
        Text.clear();
        std::string mine, theirs;
        mine.reserve(16);
        theirs.reserve(16);
        Call(mine);
        Call(theirs);
        switch (Pick(4)) {
        case 0:
            Text = "CQ CQ CQ DE " + mine + " " + mine + " K";
            break;
        case 1:
            Text = theirs + " DE " + mine + " TNX FER CALL UR RST 5" + std::to_string(5 + Pick(5)) + "9 NAME "
                + Any(Names) + " QTH " + Any(Places) + " HW? " + theirs + " DE " + mine + " K";
            break;
        case 2:
            Text = theirs + " DE " + mine + " R TNX FB 73 ES GL " + theirs + " DE " + mine + " SK";
            break;
        default:
            Text = "TEST " + mine + " " + mine;
            break;
        }
        const double wpm = 20.0 + 15.0 * Random.Uniform();
        const int dot = std::max(1, static_cast<int>(std::lround(1.2 / wpm * Rate)));
        Events.clear();
        Events.push_back({false, static_cast<int>((2.0 + 4.0 * Random.Uniform()) * Rate)});
        for (char c : Text) {
            if (c == ' ') {
                Events.back().Samples += 4 * dot; // a word's gap: seven dots in all
                continue;
            }
            for (char d : Codes[static_cast<std::size_t>(c)]) {
                Events.push_back({true, (d - '0') * dot});
                Events.push_back({false, dot});
            }
            Events.back().Samples += 2 * dot;
        }
        Index = 0;
    }

    double Rate;
    double Amplitude;
    GaussianSource Random;
    std::complex<double> Phase{1.0, 0.0};
    std::complex<double> Turn;
    int Turns = 0;
    double RampStep;
    double Envelope = 0.0;
    bool Keyed = false;
    std::array<std::string, 128> Codes;
    std::string Text;
    std::vector<Event> Events;
    std::size_t Index = 0;
    int Left = 0;
};

// Static crashes at random moments.
class StaticCrashes {
public:
    StaticCrashes(double rate, double perMinute, double level, std::uint64_t seed)
        : Rate(rate), MeanWait(60.0 / perMinute * rate), Level(level), Random(seed)
    {
        Wait = NextWait();
    }

    double Next()
    {
        if (Left == 0) {
            if (--Wait > 0)
                return 0.0;
            Begin();
        }
        --Left;
        const double attack = std::min(1.0, double(++Age) / (0.003 * Rate));
        Envelope *= Decay;
        double v = Random.Next();
        if (Random.Uniform() < 0.003) // a crackle
            v += Random.Uniform() < 0.5 ? -6.0 : 6.0;
        if (Left == 0)
            Wait = NextWait();
        return attack * Envelope * v;
    }

private:
    long NextWait() { return std::max(1L, std::lround(-std::log(1.0 - Random.Uniform()) * MeanWait)); }

    void Begin()
    {
        const double seconds = 0.05 + 0.95 * Random.Uniform();
        Left = std::max(1L, std::lround(seconds * Rate));
        Age = 0;
        Envelope = Level * (0.3 + 0.7 * Random.Uniform());
        Decay = std::exp(-1.0 / (seconds / 4 * Rate));
    }

    double Rate;
    double MeanWait;
    double Level;
    GaussianSource Random;
    long Wait = 0;
    long Left = 0;
    long Age = 0;
    double Envelope = 0.0;
    double Decay = 1.0;
};

BandConditions::BandConditions(const BandSettings& settings, const Signal& signal, const PatternOf& patterns)
    : Settings(settings), Sig(signal), Receiver(signal.Rate, signal.ToneHz, settings.FilterHz),
      Noise(PartSeed(settings.Seed, 0)), FadeSource(PartSeed(settings.Seed, 1))
{
    const double toneRms = std::sqrt(signal.TonePower);
    if (settings.Noise) {
        // White noise of variance s^2 has the one-sided density 2 s^2 / rate.
        const double density = signal.TonePower / (Db(settings.SnrDb) * Db(settings.SnrDb) * SnrBandwidthHz);
        NoiseSigma = std::sqrt(density * signal.Rate / 2);
    }
    if (settings.Qrm)
        Qrm = std::make_unique<SecondStation>(signal.Rate, signal.ToneHz + settings.QrmOffsetHz,
                                              std::sqrt(2.0) * toneRms * Db(settings.QrmLevelDb),
                                              PartSeed(settings.Seed, 2), patterns);
    if (settings.Qrn)
        Qrn = std::make_unique<StaticCrashes>(signal.Rate, settings.QrnPerMinute, 2.0 * toneRms,
                                              PartSeed(settings.Seed, 3));
    if (settings.Qsb != BandSettings::Fading::Off) {
        // A second-order Butterworth low-pass at the envelope's rate: its
        // spectrum's RMS width is its corner. A Rayleigh envelope falls
        // through its median 2 sqrt(pi ln 2) / 2 = 1.48 times per second per
        // hertz of that width, and 1.28 times when the ripples that a
        // listener hears as one fade (under a twentieth of the depth) count
        // once, as measured over twenty minutes.
        const double stepRate = signal.Rate / FadeStep;
        const double corner = settings.FadesPerSecond() / 1.28;
        const double k = std::tan(Pi * corner / stepRate);
        const double norm = 1.0 / (1.0 + std::sqrt(2.0) * k + k * k);
        FadeCoeff[0] = k * k * norm;
        FadeCoeff[1] = 2 * FadeCoeff[0];
        FadeCoeff[2] = FadeCoeff[0];
        FadeCoeff[3] = 2 * (k * k - 1) * norm;
        FadeCoeff[4] = (1 - std::sqrt(2.0) * k + k * k) * norm;
        // The output's variance for unit white input, from the impulse
        // response, which has died away after some ten time constants.
        double energy = 0.0;
        const long settle = std::lround(20.0 * stepRate / corner);
        double z1 = 0.0, z2 = 0.0;
        for (long n = 0; n < settle; ++n) {
            const double x = n == 0 ? 1.0 : 0.0;
            const double y = FadeCoeff[0] * x + z1;
            z1 = FadeCoeff[1] * x - FadeCoeff[3] * y + z2;
            z2 = FadeCoeff[2] * x - FadeCoeff[4] * y;
            energy += y * y;
        }
        FadeNorm = 1.0 / std::sqrt(2.0 * energy * std::log(2.0)); // the median envelope reads 1
        // Start in the middle of the weather, not from a calm.
        for (long n = 0; n < settle / 2; ++n)
            Gain = FadeTarget();
        StepFade();
    }
}

BandConditions::~BandConditions() = default;

void BandConditions::StepFade()
{
    GainStep = (FadeTarget() - Gain) / FadeStep;
    FadeLeft = FadeStep;
}

double BandConditions::FadeTarget()
{
    double power = 0.0;
    for (auto& z : FadeState) {
        const double x = FadeSource.Next();
        const double y = FadeCoeff[0] * x + z[0];
        z[0] = FadeCoeff[1] * x - FadeCoeff[3] * y + z[1];
        z[1] = FadeCoeff[2] * x - FadeCoeff[4] * y;
        power += y * y;
    }
    // Decibels about the median; +5 dB and above is the peak, -15 dB and
    // below the trough, so that peak and trough both come round every minute
    // or so and the depth heard is the depth set.
    const double db = 10.0 * std::log10(std::max(power * FadeNorm * FadeNorm, 1e-30));
    const double depth = Settings.QsbDepthDb;
    return Db(std::clamp((db - 5.0) * depth / 20.0, -depth, 0.0));
}

double BandConditions::NextFade()
{
    if (Settings.Qsb == BandSettings::Fading::Off)
        return 1.0;
    if (FadeLeft == 0)
        StepFade();
    --FadeLeft;
    Gain += GainStep;
    return Gain;
}

double BandConditions::NextBand()
{
    double v = 0.0;
    if (NoiseSigma > 0)
        v += NoiseSigma * Noise.Next();
    if (Qrm)
        v += Qrm->Next();
    if (Qrn)
        v += Qrn->Next();
    return Receiver.Next(v);
}

double BandConditions::Peak() const
{
    const double toneRms = std::sqrt(Sig.TonePower);
    // A Butterworth filter of this order passes 1.026 times its width of noise.
    const double width = 1.026 * (Receiver.HighHz() - Receiver.LowHz());
    double peak = Sig.TonePeak;
    if (NoiseSigma > 0)
        peak += 4.0 * NoiseSigma * std::sqrt(2.0 * width / Sig.Rate);
    if (Qrm)
        peak += std::sqrt(2.0) * toneRms * Db(Settings.QrmLevelDb);
    if (Qrn)
        peak += 2.0 * toneRms;
    return peak;
}

} // namespace kalvo
