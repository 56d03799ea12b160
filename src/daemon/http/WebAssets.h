#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace r512::http {

// One file of the web page, compiled into the program from src/daemon/web (and the panel font
// of resources/) when it is built: nothing of the file system is ever served.
struct WebAsset {
    std::string_view path;         // as requested: "/", "/remote.js", ...
    std::string_view contentType;  // "text/html; charset=utf-8", ...
    std::string_view etag;         // a quoted hash of the content
    std::string_view body;
};

std::span<const WebAsset> WebAssets();

// The file served at `path`; nullptr for any other path.
const WebAsset* FindWebAsset(std::string_view path);

}  // namespace r512::http
