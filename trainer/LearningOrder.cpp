#include "trainer/LearningOrder.h"

#include "common/Convert.h"
#include "trainer/Trainer.h"

#include <algorithm>

namespace kalvo {

const std::vector<LearningOrder>& KnownOrders()
{
    static const std::vector<LearningOrder> orders = {
        // The program's own order.
        {"Kalvo", Trainer::DefaultLessonOrder},
        // Koch's method as LCWO (lcwo.net) teaches it in its 40 lessons; its "=" left out.
        {"Koch (LCWO)", "kmuresnaptlwi.jzfoy,vg5/q92h38b?47c1d60x"},
        // Koch's method as the Morserino-32 keyer teaches it by default,
        // known as the G4FON order.
        {"Koch (G4FON)", "mkrsuaptlowi.njef0yv,g5/q9zh38b?427c1d6x"},
        // The Long Island CW Club's Beginner Courses 1 and 2, BC1 then BC2;
        // their prosigns left out. The courses never teach ",", which comes last.
        {"LICW",
         "reatinpsglcdhofuwb"
         "kmy59qxv73?16.zj/2840"
         ","},
        // CW Academy (CWops) Beginner course, session by session; prosigns left out.
        {"CW Academy",
         "aent"
         "sio14"
         "rhdl25"
         "cu"
         "mw36?"
         "fy,"
         "gpq79/"
         "bv"
         "jk08"
         "xz."},
    };
    return orders;
}

const std::string& TrainerCharacters()
{
    static const std::string characters = Trainer::DefaultLessonOrder;
    return characters;
}

namespace {

std::string Quoted(char c)
{
    return std::string("\"") + UpCase(c) + "\"";
}

} // namespace

std::string ParseCustomSet(const std::string& text)
{
    std::string set;
    for (char typed : text) {
        if (typed == ' ' || typed == '\t')
            continue;
        const char c = LowCase(typed);
        if (TrainerCharacters().find(c) == std::string::npos)
            throw ELearningOrder("The character " + Quoted(typed)
                                 + " is not one of the trainer's 40 characters (letters, digits and . , ? /).");
        if (set.find(c) != std::string::npos)
            throw ELearningOrder("The character " + Quoted(c) + " is given twice.");
        set += c;
    }
    if (set.empty())
        throw ELearningOrder("Type the characters of the custom set, in the order you learn them.");
    return set;
}

bool IsLearningOrder(const std::string& stored)
{
    if (stored.empty() || stored.size() > TrainerCharacters().size())
        return false;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (TrainerCharacters().find(stored[i]) == std::string::npos || stored.find(stored[i]) != i)
            return false;
    }
    return true;
}

std::string OrderName(const std::string& characters)
{
    for (const LearningOrder& order : KnownOrders())
        if (characters == order.Characters)
            return order.Name;
    std::string shown;
    std::transform(characters.begin(), characters.end(), std::back_inserter(shown), UpCase);
    return "Custom set (" + shown + ")";
}

} // namespace kalvo
