#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "wave/Wave.h"

namespace {

// Builds RIFF images chunk by chunk, with no pad bytes.
struct TImage {
  std::vector<uint8_t> bytes;

  TImage& Tag(const char* id) {
    bytes.insert(bytes.end(), id, id + 4);
    return *this;
  }
  TImage& U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
  TImage& Raw(const std::vector<uint8_t>& b) {
    bytes.insert(bytes.end(), b.begin(), b.end());
    return *this;
  }
  TImage& Chunk(const char* id, const std::vector<uint8_t>& body) {
    return Tag(id).U32(static_cast<uint32_t>(body.size())).Raw(body);
  }
  static TImage Riff() {
    TImage i;
    i.Tag("RIFF").U32(0).Tag("WAVE");
    return i;
  }
  std::vector<uint8_t> Done() {
    const auto len = static_cast<uint32_t>(bytes.size() - 8);
    for (int i = 0; i < 4; ++i) bytes[4 + i] = static_cast<uint8_t>(len >> (8 * i));
    return bytes;
  }
};

std::vector<uint8_t> Samples(size_t n) {
  std::vector<uint8_t> s(n);
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<uint8_t>(i * 7 + 3);
  return s;
}

const std::vector<uint8_t> kPcm11025 = TPcmFormat::Pcm(11025, 1, 8).Bytes();

std::string ErrorOf(const std::vector<uint8_t>& image) {
  TWave wave;
  try {
    wave.LoadFromBytes(image);
  } catch (const EStreamError& e) {
    EXPECT_EQ(wave.Size(), 0) << "a failed load leaves the wave cleared";
    EXPECT_EQ(wave.FormatSize(), 0);
    return e.what();
  }
  return "";
}

TEST(WaveTest, LoadsImagesOfEveryAcceptedShape) {
  struct Case {
    const char* what;
    std::vector<uint8_t> image;
    int32_t size;
    int32_t formatSize;
  };
  const auto odd = Samples(2903);
  const Case cases[] = {
      {"plain", TImage::Riff().Chunk("fmt ", kPcm11025).Chunk("data", odd).Done(), 2903, 16},
      {"unknown chunk between",
       TImage::Riff().Chunk("fmt ", kPcm11025).Chunk("LIST", Samples(5)).Chunk("data", odd).Done(),
       2903, 16},
      {"data before fmt", TImage::Riff().Chunk("data", odd).Chunk("fmt ", kPcm11025).Done(), 2903,
       16},
      {"no data chunk", TImage::Riff().Chunk("fmt ", kPcm11025).Done(), 0, 16},
      {"later data replaces earlier",
       TImage::Riff().Chunk("fmt ", kPcm11025).Chunk("data", Samples(9)).Chunk("data", odd).Done(),
       2903, 16},
      {"18-byte format",
       TImage::Riff().Chunk("fmt ", std::vector<uint8_t>(18, 1)).Chunk("data", odd).Done(), 2903,
       18},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TWave wave;
    wave.LoadFromBytes(c.image);
    EXPECT_EQ(wave.Size(), c.size);
    EXPECT_EQ(wave.FormatSize(), c.formatSize);
    if (c.size == 2903) {
      EXPECT_EQ(0, std::memcmp(wave.Data(), odd.data(), odd.size()));
    }
  }
}

TEST(WaveTest, OddLengthImageRoundTripsByteForByte) {
  const auto image = TImage::Riff().Chunk("fmt ", kPcm11025).Chunk("data", Samples(2903)).Done();
  ASSERT_EQ(image.size(), 2947u);
  EXPECT_EQ(image[4] | image[5] << 8, 2939);
  TWave wave;
  wave.LoadFromBytes(image);
  EXPECT_EQ(wave.SaveToBytes(), image);
  const auto format = wave.PcmFormat();
  ASSERT_TRUE(format.has_value());
  EXPECT_EQ(format->SamplesPerSec, 11025u);
  EXPECT_EQ(format->BitsPerSample, 8);
}

TEST(WaveTest, RejectsBrokenImagesWithClearMessages) {
  struct Case {
    const char* what;
    std::vector<uint8_t> image;
    std::string message;
  };
  const Case cases[] = {
      {"empty value", {}, "Stream read error"},
      {"short header", {'R', 'I', 'F', 'F', 0, 0}, "Stream read error"},
      {"not RIFF", TImage().Tag("RIFX").U32(4).Tag("WAVE").Done(), "Wave is invalid"},
      {"not WAVE", TImage().Tag("RIFF").U32(4).Tag("AVI ").Done(), "Wave is invalid"},
      {"data larger than the file",
       TImage::Riff().Chunk("fmt ", kPcm11025).Tag("data").U32(100000).Raw(Samples(10)).Done(),
       "Wave chunk is larger than the stream"},
      {"huge format size", TImage::Riff().Tag("fmt ").U32(0x7FFFFFF0).Raw(kPcm11025).Done(),
       "Wave chunk is larger than the stream"},
      {"negative format size", TImage::Riff().Tag("fmt ").U32(0xFFFFFFF0).Raw(kPcm11025).Done(),
       "Wave chunk is larger than the stream"},
      {"unknown chunk pointing backwards",
       TImage::Riff().Chunk("fmt ", kPcm11025).Tag("junk").U32(0xFFFFFFF8).Done(),
       "Wave chunk is larger than the stream"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ErrorOf(c.image), c.message);
  }
}

TEST(WaveTest, EmptyWaveWritesNothing) {
  TWave wave;
  EXPECT_TRUE(wave.SaveToBytes().empty());
  wave.SetPcmFormat(TPcmFormat::Pcm(8000, 1, 8));
  EXPECT_TRUE(wave.SaveToBytes().empty()) << "format without data";
}

TEST(WaveTest, CapacityGrowsInBlocksOf8096) {
  struct Step {
    int32_t size;
    int32_t capacity;
    bool reallocated;
  };
  const Step steps[] = {{8096, 8096, true},    {8097, 16192, true}, {8100, 16192, false},
                        {16192, 16192, false}, {1, 8096, true},     {-5, 0, true},
                        {0, 0, false}};
  TWave wave;
  for (const Step& s : steps) {
    SCOPED_TRACE(s.size);
    const uint8_t* before = wave.Data();
    if (before) wave.Data()[0] = 0x5A;
    wave.SetSize(s.size);
    EXPECT_EQ(wave.Size(), std::max(s.size, 0));
    EXPECT_EQ(wave.Capacity(), s.capacity);
    EXPECT_EQ(wave.Data() != before, s.reallocated);
    if (before && wave.Data()) {
      EXPECT_EQ(wave.Data()[0], 0x5A) << "contents survive a resize";
    }
  }
}

TEST(WaveTest, AssignCopiesAndSelfAssignKeeps) {
  TWave a;
  a.LoadFromBytes(TImage::Riff().Chunk("fmt ", kPcm11025).Chunk("data", Samples(301)).Done());
  TWave b;
  b.Assign(&a);
  EXPECT_EQ(b.SaveToBytes(), a.SaveToBytes());
  b.Assign(&b);
  EXPECT_EQ(b.Size(), 301);
  b.Assign(nullptr);
  EXPECT_EQ(b.Size(), 0);
  EXPECT_EQ(b.FormatSize(), 0);
}

TEST(WaveStreamTest, MisuseRaisesItsMessage) {
  const auto image = TImage::Riff().Chunk("fmt ", kPcm11025).Chunk("data", Samples(40)).Done();
  struct Case {
    const char* what;
    void (*act)(TWaveStream&);
    const char* message;
  };
  const Case cases[] = {
      {"write open without format", [](TWaveStream& s) { s.Open(true); }, "Format is invalid"},
      {"second open",
       [](TWaveStream& s) {
         s.Open(false);
         s.Open(false);
       },
       "Stream has already been opened"},
      {"read unopened",
       [](TWaveStream& s) {
         uint8_t b[4];
         s.Read(b, 4);
       },
       "Stream not opend"},
      {"write unopened",
       [](TWaveStream& s) {
         const uint8_t b[4] = {};
         s.Write(b, 4);
       },
       "Stream not opend"},
  };
  for (const Case& c : cases) {
    TMemoryStream memory(image);
    TWaveStream stream(memory);
    try {
      c.act(stream);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const EWaveStreamError& e) {
      EXPECT_STREQ(e.what(), c.message) << c.what;
    }
  }
}

TEST(WaveStreamTest, FormatSizeKeepsTheBytesItHasAndZeroesNewOnes) {
  // The wave and the wave stream own their format blocks the same way.
  auto check = [](auto& owner) {
    std::vector<uint8_t> expected = kPcm11025;
    for (const int32_t size : {20, 8, 12}) {
      owner.SetFormatSize(size);
      expected.resize(static_cast<size_t>(size), 0);
      ASSERT_EQ(owner.FormatSize(), size);
      EXPECT_EQ(std::vector<uint8_t>(owner.Format(), owner.Format() + size), expected) << size;
    }
  };
  TWave wave;
  wave.SetPcmFormat(TPcmFormat::Pcm(11025, 1, 8));
  check(wave);
  TMemoryStream memory;
  TWaveStream stream(memory);
  stream.SetFormat(kPcm11025);
  check(stream);
}

TEST(WaveStreamTest, ReadingClampsSeekAndWriteStaysInsideData) {
  const auto samples = Samples(40);
  TMemoryStream image(TImage::Riff().Chunk("fmt ", kPcm11025).Chunk("data", samples).Done());
  TWaveStream reader(image);
  reader.Open(false);
  EXPECT_EQ(reader.Size(), 40);
  EXPECT_EQ(reader.Seek(-5, TSeekOrigin::soEnd), 35);
  uint8_t buf[16] = {};
  EXPECT_EQ(reader.Read(buf, 16), 5);
  EXPECT_EQ(buf[0], samples[35]);
  EXPECT_EQ(reader.Seek(100, TSeekOrigin::soBeginning), 40);
  EXPECT_EQ(reader.Seek(-100, TSeekOrigin::soCurrent), 0);
  // A write while reading is cut at the end of the data chunk.
  reader.Seek(38, TSeekOrigin::soBeginning);
  const uint8_t patch[6] = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(reader.Write(patch, 6), 2);
  EXPECT_EQ(image.Size(), 44 + 40);
}

TEST(WaveStreamTest, WriterCompletesHeadersAtAnOffset) {
  TMemoryStream memory;
  const uint8_t prefix[3] = {9, 9, 9};
  memory.WriteBuffer(prefix, 3);
  {
    TWaveStream writer(memory);
    writer.SetFormat(kPcm11025);
    writer.Open(true);
    const auto samples = Samples(7);
    writer.WriteBuffer(samples.data(), 7);
  }  // destruction completes the image
  const auto& b = memory.Bytes();
  ASSERT_EQ(b.size(), 3u + 44 + 7);
  EXPECT_EQ(std::string(b.begin() + 3, b.begin() + 7), "RIFF");
  EXPECT_EQ(b[7], 44 + 7 - 8);
  EXPECT_EQ(b[3 + 40], 7) << "data size";
  TMemoryStream reread(std::vector<uint8_t>(b.begin() + 3, b.end()));
  TWave wave;
  wave.LoadFromStream(reread);
  EXPECT_EQ(wave.Size(), 7);
}

}  // namespace
