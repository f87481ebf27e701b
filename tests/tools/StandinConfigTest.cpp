// The stand-in host's options and its log format, which every end-to-end test reads.
#include <gtest/gtest.h>

#include "tools/standin/StandinConfig.h"
#include "tools/standin/StandinControl.h"

using namespace standin;

namespace {
std::string FakeFile(const std::string&)
{
    return "# answers for the placement tests\r\n"
           "answer 132=zero\r\n"
           "answer 128=100,20,200,220\r\n"
           "  title   file title\r\n"
           "sstp-server\r\n";
}
} // namespace

TEST(StandinConfig, OptionsAndFile)
{
    StandinConfig config;
    std::string error = ParseArguments({"--pos", "10,-20", "--size=50,60", "--config", "x.cfg", "--no-shape",
                                        "--answer", "130=hang", "--mutex", "sakura"},
                                       config, FakeFile);
    ASSERT_EQ(error, "");
    EXPECT_EQ(config.x, 10);
    EXPECT_EQ(config.y, -20);
    EXPECT_EQ(config.width, 50);
    EXPECT_EQ(config.height, 60);
    EXPECT_FALSE(config.shaped);
    EXPECT_TRUE(config.sstpServer);
    EXPECT_EQ(config.title, "file title");
    EXPECT_EQ(config.mutexName, "sakura");
    ASSERT_EQ(config.answers.count(132u), 1u);
    EXPECT_EQ(config.answers[132].values, (std::vector<int32_t>{0, 0, 0, 0}));
    EXPECT_EQ(config.answers[128].ValueAt(2), 200);
    EXPECT_EQ(config.answers[128].ValueAt(7), 0);
    EXPECT_EQ(config.answers[130].kind, QueryAnswer::Kind::Hang);
}

TEST(StandinConfig, BadOptionsAreNamed)
{
    struct Case { std::vector<std::string> args; std::string error; };
    const Case cases[] = {
        {{"--pos", "10"}, "bad --pos 10"},
        {{"--size", "0,5"}, "bad --size 0,5"},
        {{"--answer", "132=1,2,3"}, "bad --answer 132=1,2,3"},
        {{"--answer", "x=1,2"}, "bad --answer x=1,2"},
        {{"--frobnicate", "1"}, "unknown option --frobnicate"},
        {{"--log"}, "missing value for --log"},
        {{"plain"}, "not an option: plain"},
    };
    for (const Case& c : cases) {
        StandinConfig config;
        EXPECT_EQ(ParseArguments(c.args, config, nullptr), c.error) << c.args[0];
    }
}

TEST(StandinLog, RecordsKeepEveryByte)
{
    std::string payload("SEND SSTP/1.1\r\n\0\x83\x5c\r\n\r\n", 21);
    std::string bytes = FormatLogRecord("DSSTP", "from=-5", payload) + FormatLogRecord("QUERY", "code=132 index=1 answer=40", "");
    EXPECT_EQ(bytes.substr(0, 30), "== DSSTP from=-5 bytes=21\r\nSEN");
    std::vector<LogRecord> records = ParseLog(bytes + "== TCP bytes=99\r\ncut short");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].kind, "DSSTP");
    EXPECT_EQ(records[0].payload, payload);
    EXPECT_EQ(FieldValue(records[0].fields, "from"), "-5");
    EXPECT_EQ(FieldValue(records[1].fields, "answer"), "40");
    EXPECT_EQ(FieldValue(records[1].fields, "index"), "1");
    EXPECT_EQ(FieldValue(records[1].fields, "dex"), "");
}

// A damaged header whose size, added to the position, wraps round to the next
// header: the reader took the whole rest as payload, then read the following
// record again (and with a wrap to itself, forever, until memory ran out).
TEST(StandinLog, AHugeSizeIsACutRecordNotAWrap)
{
    const std::string next = "== TCP bytes=0\r\n\r\n";
    for (const char* size : {"18446744073709551614", "-2"}) {
        const std::string bytes = std::string("== DSSTP bytes=") + size + "\r\n" + next;
        EXPECT_TRUE(ParseLog(bytes).empty()) << size;
    }
    // The same record with its true size is read, so the refusal above is the size's doing.
    ASSERT_EQ(ParseLog("== DSSTP bytes=18\r\n" + next + "\r\n").size(), 1u);
    EXPECT_EQ(ParseLog("== DSSTP bytes=18\r\n" + next + "\r\n")[0].payload, next);
}

TEST(StandinControl, Commands)
{
    ControlCommand c;
    ASSERT_TRUE(ParseControl("move 10 -20", c));
    EXPECT_EQ(c.verb, ControlCommand::Verb::Move);
    EXPECT_EQ(c.a, 10);
    EXPECT_EQ(c.b, -20);
    ASSERT_TRUE(ParseControl("send 4660\n\\s[1]\\e", c));
    EXPECT_EQ(c.verb, ControlCommand::Verb::Send);
    EXPECT_EQ(c.a, 4660);
    EXPECT_EQ(c.payload, "\\s[1]\\e");
    EXPECT_FALSE(ParseControl("move 10", c));
    EXPECT_FALSE(ParseControl("hide now", c));
    EXPECT_FALSE(ParseControl("dance", c));
    EXPECT_EQ(BuildSendRequest("\\s[2]\\e", -7),
              "SEND SSTP/1.1\r\nSender: stand-in\r\nScript: \\s[2]\\e\r\nHWnd: -7\r\n\r\n");
}
