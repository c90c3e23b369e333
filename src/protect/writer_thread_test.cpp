#include "protect/writer_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace ovalith {
namespace {

TEST(WriterThread, JobsRunInOrderOnOneOtherThread) {
  std::vector<int> done;
  std::vector<std::thread::id> threads;
  {
    WriterThread writer;
    for (int i = 0; i < 100; ++i)
      writer.Start([&, i] {
        done.push_back(i);
        threads.push_back(std::this_thread::get_id());
      });
    writer.Wait();
    EXPECT_EQ(done.size(), 100u);
  }
  for (int i = 0; i < 100; ++i) EXPECT_EQ(done[static_cast<std::size_t>(i)], i);
  for (std::thread::id id : threads) {
    EXPECT_EQ(id, threads.front());
    EXPECT_NE(id, std::this_thread::get_id());
  }
}

// A failure is thrown once, by the next call that waits for it, and the
// job handed to that call does not run; WaitQuietly leaves it there.
TEST(WriterThread, AFailureComesBackOnceFromTheNextCall) {
  WriterThread writer;
  bool ran = false;
  writer.Start([] { throw std::runtime_error("disk full"); });
  writer.WaitQuietly();
  EXPECT_THROW(writer.Start([&] { ran = true; }), std::runtime_error);
  writer.Wait();
  EXPECT_FALSE(ran);
  writer.Start([] { throw std::runtime_error("again"); });
  EXPECT_THROW(writer.Wait(), std::runtime_error);
  EXPECT_NO_THROW(writer.Wait());
  writer.Start([&] { ran = true; });
  writer.Wait();
  EXPECT_TRUE(ran);
}

// The buffer a job writes from may be freed once the thread is gone.
TEST(WriterThread, DestroyedItWaitsForTheJobInHand) {
  std::atomic<bool> finished{false};
  {
    WriterThread writer;
    writer.Start([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      finished = true;
    });
  }
  EXPECT_TRUE(finished);
}

}  // namespace
}  // namespace ovalith
