#include "CommandLineTail.h"

namespace r512::uninstall {

const char* CommandLineTail(const char* commandLine) {
    const char* c = commandLine;
    if (*c == '"') {
        ++c;
        while (*c != '\0' && *c != '"') {
            ++c;
        }
        if (*c == '"') {
            ++c;
        }
    } else {
        while (*c != '\0' && *c != ' ' && *c != '\t') {
            ++c;
        }
    }
    while (*c == ' ' || *c == '\t') {
        ++c;
    }
    return c;
}

}  // namespace r512::uninstall
