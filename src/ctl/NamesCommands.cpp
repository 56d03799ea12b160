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

// The download runs to its end even when interrupted meanwhile (it is bounded by the read's
// time-outs), so that the device always gets the 0x01 that ends it. The exit status when it
// fails, else kExitOk.
int Download(Session& session, Io io, names_fields::Texts& texts) {
    const bool read = session.Link().ReadNames(session);
    if (session.Stopped()) return Interrupted(session.StopSignal(), io);
    if (!read) {
        if (session.ConnectionLost()) return ConnectionLost(io);
        ReportError(io, MessageText(IDS_NAMES_READ_FAILED));
        return kExitNotDone;
    }
    texts = names_fields::FromImage(session.Link().NamesImage());
    return kExitOk;
}

}  // namespace

int RunNamesGet(Session& session, const CommandLine& line, Io io) {
    names_fields::Texts texts;
    if (const int status = Download(session, io, texts); status != kExitOk) return status;
    io.out << (line.json ? names_text::FormatJson(texts) : names_text::Format(texts));
    return kExitOk;
}

int RunNamesSet(Session& session, const CommandLine& line, const std::string& namesFile, Io io) {
    // As the Names dialog does: the device's texts first, the edits on top, the whole checked,
    // and only then the upload.
    names_fields::Texts texts;
    if (const int status = Download(session, io, texts); status != kExitOk) return status;
    if (const auto fault = names_text::Parse(namesFile, texts)) {
        ReportError(io, fault->Text());
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
    // Once begun, the upload (about 2 s) runs to its end whatever comes meanwhile: a memory
    // half written is worse than a late exit.
    const bool queued = link.WriteNames();
    const Session::Wait drained = session.FlushWrites(kUploadDrain, false);
    if (drained == Session::Wait::Lost) return ConnectionLost(io);
    if (!queued || drained != Session::Wait::Done) {
        ReportError(io, "the names could not all be sent");
        return kExitNotDone;
    }
    if (line.json) io.out << "{\"stored\":true}\n";
    return kExitOk;
}

}  // namespace r512::ctl
