#include "serial/RxBuffer.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace nw {
namespace {

TEST(RxBuffer, StoresAndTakesAllOrNothingUpTo4095Bytes) {
    CRxBuffer rb;
    std::string bytes(4096, 'b');
    for (const int bad : {0, -2, 4096})
        EXPECT_EQ(rb.Put(bytes.data(), bad), -1) << bad;
    EXPECT_EQ(rb.Put(nullptr, 3), -1);
    ASSERT_EQ(rb.Put(bytes.data(), 4000), 4000);
    EXPECT_EQ(rb.Put(bytes.data(), 96), -1) << "one byte more than the free space";
    EXPECT_EQ(rb.Put(bytes.data(), 95), 95);
    EXPECT_EQ(rb.Get(nullptr, 3), 0);
    EXPECT_EQ(rb.Get(bytes.data(), 4096), 0) << "more than stored";
    EXPECT_EQ(rb.GetCount(), 4095);
}

// Odd-sized chunks pass the end of the ring at ever other places.
TEST(RxBuffer, AConsumerTakingWhatItCountedGetsEveryByteInOrder) {
    CRxBuffer rb;
    constexpr int kTotal = 200000;
    std::thread producer([&] {
        char chunk[97];
        for (int next = 0; next < kTotal;) {
            const int n = std::min(97, kTotal - next);
            for (int i = 0; i < n; ++i)
                chunk[i] = static_cast<char>((next + i) % 251);
            if (rb.Put(chunk, n) == n)
                next += n;
            else
                std::this_thread::yield();
        }
    });
    std::string got(4096, '\0');
    int wrong = 0;
    for (int seen = 0, n = 0; seen < kTotal; seen += n) {
        if ((n = rb.GetCount()) == 0)
            std::this_thread::yield();
        if (rb.Get(got.data(), n) != n)
            ++wrong; // a take of the counted bytes must succeed
        for (int i = 0; i < n; ++i)
            wrong += got[static_cast<std::size_t>(i)] != static_cast<char>((seen + i) % 251);
    }
    producer.join();
    EXPECT_EQ(wrong, 0);
}

} // namespace
} // namespace nw
