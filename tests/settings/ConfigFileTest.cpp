#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "settings/ConfigFile.h"
#include "support/FileBytes.h"
#include "support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

std::string Coded(const std::string& text) {
  std::string out(1, static_cast<char>(text.size()));
  for (char c : text) out.push_back(static_cast<char>(~static_cast<uint8_t>(c)));
  return out;
}

std::string Le32(uint32_t v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
          static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
}

}  // namespace

TEST(ConfigFile, StartUpWithoutAFileWritesThe145DefaultBytes) {
  TScratchFolder folder;
  TConfigFile file((folder / "Config.cfg").string());
  TOptions options;
  options.WindowedMode = false;  // whatever was in memory, the defaults are loaded
  THiScoreTable table{};

  const TConfigLoadResult result = file.Load(options, table);

  std::string expected("\x01\x01\x01\x7B\x00", 5);
  for (uint32_t score = 1000; score >= 100; score -= 100)
    expected += Coded("Anonymous") + Le32(score);
  ASSERT_EQ(expected.size(), 145u);
  EXPECT_EQ(test_kit::ReadText(file.Path()), expected);
  EXPECT_TRUE(result.Created);
  EXPECT_TRUE(result.Complete);
  EXPECT_EQ(result.BytesRead, 145u);
  EXPECT_EQ(options, TOptions{});
  EXPECT_EQ(table, DefaultHiScores());
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
}

TEST(ConfigFile, FieldsAndNamesOfAnyBytesRoundTripWithMusicBeforeSoundOnDisk) {
  struct TCase {
    bool Windowed, Sound, Music;
    int32_t Key;
    int32_t KeyBack;  // the file keeps the low byte
    std::string Name;
  };
  const TCase cases[] = {
      {true, true, true, 123, 123, std::string("\x00\x01\x1F", 3)},
      {false, true, false, 300, 44, "\x7F\x80\xFE\xFF"},
      {true, false, true, 511, 255, "~Tilde~"},
      {false, false, false, 256, 0, std::string(10, '\xFF')},
      {true, false, false, 65, 65, ""},
  };
  // One file saved over and over: each save replaces the previous one.
  TScratchFolder folder;
  TConfigFile file((folder / "Config.cfg").string());
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "key " << c.Key);
    TOptions options{c.Windowed, c.Sound, c.Music, c.Key, c.Name};
    THiScoreTable table = DefaultHiScores();
    table[3] = {"Neg", -12345678};
    table[9].Name = c.Name;
    ASSERT_TRUE(file.Save(options, table));

    const std::string bytes = test_kit::ReadText(file.Path());
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes[0], c.Windowed ? 1 : 0);
    EXPECT_EQ(bytes[1], c.Music ? 1 : 0);
    EXPECT_EQ(bytes[2], c.Sound ? 1 : 0);

    TOptions loaded;
    THiScoreTable loadedTable{};
    EXPECT_TRUE(file.Load(loaded, loadedTable).Complete);
    options.MinimizeKey = c.KeyBack;
    EXPECT_EQ(loaded, options);
    EXPECT_EQ(loadedTable, table);
  }
}

TEST(ConfigFile, OnlyAFlagByteOfOneReadsAsTrue) {
  for (int value : {0, 1, 2, 0x7F, 0xFF}) {
    TScratchFolder folder;
    TConfigFile file((folder / "Config.cfg").string());
    std::string bytes = TConfigFile::Encode(TOptions{}, DefaultHiScores());
    bytes[0] = bytes[1] = bytes[2] = static_cast<char>(value);
    test_kit::WriteFile(file.Path(), bytes);
    TOptions options;
    THiScoreTable table{};
    file.Load(options, table);
    EXPECT_EQ(options.WindowedMode, value == 1) << value;
    EXPECT_EQ(options.MusicOn, value == 1) << value;
    EXPECT_EQ(options.SoundOn, value == 1) << value;
  }
}

TEST(ConfigFile, TruncatedFileKeepsDefaultsForEveryMissingField) {
  // A full 145-byte file in which every field differs from its default.
  TOptions stored{false, false, false, 0x41, ""};
  THiScoreTable storedTable;
  for (int i = 0; i < kHiScoreCount; ++i) {
    storedTable[static_cast<size_t>(i)] = {"Player" + std::to_string(i) + "xy", 5000 - 7 * i};
  }
  const std::string full = TConfigFile::Encode(stored, storedTable);
  ASSERT_EQ(full.size(), 145u);

  TScratchFolder folder;
  TConfigFile file((folder / "Config.cfg").string());
  for (size_t length = 0; length < full.size(); ++length) {
    SCOPED_TRACE(testing::Message() << "length " << length);
    test_kit::WriteFile(file.Path(), full.substr(0, length));

    TOptions expected;
    THiScoreTable expectedTable = DefaultHiScores();
    if (length >= 1) expected.WindowedMode = stored.WindowedMode;
    if (length >= 2) expected.MusicOn = stored.MusicOn;
    if (length >= 3) expected.SoundOn = stored.SoundOn;
    if (length >= 4) expected.MinimizeKey = stored.MinimizeKey;
    for (int i = 0; i < kHiScoreCount; ++i) {
      const size_t nameEnd = 5 + 14 * static_cast<size_t>(i) + 10;
      if (length >= nameEnd)
        expectedTable[static_cast<size_t>(i)].Name = storedTable[static_cast<size_t>(i)].Name;
      if (length >= nameEnd + 4)
        expectedTable[static_cast<size_t>(i)].Score = storedTable[static_cast<size_t>(i)].Score;
    }

    TOptions options{true, true, true, 99, "Old"};
    THiScoreTable table{};
    const TConfigLoadResult result = file.Load(options, table);
    EXPECT_NE(result.Error.find("short or damaged"), std::string::npos);
    EXPECT_TRUE(result.Opened);
    EXPECT_FALSE(result.Complete);
    EXPECT_FALSE(result.Created);
    EXPECT_EQ(options, expected);
    EXPECT_EQ(table, expectedTable);
    // The short file is left for the next save to replace.
    EXPECT_EQ(test_kit::ReadText(file.Path()).size(), length);
  }
}

