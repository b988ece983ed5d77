// The platform layer: rounding, number texts, the random generator, files and
// folders without regard to letter case, and binary files. (The console forms print
// what every recorded run shows.)
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "base/errors.h"
#include "base/text.h"
#include "platform/files.h"
#include "platform/random.h"
#include "platform/rounding.h"
#include "test_support.h"

namespace tarvik {
namespace {

// Below 2^51 RoundToInt rounds without a call; it must give nearbyint's answer there and
// at the edge, ties and the neighbours of ties included, and saturate beyond the range.
TEST(Rounding, TheCallFreeRoundingIsNearbyint) {
  auto plain = [](double v) {
    const double r = std::nearbyint(v);
    if (!(r == r)) return 0LL;
    if (r >= 9.2e18) return 9200000000000000000LL;
    if (r <= -9.2e18) return -9200000000000000000LL;
    return static_cast<long long>(r);
  };
  std::vector<double> values = {0.0, -0.0, 0x1p51, -0x1p51, 0x1p52, 0x1p53 + 2, 1e300, -1e300, NAN, INFINITY,
                                -INFINITY, 9.3e18, -9.3e18, 0x1.fffffffffffffp-2, 0x1.0000000000001p-1};
  for (double base : {0.0, 1.0, 2.0, 7.0, 1e6, 0x1p50, 0x1p51 - 2, 0x1p51}) {
    for (double half : {0.5, 1.5}) {
      for (double v : {base + half, std::nextafter(base + half, 0.0), std::nextafter(base + half, 1e308)}) {
        values.push_back(v);
        values.push_back(-v);
      }
    }
  }
  Random random;
  random.SetFixedSeed(7);
  random.Seed(0);
  for (int i = 0; i < 100000; ++i) {
    const double scale = std::ldexp(1.0, static_cast<int>(random.Next() * 60));
    values.push_back((random.Next() - 0.5) * scale);
  }
  for (double v : values) EXPECT_EQ(RoundToInt(v), plain(v)) << v;
}

TEST(NumberText, NonNegativeNumbersGetOneLeadingBlank) {
  EXPECT_EQ(NumText(12), " 12");
  EXPECT_EQ(NumText(0), " 0");
  EXPECT_EQ(NumText(-5), "-5");
}

TEST(Random, FixedSeedReplaysEverySeeding) {
  Random a, b;
  a.SetFixedSeed(42);
  b.SetFixedSeed(42);
  a.Seed(100.0);
  b.Seed(55555.0);  // the time of day does not matter with a fixed seed
  for (int i = 0; i < 100; ++i) EXPECT_EQ(a.Next(), b.Next());
  // The second seeding differs from the first but is equally reproducible.
  a.Seed(1.0);
  b.Seed(2.0);
  double first = a.Next();
  EXPECT_EQ(first, b.Next());
  Random c;
  c.SetFixedSeed(42);
  c.Seed(0);
  EXPECT_NE(first, c.Next());
}

TEST(Random, DrawsAreUniformInTheHalfOpenUnitInterval) {
  Random r;
  r.SetFixedSeed(7);
  r.Seed(0);
  int buckets[10] = {};
  for (int i = 0; i < 100000; ++i) {
    double v = r.Next();
    ASSERT_GE(v, 0.0);
    ASSERT_LT(v, 1.0);
    ++buckets[static_cast<int>(v * 10)];
  }
  for (int b : buckets) EXPECT_NEAR(b, 10000, 600);  // about 6 standard deviations
}

TEST(Files, PathsResolveWithoutRegardToLetterCase) {
  test::TempDir dir;
  CreateFolder(dir.path() + "univ");
  CreateFolder(dir.path() + "univ\\game3");
  // The upper-case spelling finds the lower-case folders instead of making new ones.
  EXPECT_TRUE(FolderExists(dir.path() + "UNIV\\GAME3"));
  CreateFolder(dir.path() + "UNIV");
  CreateFolder(dir.path() + "UNIV\\GAME3");
  EXPECT_EQ(dir.Folders(), (std::vector<std::string>{"univ", "univ/game3"}));
  WriteWholeFile(dir.path() + "UNIV/Game3\\g3.YIG", {1, 2, 3});
  EXPECT_EQ(dir.Read("univ/game3/g3.YIG"), std::string("\x01\x02\x03"));
  EXPECT_EQ(FileLength(dir.path() + "univ\\game3\\G3.yig"), 3);
  EXPECT_EQ(FileLength(dir.path() + "univ\\game3\\missing"), -1);
}

TEST(Files, ListingMatchesAndSortsWithoutRegardToCase) {
  test::TempDir dir;
  dir.Write("races/b.rce", "x");
  dir.Write("races/A.RCE", "x");
  dir.Write("races/c.rcex", "x");
  dir.Write("races/C.rce", "x");
  dir.Write("races/d.txt", "x");
  CreateFolder(dir.path() + "races/e.rce");  // a folder is not a file
  EXPECT_EQ(ListFiles(dir.path() + "races\\", "*.rce"), (std::vector<std::string>{"A.RCE", "b.rce", "C.rce"}));
  EXPECT_TRUE(ListFiles(dir.path() + "nowhere", "*.rce").empty());
  EXPECT_TRUE(MatchesPattern("abc.map", "a?c.*"));
  EXPECT_FALSE(MatchesPattern("abc.mapx", "*.map"));
}

TEST(Files, BinaryFileReadsAndWritesAtOneBasedPositions) {
  test::TempDir dir;
  std::string path = dir.path() + "f.bin";
  {
    BinaryFile f(path, BinaryFile::Mode::Create);
    f.WriteI32(5, -2);
    f.WriteI16(1, 0x1234);
    f.Close();
  }
  EXPECT_EQ(dir.Read("f.bin"), std::string("\x34\x12\x00\x00\xFE\xFF\xFF\xFF", 8));
  BinaryFile f(path, BinaryFile::Mode::Read);
  EXPECT_EQ(f.ReadI32(5), -2);
  EXPECT_EQ(f.ReadI16(1), 0x1234);
  EXPECT_THROW(f.ReadI32(6), RuntimeError);  // past the end
  EXPECT_THROW(f.ReadI32(0), RuntimeError);  // positions start at 1
  EXPECT_THROW(BinaryFile(dir.path() + "none", BinaryFile::Mode::Read), RuntimeError);
}

TEST(Files, SequentialAndMixedAccessKeepTheirPositions) {
  test::TempDir dir;
  BinaryFile f(dir.path() + "m.bin", BinaryFile::Mode::Create);
  f.Write(1, std::vector<uint8_t>{1, 2, 3});
  f.Write(4, std::vector<uint8_t>{4, 5});  // follows on without a seek
  EXPECT_EQ(f.Read(2, 3), (std::vector<uint8_t>{2, 3, 4}));
  f.Write(5, std::vector<uint8_t>{9});  // a write right after a read
  EXPECT_EQ(f.Read(5, 1), (std::vector<uint8_t>{9}));
  f.WriteZeros(7, 2);  // past the end: the gap is zero
  EXPECT_EQ(f.Length(), 8);
  EXPECT_EQ(f.Read(1, 8), (std::vector<uint8_t>{1, 2, 3, 4, 9, 0, 0, 0}));
  f.Close();
}

// Writes reach the file before Write returns, so a file dropped while an error unwinds
// the stack (never closed) has nothing left to write in its destructor.
TEST(Files, WritesAreInTheFileAtOnceAndADroppedFileWritesNoMore) {
  test::TempDir dir;
  const std::string path = dir.path() + "w.bin";
  try {
    BinaryFile f(path, BinaryFile::Mode::Create);
    f.Write(1, std::vector<uint8_t>{7, 8, 9});
    EXPECT_EQ(dir.Read("w.bin"), std::string("\x07\x08\x09", 3));
    throw RuntimeError("stop");
  } catch (const RuntimeError&) {
  }
  EXPECT_EQ(dir.Read("w.bin"), std::string("\x07\x08\x09", 3));
  EXPECT_EQ(ReadFileStart(path, 2), (std::vector<uint8_t>{7, 8}));
  EXPECT_EQ(ReadFileStart(path, 10), (std::vector<uint8_t>{7, 8, 9}));
}

}  // namespace
}  // namespace tarvik
