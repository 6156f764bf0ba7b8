// The emulator's commands: what each one changes or sends.
#include "emulator.h"

#include "sim_records.h"

#include <cstdio>

void Emulator::Status()
{
    const char* pace = options_.pace == Pace::Fast ? "fast" : options_.pace == Pace::Hold ? "hold" : "run";
    if (Connected())
        Say("status: %s, client '%s' connected, pace %s at %g Hz, frame %llu, %u pending, %u dispatch calls, "
            "%llu departures",
            options_.offline ? "offline" : "online", client_->name.c_str(), pace, options_.rate_hz,
            static_cast<unsigned long long>(frame_), static_cast<unsigned>(client_->pending.size()),
            static_cast<unsigned>(client_->dispatch_calls), static_cast<unsigned long long>(departures_));
    else
        Say("status: %s, no client, pace %s at %g Hz, frame %llu, %llu departures", options_.offline ? "offline" : "online",
            pace, options_.rate_hz, static_cast<unsigned long long>(frame_),
            static_cast<unsigned long long>(departures_));
}

void Emulator::Execute(const Command& command)
{
    const bool needs_client = command.kind == CommandKind::Quit || command.kind == CommandKind::Drop ||
                              command.kind == CommandKind::SimStart || command.kind == CommandKind::Event ||
                              command.kind == CommandKind::Record || command.kind == CommandKind::Data ||
                              command.kind == CommandKind::Short;
    if (needs_client && !Connected()) {
        Say("no client is connected: nothing sent");
        return;
    }
    switch (command.kind) {
    case CommandKind::Help:
        std::fputs(kCommandHelp, stdout);
        std::fflush(stdout);
        break;
    case CommandKind::Status:
        Status();
        break;
    case CommandKind::Offline:
        options_.offline = true;
        Say("offline: new connections are refused");
        break;
    case CommandKind::Online:
        options_.offline = false;
        Say("online: accepting a connection");
        break;
    case CommandKind::Quit:
        SendHeaderRecord(kSimKindQuit, "the quit notice");
        break;
    case CommandKind::Drop:
        EndClient("dropped by the command 'drop'", true);
        break;
    case CommandKind::SimStart: {
        const auto found = client_->subscriptions.find("simstart");
        if (found == client_->subscriptions.end()) {
            Say("the client has not subscribed to SimStart: nothing sent");
            break;
        }
        unsigned char record[kEventRecordSize];
        if (SendRecord(record, WriteEventRecord(record, sizeof(record), found->second)))
            Say("sent SimStart (event ID %u)", static_cast<unsigned>(found->second));
        break;
    }
    case CommandKind::Event: {
        unsigned char record[kEventRecordSize];
        if (SendRecord(record, WriteEventRecord(record, sizeof(record), command.id)))
            Say("sent an event with event ID %u", static_cast<unsigned>(command.id));
        break;
    }
    case CommandKind::Record:
        SendHeaderRecord(command.id, "a record of another kind");
        break;
    case CommandKind::Data:
        Deliver(Request{command.id, 0}, kMaxValues);
        break;
    case CommandKind::Short: {
        Request request{0, 0};
        if (!client_->pending.empty()) {
            request = client_->pending.front();
            client_->pending.pop_front();
        }
        Deliver(request, command.id);
        break;
    }
    case CommandKind::Hold:
        options_.pace = Pace::Hold;
        Say("hold: requests wait for 'step'");
        break;
    case CommandKind::Step:
        RunFrame();
        Say("step: frame %llu", static_cast<unsigned long long>(frame_));
        break;
    case CommandKind::Run:
        options_.pace = Pace::Realistic;
        next_frame_ = Clock::now();
        Say("run: one frame every 1/%g s", options_.rate_hz);
        break;
    case CommandKind::Fast:
        options_.pace = Pace::Fast;
        Say("fast: every request is answered at once");
        RunFrame();
        break;
    case CommandKind::Rate:
        options_.rate_hz = command.rate_hz;
        Say("rate: %g frames per second", options_.rate_hz);
        break;
    case CommandKind::Wait:
        break;
    case CommandKind::Exit:
        exit_ = true;
        break;
    }
}
