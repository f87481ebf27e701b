// Requests and answers of the TCP relay collected piece by piece, with the
// relay's limits of length and time.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "talk/SstpAnswerCollector.h"
#include "talk/SstpRequestCollector.h"

namespace {

using talk::SstpAnswerCollector;
using talk::SstpRequestCollector;
using State = SstpRequestCollector::State;

State Feed(SstpRequestCollector& collector, const std::vector<std::string>& pieces, uint32_t now = 0)
{
    State state = State::Incomplete;
    for (const auto& piece : pieces)
        state = collector.Add(piece.data(), piece.size(), now);
    return state;
}

TEST(SstpRequestCollector, CompleteOnlyAtTheEmptyLineHoweverTheRequestIsCut)
{
    const std::string whole = "SEND SSTP/1.1\r\nSender: t\r\nScript: \\e\r\nHWnd: 0\r\n\r\n";
    // Every cut into two pieces, including those that split the final CR LF CR LF.
    for (std::size_t cut = 1; cut < whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        SstpRequestCollector collector(1u << 20, 10000);
        EXPECT_EQ(collector.Add(whole.data(), cut, 0), State::Incomplete);
        EXPECT_EQ(collector.Add(whole.data() + cut, whole.size() - cut, 0), State::Complete);
        EXPECT_EQ(collector.Text(), whole);
    }
    // The empty line written as a piece of its own.
    SstpRequestCollector lone(1u << 20, 10000);
    EXPECT_EQ(Feed(lone, {"SEND SSTP/1.1\r\n", "Script: \\e\r\n", "\r\n"}), State::Complete);
    // A line end inside the text is not the end.
    SstpRequestCollector middle(1u << 20, 10000);
    EXPECT_EQ(Feed(middle, {"SEND SSTP/1.1\r\n\r\nScript: \\e\r\n"}), State::Incomplete);
    // Nothing after the end changes it.
    EXPECT_EQ(Feed(lone, {"more"}), State::Complete);
    EXPECT_EQ(lone.Text(), "SEND SSTP/1.1\r\nScript: \\e\r\n\r\n");
}

TEST(SstpRequestCollector, ALongerRequestIsDropped)
{
    SstpRequestCollector exact(16, 10000);
    EXPECT_EQ(Feed(exact, {"0123456789", "ab\r\n\r\n"}), State::Complete); // 16 bytes: allowed
    SstpRequestCollector over(16, 10000);
    EXPECT_EQ(Feed(over, {"0123456789", "abcdef"}), State::Incomplete);
    EXPECT_EQ(over.Add("\r", 1, 0), State::TooLong);
    EXPECT_EQ(over.Text(), "");
    EXPECT_EQ(over.Add("\n\r\n", 3, 0), State::TooLong);
    // Two mebibytes without an empty line, in the relay's 1024-byte pieces.
    SstpRequestCollector relay(1u << 20, 10000);
    const std::string piece(1024, 'a');
    State state = State::Incomplete;
    std::size_t fed = 0;
    while (state == State::Incomplete && fed < (2u << 20)) {
        state = relay.Add(piece.data(), piece.size(), 0);
        fed += piece.size();
    }
    EXPECT_EQ(state, State::TooLong);
    EXPECT_EQ(fed, (1u << 20) + 1024);
}

TEST(SstpRequestCollector, TimeCountsFromTheFirstPiece)
{
    SstpRequestCollector collector(1u << 20, 10000);
    EXPECT_FALSE(collector.Expired(50000)); // nothing yet: no limit runs
    EXPECT_EQ(collector.RemainingMs(50000), 10000u);
    collector.Add("SEND", 4, 1000);
    collector.Add(" SSTP", 5, 9000);
    EXPECT_FALSE(collector.Expired(10999));
    EXPECT_EQ(collector.RemainingMs(10999), 1u);
    EXPECT_TRUE(collector.Expired(11000));
    EXPECT_EQ(collector.RemainingMs(12000), 0u);
    // Across the wrap of the 32-bit millisecond clock.
    SstpRequestCollector wrapped(1u << 20, 10000);
    wrapped.Add("S", 1, 0xFFFFF000u);
    EXPECT_FALSE(wrapped.Expired(0xFFFFF000u + 9999u));
    EXPECT_TRUE(wrapped.Expired(0xFFFFF000u + 10000u));
}

TEST(SstpAnswerCollector, PiecesEndAtTheirZeroByteAndTheAnswerAtItsLimit)
{
    using namespace std::string_literals;
    SstpAnswerCollector answer(1u << 20);
    const std::string first = "SSTP/1.1 200 OK\r\n\0junk"s;
    EXPECT_TRUE(answer.Add(first.data(), first.size()));
    EXPECT_TRUE(answer.Add("Charset: Shift_JIS\r\n", 20));
    const std::string empty = "\0after"s;
    EXPECT_TRUE(answer.Add(empty.data(), empty.size()));
    EXPECT_EQ(answer.Text(), "SSTP/1.1 200 OK\r\nCharset: Shift_JIS\r\n");

    SstpAnswerCollector cut(10);
    EXPECT_TRUE(cut.Add("SSTP/1.1", 8));
    EXPECT_FALSE(cut.Add(" 200 OK", 7));
    EXPECT_EQ(cut.Text(), "SSTP/1.1 2");
    EXPECT_FALSE(cut.Add("more", 4));
    EXPECT_EQ(cut.Text(), "SSTP/1.1 2");
}

} // namespace
