#pragma once

#include <string>

// The file name a download proposes in the documents folder, from the name the server or page
// suggests (UTF-16), as UTF-8: only its last path segment ("/" and "\" both count), without
// control characters, leading dots or spaces, at most kMaxDownloadNameBytes (cut before the
// extension), and "download" when nothing is left. The suggested name is the server's to choose,
// so without this it could name a file anywhere ("../.config/autostart/x.desktop").
std::string SafeDownloadName(const std::u16string& suggestedName);

constexpr size_t kMaxDownloadNameBytes = 200;
