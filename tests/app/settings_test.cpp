// The store of remembered choices: it lives in the test's configuration
// folder, keeps byte-string names exactly, and shrugs off garbage.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QSettings>
#include <QStandardPaths>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/settings.h"

namespace bm::testing {
namespace {

std::filesystem::path StoreFile() {
  return std::filesystem::path(std::getenv("XDG_CONFIG_HOME")) / "Bytemoor" / "Bytemoor.conf";
}

TEST(Settings, FlagsAndByteNamesComeBackFromTheTestsOwnFolder) {
  ASSERT_NE(std::getenv("XDG_CONFIG_HOME"), nullptr);
  EXPECT_TRUE(settings::SetFlag("test/flag", true));
  EXPECT_TRUE(settings::Flag("test/flag", false));
  EXPECT_TRUE(std::filesystem::exists(StoreFile()));

  const QList<QByteArray> names = {QByteArray("/tmp/a\nb", 8), QByteArray("/x/\xff\xfe\x80"),
                                   QByteArray("/plain")};
  EXPECT_TRUE(settings::SetByteList("test/names", names));
  EXPECT_EQ(settings::ByteList("test/names"), names);
  EXPECT_EQ(settings::Flag("test/missing", true), true);
}

TEST(Settings, GarbageInTheStoreGivesTheFallbacks) {
  ASSERT_TRUE(settings::SetFlag("test/flag", true));
  {
    std::ofstream out(StoreFile(), std::ios::binary | std::ios::trunc);
    out << "[test]\nflag=maybe\nnames=zz, 0g, 414\n\x01\xff\x00garbage=[[[\n";
  }
  EXPECT_FALSE(settings::Flag("test/flag", false));
  EXPECT_TRUE(settings::Flag("test/flag", true));
  EXPECT_TRUE(settings::ByteList("test/names").isEmpty());
  // A write over garbage still stores the new choice.
  EXPECT_TRUE(settings::SetFlag("test/flag", false));
  EXPECT_FALSE(settings::Flag("test/flag", true));
}

}  // namespace
}  // namespace bm::testing
