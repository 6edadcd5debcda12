#pragma once

#include "platform/engine/CefTypes.h"

#include <string>

namespace httplib {
struct Request;
struct Response;
}

namespace platform::engine::qt {

// The network's answer for a test-host request the client has no content for: the
// engine maps the host to the test page server, so that server finds the host the way the
// engine would have without that mapping (the engine's other resolver rules, then the
// system's resolver), at the request's port, and fetches the request from there. The result is the
// network error that stopped it, ERR_NONE when the response holds the answer;
// blocking, for the server's threads.
cef_errorcode_t FetchFromTestHostNetwork(const httplib::Request& request, httplib::Response& response);

// The engine's resolver rules as given before the test host's mapping joined them; set once
// at start-up.
void UseEngineResolverRules(const std::string& rules);

// The engine's text for the errors above.
std::string NetworkErrorText(cef_errorcode_t error);

} // namespace platform::engine::qt
