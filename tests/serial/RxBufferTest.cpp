#include "serial/RxBuffer.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <thread>
#include <vector>

namespace nw {
namespace {

std::string Pattern(int n, int seed = 0) {
    std::string s(static_cast<size_t>(n), '\0');
    for (int i = 0; i < n; ++i)
        s[static_cast<size_t>(i)] = static_cast<char>((i * 7 + seed) & 0xFF);
    return s;
}

TEST(RxBuffer, CapacityIs4095AndStoresAreAllOrNothing) {
    CRxBuffer rb;
    EXPECT_EQ(rb.GetFree(), 4095);
    const std::string big = Pattern(4096);
    EXPECT_EQ(rb.Put(big.data(), 4096), -1);
    EXPECT_EQ(rb.GetCount(), 0);
    EXPECT_EQ(rb.Put(big.data(), 4095), 4095);
    EXPECT_EQ(rb.GetFree(), 0);
    EXPECT_EQ(rb.Put("x", 1), -1);

    CRxBuffer partly;
    const std::string four = Pattern(4000);
    ASSERT_EQ(partly.Put(four.data(), 4000), 4000);
    EXPECT_EQ(partly.GetFree(), 95);
    EXPECT_EQ(partly.Put(big.data(), 96), -1);
    EXPECT_EQ(partly.GetCount(), 4000);
    EXPECT_EQ(partly.Put(big.data(), 95), 95);
    EXPECT_EQ(partly.GetFree(), 0);
}

TEST(RxBuffer, RefusesEmptyAndNullArguments) {
    CRxBuffer rb;
    char out[8];
    EXPECT_EQ(rb.Put("abc", 0), -1);
    EXPECT_EQ(rb.Put(nullptr, 3), -1);
    EXPECT_EQ(rb.Put("abc", -2), -1);
    ASSERT_EQ(rb.Put("abc", 3), 3);
    EXPECT_EQ(rb.Get(out, 0), 0);
    EXPECT_EQ(rb.Get(nullptr, 3), 0);
    EXPECT_EQ(rb.GetCount(), 3);
}

TEST(RxBuffer, TakeOfMoreThanStoredTakesNothing) {
    CRxBuffer rb;
    const std::string nine = "123456789";
    ASSERT_EQ(rb.Put(nine.data(), 9), 9);
    char out[16] = {};
    EXPECT_EQ(rb.Get(out, 10), 0);
    EXPECT_EQ(rb.GetCount(), 9);
    EXPECT_EQ(rb.Get(out, 9), 9);
    EXPECT_EQ(std::string(out, 9), nine);
}

TEST(RxBuffer, PositionsStartAtZeroAndFirstByteGoesToSlotOne) {
    CRxBuffer rb;
    EXPECT_EQ(rb.ReadPos(), 0);
    EXPECT_EQ(rb.WritePos(), 0);
    char out[8];
    ASSERT_EQ(rb.Put("abcde", 5), 5);
    ASSERT_EQ(rb.Get(out, 5), 5);
    EXPECT_EQ(rb.ReadPos(), 5);
    EXPECT_EQ(rb.WritePos(), 5);
    EXPECT_EQ(rb.GetCount(), 0);
    ASSERT_EQ(rb.Put("f", 1), 1);
    EXPECT_EQ(rb.WritePos(), 6); // next store began at slot 6
}

TEST(RxBuffer, StoreAcrossTheEndWrapsToSlotZeroInOrder) {
    CRxBuffer rb;
    std::vector<char> sink(4096);
    const std::string fill = Pattern(4090);
    ASSERT_EQ(rb.Put(fill.data(), 4090), 4090);
    ASSERT_EQ(rb.Get(sink.data(), 4090), 4090);
    // Write position 4090: five slots to the end, then slot 0 onwards.
    const std::string wrap = Pattern(300, 3);
    ASSERT_EQ(rb.Put(wrap.data(), 300), 300);
    EXPECT_EQ(rb.WritePos(), (4090 + 300) % 4096);
    ASSERT_EQ(rb.Get(sink.data(), 300), 300);
    EXPECT_EQ(std::string(sink.data(), 300), wrap);

    // Exactly at the last slot: nothing left before the wrap.
    CRxBuffer edge;
    const std::string full = Pattern(4095);
    ASSERT_EQ(edge.Put(full.data(), 4095), 4095);
    ASSERT_EQ(edge.Get(sink.data(), 4095), 4095);
    EXPECT_EQ(edge.WritePos(), 4095);
    ASSERT_EQ(edge.Put("xyz", 3), 3);
    ASSERT_EQ(edge.Get(sink.data(), 3), 3);
    EXPECT_EQ(std::string(sink.data(), 3), "xyz");
    EXPECT_EQ(edge.ReadPos(), 2);
}

TEST(RxBuffer, ConcurrentProducerAndCountThenTakeConsumerKeepOrder) {
    CRxBuffer rb;
    constexpr int kTotal = 200000;
    std::thread producer([&] {
        int next = 0;
        while (next < kTotal) {
            char chunk[97];
            const int n = std::min(97, kTotal - next);
            for (int i = 0; i < n; ++i)
                chunk[i] = static_cast<char>((next + i) % 251);
            if (rb.Put(chunk, n) == n)
                next += n;
            else
                std::this_thread::yield();
        }
    });
    int seen = 0;
    std::vector<char> buf(4096);
    bool inOrder = true;
    while (seen < kTotal) {
        const int n = rb.GetCount();
        if (n == 0) {
            std::this_thread::yield();
            continue;
        }
        ASSERT_EQ(rb.Get(buf.data(), n), n) << "a take of the counted bytes must succeed";
        for (int i = 0; i < n; ++i)
            inOrder = inOrder && buf[static_cast<size_t>(i)] == static_cast<char>((seen + i) % 251);
        seen += n;
    }
    producer.join();
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(rb.GetCount(), 0);
}

} // namespace
} // namespace nw
