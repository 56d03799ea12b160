#include "http/WebAssets.h"

namespace r512::http {

const WebAsset* FindWebAsset(std::string_view path) {
    for (const WebAsset& asset : WebAssets()) {
        if (asset.path == path) return &asset;
    }
    return nullptr;
}

}  // namespace r512::http
