#include "tools/textgen/PracticeTexts.h"

#include "common/TextFile.h"
#include "tools/textgen/PracticeWords.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>

namespace kalvo::textgen {

namespace {

// ---------------------------------------------------------------------------
// A fixed random sequence (SplitMix64): the files must come out the same on
// every machine, so no library distributions are used.

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) { }

    std::uint64_t Next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // 0 .. n-1
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
    int Between(int low, int high) { return low + Below(high - low + 1); }
    bool Chance(int percent) { return Below(100) < percent; }

    template <class T>
    const T& Pick(const std::vector<T>& items)
    {
        return items[static_cast<std::size_t>(Below(static_cast<int>(items.size())))];
    }

private:
    std::uint64_t state_;
};

// Deals the items of a list in a shuffled order and reshuffles when all are
// used, so a sentence comes back only after every other one has had its turn.
class Deck {
public:
    Deck(const Words& items, Random& rng) : items_(items), rng_(rng) { Shuffle(); }

    std::string Deal()
    {
        if (next_ == items_.size())
            Shuffle();
        return items_[next_++];
    }

private:
    void Shuffle()
    {
        for (std::size_t i = items_.size(); i > 1; --i)
            std::swap(items_[i - 1], items_[static_cast<std::size_t>(rng_.Below(static_cast<int>(i)))]);
        next_ = 0;
    }

    Words items_;
    Random& rng_;
    std::size_t next_ = 0;
};

std::string CallSign(Random& rng, std::string* town = nullptr)
{
    const Country& country = rng.Pick(Countries);
    std::string call = rng.Pick(country.prefixes);
    if (call.back() < '0' || call.back() > '9')
        call += static_cast<char>('0' + rng.Below(10));
    const int letters = rng.Between(call.size() >= 3 ? 2 : 1, 3);
    for (int i = 0; i < letters; ++i)
        call += static_cast<char>('A' + rng.Below(26));
    if (town)
        *town = rng.Pick(country.towns);
    return call;
}

std::string Report(Random& rng)
{
    static const Words reports = {"599", "599", "579", "589", "569", "559", "479", "449", "339", "599"};
    return rng.Pick(reports);
}

// ---------------------------------------------------------------------------
// Building a text piece by piece up to a target length.

class TextBuilder {
public:
    // With `unique`, a piece already in the text is not added again.
    explicit TextBuilder(std::size_t target, bool unique = true)
        : target_(std::min(target, MaxPracticeTextLength)), unique_(unique)
    {
    }

    bool Fits(const std::string& piece) const { return Joined(piece).size() <= target_; }

    // Adds the piece when it fits, or when the text is still empty and the
    // piece is within the hard limit.
    bool Add(const std::string& piece)
    {
        if (unique_ && std::find(pieces_.begin(), pieces_.end(), piece) != pieces_.end())
            return false;
        const std::string joined = Joined(piece);
        if (joined.size() > target_ && !(text_.empty() && joined.size() <= MaxPracticeTextLength))
            return false;
        text_ = joined;
        pieces_.push_back(piece);
        return true;
    }

    // Tries pieces from `next` until `failures` in a row no longer fit.
    void FillFrom(const std::function<std::string()>& next, int failures = 6)
    {
        int misses = 0;
        while (misses < failures) {
            const std::string piece = next();
            if (text_.empty()) {
                // The first piece should fit the target if any of a few does.
                std::string best = piece;
                for (int i = 0; i < 30 && !Fits(best); ++i) {
                    const std::string other = next();
                    if (other.size() < best.size())
                        best = other;
                }
                Add(best);
                continue;
            }
            if (Add(piece))
                misses = 0;
            else
                ++misses;
        }
    }

    std::size_t Target() const { return target_; }
    std::size_t Room() const { return target_ > text_.size() ? target_ - text_.size() : 0; }
    const std::string& Text() const { return text_; }

private:
    std::string Joined(const std::string& piece) const { return text_.empty() ? piece : text_ + " " + piece; }

    std::size_t target_;
    bool unique_;
    std::string text_;
    Words pieces_;
};

// A number with leading zeros to `width` digits: "0815".
std::string Padded(int value, std::size_t width)
{
    std::string digits = std::to_string(value);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return digits;
}

// Progress through the library: 0 at text 1, 1 at text 950.
double Progress(int n)
{
    return (n - 1) / double(PracticeTextCount - 1);
}

std::size_t TargetLength(int n, Random& rng)
{
    const double base = 16.0 + Progress(n) * 224.0;
    const double jitter = 1.0 + (rng.Below(17) - 8) / 100.0;
    return static_cast<std::size_t>(std::clamp(base * jitter, 14.0, 245.0));
}

