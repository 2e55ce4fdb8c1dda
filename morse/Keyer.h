// Keyer: turns the learner's keys into the keyed tone, one sample at a time.
//
// Straight: the tone follows the straight key. Iambic A and B: the dot and
// dash paddles key whole elements at the keyer's dot length (a dot 1 dot, a
// dash 3 dots, each followed by 1 dot of space); a squeeze (both paddles)
// alternates dots and dashes, the dot first when both close together. While
// an element and its space run, the keyer remembers the other paddle for the
// element that follows:
//  - mode A remembers a press of the other paddle during the element;
//  - mode B remembers the other paddle being held at any time during the
//    element, so releasing a squeeze gives one more element, the other kind.
// After the space the keyer sends the remembered element, else the other
// paddle's element while it is held (alternation), else the same element
// again while its paddle is held, else it stops. The straight key keys the
// tone in every mode, so a learner may use both.
// Step reads the keys as last set, so keys take effect at the next sample.
#pragma once

namespace kalvo {

class Keyer {
public:
    enum class Mode { Straight, IambicA, IambicB };

    void SetMode(Mode mode) { FMode = mode; }
    Mode GetMode() const { return FMode; }
    // The dot length in samples (at least 1).
    void SetDotSamples(long samples) { DotSamples = samples < 1 ? 1 : samples; }
    long GetDotSamples() const { return DotSamples; }

    void SetStraight(bool down) { Straight = down; }
    void SetDot(bool down);
    void SetDash(bool down);
    // Every key up: the tone ends with the element it is in (the paddles) or
    // at once (the straight key).
    void ReleaseAll();

    // One sample: whether the tone is keyed during it.
    bool Step();
    bool Sending() const { return Element != None; } // a paddle element or its space runs

private:
    enum Kind { None, DotElement, DashElement };
    void Begin(Kind kind);
    Kind Next() const;

    Mode FMode = Mode::Straight;
    long DotSamples = 1;
    bool Straight = false, DotDown = false, DashDown = false;
    Kind Element = None;
    long Elapsed = 0; // samples into the element and its space
    bool DotMemory = false, DashMemory = false;
};

} // namespace kalvo
