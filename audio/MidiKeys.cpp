#include "audio/MidiKeys.h"

#include <alsa/asoundlib.h>
#include <poll.h>
#include <unistd.h>

namespace kalvo {

std::optional<MidiKeyEvent> MidiKeyFromMessage(unsigned char status, unsigned char note, unsigned char velocity)
{
    const unsigned char kind = status & 0xF0;
    if ((kind != 0x90 && kind != 0x80) || note > 2)
        return std::nullopt;
    return MidiKeyEvent{note, kind == 0x90 && velocity > 0};
}

struct MidiKeys::Sequencer {
    snd_seq_t* Handle = nullptr;
    int Port = -1;
    int Client = 0, Source = 0; // the adapter's client and port
};

namespace {

void SilentAlsa(const char*, int, const char*, int, const char*, ...) { }

snd_seq_t* OpenSequencer(int streams)
{
    // The reason goes into the window's message, not to the terminal.
    snd_lib_error_set_handler(SilentAlsa);
    snd_seq_t* handle = nullptr;
    const int rc = snd_seq_open(&handle, "default", streams, 0);
    if (rc < 0)
        throw EMidi(std::string("No MIDI keys: this machine has no ALSA sequencer (") + snd_strerror(rc) + ").");
    snd_seq_set_client_name(handle, "Kalvo");
    return handle;
}

} // namespace

std::vector<MidiPort> MidiKeys::Inputs()
{
    snd_seq_t* handle = OpenSequencer(SND_SEQ_OPEN_INPUT);
    std::vector<MidiPort> ports;
    snd_seq_client_info_t* client;
    snd_seq_port_info_t* port;
    snd_seq_client_info_alloca(&client);
    snd_seq_port_info_alloca(&port);
    snd_seq_client_info_set_client(client, -1);
    const int self = snd_seq_client_id(handle);
    while (snd_seq_query_next_client(handle, client) >= 0) {
        const int id = snd_seq_client_info_get_client(client);
        if (id == SND_SEQ_CLIENT_SYSTEM || id == self)
            continue;
        snd_seq_port_info_set_client(port, id);
        snd_seq_port_info_set_port(port, -1);
        while (snd_seq_query_next_port(handle, port) >= 0) {
            const unsigned caps = snd_seq_port_info_get_capability(port);
            if ((caps & SND_SEQ_PORT_CAP_READ) && (caps & SND_SEQ_PORT_CAP_SUBS_READ))
                ports.push_back({id, snd_seq_port_info_get_port(port),
                                 std::to_string(id) + ":" + std::to_string(snd_seq_port_info_get_port(port)) + " "
                                     + snd_seq_port_info_get_name(port)});
        }
    }
    snd_seq_close(handle);
    return ports;
}

MidiKeys::MidiKeys(const MidiPort& port, std::function<void(MidiKeyEvent)> onKey, std::function<void()> onGone)
    : Seq(new Sequencer), OnKey(std::move(onKey)), OnGone(std::move(onGone))
{
    try {
        Seq->Handle = OpenSequencer(SND_SEQ_OPEN_INPUT);
        Seq->Port = snd_seq_create_simple_port(Seq->Handle, "Morse key",
                                               SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                               SND_SEQ_PORT_TYPE_APPLICATION);
        Seq->Client = port.Client;
        Seq->Source = port.Port;
        if (Seq->Port < 0 || snd_seq_connect_from(Seq->Handle, Seq->Port, port.Client, port.Port) < 0
            || snd_seq_connect_from(Seq->Handle, Seq->Port, SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE) < 0
            || ::pipe(Wake) < 0)
            throw EMidi("The MIDI key " + port.Name + " cannot be opened.");
    } catch (...) {
        if (Seq->Handle)
            snd_seq_close(Seq->Handle);
        delete Seq;
        throw;
    }
    Thread = std::thread([this] { Run(); });
}

MidiKeys::~MidiKeys()
{
    if (Wake[1] >= 0) {
        const char stop = 0;
        [[maybe_unused]] const auto written = ::write(Wake[1], &stop, 1);
    }
    if (Thread.joinable())
        Thread.join();
    for (int fd : Wake)
        if (fd >= 0)
            ::close(fd);
    snd_seq_close(Seq->Handle);
    delete Seq;
}

void MidiKeys::Run()
{
    const int count = snd_seq_poll_descriptors_count(Seq->Handle, POLLIN);
    std::vector<pollfd> fds(static_cast<std::size_t>(count) + 1);
    snd_seq_poll_descriptors(Seq->Handle, fds.data(), static_cast<unsigned>(count), POLLIN);
    fds[static_cast<std::size_t>(count)] = {Wake[0], POLLIN, 0};
    for (;;) {
        if (::poll(fds.data(), fds.size(), -1) < 0 || fds.back().revents != 0)
            return;
        snd_seq_event_t* event = nullptr;
        while (snd_seq_event_input(Seq->Handle, &event) >= 0 && event) {
            if (event->type == SND_SEQ_EVENT_NOTEON || event->type == SND_SEQ_EVENT_NOTEOFF) {
                const unsigned char status = event->type == SND_SEQ_EVENT_NOTEON ? 0x90 : 0x80;
                if (auto key = MidiKeyFromMessage(status, event->data.note.note, event->data.note.velocity))
                    OnKey(*key);
            } else if ((event->type == SND_SEQ_EVENT_CLIENT_EXIT && event->data.addr.client == Seq->Client)
                       || (event->type == SND_SEQ_EVENT_PORT_EXIT && event->data.addr.client == Seq->Client
                           && event->data.addr.port == Seq->Source)) {
                OnGone();
                return;
            }
            if (snd_seq_event_input_pending(Seq->Handle, 0) <= 0)
                break;
        }
    }
}

} // namespace kalvo
