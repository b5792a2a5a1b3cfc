// The queue between libcurl and the reader: bytes leave in the order they came, across
// the buffer's wrap and its growth.
#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <string>

#include "platform/inet/src/byteQueue.h"

namespace {

using platform::inet::internal::ByteQueue;

TEST(InetByteQueue, KeepsOrderAcrossWrapsAndGrowth) {
  // Capacity 64 with puts up to 100: puts wrap around the end, and some outgrow the buffer
  // while it holds wrapped bytes.
  ByteQueue queue(64);
  std::deque<char> model;
  std::mt19937 random(3);
  unsigned char next = 0;
  for (int step = 0; step < 4000; ++step) {
    if (random() % 2 == 0) {
      std::string bytes(random() % 101, '\0');
      for (char& c : bytes) c = static_cast<char>(next++);
      queue.put(bytes.data(), bytes.size());
      model.insert(model.end(), bytes.begin(), bytes.end());
    } else {
      std::string out(random() % 80, '\0');
      const std::size_t got = queue.take(out.data(), out.size());
      ASSERT_EQ(got, std::min(out.size(), model.size()));
      ASSERT_EQ(out.substr(0, got), std::string(model.begin(), model.begin() + got)) << step;
      model.erase(model.begin(), model.begin() + got);
    }
    ASSERT_EQ(queue.size(), model.size());
    ASSERT_EQ(queue.empty(), model.empty());
  }
}

}  // namespace
