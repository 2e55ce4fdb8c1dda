#include "audio/SndUtils.h"
#include "tests/support/Failure.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace kalvo {
namespace {

template <typename F>
std::string RingFailure(F&& f)
{
    return testing::Failure<EWaveBuffRing>(std::forward<F>(f));
}

TEST(WaveBuff, HeaderDescribesTheSampleMemory)
{
    WaveBuff b(4000);
    EXPECT_EQ(b.Length, 4000);
    EXPECT_EQ(b.GetHeader(), &b.Header);
    EXPECT_EQ(b.Header.Data, reinterpret_cast<char*>(b.GetItem(0)));
    EXPECT_EQ(b.Header.BufferLength, 8000u);
    EXPECT_EQ(b.Header.Flags, 0u);
    EXPECT_EQ(b.Header.Loops, 0u);
    EXPECT_EQ(b.Header.BytesRecorded, 0u);
    EXPECT_EQ(b.Header.User, 0u);
    EXPECT_EQ(b.Header.Next, nullptr);
    EXPECT_EQ(b.GetItem(3999), b.GetItem(0) + 3999);
}

TEST(WaveBuffRing, ThreeBuffersFormACircle)
{
    WaveBuffRing ring(3, 10);
    EXPECT_EQ(ring.Count(), 3);
    EXPECT_EQ(ring.Filled(), 0);
    WaveBuff* first = ring.Head();
    EXPECT_EQ(ring.Tail(), first);
    EXPECT_NE(first->Next, first);
    EXPECT_NE(first->Next->Next, first);
    EXPECT_EQ(first->Next->Next->Next, first);
}

TEST(WaveBuffRing, TailAndHeadWalkTheRingInTheSameOrder)
{
    WaveBuffRing ring(3, 4);
    ring.PutValue(0, 11);
    ring.PutValue(3, 14);
    WaveBuff* a = ring.GetandMoveTail();
    EXPECT_EQ(*a->GetItem(0), 11);
    EXPECT_EQ(*a->GetItem(3), 14);
    WaveBuff* b = ring.GetandMoveTail();
    EXPECT_EQ(ring.Filled(), 2);
    EXPECT_EQ(b, a->Next);
    EXPECT_EQ(ring.GetandMoveHead(), a);
    EXPECT_EQ(ring.GetandMoveHead(), b);
    EXPECT_EQ(ring.Filled(), 0);
    // Tail wraps round to the first buffer again.
    WaveBuff* c = ring.GetandMoveTail();
    EXPECT_EQ(ring.Tail(), a);
    EXPECT_EQ(ring.GetandMoveHead(), c);
}

TEST(WaveBuffRing, FullRingRefusesValuesAndCommits)
{
    WaveBuffRing ring(2, 4);
    ring.GetandMoveTail();
    ring.GetandMoveTail();
    EXPECT_EQ(ring.Filled(), 2);
    EXPECT_EQ(RingFailure([&] { ring.PutValue(0, 1); }), "Attempt to PutValue when WaveBuffRing full.");
    EXPECT_EQ(RingFailure([&] { ring.GetandMoveTail(); }), "Attempt to GetandMoveTail when WaveBuffRing full.");
    EXPECT_EQ(ring.Filled(), 2);
}

TEST(WaveBuffRing, FreshRingHasNothingToTake)
{
    WaveBuffRing ring(3, 4);
    EXPECT_EQ(RingFailure([&] { ring.GetandMoveHead(); }), "Attempt to GetandMoveHead when WaveBuffRing empty.");
    EXPECT_EQ(ring.Filled(), 0);
    EXPECT_EQ(ring.Head(), ring.Tail());
}

TEST(WaveBuffRing, SingleBufferIsItsOwnNext)
{
    WaveBuffRing ring(1, 8);
    WaveBuff* only = ring.Head();
    EXPECT_EQ(only->Next, only);
    EXPECT_EQ(ring.Tail(), only);

    EXPECT_EQ(ring.GetandMoveTail(), only);
    EXPECT_EQ(RingFailure([&] { ring.GetandMoveTail(); }), "Attempt to GetandMoveTail when WaveBuffRing full.");
    EXPECT_EQ(RingFailure([&] { ring.PutValue(0, 5); }), "Attempt to PutValue when WaveBuffRing full.");

    EXPECT_EQ(ring.GetandMoveHead(), only);
    EXPECT_EQ(RingFailure([&] { ring.GetandMoveHead(); }), "Attempt to GetandMoveHead when WaveBuffRing empty.");
    ring.PutValue(7, 5); // free again
    EXPECT_EQ(*only->GetItem(7), 5);
}

TEST(WaveBuffRing, CountBelowOneStillHoldsOneBufferButNeverTakesValues)
{
    WaveBuffRing ring(0, 8);
    ASSERT_NE(ring.Head(), nullptr);
    EXPECT_EQ(ring.Head()->Next, ring.Head());
    EXPECT_EQ(RingFailure([&] { ring.PutValue(0, 1); }), "Attempt to PutValue when WaveBuffRing full.");
}

} // namespace
} // namespace kalvo
