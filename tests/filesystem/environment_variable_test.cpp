#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// A variable of this test's own, removed before and after each test.
class EnvironmentVariable : public ::testing::Test {
protected:
  static constexpr const char* kName = "QEL_TEST_VARIABLE";
  void SetUp() override { QelClEnvironmentVariable(kName, ""); }
  void TearDown() override { QelClEnvironmentVariable(kName, ""); }

  static QelClEnvironmentVariableQueryOnly query(const char* name = kName) {
    QelClEnvironmentVariableQueryOnly q;
    q.setNewName(name);
    return q;
  }
};

}  // namespace

TEST_F(EnvironmentVariable, UnsetVariableHasNoValue) {
  const auto q = query();
  EXPECT_FALSE(q.hasValue());
  EXPECT_EQ(q.getValue(), nullptr);
  EXPECT_FALSE(q.hasValueEnabled());
  EXPECT_FALSE(QelClEnvironmentVariableQueryOnly().hasValue());  // the name "?"
}

TEST_F(EnvironmentVariable, SetAndRemove) {
  QelClEnvironmentVariable variable(kName, "some value");
  ASSERT_TRUE(query().hasValue());
  EXPECT_STREQ(query().getValue(), "some value");
  EXPECT_STREQ(variable.getValue(), "some value");

  EXPECT_TRUE(variable.setNewValue("other"));
  EXPECT_STREQ(query().getValue(), "other");
  EXPECT_TRUE(variable.setNewValue(""));
  EXPECT_FALSE(query().hasValue());
}

TEST_F(EnvironmentVariable, DefinitionsWithoutValueChangeNothing) {
  QelClEnvironmentVariable variable(kName, "kept");
  EXPECT_FALSE(variable.setNewValue(nullptr));
  variable.resetValue();
  EXPECT_STREQ(query().getValue(), "kept");
  QelClEnvironmentVariable unset("QEL_TEST_NEVER_SET", nullptr);
  EXPECT_FALSE(unset.hasValue());
}

TEST_F(EnvironmentVariable, AppendGoesDirectlyBehindTheValue) {
  QelClEnvironmentVariable variable(kName, "C:\\a");
  EXPECT_TRUE(variable.appendValue(";C:\\bin"));
  EXPECT_STREQ(query().getValue(), "C:\\a;C:\\bin");

  variable.setNewValue("");
  EXPECT_TRUE(variable.appendValue(";C:\\bin"));
  EXPECT_STREQ(query().getValue(), ";C:\\bin");
}

TEST_F(EnvironmentVariable, EnabledValues) {
  QelClEnvironmentVariable variable(kName, "");
  for (const char* enabled : {"on", "ON", "Yes", "true", "TRUE", "tRuE", "1"}) {
    variable.setNewValue(enabled);
    EXPECT_TRUE(query().hasValueEnabled()) << enabled;
  }
  for (const char* disabled : {"2", "enabled", "TRUE1", "ONE", "0", "no", " on", "YE"}) {
    variable.setNewValue(disabled);
    EXPECT_FALSE(query().hasValueEnabled()) << disabled;
  }
}

TEST_F(EnvironmentVariable, QueryCopiesTheNameOfAnother) {
  QelClEnvironmentVariable variable(kName, "x");
  const QelClEnvironmentVariableQueryOnly copy(variable);
  EXPECT_STREQ(copy.getValue(), "x");
}

TEST_F(EnvironmentVariable, OverlongNamesAndDefinitionsAreRefused) {
  const std::string longest(40, 'Q');
  QelClEnvironmentVariable fits(longest.c_str(), "v");
  EXPECT_STREQ(query(longest.c_str()).getValue(), "v");
  fits.setNewValue("");

  const std::string tooLong = longest + "Z";
  QelClEnvironmentVariable refused(tooLong.c_str(), "v");
  EXPECT_FALSE(refused.hasValue());
  EXPECT_FALSE(refused.setNewValue("v"));

  // name, "=" and value: 302 characters fit, 303 do not
  const std::string name = kName;
  QelClEnvironmentVariable variable(kName, "");
  EXPECT_TRUE(variable.setNewValue(std::string(302 - name.size() - 1, 'v').c_str()));
  EXPECT_FALSE(variable.setNewValue(std::string(302 - name.size(), 'w').c_str()));
  EXPECT_EQ(std::string(query().getValue()), std::string(302 - name.size() - 1, 'v'));
  EXPECT_FALSE(variable.appendValue("w"));
}
