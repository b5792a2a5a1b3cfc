#include "lib/log/src/msgGroup.h"

#include <gtest/gtest.h>

#include <memory>

TEST(MsgGroupTest, IdsIncreaseAndRegistryFollowsLifetime) {
  auto first = std::make_unique<msgGroup>(L"RegistryFirst");
  msgGroup second(L"RegistrySecond");
  msgGroup unnamed(L"");
  EXPECT_GT(second.getId(), first->getId());
  EXPECT_GT(unnamed.getId(), second.getId());
  EXPECT_FALSE(second.isEnabled()) << "groups start off";

  EXPECT_EQ(msgGroup::findById(second.getId()), &second);
  EXPECT_EQ(msgGroup::findByName(L"registrysecond"), &second);
  EXPECT_EQ(msgGroup::findByName(L""), nullptr) << "unnamed groups are found by id only";
  EXPECT_EQ(msgGroup::findById(unnamed.getId()), &unnamed);

  const int firstId = first->getId();
  first.reset();
  EXPECT_EQ(msgGroup::findById(firstId), nullptr);
  EXPECT_EQ(msgGroup::findByName(L"RegistryFirst"), nullptr);
}
