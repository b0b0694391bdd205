#include <gtest/gtest.h>

#include "core/app/Entry.h"
#include "unit/FakePlatform.h"

namespace kestro {
namespace {

struct EntryFixture : ::testing::Test {
  testing::FakeEntryHost host;
  testing::FakeDrives drives;
  EntryOutcome Run(std::vector<std::string> args, const std::string& exe = "E:\\Kestro.exe") {
    return RunProcessEntry(args, exe, host, drives);
  }
};

TEST_F(EntryFixture, ExitInAnyCaseClosesTheRunningCopyAndNothingElse) {
  for (const char* arg : {"-exit", "-EXIT", "-Exit"}) {
    host = {};
    EXPECT_EQ(Run({arg}), EntryOutcome::ExitRequested);
    EXPECT_EQ(host.closePosted, std::vector<std::string>{"kestro-a"});
    EXPECT_TRUE(host.mutexes.empty());
    EXPECT_TRUE(host.plainMessages.empty());
  }
}

TEST_F(EntryFixture, OnlyTheFirstArgumentCounts) {
  EXPECT_EQ(Run({"foo", "-exit"}), EntryOutcome::Start);
  EXPECT_TRUE(host.closePosted.empty());
}

TEST_F(EntryFixture, SecondCopyEndsSilently) {
  host.mutexes = {"kestro"};
  EXPECT_EQ(Run({}), EntryOutcome::AlreadyRunning);
  EXPECT_EQ(host.mutexes.size(), 1u);
  EXPECT_TRUE(host.plainMessages.empty());
}

TEST_F(EntryFixture, RefusesNetworkCdRomAndRamDrivesAfterTakingTheMutex) {
  const std::pair<DriveType, const char*> cases[] = {{DriveType::Remote, "no support network"},
                                                     {DriveType::CdRom, "no support CD ROM"},
                                                     {DriveType::RamDisk, "no support Ram disk"}};
  for (auto [type, message] : cases) {
    host = {};
    drives.types["G:\\"] = type;
    EXPECT_EQ(Run({}, "G:\\Tools\\Kestro.exe"), EntryOutcome::DriveRefused);
    EXPECT_EQ(host.plainMessages, std::vector<std::string>{message});
    EXPECT_EQ(host.mutexes, std::vector<std::string>{"kestro"});
  }
}

TEST_F(EntryFixture, AcceptsOtherDriveTypes) {
  for (DriveType t : {DriveType::Removable, DriveType::Fixed, DriveType::Unknown, DriveType::NoRootDir}) {
    host = {};
    drives.types["E:\\"] = t;
    EXPECT_EQ(Run({}), EntryOutcome::Start);
    EXPECT_TRUE(host.plainMessages.empty());
  }
}

TEST(DriveOfPathTest, LetterOrUncShare) {
  EXPECT_EQ(DriveOfPath("E:\\Apps\\Kestro.exe"), "E:");
  EXPECT_EQ(DriveOfPath("\\\\srv\\share\\Kestro.exe"), "\\\\srv\\share");
}

}  // namespace
}  // namespace kestro
