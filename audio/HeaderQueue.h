// HeaderQueue: a fixed-size, lock-free queue of buffer headers between one
// writer and one reader, for a device whose playing side may neither lock nor
// allocate (PortAudio's callback).
//
// Contract:
//  - One writer calls Push, one reader calls Pop; each role belongs to one
//    thread at a time. A role may pass to another thread only when the first
//    has stopped using it and the second is ordered after it (a device's Reset
//    takes the reader's role once its stream, and so its callback, has
//    stopped).
//  - Headers come out in the order they went in. Push refuses (false) when
//    Capacity headers are waiting; Pop gives nullptr when none is.
//  - The queue holds pointers only and owns nothing: the headers and their
//    sample data belong to whoever wrote them (the sound component's ring) and
//    must stay alive until the reader has finished with them. Whatever the
//    writer stored in a header before Push is visible to the reader after the
//    Pop that returns it.
#pragma once

#include "audio/WaveOut.h"

#include <array>
#include <atomic>
#include <cstddef>

namespace kalvo {

class HeaderQueue {
public:
    static constexpr std::size_t Capacity = 256; // far more than any ring has buffers

    bool Push(WaveHeader* header)
    {
        const std::size_t tail = FTail.load(std::memory_order_relaxed);
        if (tail - FHead.load(std::memory_order_acquire) >= Capacity)
            return false;
        FSlots[tail % Capacity] = header;
        FTail.store(tail + 1, std::memory_order_release);
        return true;
    }

    WaveHeader* Pop()
    {
        const std::size_t head = FHead.load(std::memory_order_relaxed);
        if (head == FTail.load(std::memory_order_acquire))
            return nullptr;
        WaveHeader* header = FSlots[head % Capacity];
        FHead.store(head + 1, std::memory_order_release);
        return header;
    }

private:
    std::array<WaveHeader*, Capacity> FSlots{};
    std::atomic<std::size_t> FHead{0}; // next to take; the reader's
    std::atomic<std::size_t> FTail{0}; // next free slot; the writer's
};

} // namespace kalvo
