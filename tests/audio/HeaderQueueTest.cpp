#include "audio/HeaderQueue.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace kalvo {
namespace {

TEST(HeaderQueue, KeepsOrderRefusesWhenFullAndWrapsAround)
{
    HeaderQueue queue;
    std::vector<WaveHeader> headers(HeaderQueue::Capacity + 1);
    EXPECT_EQ(queue.Pop(), nullptr);
    // Three rounds, so that the slots are reused past the end of the array.
    for (int round = 0; round < 3; ++round) {
        for (std::size_t i = 0; i < HeaderQueue::Capacity; ++i)
            ASSERT_TRUE(queue.Push(&headers[i])) << i;
        EXPECT_FALSE(queue.Push(&headers.back()));
        for (std::size_t i = 0; i < HeaderQueue::Capacity; ++i)
            ASSERT_EQ(queue.Pop(), &headers[i]) << i;
        EXPECT_EQ(queue.Pop(), nullptr);
    }
}

// A writer thread and a reader thread at full speed: every header arrives once,
// in order, with what the writer stored in it before the push. Run under
// ThreadSanitizer, a missing ordering between the two shows as a race on the
// header's fields.
TEST(HeaderQueue, OneWriterAndOneReaderConcurrently)
{
    constexpr std::uint32_t Count = 100000;
    HeaderQueue queue;
    std::vector<WaveHeader> headers(Count);
    std::thread writer([&] {
        for (std::uint32_t i = 0; i < Count; ++i) {
            headers[i].BufferLength = i;
            while (!queue.Push(&headers[i]))
                std::this_thread::yield();
        }
    });
    std::uint32_t received = 0;
    std::uint32_t outOfOrder = 0;
    while (received < Count) {
        WaveHeader* header = queue.Pop();
        if (header == nullptr) {
            std::this_thread::yield();
            continue;
        }
        outOfOrder += header != &headers[received] || header->BufferLength != received;
        ++received;
    }
    writer.join();
    EXPECT_EQ(outOfOrder, 0u);
    EXPECT_EQ(queue.Pop(), nullptr);
}

} // namespace
} // namespace kalvo
