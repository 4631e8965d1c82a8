#include <cstdlib>

#include "devices/dos_names.h"
#include "devices/dos_query.h"
#include "host_fake.h"

namespace vox::test {
namespace {

using DosList = HostTest;

TEST_F(DosList, BaseFromTheVariableAndAttemptsBelowThe32BitLimit) {
  const std::pair<const char*, std::size_t> bases[] = {
      {nullptr, 16384},
      {"", 16384},
      {"0", 16384},
      {"abc", 16384},
      {"-5", 16384},
      {" +300x", 300},
      {"100", 100},
      {"0000000000000000000000000000000000000007", 7},
      {"4294967295", 4294967295u},
      {"99999999999999999999999", 4294967295u}};
  for (const auto& [text, size] : bases) EXPECT_EQ(parse_list_base_size(text), size) << text;

  const std::size_t attempts[][3] = {{100, 3, 300},       {4294967295u, 1, 4294967295u},
                                     {4294967295u, 2, 0}, {2147483647u, 2, 4294967294u},
                                     {2147483648u, 2, 0}, {1, 4294967296u, 0}};
  for (const auto& a : attempts)
    EXPECT_EQ(list_attempt_size(a[0], a[1]), a[2]) << a[0] << "x" << a[1];

  for (const auto& [value, size] : {std::pair<const char*, std::size_t>{"200", 200},
                                    {"                                  300", 300}}) {
    setenv("QRY_BUF_SZ", value, 1);
    EXPECT_EQ(read_list_base_size(), size) << value;
  }
  unsetenv("QRY_BUF_SZ");
  EXPECT_EQ(read_list_base_size(), 16384u);
}

TEST_F(DosList, WholeListLeavesMoreThan512UnitsFreeAndNarrowsToAscii) {
  host->dos_list = std::u16string(u"C:\0V\u00e9\u4e2d\x7f\0", 8);  // 9 units with the end
  const std::uint32_t cases[][3] = {{522, 9, 0}, {521, 0, 122}, {8, 0, 122}};
  for (const auto& [size, result, error] : cases) {
    std::string buffer(size + 4, 'Z');
    host->last_error = 0;
    EXPECT_EQ(query_dos_device(nullptr, buffer.data(), size), result) << size;
    EXPECT_EQ(host->last_error, error) << size;
    EXPECT_EQ(buffer.substr(0, 10),
              result ? std::string("C:\0V??\x7f\0\0Z", 10) : std::string(10, 'Z'));
  }
  host->list_error = 5;
  char buffer[1024];
  EXPECT_EQ(query_dos_device(nullptr, buffer, sizeof buffer), 0u);
  EXPECT_EQ(host->last_error, 5u);
}

TEST_F(DosList, GrowsInWholeMultiplesUntilTheListFits) {
  struct Case {
    std::size_t base, units;
    std::vector<std::uint32_t> sizes;  // S x k - 2
  };
  const Case cases[] = {{16384, 10, {16382}},
                        {100, 300, {98, 198, 298, 398, 498, 598, 698, 798, 898}},
                        {1000, 486, {998, 1998}},  // exactly size - 512 units: refused
                        {1000, 485, {998}}};
  for (const Case& c : cases) {
    reset();
    host->add(std::string(c.units - 2, 'x'));
    DosNameList list;
    ASSERT_TRUE(list.build(c.base));
    EXPECT_EQ(host->list_sizes, c.sizes) << c.base << "/" << c.units;
    EXPECT_EQ(list.size(), c.sizes.back() + 2u);
    EXPECT_EQ(list.at(list.next(0)), std::string(c.units - 2, 'x'));
    EXPECT_EQ(list.next(list.next(0)), list.size());
  }
  reset();
  host->add("C:");
  DosNameList one;
  ASSERT_TRUE(one.build(1));  // 1 byte holds no list: the first size tried is 2 - 2
  EXPECT_EQ(host->list_sizes.size(), 518u);
  EXPECT_EQ(host->list_sizes.front(), 0u);
}

void* no_memory(std::size_t) {
  return nullptr;
}
void* small_only(std::size_t n) {
  return n > 150 ? nullptr : std::calloc(n, 1);
}

TEST_F(DosList, FailuresAreReportedUnlessCliMode) {
  struct Case {
    std::uint32_t list_error;
    ListAllocator allocate;
    int cli;
    std::size_t calls;
    const char* message;
  };
  const Case cases[] = {
      {5, zeroed_alloc, 0, 1, "QueryDosDevice : [5] message 5\n"},
      {5, zeroed_alloc, 1, 1, ""},
      {0, no_memory, 0, 0, "QueryDosDevice : [8] message 8\n"},
      {0, small_only, 0, 1, "QueryDosDevice : [8] message 8\n"},  // the second size fails
  };
  for (const Case& c : cases) {
    reset();
    host->add(std::string(298, 'x'));
    host->list_error = c.list_error;
    cli_mode = c.cli;
    DosNameList list;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(list.build(100, c.allocate));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message);
    EXPECT_EQ(host->list_sizes.size(), c.calls);
  }
}

// Names that run to the end of the buffer without a string end.
class Unterminated : public HostFake {
  std::uint32_t query_dos_device_list_w(char16_t* buffer, std::uint32_t size) override {
    std::fill(buffer, buffer + size - 513, u'y');
    return size - 513;
  }
};

TEST(DosListBounds, WalkStopsAtTheLastByte) {
  plat::set_backend(std::make_unique<Unterminated>());
  DosNameList list;
  ASSERT_TRUE(list.build(600));
  EXPECT_EQ(list.at(list.next(0)), std::string(85, 'y'));
  EXPECT_EQ(list.next(list.next(0)), list.size());
  EXPECT_EQ(list.at(list.size()), "");
}

}  // namespace
}  // namespace vox::test