// ---------------------------------------------------------------------------
// The kinds of text.

std::string TemplateSentence(Random& rng)
{
    std::string s = rng.Pick(Subjects) + " " + rng.Pick(Actions);
    if (rng.Chance(70))
        s += " " + rng.Pick(Places);
    if (rng.Chance(60))
        s += " " + rng.Pick(Times);
    return s + ".";
}

extern const Words PunctuationSentences;

struct Decks {
    explicit Decks(Random& rng)
        : Short(ShortSentences, rng), Medium(MediumSentences, rng), Long(LongSentences, rng),
          Punctuation(PunctuationSentences, rng)
    {
    }
    Deck Short, Medium, Long, Punctuation;
};

std::string EnglishText(int n, Random& rng, Decks& decks)
{
    TextBuilder text(TargetLength(n, rng));
    const double p = Progress(n);
    text.FillFrom([&]() -> std::string {
        const int roll = rng.Below(100);
        if (p < 0.15)
            return roll < 75 ? decks.Short.Deal() : decks.Medium.Deal();
        if (p < 0.4) {
            if (roll < 25)
                return decks.Short.Deal();
            return roll < 65 ? decks.Medium.Deal() : TemplateSentence(rng);
        }
        if (roll < 30)
            return decks.Long.Deal();
        return roll < 60 ? decks.Medium.Deal() : TemplateSentence(rng);
    });
    return text.Text();
}

std::string WordDrill(int n, Random& rng)
{
    TextBuilder text(TargetLength(n, rng), false);
    // Begin with the commonest words and widen the choice as the texts go on.
    const int reach = std::min<int>(static_cast<int>(CommonWords.size()), 30 + n / 4);
    std::string previous;
    text.FillFrom(
        [&]() {
            std::string word;
            do
                word = CommonWords[static_cast<std::size_t>(rng.Below(reach))];
            while (word == previous);
            previous = word;
            return word;
        },
        3);
    return text.Text();
}

// A radio contact as a list of parts; the header and the ending always appear.
std::string Contact(int n, Random& rng)
{
    std::string hisTown, myTown;
    const std::string his = CallSign(rng, &hisTown);
    const std::string mine = CallSign(rng, &myTown);
    const std::string name = rng.Pick(Names);
    const std::string rst = Report(rng);
    const std::size_t target = TargetLength(n, rng);

    static const Words greetings = {"GM", "GA", "GE", "HELLO"};
    std::vector<std::string> parts;
    std::string header;
    std::string ending;
    // Short texts can only hold a call; long ones get a whole exchange.
    int form = rng.Below(4);
    if (target < 30)
        form = 0;
    else if (form == 0 && target >= 80)
        form = 1 + rng.Below(3);
    if (form == 0) {
        if (target < 30) {
            header = "CQ DE " + mine;
            ending = "K";
        } else {
            header = (target >= 60 ? "QRL? " : "") + std::string("CQ CQ DE ") + mine + " " + mine;
            parts = {"CQ CQ DE " + mine + " " + mine};
            ending = "K";
        }
    } else if (form == 1) {
        // Answering a call and giving the first report.
        header = his + " DE " + mine;
        parts = {
            rng.Pick(greetings) + " OM ES TNX FER CALL =",
            "UR RST " + rst + " " + rst + " =",
            "NAME HR " + name + " " + name + " =",
            "QTH " + myTown + " " + myTown + " =",
            "RIG " + rng.Pick(Rigs) + " =",
            "ANT " + rng.Pick(Antennas) + " =",
            "WX " + rng.Pick(Weather) + " TEMP " + std::to_string(rng.Between(-9, 32)) + " C =",
            "HW CPY?",
        };
        ending = his + " DE " + mine + " KN";
    } else if (form == 2) {
        // The second half of a contact.
        header = mine + " DE " + his;
        const std::string myName = rng.Pick(Names);
        parts = {
            "R R FB " + myName + " TNX FER RPT =",
            "UR " + rst + " IN " + hisTown + " =",
            "PWR " + std::to_string(rng.Pick(std::vector<int>{5, 10, 50, 100, 400})) + " W =",
            "KEY HR IS " + rng.Pick(Keys) + " =",
            "QSB ES SOME QRM HR BUT OK =",
            "PSE QSL VIA BURO =",
            "TNX FER FB QSO ES HPE CUL =",
            "73 ES GUD DX",
        };
        ending = mine + " DE " + his + " SK";
    } else {
        // Station description and weather, sent during a long contact.
        header = his + " DE " + mine + "/" + rng.Pick(std::vector<std::string>{"P", "M", "QRP"});
        const std::string sky = rng.Pick(Weather);
        std::string wind;
        do
            wind = rng.Pick(Weather);
        while (wind == sky);
        parts = {
            "RIG IS A " + rng.Pick(Rigs) + " AT " + std::to_string(rng.Between(1, 10)) + " W =",
            "ANT IS " + rng.Pick(Antennas) + " UP " + std::to_string(rng.Between(4, 25)) + " M =",
            "WX HR " + sky + " ES " + wind + " =",
            "TEMP " + std::to_string(rng.Between(-12, 30)) + " C =",
            "QRG " + std::to_string(rng.Pick(std::vector<int>{3, 7, 10, 14})) + ".0" + Padded(rng.Between(0, 99), 2)
                + " MHZ =",
            "QSY UP " + std::to_string(rng.Between(1, 5)) + " KHZ?",
            "PSE QRS, QSB HR =",
        };
        ending = "AR " + his + " DE " + mine + " K";
    }

    TextBuilder text(target > ending.size() + 1 ? target - ending.size() - 1 : 1);
    text.Add(header);
    for (const std::string& part : parts)
        text.Add(part);
    return text.Text() + " " + ending;
}

