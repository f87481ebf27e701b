#include "tools/standin/StandinConfig.h"

#include <cstdlib>
#include <sstream>

namespace standin {

int32_t QueryAnswer::ValueAt(uint32_t index) const
{
    return index < values.size() ? values[index] : 0;
}

namespace {

bool ParseInt(const std::string& text, int& value)
{
    if (text.empty()) return false;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || v < INT32_MIN || v > INT32_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

bool ParsePair(const std::string& text, int& a, int& b)
{
    size_t comma = text.find(',');
    return comma != std::string::npos && ParseInt(text.substr(0, comma), a) &&
           ParseInt(text.substr(comma + 1), b);
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        lines.push_back(line.substr(start));
    }
    return lines;
}

} // namespace

bool ParseAnswer(const std::string& text, uint32_t& code, QueryAnswer& answer)
{
    size_t eq = text.find('=');
    int c = 0;
    if (eq == std::string::npos || !ParseInt(text.substr(0, eq), c) || c < 0) return false;
    code = static_cast<uint32_t>(c);
    std::string value = text.substr(eq + 1);
    answer = QueryAnswer();
    if (value == "none") {
        answer.kind = QueryAnswer::Kind::None;
        return true;
    }
    if (value == "hang") {
        answer.kind = QueryAnswer::Kind::Hang;
        return true;
    }
    answer.kind = QueryAnswer::Kind::Values;
    if (value == "zero") {
        answer.values.assign(4, 0);
        return true;
    }
    if (value == "minus") {
        answer.values.assign(4, -1);
        return true;
    }
    std::string item;
    std::istringstream in(value);
    while (std::getline(in, item, ',')) {
        int v = 0;
        if (!ParseInt(item, v)) return false;
        answer.values.push_back(v);
    }
    return answer.values.size() == 2 || answer.values.size() == 4;
}

std::string ParseArguments(const std::vector<std::string>& args, StandinConfig& config,
                           std::string (*readFile)(const std::string& path))
{
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        if (name.rfind("--", 0) != 0) return "not an option: " + name;
        name = name.substr(2);
        std::string value;
        size_t eq = name.find('=');
        bool flag = name == "no-shape" || name == "hidden" || name == "no-mutex" || name == "sstp-server";
        if (eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        } else if (!flag) {
            if (i + 1 >= args.size()) return "missing value for --" + name;
            value = args[++i];
        }
        if (name == "config") {
            if (!readFile) return "no configuration files here";
            std::vector<std::string> fileArgs;
            for (const std::string& line : SplitLines(readFile(value))) {
                size_t blank = line.find_first_of(" \t");
                fileArgs.push_back("--" + line.substr(0, blank));
                if (blank != std::string::npos) {
                    size_t start = line.find_first_not_of(" \t", blank);
                    if (start != std::string::npos) fileArgs.push_back(line.substr(start));
                }
            }
            std::string error = ParseArguments(fileArgs, config, nullptr);
            if (!error.empty()) return value + ": " + error;
        } else if (name == "title") {
            config.title = value;
        } else if (name == "mutex") {
            config.mutexName = value;
        } else if (name == "no-mutex") {
            config.mutexName.clear();
        } else if (name == "pos") {
            if (!ParsePair(value, config.x, config.y)) return "bad --pos " + value;
        } else if (name == "size") {
            if (!ParsePair(value, config.width, config.height) || config.width <= 0 || config.height <= 0)
                return "bad --size " + value;
        } else if (name == "no-shape") {
            config.shaped = false;
        } else if (name == "hidden") {
            config.visible = false;
        } else if (name == "log") {
            config.logPath = value;
        } else if (name == "sstp-server") {
            config.sstpServer = true;
        } else if (name == "sstp-port") {
            if (!ParseInt(value, config.sstpPort) || config.sstpPort <= 0 || config.sstpPort > 65535)
                return "bad --sstp-port " + value;
        } else if (name == "answer") {
            uint32_t code = 0;
            QueryAnswer answer;
            if (!ParseAnswer(value, code, answer)) return "bad --answer " + value;
            config.answers[code] = answer;
        } else {
            return "unknown option --" + name;
        }
    }
    return std::string();
}

std::string FormatLogRecord(const std::string& kind, const std::string& fields, const std::string& payload)
{
    std::string record = "== " + kind;
    if (!fields.empty()) record += " " + fields;
    record += " bytes=" + std::to_string(payload.size()) + "\r\n";
    record += payload;
    record += "\r\n";
    return record;
}

std::string FieldValue(const std::string& fields, const std::string& name)
{
    std::string key = name + "=";
    size_t pos = 0;
    while ((pos = fields.find(key, pos)) != std::string::npos) {
        if (pos == 0 || fields[pos - 1] == ' ') {
            size_t start = pos + key.size();
            size_t end = fields.find(' ', start);
            return fields.substr(start, end == std::string::npos ? std::string::npos : end - start);
        }
        pos += key.size();
    }
    return std::string();
}

std::vector<LogRecord> ParseLog(const std::string& bytes)
{
    std::vector<LogRecord> records;
    size_t pos = 0;
    while (pos < bytes.size()) {
        if (bytes.compare(pos, 3, "== ") != 0) break;
        size_t eol = bytes.find("\r\n", pos);
        if (eol == std::string::npos) break;
        std::string header = bytes.substr(pos + 3, eol - pos - 3);
        size_t sizeAt = header.rfind(" bytes=");
        if (sizeAt == std::string::npos) break;
        size_t size = std::strtoul(header.c_str() + sizeAt + 7, nullptr, 10);
        std::string head = header.substr(0, sizeAt);
        size_t blank = head.find(' ');
        LogRecord record;
        record.kind = head.substr(0, blank);
        record.fields = blank == std::string::npos ? std::string() : head.substr(blank + 1);
        size_t start = eol + 2;
        // Compared without adding, so that a huge or negative "bytes=" (from
        // a log cut or damaged mid-header) cannot wrap the position backwards
        // and read the same records again and again.
        const size_t left = bytes.size() - start;
        if (size > left || left - size < 2) break;
        record.payload = bytes.substr(start, size);
        records.push_back(record);
        pos = start + size + 2;
    }
    return records;
}

} // namespace standin
