#include <gtest/gtest.h>

#include <filesystem>

#include "app/verify_command.h"
#include "fake_installation.h"
#include "platform/errors.h"

using app::ProductLabel;
using app_test::FakeInstallation;
using dataset::Variant;

namespace {

const std::map<ProductLabel, std::string> kInitial = {{ProductLabel::Name, "Inconnue"},
                                                      {ProductLabel::Type, "Inconnu"},
                                                      {ProductLabel::Version, "Inconnue ..."},
                                                      {ProductLabel::Build, "Inconnu..."}};

}  // namespace

TEST(Verify, ShowsTheProductRecord) {
  struct Case {
    const char* version;
    const char* build;
  };
  for (const Case& c : {Case{"5.7", "(Build 1)"}, Case{"", "(Build 3)"}}) {
    FakeInstallation inst;
    inst.productRecord()["Version"] = Variant(c.version);
    inst.productRecord()["Build"] = Variant(c.build);
    // A store left open by an earlier command is closed first; the password
    // is set again.
    app::verifyInstallation(inst.window, *inst.components.DB);
    EXPECT_EQ(inst.window.labels, (std::map<ProductLabel, std::string>{{ProductLabel::Name, "Vendrix"},
                                                                        {ProductLabel::Type, "Pro"},
                                                                        {ProductLabel::Version, c.version},
                                                                        {ProductLabel::Build, c.build}}));
    EXPECT_TRUE(inst.window.messages.empty());
    EXPECT_EQ(inst.world.log, (std::vector<std::string>{"DB open " + inst.store(), "DB close"}));
  }
}

TEST(Verify, FolderWithoutStoreWarnsAndKeepsTheLabels) {
  FakeInstallation inst;
  std::filesystem::remove(inst.folder + "/dor.fnc");
  app::verifyInstallation(inst.window, *inst.components.DB);
  ASSERT_EQ(inst.window.messages.size(), 1u);
  EXPECT_EQ(inst.window.messages[0].caption, "Erreur de chemin");
  EXPECT_EQ(inst.window.messages[0].style, 0x30);
  EXPECT_EQ(inst.window.labels, kInitial);
  EXPECT_TRUE(inst.world.log.size() == 1);  // the message only
}

TEST(Verify, EmptyTableFailsAtTheFirstFieldAndLeavesTheStoreOpen) {
  FakeInstallation inst;
  inst.world.stores[inst.store()].config.rows.clear();
  try {
    app::verifyInstallation(inst.window, *inst.components.DB);
    ADD_FAILURE() << "no error";
  } catch (const platform::EVariantTypeCastError& e) {
    EXPECT_STREQ(e.what(), "Could not convert variant of type (Null) into type (String)");
  }
  EXPECT_EQ(inst.window.labels, kInitial);
  EXPECT_TRUE(static_cast<app_test::FakeStoreTable&>(*inst.components.DB).isOpen());
  // The next command closes it and opens it again.
  inst.world.stores[inst.store()].config = app_test::productRecordTable("5.6");
  app::verifyInstallation(inst.window, *inst.components.DB);
  EXPECT_EQ(inst.window.labels[ProductLabel::Version], "5.6");
}
