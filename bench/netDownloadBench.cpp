// gzip decoding against zlib's inflate alone on the same body; and, with --download URL, one
// whole download through InternetConn::downloadUrl for bench/netVsCurl.sh to time and weigh.

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <ostream>
#include <streambuf>
#include <string>

#include "lib/misc/src/textConversion.h"
#include "lib/misc/src/wruntimeError.h"
#include "net/src/gunzip.h"
#include "net/src/internetConn.h"

namespace {

constexpr std::size_t kPlainSize = 64 << 20;

// Page-like text that compresses about as well as HTML does.
std::string sampleText(std::size_t size) {
  std::string text;
  text.reserve(size + 64);
  unsigned state = 12345;
  while (text.size() < size) {
    state = state * 1103515245 + 12345;
    text += "<li class=\"item\"><a href=\"/news/" + std::to_string(state >> 8) + "\">Item " +
            std::to_string(state >> 20) + "</a></li>\n";
  }
  text.resize(size);
  return text;
}

// A minimal gzip member: the fixed header, the raw deflate stream, the trailer.
const net::ByteVector& gzipBody() {
  static const net::ByteVector body = [] {
    const std::string plain = sampleText(kPlainSize);
    z_stream stream{};
    deflateInit2(&stream, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    net::ByteVector out = {'\x1f', '\x8b', 8, 0, 0, 0, 0, 0, 0, 3};
    const std::size_t header = out.size();
    out.resize(header + deflateBound(&stream, plain.size()) + 8);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
    stream.avail_in = static_cast<uInt>(plain.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data() + header);
    stream.avail_out = static_cast<uInt>(out.size() - header);
    deflate(&stream, Z_FINISH);
    out.resize(header + stream.total_out);
    deflateEnd(&stream);
    out.insert(out.end(), 8, '\0');  // the trailer is not checked
    return out;
  }();
  return body;
}

void BM_GunzipResponseData(benchmark::State& state) {
  const net::ByteVector& body = gzipBody();
  for (auto _ : state) {
    state.PauseTiming();
    net::ByteVector data = body;  // the copy is outside the measured decode
    state.ResumeTiming();
    net::gunzipResponseData(data);
    benchmark::DoNotOptimize(data.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kPlainSize));
}

// zlib alone: raw inflate of the same stream into a vector that grows as zlib users grow it.
void BM_BareInflate(benchmark::State& state) {
  const net::ByteVector& body = gzipBody();
  for (auto _ : state) {
    z_stream stream{};
    inflateInit2(&stream, -MAX_WBITS);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.data() + 10));
    stream.avail_in = static_cast<uInt>(body.size() - 10);
    net::ByteVector out;
    int rc = Z_OK;
    while (rc == Z_OK) {
      const std::size_t used = out.size();
      out.resize(used + 0x4000);
      stream.next_out = reinterpret_cast<Bytef*>(out.data() + used);
      stream.avail_out = 0x4000;
      rc = inflate(&stream, Z_NO_FLUSH);
      out.resize(used + 0x4000 - stream.avail_out);
    }
    inflateEnd(&stream);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kPlainSize));
}

BENCHMARK(BM_GunzipResponseData)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_BareInflate)->Unit(benchmark::kMillisecond)->MinTime(2);

// Counts what it is given and keeps nothing.
class CountingBuffer : public std::streambuf {
 public:
  std::size_t count = 0;

 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override {
    count += static_cast<std::size_t>(n);
    return n;
  }
  int_type overflow(int_type c) override {
    ++count;
    return c;
  }
};

// One download, into memory or (`toStream`) into a stream that keeps nothing; prints the
// body size. Exit code 1 on failure.
int downloadOnce(const char* url, bool toStream) {
  try {
    net::InternetConn connection;
    connection.open(false);
    net::ByteVector body;
    CountingBuffer counter;
    std::ostream stream(&counter);
    if (toStream) {
      connection.downloadToStream(misc::fromUtf8(url), stream);
    } else {
      connection.downloadUrl(misc::fromUtf8(url), body);
    }
    std::printf("%zu\n", toStream ? counter.count : body.size());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", misc::toUtf8(misc::exceptionText(e)).c_str());
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--download") == 0) return downloadOnce(argv[2], false);
  if (argc == 3 && std::strcmp(argv[1], "--stream") == 0) return downloadOnce(argv[2], true);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
