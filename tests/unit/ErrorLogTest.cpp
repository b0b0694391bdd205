#include <gtest/gtest.h>

#include "core/app/ErrorLog.h"
#include "core/config/EnvSet.h"
#include "unit/FakePlatform.h"

namespace kestro {
namespace {

TEST(ErrorLogTest, AppendsLinesAndNeverTruncatesAnUnreadableLog) {
  testing::FakeFileSystem fs;
  WriteErrorLog(fs, "E:\\K\\", "smallicon error");
  WriteErrorLog(fs, "E:\\K\\", "bigicon error");
  EXPECT_EQ(fs.files.at("E:\\K\\kestro_err.txt"), "smallicon error\r\nbigicon error\r\n");
  fs.unreadable.push_back("E:\\K\\kestro_err.txt");
  WriteErrorLog(fs, "E:\\K\\", "third");
  EXPECT_EQ(fs.files.at("E:\\K\\kestro_err.txt"), "smallicon error\r\nbigicon error\r\n");
}

TEST(ApplicationIconTest, IconModeOwnIconFileOrBuiltIn) {
  testing::FakeFileSystem fs;
  EnvSet env;
  env.appicon = "E:\\Icons\\e.ico";
  EXPECT_EQ(ChooseApplicationIcon(env, "E:\\K\\", fs), "");
  EXPECT_EQ(env.appicon, "");  // mode 0 without kestro.ico: the built-in icon
  fs.files["E:\\K\\kestro.ico"] = "ico";
  env.appicon = "E:\\Icons\\e.ico";
  EXPECT_EQ(ChooseApplicationIcon(env, "E:\\K\\", fs), "E:\\K\\kestro.ico");
  EXPECT_EQ(env.appicon, "E:\\K\\kestro.ico");
  env.iconmode = 1;
  env.appicon = "E:\\Icons\\e.ico";
  EXPECT_EQ(ChooseApplicationIcon(env, "E:\\K\\", fs), "E:\\Icons\\e.ico");
}

}  // namespace
}  // namespace kestro
