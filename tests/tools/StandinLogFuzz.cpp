// The log reader must take any bytes, a log cut anywhere included.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/standin/StandinConfig.h"
#include "tools/standin/StandinControl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    for (const auto& record : standin::ParseLog(text)) standin::FieldValue(record.fields, "from");
    standin::ControlCommand command;
    standin::ParseControl(text, command);
    return 0;
}
