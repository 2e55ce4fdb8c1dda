#include "trainer/CallDrill.h"

#include "common/TextFile.h"

#include <algorithm>
#include <cctype>

namespace kalvo {

namespace {

std::string Upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// Prefixes of call areas round the world, the busy ones more than once.
const char* const Prefixes[] = {
    "K",  "K",  "W",  "W",  "N",  "AA", "AB", "AC", "AD", "AE", "AF", "AG", "AI", "AJ", "AK", "KA", "KB", "KC",
    "KD", "KE", "KF", "KG", "KI", "KJ", "KK", "KN", "VE", "VA", "G",  "G",  "M",  "2E", "GM", "GW", "MM", "MW",
    "DL", "DL", "DK", "DJ", "DF", "DG", "DH", "DB", "F",  "F",  "I",  "IK", "IZ", "EA", "EA", "JA", "JA", "JH",
    "JR", "JE", "JF", "UA", "RA", "RW", "RV", "R",  "UR", "UT", "SP", "SQ", "OK", "OL", "OM", "PA", "PD", "ON",
    "HB", "OE", "SM", "SA", "LA", "OH", "OZ", "PY", "LU", "VK", "ZL", "ZS", "HA", "9A", "S5", "YU", "YO", "LZ",
    "SV", "CT", "EI", "LY", "YL", "ES", "EW", "BY", "HL", "VU", "4X", "XE", "CE", "YV", "CO", "TA", "4Z", "DS",
};
const char* const Portable[] = {"EA8/", "F/", "DL/", "I/", "OH0/"};

} // namespace

DrillRun::DrillRun(std::vector<std::string> items, int startWpm, int ceilingWpm)
    : Items(std::move(items)), Speed(std::clamp(startWpm, MinWpm, ceilingWpm)), Ceiling(ceilingWpm), Top(Speed)
{
}

bool DrillRun::Repeat()
{
    if (Done() || Repeated)
        return false;
    Repeated = true;
    return true;
}

const DrillRun::Result& DrillRun::Answer(const std::string& typed)
{
    Result r;
    r.Item = Upper(Current());
    r.Typed = Upper(Trimmed(typed));
    r.Wpm = Speed;
    r.Right = r.Typed == r.Item;
    r.Repeated = Repeated;
    for (std::size_t i = 0; i < r.Item.size(); ++i)
        if (i >= r.Typed.size() || r.Typed[i] != r.Item[i])
            ++Missed[r.Item[i]];
    if (r.Right) {
        r.Score = double(Speed) * double(r.Item.size()) / (Repeated ? 2.0 : 1.0);
        Total += r.Score;
        Speed = std::min(Speed + 1, Ceiling);
    } else {
        Speed = std::max(Speed - 1, MinWpm);
    }
    Top = std::max(Top, Speed);
    Repeated = false;
    Results.push_back(r);
    return Results.back();
}

std::string MakeCall(RandomGenerator& random)
{
    const auto pick = [&random](std::size_t n) { return std::min(n - 1, std::size_t(random.Random() * double(n))); };
    std::string call = Prefixes[pick(std::size(Prefixes))];
    call += static_cast<char>('0' + pick(10)); // the call area, after a prefix's own digit too (S51AB)
    for (std::size_t n = 1 + pick(3); n > 0; --n)
        call += static_cast<char>('A' + pick(26));
    const double odd = random.Random();
    if (odd < 0.04)
        call += "/P";
    else if (odd < 0.07)
        call = Portable[pick(std::size(Portable))] + call;
    return call;
}

const std::vector<std::string>& DrillWords()
{
    static const std::vector<std::string> words = {
        // Abbreviations and Q codes heard on the air.
        "CQ",
        "DE",
        "K",
        "KN",
        "SK",
        "AR",
        "BK",
        "R",
        "TU",
        "TNX",
        "FB",
        "OM",
        "YL",
        "ES",
        "UR",
        "RST",
        "NAME",
        "QTH",
        "HW",
        "CPY",
        "RIG",
        "ANT",
        "PWR",
        "WX",
        "HR",
        "GM",
        "GA",
        "GE",
        "73",
        "88",
        "599",
        "5NN",
        "TEST",
        "AGN",
        "PSE",
        "RPT",
        "QRL",
        "QRM",
        "QRN",
        "QRO",
        "QRP",
        "QRQ",
        "QRS",
        "QRT",
        "QRU",
        "QRV",
        "QRX",
        "QRZ",
        "QSB",
        "QSL",
        "QSO",
        "QSY",
        "GL",
        "CUL",
        "DX",
        "NR",
        "ABT",
        "BCNU",
        "FER",
        "HI",
        "OP",
        "SRI",
        "VY",
        "WKD",
        // The most common English words.
        "THE",
        "BE",
        "TO",
        "OF",
        "AND",
        "A",
        "IN",
        "THAT",
        "HAVE",
        "I",
        "IT",
        "FOR",
        "NOT",
        "ON",
        "WITH",
        "HE",
        "AS",
        "YOU",
        "DO",
        "AT",
        "THIS",
        "BUT",
        "HIS",
        "BY",
        "FROM",
        "THEY",
        "WE",
        "SAY",
        "HER",
        "SHE",
        "OR",
        "AN",
        "WILL",
        "MY",
        "ONE",
        "ALL",
        "WOULD",
        "THERE",
        "THEIR",
        "WHAT",
        "SO",
        "UP",
        "OUT",
        "IF",
        "ABOUT",
        "WHO",
        "GET",
        "WHICH",
        "GO",
        "ME",
        "WHEN",
        "MAKE",
        "CAN",
        "LIKE",
        "TIME",
        "NO",
        "JUST",
        "HIM",
        "KNOW",
        "TAKE",
        "PEOPLE",
        "INTO",
        "YEAR",
        "YOUR",
        "GOOD",
        "SOME",
        "COULD",
        "THEM",
        "SEE",
        "OTHER",
        "THAN",
        "THEN",
        "NOW",
        "LOOK",
        "ONLY",
        "COME",
        "ITS",
        "OVER",
        "THINK",
        "ALSO",
        "BACK",
        "AFTER",
        "USE",
        "TWO",
        "HOW",
        "OUR",
        "WORK",
        "FIRST",
        "WELL",
        "WAY",
        "EVEN",
        "NEW",
        "WANT",
        "BECAUSE",
        "ANY",
        "THESE",
        "GIVE",
        "DAY",
        "MOST",
        "US",
        "IS",
        "WAS",
        "ARE",
        "BEEN",
        "HAS",
        "HAD",
        "WERE",
        "SAID",
        "DID",
        "MANY",
        "MORE",
        "VERY",
        "MUCH",
        "BEFORE",
        "RIGHT",
        "DOWN",
        "HERE",
        "WHERE",
        "MAN",
        "OLD",
        "LONG",
        "LITTLE",
        "GREAT",
        "HOME",
        "HAND",
        "PART",
        "PLACE",
        "WEATHER",
        "POWER",
        "RADIO",
        "SIGNAL",
        "CALL",
        "NICE",
        "HOPE",
        "AGAIN",
        "BEST",
        "SUN",
        "RAIN",
        "COLD",
        "WARM",
        "WIND",
        "FIND",
        "TELL",
        "ASK",
        "SEEM",
        "FEEL",
        "TRY",
        "LEAVE",
        "PUT",
        "MEAN",
        "KEEP",
        "LET",
        "BEGIN",
        "HELP",
        "TALK",
        "TURN",
        "START",
        "SHOW",
        "HEAR",
        "PLAY",
        "RUN",
        "MOVE",
        "LIVE",
        "BELIEVE",
        "HOLD",
        "BRING",
        "WRITE",
        "STAND",
        "LOSE",
        "PAY",
        "MEET",
        "INCLUDE",
        "SET",
        "LEARN",
        "CHANGE",
        "LEAD",
        "UNDERSTAND",
        "WATCH",
        "FOLLOW",
        "STOP",
        "SPEAK",
        "READ",
        "SPEND",
        "GROW",
        "OPEN",
        "WALK",
        "WIN",
        "OFFER",
        "REMEMBER",
        "LOVE",
        "CONSIDER",
        "APPEAR",
        "BUY",
        "WAIT",
        "SERVE",
        "SEND",
        "EXPECT",
        "BUILD",
        "STAY",
        "FALL",
        "CUT",
        "REACH",
        "KILL",
        "REMAIN",
        "THING",
        "WORLD",
        "LIFE",
        "CHILD",
        "WOMAN",
        "CASE",
        "WEEK",
        "COMPANY",
        "SYSTEM",
        "PROGRAM",
        "QUESTION",
        "GOVERNMENT",
        "NUMBER",
        "NIGHT",
        "POINT",
        "WATER",
        "ROOM",
        "MOTHER",
        "AREA",
        "MONEY",
        "STORY",
        "FACT",
        "MONTH",
        "LOT",
        "STUDY",
        "BOOK",
        "EYE",
        "JOB",
        "WORD",
        "BUSINESS",
        "ISSUE",
        "SIDE",
        "KIND",
        "HEAD",
        "HOUSE",
        "SERVICE",
        "FRIEND",
        "FATHER",
        "HOUR",
        "GAME",
        "LINE",
        "END",
        "MEMBER",
        "LAW",
        "CAR",
        "CITY",
        "TEAM",
        "MINUTE",
        "IDEA",
        "BODY",
        "INFORMATION",
        "FACE",
        "LEVEL",
        "OFFICE",
        "DOOR",
        "HEALTH",
        "PERSON",
        "ART",
        "WAR",
        "HISTORY",
        "PARTY",
        "RESULT",
        "MORNING",
        "REASON",
        "RESEARCH",
        "GIRL",
        "GUY",
        "MOMENT",
        "AIR",
        "TEACHER",
        "FORCE",
        "EDUCATION",
        "SMALL",
        "LARGE",
        "NEXT",
        "EARLY",
        "YOUNG",
        "IMPORTANT",
        "FEW",
        "PUBLIC",
        "BAD",
        "SAME",
        "ABLE",
        "LAST",
        "OWN",
        "HIGH",
        "DIFFERENT",
        "BIG",
        "LOW",
        "SURE",
        "FREE",
        "TRUE",
        "FULL",
        "CLOSE",
        "HARD",
        "REAL",
        "ALWAYS",
        "NEVER",
        "OFTEN",
        "SOON",
        "TODAY",
        "TONIGHT",
        "TOMORROW",
        "STILL",
        "AROUND",
        "THROUGH",
        "BETWEEN",
        "UNDER",
        "AGAINST",
        "WITHOUT",
        "DURING",
        "WHILE",
        "ALTHOUGH",
        "UNTIL",
        "ENOUGH",
        "ALMOST",
        "QUITE",
        "TOO",
        "SOMETHING",
        "NOTHING",
        "EVERYTHING",
        "SOMEONE",
        "EVERYONE",
    };
    return words;
}

DrillList ParseDrillList(const std::string& text, const std::function<bool(char)>& codable)
{
    for (unsigned char c : text)
        if (c == 0 || (c < 32 && c != '\r' && c != '\n' && c != '\t'))
            throw EDrillList("The list is not text: it holds control characters.");
    DrillList list;
    std::vector<std::size_t> tooLong, uncodable;
    const std::vector<std::string> lines = SplitLines(text);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string item = Upper(Trimmed(lines[n]));
        if (item.empty())
            continue;
        if (item.size() > MaxItemLength)
            tooLong.push_back(n + 1);
        else if (!std::all_of(item.begin(), item.end(), [&](char c) { return codable(c); }))
            uncodable.push_back(n + 1);
        else
            list.Items.push_back(item);
    }
    const auto name = [](const std::vector<std::size_t>& numbers) {
        std::string text = numbers.size() == 1 ? "Line " : "Lines ";
        for (std::size_t i = 0; i < numbers.size() && i < 10; ++i)
            text += (i ? ", " : "") + std::to_string(numbers[i]);
        return text + (numbers.size() > 10 ? " and " + std::to_string(numbers.size() - 10) + " more" : "");
    };
    if (!tooLong.empty())
        list.Message += name(tooLong) + " left out: longer than 32 characters. ";
    if (!uncodable.empty())
        list.Message += name(uncodable) + " left out: characters Morse has no code for. ";
    if (!list.Message.empty())
        list.Message.pop_back();
    if (list.Items.empty())
        throw EDrillList("The list holds no item to drill." + (list.Message.empty() ? "" : " " + list.Message));
    return list;
}

} // namespace kalvo
