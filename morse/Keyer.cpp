#include "morse/Keyer.h"

namespace kalvo {

void Keyer::SetDot(bool down)
{
    // Mode A remembers a press during a dash; mode B a paddle held (see Step).
    if (down && !DotDown && Element == DashElement)
        DotMemory = true;
    DotDown = down;
}

void Keyer::SetDash(bool down)
{
    if (down && !DashDown && Element == DotElement)
        DashMemory = true;
    DashDown = down;
}

void Keyer::ReleaseAll()
{
    Straight = DotDown = DashDown = false;
    DotMemory = DashMemory = false;
}

void Keyer::Begin(Kind kind)
{
    Element = kind;
    Elapsed = 0;
    (kind == DotElement ? DotMemory : DashMemory) = false;
}

Keyer::Kind Keyer::Next() const
{
    if (Element == DotElement)
        return DashMemory || DashDown ? DashElement : DotDown ? DotElement : None;
    if (Element == DashElement)
        return DotMemory || DotDown ? DotElement : DashDown ? DashElement : None;
    return DotDown ? DotElement : DashDown ? DashElement : None;
}

bool Keyer::Step()
{
    if (FMode == Mode::Straight) {
        Element = None;
        return Straight;
    }
    if (Element != None) {
        if (FMode == Mode::IambicB) {
            DashMemory = DashMemory || (Element == DotElement && DashDown);
            DotMemory = DotMemory || (Element == DashElement && DotDown);
        }
        // The element's mark and its one dot of space are over: what follows.
        if (Elapsed >= (Element == DashElement ? 4 : 2) * DotSamples) {
            const Kind next = Next();
            if (next == None)
                Element = None;
            else
                Begin(next);
        }
    }
    if (Element == None) {
        const Kind next = Next();
        if (next == None)
            return Straight;
        Begin(next);
    }
    const bool keyed = Elapsed < (Element == DashElement ? 3 : 1) * DotSamples;
    ++Elapsed;
    return keyed || Straight;
}

} // namespace kalvo