std::string NumberDrill(int n, Random& rng)
{
    TextBuilder text(TargetLength(n, rng));
    const double p = Progress(n);
    text.FillFrom([&]() -> std::string {
        const int kind = rng.Below(p < 0.2 ? 2 : p < 0.5 ? 5 : 8);
        switch (kind) {
        case 0:
            return std::to_string(rng.Below(10));
        case 1:
            return std::to_string(rng.Between(10, 99));
        case 2: {
            std::string group;
            for (int i = 0; i < 5; ++i)
                group += static_cast<char>('0' + rng.Below(10));
            return group;
        }
        case 3:
            return std::to_string(rng.Between(100, 9999));
        case 4:
            return Padded(rng.Between(0, 23) * 100 + rng.Between(0, 59), 4) + " UTC";
        case 5:
            return std::to_string(rng.Between(1, 30)) + "." + std::to_string(rng.Between(100, 999));
        case 6:
            return std::to_string(rng.Between(1, 9)) + "/" + std::to_string(rng.Between(2, 16));
        default:
            return "-" + std::to_string(rng.Between(1, 40));
        }
    });
    return text.Text();
}

extern const Words PunctuationSentences;
const Words PunctuationSentences = {
    "Is it raining? Yes, it is.",
    "Where are you? I am here.",
    "Note: bring a pencil, a pad and the key.",
    "Two + two = four.",
    "Ten - three = seven.",
    "Half is 1/2; a quarter is 1/4.",
    "Who called? It was Tom, from York.",
    "Send slowly, please; I am still learning.",
    "Time: 0930. Place: the old hall.",
    "Did you copy that? Send it again, please.",
    "One, two, three, go.",
    "Red, green, blue: the colours of light.",
    "Twelve / four = three.",
    "The score was 3 - 1, a fine game.",
    "What is 7 + 5? It is 12.",
    "Read, write, listen, repeat.",
    "Dear Sir: thank you for your letter.",
    "Is the band open? Try 14.060, then 7.030.",
    "We met at 1500; the talk began at 1530.",
    "Yes, no, maybe: which is it?",
    "Left, right, left again; then stop.",
    "Price: 20 per box, 5 per item.",
    "Heading 270, speed 12 knots, all well.",
    "Question: how far is it? Answer: 40 km.",
    "Bring the log, the map, the lamp; we leave at six.",
    "A/B testing compares two choices.",
    "Room 4/12 is on the second floor.",
    "Silence, please: the test begins now.",
};

std::string PunctuationText(int n, Random& rng, Decks& decks)
{
    TextBuilder text(TargetLength(n, rng));
    text.FillFrom([&]() -> std::string {
        if (rng.Chance(70))
            return decks.Punctuation.Deal();
        // A sum, with its question and answer.
        const int a = rng.Between(2, 50), b = rng.Between(2, 50);
        if (rng.Chance(50))
            return "What is " + std::to_string(a) + " + " + std::to_string(b) + "? " + std::to_string(a + b) + ".";
        return std::to_string(std::max(a, b)) + " - " + std::to_string(std::min(a, b)) + " = "
            + std::to_string(std::max(a, b) - std::min(a, b)) + ".";
    });
    return text.Text();
}

