// The skin table: unsigned 32-bit order of the host handles, one entry per host.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "app/SkinTable.h"

namespace {

SkinTable::Handle H(uintptr_t value)
{
    return reinterpret_cast<SkinTable::Handle>(value);
}

std::vector<uintptr_t> Hosts(const SkinTable& table)
{
    std::vector<uintptr_t> hosts;
    for (const SkinTable::Entry& e : table.Entries())
        hosts.push_back(reinterpret_cast<uintptr_t>(e.host));
    return hosts;
}

} // namespace

TEST(SkinTable, UnsignedOrderOneEntryPerHostAndDestroyedSkinsLeave)
{
    SkinTable table;
    for (uintptr_t host : {0x80000010u, 0x10060u, 0x7FFFFFFFu, 0x20040u, 0xFFFFFFFEu})
        table.Attach(H(host), H(host + 1));
    // A signed order would put 0x80000010 and 0xFFFFFFFE first.
    EXPECT_EQ(Hosts(table), (std::vector<uintptr_t>{0x10060, 0x20040, 0x7FFFFFFF, 0x80000010, 0xFFFFFFFE}));

    table.Attach(H(0x10060), H(0x40000)); // the same host again: new value, no second entry
    EXPECT_EQ(table.Size(), 5u);
    EXPECT_EQ(table.SkinOf(H(0x10060)), H(0x40000));
    EXPECT_EQ(table.Detach(H(0x20040)), H(0x20041));
    EXPECT_EQ(table.Detach(H(0x20040)), nullptr);

    // A skin window that destroyed itself takes its entry along.
    EXPECT_FALSE(table.RemoveSkin(H(0x10061))); // replaced above, no longer listed
    EXPECT_TRUE(table.RemoveSkin(H(0x40000)));
    EXPECT_EQ(Hosts(table), (std::vector<uintptr_t>{0x7FFFFFFF, 0x80000010, 0xFFFFFFFE}));
}

TEST(SkinTable, OnlyTheLow32BitsNameAWindow)
{
    if (sizeof(uintptr_t) < 8) GTEST_SKIP() << "handles are 32-bit here";
    // A handle that crossed from a 32-bit process may arrive sign-extended;
    // it is the same window as its 32-bit value.
    SkinTable table;
    table.Attach(H(0x80000010), H(0x301A4));
    const auto extended = static_cast<uintptr_t>(static_cast<int64_t>(static_cast<int32_t>(0x80000010u)));
    EXPECT_EQ(table.SkinOf(H(extended)), H(0x301A4));
    table.Attach(H(extended), H(0x301A6));
    EXPECT_EQ(table.Size(), 1u);
    EXPECT_EQ(table.Detach(H(0x80000010)), H(0x301A6));
}
