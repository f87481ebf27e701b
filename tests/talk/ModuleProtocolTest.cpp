// The texts sent to script modules and the reading of their answers, byte
// for byte, against texts written out by hand here.
#include <gtest/gtest.h>

#include "talk/ModuleProtocol.h"

namespace {

using moduleprotocol::ReadSentenceAnswer;
using moduleprotocol::ReadVersionAnswer;
using moduleprotocol::SentenceRequest;

TEST(ModuleProtocol, VersionProbeIsExactlyTheFourLines)
{
    EXPECT_EQ(moduleprotocol::VersionRequest(), std::string("GET Version SHIORI/2.0\r\n"
                                                            "Sender: Nobody\r\n"
                                                            "Charset: Shift_JIS\r\n"
                                                            "\r\n"));
}

TEST(ModuleProtocol, SentenceRequestsInBothDialectsWithNullAndEmptyReferences)
{
    // Reference 1 absent, reference 2 empty: a "Reference2: " line with an
    // empty value and none for 1; numbers are not closed up.
    const ModuleEvent event("OnTest", {std::string("zero"), std::nullopt, std::string()});
    EXPECT_EQ(SentenceRequest(ModuleDialect::Dorvy, event), "GET Sentence DORVY/2.0\r\n"
                                                            "Sender: Nobody\r\n"
                                                            "Event: OnTest\r\n"
                                                            "Reference0: zero\r\n"
                                                            "Reference2: \r\n"
                                                            "Charset: Shift_JIS\r\n"
                                                            "\r\n");
    EXPECT_EQ(SentenceRequest(ModuleDialect::Shiori, event), "GET Sentence SHIORI/2.2\r\n"
                                                             "Sender: Nobody\r\n"
                                                             "Event: OnTest\r\n"
                                                             "Reference0: zero\r\n"
                                                             "Reference2: \r\n"
                                                             "Charset: Shift_JIS\r\n"
                                                             "\r\n");

    // No references at all, and all eight with Shift_JIS text passed through as bytes.
    EXPECT_EQ(SentenceRequest(ModuleDialect::Dorvy, ModuleEvent("OnMouseClick")),
              "GET Sentence DORVY/2.0\r\nSender: Nobody\r\nEvent: OnMouseClick\r\nCharset: Shift_JIS\r\n\r\n");
    ModuleEvent full("OnOstraObjectCreate");
    for (std::size_t i = 0; i < ModuleEvent::kReferenceCount; ++i)
        full.references[i] = "r" + std::to_string(i);
    full.references[7] = "\x83\x5C"; // a double-byte character whose trail byte is 0x5C
    EXPECT_EQ(SentenceRequest(ModuleDialect::Shiori, full), "GET Sentence SHIORI/2.2\r\nSender: Nobody\r\n"
                                                            "Event: OnOstraObjectCreate\r\n"
                                                            "Reference0: r0\r\nReference1: r1\r\nReference2: r2\r\n"
                                                            "Reference3: r3\r\nReference4: r4\r\nReference5: r5\r\n"
                                                            "Reference6: r6\r\nReference7: \x83\x5C\r\n"
                                                            "Charset: Shift_JIS\r\n\r\n");
    // Only the last reference present.
    ModuleEvent last("OnX");
    last.references[7] = "7";
    EXPECT_EQ(SentenceRequest(ModuleDialect::Dorvy, last),
              "GET Sentence DORVY/2.0\r\nSender: Nobody\r\nEvent: OnX\r\nReference7: 7\r\nCharset: Shift_JIS\r\n\r\n");
}

TEST(ModuleProtocol, MoreThanEightReferencesAreDropped)
{
    const ModuleEvent event("OnX", {"0", "1", "2", "3", "4", "5", "6", "7", "8"});
    EXPECT_EQ(SentenceRequest(ModuleDialect::Dorvy, event).find("Reference8"), std::string::npos);
    EXPECT_NE(SentenceRequest(ModuleDialect::Dorvy, event).find("Reference7: 7\r\n"), std::string::npos);
}

TEST(ModuleProtocol, VersionAnswers)
{
    struct Case {
        const char* answer;
        std::optional<ModuleDialect> dialect;
    };
    const Case cases[] = {
        // The sample module's answer: the status line says SHIORI, the value DORVY.
        {"SHIORI/2.0 200 OK\r\nVersion: DORVY/2.0\r\n\r\n", ModuleDialect::Dorvy},
        {"SHIORI/2.0 200 OK\r\nVersion: SHIORI/2.6\r\n\r\n", ModuleDialect::Shiori},
        {"SHIORI/2.0 200 OK\r\nVersion: SHIORI/2.0", ModuleDialect::Shiori},
        // Whatever the second line's header is called, its value counts.
        {"x\nAnything: DORVY/2.9", ModuleDialect::Dorvy},
        {"SHIORI/2.0 500 Error\r\nVersion: DORVY/2.0\r\n\r\n", ModuleDialect::Dorvy}, // status not examined
        // The search for the blank runs on past an empty second line.
        {"SHIORI/2.0 200 OK\r\n\r\nVersion: DORVY/2.0\r\n", ModuleDialect::Dorvy},
        // Version header on the third line: the second line's value is taken.
        {"SHIORI/2.0 200 OK\r\nSender: Mod\r\nVersion: DORVY/2.0\r\n\r\n", std::nullopt},
        {"SHIORI/2.0 200 OK\r\nVersion: dorvy/2.0\r\n\r\n", std::nullopt}, // case-sensitive
        {"SHIORI/2.0 200 OK\r\nVersion: SHIORI/3.0\r\n\r\n", std::nullopt},
        {"SHIORI/2.0 200 OK\r\nVersion: DORVY/2\r\n\r\n", std::nullopt}, // the dot is part of the prefix
        {"SHIORI/2.0 200 OK\r\nVersion:DORVY/2.0", std::nullopt},        // no blank after the line feed
        {"SHIORI/2.0 200 OK Version: DORVY/2.0", std::nullopt},          // no line feed
        {"", std::nullopt},
        {"\n ", std::nullopt},
        {"\n DORVY/2.", ModuleDialect::Dorvy},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadVersionAnswer(c.answer), c.dialect) << c.answer;
}

TEST(ModuleProtocol, SentenceAnswers)
{
    struct Case {
        const char* answer;
        std::optional<std::string> sentence;
    };
    const Case cases[] = {
        // The sample module's answers: the sentence runs to the end of the text.
        {"DORVY/2.0 200 OK\r\nSentence: \\s0\\e\r\n\r\n", std::string("\\s0\\e\r\n\r\n")},
        {"DORVY/2.0 200 OK\r\nSentence: \\s7\\e\r\n\r\n", std::string("\\s7\\e\r\n\r\n")},
        {"SHIORI/2.2 200 OK\r\nSentence: \\s[12]\\w5\\s0\\e", std::string("\\s[12]\\w5\\s0\\e")},
        // Any header name on the second line; the value keeps its own blanks.
        {"X 200\nS:  two blanks", std::string(" two blanks")},
        {"X 2000\nS: a", std::string("a")}, // three characters after the blank
        {"SHIORI/2.2 204 No Content\r\n\r\n", std::nullopt},
        {"SHIORI/2.2 204 No Content\r\nSentence: \\s1\\e\r\n", std::nullopt},
        {"SHIORI/2.2 20", std::nullopt},
        {"SHIORI/2.2\r\nSentence: \\s1\\e", std::nullopt}, // first blank after the line feed: status "\\s1"
        {"NOBLANK", std::nullopt},
        {"SHIORI/2.2 200 OK", std::nullopt},              // no line feed
        {"SHIORI/2.2 200 OK\r\nSentence:", std::nullopt}, // no blank after it
        {"SHIORI/2.2 200 OK\r\nSentence: ", std::string()},
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadSentenceAnswer(c.answer), c.sentence) << c.answer;
}

} // namespace