TEST(ConfigFile, NameLongerThanTheRestOfTheFileIsNotRead) {
  TScratchFolder folder;
  TConfigFile file((folder / "Config.cfg").string());
  // The player name claims 200 bytes but the file ends after 3.
  test_kit::WriteFile(file.Path(), std::string("\x00\x01\x00\x20\xC8\xBE\xBE\xBE", 8));
  TOptions options;
  THiScoreTable table{};
  const TConfigLoadResult result = file.Load(options, table);
  EXPECT_FALSE(result.Complete);
  EXPECT_EQ(result.BytesRead, 4u);
  EXPECT_FALSE(options.WindowedMode);
  EXPECT_TRUE(options.MusicOn);
  EXPECT_EQ(options.MinimizeKey, 0x20);
  EXPECT_EQ(options.PlayerName, "");
  EXPECT_EQ(table, DefaultHiScores());
}

TEST(ConfigFile, UnreadableFileStartsWithDefaults) {
  TScratchFolder folder;
  TConfigFile file((folder / "Config.cfg").string());
  fs::create_directory(file.Path());  // exists, but is no file
  TOptions options{false, false, false, 1, "X"};
  THiScoreTable table{};
  const TConfigLoadResult result = file.Load(options, table);
  EXPECT_FALSE(result.Complete);
  EXPECT_NE(result.Error.find("default"), std::string::npos);
  EXPECT_EQ(options, TOptions{});
  EXPECT_EQ(table, DefaultHiScores());
}

TEST(ConfigFile, FailingRenameLeavesTheOldFileIntact) {
  TScratchFolder folder;
  const std::string path = (folder / "Config.cfg").string();
  const std::string old = TConfigFile::Encode(TOptions{}, DefaultHiScores());
  test_kit::WriteFile(path, old);

  std::vector<std::string> renames;
  TConfigFile file(path, [&](const char* from, const char* to) {
    renames.push_back(std::string(from) + " -> " + to);
    errno = EIO;
    return -1;
  });
  THiScoreTable changed = DefaultHiScores();
  changed[0] = {"New", 99999};
  testing::internal::CaptureStderr();
  const TConfigSaveResult saved = file.Save(TOptions{}, changed);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the caller reports";

  ASSERT_EQ(renames.size(), 1u);
  // The temporary file sits beside it, and is gone afterwards.
  EXPECT_EQ(renames[0].rfind(path + ".tmp.", 0), 0u) << renames[0];
  EXPECT_EQ(renames[0].substr(renames[0].find(" -> ")), " -> " + path);
  EXPECT_EQ(test_kit::ReadText(path), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
  EXPECT_NE(saved.Error.find("not saved"), std::string::npos);
}

TEST(ConfigFile, SaveOverADirectoryFailsCleanly) {
  // A target that rename cannot replace, even for root.
  TScratchFolder folder;
  const std::string path = (folder / "Config.cfg").string();
  fs::create_directory(path);
  test_kit::WriteFile(path + "/keep", "x");
  TConfigFile file(path);
  EXPECT_FALSE(file.Save(TOptions{}, DefaultHiScores()));
  EXPECT_TRUE(fs::is_directory(path));
  EXPECT_EQ(test_kit::ReadText(path + "/keep"), "x");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
}

TEST(ConfigFile, SaveWritesExactlyTheTableInMemoryWhateverIsOnDisk) {
  struct TCase {
    const char* What;
    std::optional<std::string> OnDisk;  // nothing: the file was deleted
  };
  const TCase cases[] = {{"file deleted", std::nullopt}, {"longer file", std::string(300, '\x55')}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    TScratchFolder folder;
    TConfigFile file((folder / "Config.cfg").string());
    TOptions options;
    THiScoreTable table{};
    file.Load(options, table);
    InsertResult(table, "Late", 650);
    options.PlayerName = "Me";
    if (c.OnDisk) {
      test_kit::WriteFile(file.Path(), *c.OnDisk);
    } else {
      fs::remove(file.Path());
    }
    ASSERT_TRUE(file.Save(options, table));
    EXPECT_EQ(test_kit::ReadText(file.Path()), TConfigFile::Encode(options, table));
  }
}

TEST(ConfigFile, SaveIntoAMissingFolderReportsAndLoadStillStarts) {
  TScratchFolder folder;
  TConfigFile file((folder / "gone/Config.cfg").string());
  TOptions options;
  THiScoreTable table{};
  testing::internal::CaptureStderr();
  const TConfigLoadResult result = file.Load(options, table);  // its first save fails
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the caller reports";
  EXPECT_TRUE(result.Created);
  EXPECT_FALSE(result.Opened);
  EXPECT_NE(result.Error.find("not saved"), std::string::npos);
  EXPECT_EQ(options, TOptions{});
  EXPECT_EQ(table, DefaultHiScores());
}
