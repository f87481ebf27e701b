#pragma once
// What the stand-in host is told on its command line or in its configuration
// file. Portable: parsed and tested without Windows.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace standin {

// How the host answers one position query code on its "Sakura" message.
struct QueryAnswer {
    enum class Kind { None, Values, Hang };
    Kind kind = Kind::None;
    std::vector<int32_t> values; // 2 for a point, 4 for a rectangle
    // The value answered for one index; 0 for an index the answer does not have.
    int32_t ValueAt(uint32_t index) const;
};

struct StandinConfig {
    std::string title = "stand-in host";
    std::string mutexName = "ssp"; // empty: hold no presence mutex
    int x = 400, y = 200;          // screen position of the window
    int width = 160, height = 240; // window size
    bool shaped = true;            // give the window a character-shaped region
    bool visible = true;
    std::string logPath;           // Direct SSTP, queries and TCP requests are appended here
    bool sstpServer = false;       // listen for SSTP on 127.0.0.1
    int sstpPort = 9801;
    std::string sstpStatus = "SSTP/1.4 200 OK\r\n"; // what the server answers
    std::map<uint32_t, QueryAnswer> answers;         // by query code
};

// Parses the options (argv without the program name) into config. Returns an
// empty text on success, else a description of the first bad option.
// "--config FILE" is handed to readFile, which returns the file's text;
// the file holds one option per line without the leading "--".
std::string ParseArguments(const std::vector<std::string>& args, StandinConfig& config,
                           std::string (*readFile)(const std::string& path));

// Parses one answer such as "132=150,40", "128=10,20,200,220", "130=none",
// "131=zero", "129=minus", "132=hang". Returns false when it is malformed.
bool ParseAnswer(const std::string& text, uint32_t& code, QueryAnswer& answer);

// The log record for one received message: a header line, then exactly
// 'payload' as received, then CR LF. Tests read records back with ParseLog.
std::string FormatLogRecord(const std::string& kind, const std::string& fields, const std::string& payload);

struct LogRecord {
    std::string kind;   // "DSSTP", "QUERY", "TCP", "SENT"
    std::string fields; // "from=1234", "code=132 index=0 answer=150", ...
    std::string payload;
};

// Splits a log file's bytes into records; a record cut short at the end is dropped.
std::vector<LogRecord> ParseLog(const std::string& bytes);

// Reads the value of "name=" out of a record's fields; empty when absent.
std::string FieldValue(const std::string& fields, const std::string& name);

} // namespace standin
