// names get and names set: the names memory, through the link's own transfer and check.
#include <ostream>

#include "base/Messages.h"
#include "ctl/DeviceCommands.h"
#include "ctl/ExitCode.h"
#include "device/NamesText.h"

namespace r512::ctl {

namespace {

// The upload is paced (about 2 s); its last writes then need a moment to go out.
constexpr std::chrono::seconds kUploadDrain{5};

bool Download(Session& session, Io io, names_fields::Texts& texts) {
    if (!session.Link().ReadNames(session)) {
        if (!session.Stopped()) ReportError(io, MessageText(IDS_NAMES_READ_FAILED));
        return false;
    }
    texts = names_fields::FromImage(session.Link().NamesImage());
    return true;
}

}  // namespace

int RunNamesGet(Session& session, const CommandLine& line, Io io) {
    names_fields::Texts texts;
    if (!Download(session, io, texts)) return kExitNotDone;
    io.out << (line.json ? names_text::FormatJson(texts) : names_text::Format(texts));
    io.out.flush();
    return kExitOk;
}

int RunNamesSet(Session& session, const std::string& namesFile, Io io) {
    // As the Names dialog does: the device's texts first, the edits on top, the whole checked,
    // and only then the upload.
    names_fields::Texts texts;
    if (!Download(session, io, texts)) return kExitNotDone;
    std::string error;
    if (!names_text::Parse(namesFile, texts, &error)) {
        ReportError(io, error);
        return kExitBadArguments;
    }
    DeviceLink& link = session.Link();
    names_fields::ToImage(texts, link.NamesImage());
    if (!link.ValidateNames()) {
        std::string text = MessageText(IDS_NAMES_WRITE_FAILED);
        for (char& c : text) c = c == '\n' ? ' ' : c;
        ReportError(io, text);
        return kExitNotDone;
    }
    if (!link.WriteNames() || !session.FlushWrites(kUploadDrain)) {
        ReportError(io, "the names could not all be sent");
        return kExitNotDone;
    }
    return kExitOk;
}

}  // namespace r512::ctl
