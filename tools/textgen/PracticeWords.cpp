#include "tools/textgen/PracticeWords.h"

namespace kalvo::textgen {

// Plain English.

const Words ShortSentences = {
    "The sun is hot.",         "I can see the sea.", "The dog ran home.", "We like tea.",        "It is cold today.",
    "The cat sat on the mat.", "Go to bed now.",     "He has a red hat.", "She reads a book.",   "The bus is late.",
    "My pen is blue.",         "Open the door.",     "The sky is clear.", "Birds sing at dawn.", "We ate fish.",
    "The box is big.",         "It rains a lot.",    "Stop at the sign.", "The milk is cold.",   "Call me soon.",
    "Time is short.",          "The wind is up.",    "Keep it simple.",   "Snow fell at night.", "Ask and learn.",
    "The road is wet.",        "Turn on the set.",   "Mind the step.",    "The tea is ready.",   "Send it slowly.",
    "Listen to the tone.",     "Try once more.",     "Fish swim fast.",   "The lamp is on.",     "A bee hums.",
    "Rest a little.",
};

const Words MediumSentences = {
    "The river runs past the old mill.",
    "We walked along the beach at sunset.",
    "A good map makes the journey easy.",
    "The baker opens his shop at six.",
    "Practice a little every day.",
    "The train to the coast was full.",
    "Her garden is full of roses.",
    "The children played in the park.",
    "Fresh bread smells wonderful.",
    "The clock in the hall is slow.",
    "He painted the fence green.",
    "The moon rose over the hills.",
    "Our team won the final match.",
    "Please close the window quietly.",
    "The library is open until eight.",
    "Rain is expected this afternoon.",
    "The kettle is boiling on the stove.",
    "A fox crossed the road at dusk.",
    "Most birds fly south in autumn.",
    "The ship left the harbour at noon.",
    "She keeps a diary of her travels.",
    "The old bridge was built of stone.",
    "Steady rhythm is the key to good sending.",
    "Copy behind and let the words come.",
    "The signal faded and came back.",
    "A short antenna can still work well.",
    "Sound is just air that moves.",
    "Farmers rise early in the summer.",
    "The market sells fruit and fish.",
    "Light travels faster than sound.",
    "The lake froze during the night.",
    "My uncle repairs old radios.",
    "The path climbs through the forest.",
    "Good habits are hard to break.",
    "The museum has a fine collection of clocks.",
    "Thunder rolled across the valley.",
    "Every letter has its own rhythm.",
    "The postman came early today.",
};

const Words LongSentences = {
    "The first telegraph lines followed the railways, because the poles could stand beside the tracks.",
    "Operators at sea listened for hours, and a faint call could still bring help to a ship in trouble.",
    "When the band is quiet at night, signals from far away come through clearly on a simple receiver.",
    "Learning the code is like learning a tune: you hear the shape of each letter, not its dots and dashes.",
    "The old lighthouse keeper kept a log of every ship that passed, and of the weather each morning.",
    "After the storm the village gathered on the square to clear the fallen branches from the road.",
    "A mountain hut has no mains power, so the radio runs from a small battery and a solar panel.",
    "She learned to read the code at twenty words a minute by listening for a quarter of an hour a day.",
    "The wind turned to the north in the afternoon, and the boats came home before the sea grew rough.",
    "Bees find their way back to the hive by the sun, even on days when clouds hide most of the sky.",
    "The engineer checked every joint of the bridge before the first train was allowed to cross it.",
    "In the spring the meadows fill with flowers, and the farmers bring the cattle up from the valley.",
    "A simple dipole cut for the band and hung between two trees is a fine antenna for a first station.",
    "The city library keeps newspapers from the last hundred years, and anyone may come to read them.",
    "Most of what we call noise on the radio comes from storms, motors and the power lines near the house.",
    "The expedition carried a light transmitter and sent a short report home every evening at seven.",
    "Copying in your head takes practice, so start with short words and let the longer ones come later.",
    "On a clear winter night the stars seem close enough to touch, and the frost sparkles on the grass.",
    "The harbour master raised a signal flag, and the fishing boats waited outside until the tide turned.",
    "A good operator sends no faster than he can receive, and slows down at once when asked.",
};

// Simple sentences built from parts: subject, action, place and time.
const Words Subjects = {
    "The farmer",  "My sister",   "The old man",     "A small boy",        "Our neighbour", "The pilot",
    "The teacher", "His brother", "The young woman", "The captain",        "My friend",     "The doctor",
    "The postman", "Her father",  "A tall stranger", "The radio operator", "The cook",      "My aunt",
    "The student", "The driver",  "Grandmother",     "The fisherman",      "The engineer",  "The nurse",
};

const Words Actions = {
    "carried a heavy box",    "painted the front door",    "found a silver coin",    "read the morning paper",
    "fixed the broken radio", "planted three apple trees", "built a wooden boat",    "walked the dog",
    "baked fresh bread",      "wrote a long letter",       "sent a short message",   "lost the keys",
    "caught a large fish",    "sang an old song",          "tuned the receiver",     "counted the sheep",
    "cleaned the windows",    "bought a new bicycle",      "climbed the steep hill", "mended the old net",
    "lit a small fire",       "drew a map of the coast",   "heard a faint signal",   "opened the post",
    "waited for the bus",     "picked ripe plums",         "strung a long wire",     "fed the chickens",
    "swept the yard",         "checked the weather",
};

const Words Places = {
    "in the garden",       "near the river",          "at the station", "on the hill",    "by the sea",
    "in the kitchen",      "behind the barn",         "at the harbour", "in the village", "on the roof",
    "near the old church", "in the workshop",         "at the market",  "by the lake",    "in the attic",
    "on the bridge",       "at the edge of the wood", "in the shack",
};

const Words Times = {
    "yesterday",        "last week",    "early in the morning", "after dinner",        "on Sunday",
    "before the storm", "at midnight",  "in the spring",        "every Friday",        "this morning",
    "late last night",  "two days ago", "at first light",       "during the holidays",
};

// ---------------------------------------------------------------------------
// The most common English words, commonest first.

const Words CommonWords = {
    "the",    "of",        "and",      "to",    "a",       "in",     "is",     "you",     "that",    "it",
    "he",     "was",       "for",      "on",    "are",     "as",     "with",   "his",     "they",    "I",
    "at",     "be",        "this",     "have",  "from",    "or",     "one",    "had",     "by",      "word",
    "but",    "not",       "what",     "all",   "were",    "we",     "when",   "your",    "can",     "said",
    "there",  "use",       "an",       "each",  "which",   "she",    "do",     "how",     "their",   "if",
    "will",   "up",        "other",    "about", "out",     "many",   "then",   "them",    "these",   "so",
    "some",   "her",       "would",    "make",  "like",    "him",    "into",   "time",    "has",     "look",
    "two",    "more",      "write",    "go",    "see",     "number", "no",     "way",     "could",   "people",
    "my",     "than",      "first",    "water", "been",    "call",   "who",    "oil",     "its",     "now",
    "find",   "long",      "down",     "day",   "did",     "get",    "come",   "made",    "may",     "part",
    "over",   "new",       "sound",    "take",  "only",    "little", "work",   "know",    "place",   "year",
    "live",   "me",        "back",     "give",  "most",    "very",   "after",  "thing",   "our",     "just",
    "name",   "good",      "sentence", "man",   "think",   "say",    "great",  "where",   "help",    "through",
    "much",   "before",    "line",     "right", "too",     "mean",   "old",    "any",     "same",    "tell",
    "boy",    "follow",    "came",     "want",  "show",    "also",   "around", "form",    "three",   "small",
    "set",    "put",       "end",      "does",  "another", "well",   "large",  "must",    "big",     "even",
    "such",   "because",   "turn",     "here",  "why",     "ask",    "went",   "men",     "read",    "need",
    "land",   "different", "home",     "us",    "move",    "try",    "kind",   "hand",    "picture", "again",
    "change", "off",       "play",     "spell", "air",     "away",   "animal", "house",   "point",   "page",
    "letter", "mother",    "answer",   "found", "study",   "still",  "learn",  "should",  "world",   "high",
    "every",  "near",      "add",      "food",  "between", "own",    "below",  "country", "plant",   "last",
    "school", "father",    "keep",     "tree",  "never",   "start",  "city",   "earth",   "eye",
};

// ---------------------------------------------------------------------------
// Amateur radio: invented call signs, names, places, stations and weather.

const std::vector<Country> Countries = {
    {{"W", "K", "N", "AA", "KB", "WB"},
     {"BOSTON", "DENVER", "DALLAS", "OHIO", "MAINE", "SEATTLE", "TUCSON", "ATLANTA"}},
    {{"G", "M", "2E"}, {"LONDON", "LEEDS", "BRISTOL", "YORK", "DOVER", "BATH"}},
    {{"DL", "DK", "DJ"}, {"BERLIN", "MUNICH", "HAMBURG", "BONN", "KIEL"}},
    {{"F"}, {"PARIS", "LYON", "NANTES", "BREST"}},
    {{"I", "IK"}, {"ROME", "MILAN", "TURIN", "GENOA"}},
    {{"EA"}, {"MADRID", "BILBAO", "VALENCIA"}},
    {{"VE", "VA"}, {"TORONTO", "OTTAWA", "HALIFAX"}},
    {{"JA", "JH"}, {"TOKYO", "OSAKA", "SAPPORO"}},
    {{"VK"}, {"SYDNEY", "PERTH", "HOBART"}},
    {{"ZL"}, {"AUCKLAND", "NELSON"}},
    {{"PA", "PD"}, {"UTRECHT", "DELFT", "LEIDEN"}},
    {{"ON"}, {"GHENT", "NAMUR"}},
    {{"OH"}, {"HELSINKI", "OULU"}},
    {{"SM"}, {"UPPSALA", "MALMO"}},
    {{"LA"}, {"BERGEN", "TROMSO"}},
    {{"OZ"}, {"AARHUS", "ODENSE"}},
    {{"SP"}, {"KRAKOW", "GDANSK"}},
    {{"OK"}, {"BRNO", "PLZEN"}},
    {{"HB9"}, {"BERN", "BASEL"}},
    {{"OE"}, {"VIENNA", "GRAZ"}},
    {{"EI"}, {"CORK", "GALWAY"}},
};

const Words Names = {
    "BOB",  "ANN",  "JIM",  "SUE",  "TOM",  "LIZ",  "KEN",  "PAT",  "RAY",  "DON",  "EVA", "HANS",
    "PIET", "OLE",  "JAN",  "MARC", "LUCA", "ANNA", "PETE", "JOHN", "MIKE", "NICK", "SAM", "ERIK",
    "KARL", "PAUL", "JOSE", "YUKI", "MAX",  "ROSE", "BILL", "DAVE", "TED",  "LARS",
};

const Words Rigs = {
    "HOMEBREW TRANSCEIVER", "SMALL KIT RIG",        "OLD TUBE TRANSMITTER", "SIMPLE DIRECT CONVERSION RX",
    "PORTABLE QRP RIG",     "100 WATT TRANSCEIVER", "TWO TRANSISTOR TX",    "HOME MADE RIG",
};

const Words Antennas = {
    "DIPOLE", "VERTICAL",   "END FED WIRE", "3 ELEMENT YAGI", "LONG WIRE",
    "LOOP",   "INVERTED V", "GROUND PLANE", "MAGNETIC LOOP",  "DELTA LOOP",
};

const Words Weather = {
    "SUNNY",    "CLOUDY",  "RAIN", "SNOW", "FOG",  "WINDY",  "CLEAR",
    "OVERCAST", "SHOWERS", "HOT",  "COLD", "MILD", "STORMY", "FINE",
};

const Words Keys = {"STRAIGHT KEY", "BUG", "PADDLE ES KEYER", "COOTIE KEY", "OLD NAVY KEY"};

} // namespace kalvo::textgen
