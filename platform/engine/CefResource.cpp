#include "platform/engine/CefResource.h"

#include <algorithm>
#include <cstring>

namespace platform::engine {

CefRefPtr<CefStreamReader> CefStreamReader::CreateForData(const void* data, size_t size)
{
    if (!data && size > 0)
        return nullptr;
    CefRefPtr<CefStreamReader> reader(new CefStreamReader);
    if (size > 0)
        reader->bytes.assign(static_cast<const char*>(data), size);
    return reader;
}

size_t CefStreamReader::Read(void* buffer, size_t size)
{
    const size_t count = std::min(size, bytes.size() - std::min(offset, bytes.size()));
    if (count > 0)
        std::memcpy(buffer, bytes.data() + offset, count);
    offset += count;
    return count;
}

std::string CefStreamResourceHandler::ReadResponse()
{
    std::string body;
    if (!stream)
        return body;
    char chunk[4096];
    while (size_t count = stream->Read(chunk, sizeof(chunk)))
        body.append(chunk, count);
    return body;
}

} // namespace platform::engine
