#include "audio/SndUtils.h"

namespace kalvo {

WaveBuff::WaveBuff(int length) : Length(length), Data(std::make_unique_for_overwrite<std::int16_t[]>(length))
{
    Header.Data = reinterpret_cast<char*>(Data.get());
    Header.BufferLength = static_cast<std::uint32_t>(2 * length);
}

WaveBuffRing::WaveBuffRing(int count, int length) : FCount(count)
{
    // Build the chain first and close the circle last, so that a failing
    // allocation half way leaves nothing behind.
    auto first = std::make_unique<WaveBuff>(length);
    WaveBuff* last = first.get();
    FHead = FTail = first.release();
    try {
        for (int i = 1; i < count; ++i) {
            last->Next = new WaveBuff(length);
            last = last->Next;
        }
    } catch (...) {
        while (FHead) {
            WaveBuff* next = FHead->Next;
            delete FHead;
            FHead = next;
        }
        throw;
    }
    last->Next = FHead;
}

WaveBuffRing::~WaveBuffRing()
{
    // Walk the circle once from Head; this frees every buffer that exists,
    // also the single one a ring created with a count below 1 holds.
    WaveBuff* start = FHead;
    WaveBuff* b = start;
    do {
        WaveBuff* next = b->Next;
        delete b;
        b = next;
    } while (b != start);
}

void WaveBuffRing::PutValue(int index, std::int16_t value)
{
    if (FFilled.load() >= FCount)
        throw EWaveBuffRing("Attempt to PutValue when WaveBuffRing full.");
    *FTail->GetItem(index) = value;
}

WaveBuff* WaveBuffRing::GetandMoveTail()
{
    if (FFilled.load() >= FCount)
        throw EWaveBuffRing("Attempt to GetandMoveTail when WaveBuffRing full.");
    WaveBuff* b = FTail;
    FTail = b->Next;
    FFilled.fetch_add(1);
    return b;
}

WaveBuff* WaveBuffRing::GetandMoveHead()
{
    if (FFilled.load() <= 0)
        throw EWaveBuffRing("Attempt to GetandMoveHead when WaveBuffRing empty.");
    WaveBuff* b = FHead;
    FHead = b->Next;
    FFilled.fetch_sub(1);
    return b;
}

} // namespace kalvo
