#include "talk/SstpAnswerCollector.h"

#include <algorithm>
#include <cstring>

namespace talk {

bool SstpAnswerCollector::Add(const char* data, std::size_t size)
{
    if (data && size > 0) {
        const void* zero = std::memchr(data, '\0', size);
        std::size_t length = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - data) : size;
        const std::size_t room = m_limit - std::min(m_limit, m_text.size());
        if (length > room) length = room;
        m_text.append(data, length);
    }
    return !Full();
}

} // namespace talk
