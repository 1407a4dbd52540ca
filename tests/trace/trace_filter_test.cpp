// Tests of the trace filter: detail, components and record types.
#include "tests/trace/trace_support.h"

#include "tests/qel_test.h"

namespace {

std::vector<unsigned short> included(const QelClTraceFilter& filter) {
  std::vector<unsigned short> ids;
  for (unsigned short id = 1; id <= 255; ++id) {
    if (filter.isComponentIdEnabled(id)) ids.push_back(id);
  }
  return ids;
}

std::vector<unsigned short> range(unsigned short first, unsigned short last, unsigned short except = 0) {
  std::vector<unsigned short> ids;
  for (unsigned int id = first; id <= last; ++id) {
    if (id != except) ids.push_back(static_cast<unsigned short>(id));
  }
  return ids;
}

TEST(TraceFilter, ComponentListsApplyToAnEmptySet) {
  const struct {
    const char* list;
    std::vector<unsigned short> expected;
  } cases[] = {
      {"1,3.5,-4", {1, 3, 5}}, {"*,-7", range(1, 255, 7)}, {"-*", {}}, {"300", {}}, {"250.300", range(250, 255)},
      {"5.", {5}}, {".9", {}}, {"x 2 ,+3;", {2, 3}}, {"99999999999", {}}, {"", {}},
  };
  for (const auto& c : cases) {
    QelClTraceFilter filter;
    filter.disableAllComponentIds();
    filter.enableComponentIds(c.list);
    EXPECT_EQ(included(filter), c.expected) << c.list;
  }
}

TEST(TraceFilter, ComponentSetDefaultsAndSingleIds) {
  QelClTraceFilter filter;
  EXPECT_EQ(filter.getDetailLevel(), 1u);
  EXPECT_EQ(filter.getProcessId(), 0u);
  EXPECT_FALSE(filter.usesCompIdFilter());
  filter.enableComponentIds("-3");  // exclusions against the full set
  EXPECT_EQ(included(filter), range(1, 255, 3));
  EXPECT_TRUE(filter.usesCompIdFilter());
  filter.enableAllComponentIds();
  EXPECT_FALSE(filter.usesCompIdFilter());
  filter.disableComponentId(1);
  EXPECT_TRUE(filter.usesCompIdFilter());
  filter.disableComponentId(0);
  EXPECT_TRUE(filter.isComponentIdEnabled(0)) << "component 0 always passes";
  filter.disableComponentId(256);  // outside the set: no change
  EXPECT_EQ(included(filter), range(2, 255));
  EXPECT_FALSE(filter.isPassing(QelEnTraceDetail::LOW, 257)) << "tested by its low 8 bits, 1";
}

TEST(TraceFilter, DetailWordsAndNames) {
  const struct {
    const char* text;
    std::uint32_t level;
  } cases[] = {{"HIGH", 3}, {"high", 3}, {"HIGHEST", 3}, {"Medium", 2}, {"med", 2}, {"LOW", 1},
               {"OFF", 0},  {"NONE", 0}, {"HI", 0},      {"", 0}};
  for (const auto& c : cases) {
    QelClTraceFilter filter;
    filter.setDetail(c.text);
    EXPECT_EQ(filter.getDetailLevel(), c.level) << c.text;
  }
  EXPECT_STREQ(QelClTraceFilter::getDetailAsCString(QelEnTraceDetail::MED), "MED");
  EXPECT_EQ(QelClTraceFilter::getDetailAsCString(static_cast<QelEnTraceDetail>(4)), nullptr);

  QelClTraceFilter filter;
  filter.setProcessId("1234");
  filter.setThreadId("abc");
  EXPECT_EQ(filter.getProcessId(), 1234u);
  EXPECT_EQ(filter.getThreadId(), 0u);
  EXPECT_TRUE(filter.isPassing(QelEnTraceDetail::LOW, 9));
  EXPECT_FALSE(filter.isPassing(QelEnTraceDetail::MED, 9));
}

}  // namespace