// Code groups of five, from a character set that grows through the library:
// easy letters first, then all letters, digits and signs.
std::string CodeGroups(int n, Random& rng)
{
    static const std::string letters = "ETIANMSURWDKGOHVFLPJBXCYZQ";
    static const std::string digits = "0123456789";
    static const std::string signs = ".,?/=+-:;";
    const double p = Progress(n);
    // Letters come in a few at a time over the first half; digits join at a
    // third of the way, signs at two thirds, each as an occasional character.
    const int reach = std::clamp(static_cast<int>(6 + p * 45), 6, static_cast<int>(letters.size()));
    TextBuilder text(TargetLength(n, rng), false);
    text.FillFrom(
        [&]() {
            std::string group;
            for (int i = 0; i < 5; ++i) {
                const int roll = rng.Below(100);
                if (p >= 0.67 && roll < 12)
                    group += signs[static_cast<std::size_t>(rng.Below(static_cast<int>(signs.size())))];
                else if (p >= 0.33 && roll < 35)
                    group += digits[static_cast<std::size_t>(rng.Below(10))];
                else
                    group += letters[static_cast<std::size_t>(rng.Below(reach))];
            }
            return group;
        },
        2);
    return text.Text();
}

// Call signs as in a contest or a net: call, report and serial number.
std::string CallDrill(int n, Random& rng)
{
    TextBuilder text(TargetLength(n, rng));
    const double p = Progress(n);
    int serial = rng.Between(1, 300);
    text.FillFrom([&]() -> std::string {
        std::string town;
        std::string call = CallSign(rng, &town);
        if (p < 0.25)
            return call;
        const int kind = rng.Below(5);
        ++serial;
        switch (kind) {
        case 0:
            return call + " " + Report(rng) + " " + std::to_string(serial);
        case 1:
            return "QRZ? " + call;
        case 2:
            return "TU " + call + " 5NN " + std::to_string(serial);
        case 3:
            return "DE " + call + " QTH " + town;
        default:
            return call + "/" + rng.Pick(std::vector<std::string>{"P", "M", "QRP", "MM"});
        }
    });
    return text.Text();
}

// Every text must be sendable as it stands: not empty, not too long, and only
// characters with a Morse pattern, or blanks. "@" and "*" are left out on
// purpose: "@" is the dot-run sign and "*" is rarely useful in practice.
bool IsSendableText(const std::string& text)
{
    static const std::string signs = ".,?/=+-:;";
    if (text.empty() || text.size() > MaxPracticeTextLength)
        return false;
    return std::all_of(text.begin(), text.end(), [](char c) {
        return c == ' ' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
            || signs.find(c) != std::string::npos;
    });
}

} // namespace

std::vector<std::string> GeneratePracticeTexts()
{
    Random rng(0x4B616C766F2D5031ull);
    Decks decks(rng);
    std::vector<std::string> texts;
    texts.reserve(PracticeTextCount);
    for (int n = 1; n <= PracticeTextCount; ++n) {
        switch ((n - 1) % 10) {
        case 0:
        case 3:
        case 9:
            texts.push_back(EnglishText(n, rng, decks));
            break;
        case 1:
            texts.push_back(WordDrill(n, rng));
            break;
        case 2:
        case 6:
            texts.push_back(Contact(n, rng));
            break;
        case 4:
            texts.push_back(NumberDrill(n, rng));
            break;
        case 5:
            texts.push_back(PunctuationText(n, rng, decks));
            break;
        case 7:
            texts.push_back(CodeGroups(n, rng));
            break;
        default:
            texts.push_back(CallDrill(n, rng));
            break;
        }
        if (!IsSendableText(texts.back()))
            throw std::logic_error("practice text " + std::to_string(n) + " breaks the rules: " + texts.back());
    }
    return texts;
}

std::vector<std::string> PracticeFileLines(const std::vector<std::string>& texts, int fileIndex)
{
    const std::size_t first = static_cast<std::size_t>(fileIndex) * 100;
    const std::size_t last = std::min(first + 100, texts.size());
    if (first >= last)
        return {};
    return std::vector<std::string>(texts.begin() + static_cast<std::ptrdiff_t>(first),
                                    texts.begin() + static_cast<std::ptrdiff_t>(last));
}

void WritePracticeFiles(const std::string& folder)
{
    const std::vector<std::string> texts = GeneratePracticeTexts();
    for (int k = 0; k <= 9; ++k) {
        const std::string name = (std::filesystem::path(folder) / ("P" + std::to_string(k))).string();
        WriteTextLines(name, PracticeFileLines(texts, k));
    }
}

} // namespace kalvo::textgen
