#include "tools/standin/StandinControl.h"

#include <sstream>

namespace standin {

bool ParseControl(const std::string& text, ControlCommand& command)
{
    size_t newline = text.find('\n');
    std::string line = text.substr(0, newline);
    command = ControlCommand();
    if (newline != std::string::npos) command.payload = text.substr(newline + 1);

    std::istringstream in(line);
    std::string verb;
    in >> verb;
    using Verb = ControlCommand::Verb;
    struct Entry { const char* name; Verb verb; int numbers; };
    static const Entry kVerbs[] = {
        {"move", Verb::Move, 2},       {"size", Verb::Size, 2},         {"hide", Verb::Hide, 0},
        {"show", Verb::Show, 0},       {"minimize", Verb::Minimize, 0}, {"restore", Verb::Restore, 0},
        {"activate", Verb::Activate, 0}, {"deactivate", Verb::Deactivate, 0}, {"menu", Verb::Menu, 1},
        {"send", Verb::Send, 1},       {"sendraw", Verb::SendRaw, 1},   {"quit", Verb::Quit, 0},
        {"twin", Verb::Twin, 2},       {"proc", Verb::Proc, 1},
        {"fault", Verb::Fault, 0},
    };
    for (const Entry& entry : kVerbs) {
        if (verb != entry.name) continue;
        command.verb = entry.verb;
        if (entry.numbers >= 1 && !(in >> command.a)) return false;
        if (entry.numbers >= 2 && !(in >> command.b)) return false;
        std::string rest;
        return !(in >> rest);
    }
    return false;
}

std::string BuildSendRequest(const std::string& script, int32_t answerWindow)
{
    return "SEND SSTP/1.1\r\nSender: stand-in\r\nScript: " + script + "\r\nHWnd: " +
           std::to_string(answerWindow) + "\r\n\r\n";
}

} // namespace standin
