# cmake -DOUTPUT=<file.cpp> -DFILES="<path>|<url>|<media type>|<charset or ->;..." -P EmbedWebFiles.cmake
# Writes a C++ source that holds each file's bytes, its URL path, content type and an ETag (the
# start of its SHA-256), for r512d's web page: the program carries its page and serves nothing
# of the file system.
set(arrays "")
set(entries "")
set(index 0)
foreach(spec ${FILES})
    string(REPLACE "|" ";" parts "${spec}")
    list(GET parts 0 file)
    list(GET parts 1 url)
    list(GET parts 2 type)
    list(GET parts 3 charset)
    if(NOT charset STREQUAL "-")
        string(APPEND type "; charset=${charset}")
    endif()
    file(READ "${file}" hex HEX)
    file(SHA256 "${file}" hash)
    string(SUBSTRING "${hash}" 0 20 etag)
    string(LENGTH "${hex}" hexLength)
    math(EXPR size "${hexLength} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
    string(REGEX REPLACE "(('\\\\x[0-9a-f][0-9a-f]',){16})" "\\1\n" bytes "${bytes}")
    string(APPEND arrays "constexpr char kFile${index}[] = {\n${bytes}'\\0'};\n")
    string(APPEND entries
           "    {\"${url}\", \"${type}\", \"\\\"${etag}\\\"\", std::string_view(kFile${index}, ${size})},\n")
    math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.new"
"// Generated from the web page's files by cmake/EmbedWebFiles.cmake; do not edit.
#include \"http/WebAssets.h\"

namespace r512::http {

namespace {
${arrays}
constexpr WebAsset kAssets[] = {
${entries}};
}  // namespace

std::span<const WebAsset> WebAssets() { return kAssets; }

}  // namespace r512::http
")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
